#include "catalogue/TfrmHanyoData.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/Prompter.h"
#include "qtkit/NameCharValidator.h"
#include "qtkit/QtForm.h"
#include "qtkit/QtText.h"
#include "qtkit/SjLineEdit.h"

TfrmHanyoData::TfrmHanyoData(int mode, const QString& initial, Prompter& prompter, Beeper* beeper,
                             QWidget* parent)
    : QDialog(parent), prompter_(prompter) {
  setObjectName("frmHanyoData");
  QString caption, label;
  int max = 14;
  switch (mode) {
    case 0:
      caption = QStringLiteral("分類名の変更");
      label = QStringLiteral("分類名");
      break;
    case 1:
      caption = QStringLiteral("表示画面名の変更");
      label = QStringLiteral("表示画面名");
      break;
    default:
      caption = QStringLiteral("抽出方法の保存");
      label = QStringLiteral("抽出方法名");
      max = 30;
      break;
  }
  setWindowTitle(caption);
  lbl_Name = new QLabel(label, this);
  lbl_Name->setObjectName("lbl_Name");
  txt_Name = new SjLineEdit(this);
  txt_Name->SetPrompter(&prompter_);
  txt_Name->setText(initial);
  txt_Name->setObjectName("txt_Name");
  txt_Name->SetMaxBytes(max);
  txt_Name->setMinimumWidth(240);
  if (mode == 0 || mode == 1) txt_Name->setValidator(new NameCharValidator(beeper, txt_Name));
  auto* buttons =
      qtform::OkCancelRow(this, cmd_Ok, cmd_Cancel, QStringLiteral("OK"), QStringLiteral("ｷｬﾝｾﾙ"));
  connect(cmd_Ok, &QPushButton::clicked, this, &TfrmHanyoData::cmd_OkClick);
  auto* top = new QVBoxLayout(this);
  top->addLayout(qtform::LabelledEdit(this, lbl_Name, txt_Name, cmd_Ok));
  top->addLayout(buttons);
}

QString TfrmHanyoData::Text() const { return txt_Name->text(); }

void TfrmHanyoData::cmd_OkClick() {
  if (txt_Name->text().isEmpty()) {
    std::string label;
    ToSj(lbl_Name->text(), label);
    prompter_.Warn(label + "を入力して下さい。"_sj);
    txt_Name->setFocus();
    return;
  }
  QString bad;
  if (!ToSj(txt_Name->text(), textSj_, &bad)) {
    prompter_.Warn(UnstorableMessage(bad));
    txt_Name->setFocus();
    return;
  }
  accept();
}
