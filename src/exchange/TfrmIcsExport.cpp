#include "exchange/TfrmIcsExport.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

#include "exchange/IcsCalendar.h"
#include "platform/Cp932.h"
#include "platform/FileChooser.h"
#include "qtkit/QtForm.h"
#include "qtkit/SjLineEdit.h"

namespace {
QString U(const char* utf8) { return QString::fromUtf8(utf8); }
}  // namespace

TfrmIcsExport::TfrmIcsExport(IcsExport& model, IcsExportOptions base, FileChooser& files, Prompter& prompter,
                             QWidget* parent)
    : QDialog(parent), model_(model), base_(std::move(base)), files_(files), prompter_(prompter) {
  setObjectName("frmIcsExport");
  setWindowTitle(U("カレンダーへのエクスポート"));

  auto* intro = new QLabel(U("記録を iCalendar 形式 (.ics) で書き出します。\n"
                             "スマートフォンや他のカレンダーで読み込めます。"),
                           this);
  intro->setObjectName("lbl_Info");
  txt_Path = new SjLineEdit(this);
  txt_Path->setObjectName("txt_Path");
  txt_Path->SetPrompter(&prompter_);
  cmd_FName = qtform::Button(this, U("..."), "cmd_FName");
  auto* box = new QGroupBox(U("書き出す記録"), this);
  box->setObjectName("fra_Range");
  rdo_All = new QRadioButton(U("すべての記録"), box);
  rdo_All->setObjectName("rdo_All");
  rdo_Shown = new QRadioButton(U("表示中の記録（抽出中はその結果）"), box);
  rdo_Shown->setObjectName("rdo_Shown");
  rdo_All->setChecked(true);
  txt_Zone = new SjLineEdit(this);
  txt_Zone->setObjectName("txt_Zone");
  txt_Zone->SetPrompter(&prompter_);
  txt_Zone->SetHalfWidth(true);
  txt_Zone->setText(QString::fromStdString(ics::SystemZone()));
  chk_Days = new QCheckBox(U("祝日と記念日を別のカレンダーファイルにも書き出す"), this);
  chk_Days->setObjectName("chk_Days");
  txt_DaysPath = new SjLineEdit(this);
  txt_DaysPath->setObjectName("txt_DaysPath");
  txt_DaysPath->SetPrompter(&prompter_);
  txt_DaysPath->setText(U("holidays.ics"));
  txt_DaysPath->setEnabled(false);
  cmd_Export = qtform::Button(this, U("エクスポート(&E)"), "cmd_Export");
  cmd_Close = qtform::Button(this, U("閉じる(&C)"), "cmd_Close");

  auto* grid = new QGridLayout;
  auto* pathLabel = new QLabel(U("ファイル名(&F)"), this);
  pathLabel->setBuddy(txt_Path);
  grid->addWidget(pathLabel, 0, 0);
  grid->addWidget(txt_Path, 0, 1);
  grid->addWidget(cmd_FName, 0, 2);
  auto* zoneLabel = new QLabel(U("タイムゾーン(&Z)"), this);
  zoneLabel->setBuddy(txt_Zone);
  grid->addWidget(zoneLabel, 1, 0);
  grid->addWidget(txt_Zone, 1, 1);
  auto* boxLayout = new QVBoxLayout(box);
  boxLayout->addWidget(rdo_All);
  boxLayout->addWidget(rdo_Shown);
  auto* daysRow = new QHBoxLayout;
  daysRow->addSpacing(20);
  daysRow->addWidget(new QLabel(U("ファイル名"), this));
  daysRow->addWidget(txt_DaysPath, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(cmd_Export);
  buttons->addWidget(cmd_Close);
  auto* all = new QVBoxLayout(this);
  all->addWidget(intro);
  all->addLayout(grid);
  all->addWidget(box);
  all->addWidget(chk_Days);
  all->addLayout(daysRow);
  all->addLayout(buttons);
  resize(460, sizeHint().height());

  connect(cmd_FName, &QPushButton::clicked, this, [this] { cmd_FNameClick(); });
  connect(cmd_Export, &QPushButton::clicked, this, [this] { (void)cmd_ExportClick(); });
  connect(cmd_Close, &QPushButton::clicked, this, &QDialog::reject);
  connect(chk_Days, &QCheckBox::toggled, txt_DaysPath, &QWidget::setEnabled);
}

void TfrmIcsExport::cmd_FNameClick() {
  FileChoice choice;
  choice.save = true;
  choice.title = cp932::FromUtf8("カレンダーへのエクスポート");
  choice.filter = cp932::FromUtf8("iCalendarファイル (*.ics)");
  const std::string path = files_.Choose(choice);
  if (!path.empty()) txt_Path->setText(QString::fromStdString(path));
}

IcsExportOptions TfrmIcsExport::Options() const {
  IcsExportOptions o = base_;
  o.path = txt_Path->text().toStdString();
  o.zone = txt_Zone->text().trimmed().toStdString();
  o.allRecords = rdo_All->isChecked();
  if (chk_Days->isChecked()) {
    o.daysPath = txt_DaysPath->text().toStdString();
    // beside the calendar when only a name is given
    const std::string main = model_.ResolvePath(o.path);
    if (o.daysPath.find('/') == std::string::npos && main.rfind('/') != std::string::npos)
      o.daysPath = main.substr(0, main.rfind('/') + 1) + o.daysPath;
  } else {
    o.daysPath.clear();
  }
  return o;
}

int TfrmIcsExport::cmd_ExportClick() {
  IcsExportResult r;
  const int code = model_.Run(Options(), &r);
  if (!r.path.empty()) txt_Path->setText(QString::fromStdString(r.path));
  if (code == IcsExport::kNoPath) txt_Path->setFocus();
  if (code == IcsExport::kUnknownZone) txt_Zone->setFocus();
  if (code == IcsExport::kOk) accept();
  return code;
}
