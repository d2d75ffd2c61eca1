#include "exchange/TfrmIcsImport.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "exchange/IcsCalendar.h"
#include "platform/Cp932.h"
#include "platform/FileChooser.h"
#include "qtkit/QtForm.h"
#include "qtkit/SjLineEdit.h"
#include "shell/CivilDays.h"

namespace {
QString U(const char* utf8) { return QString::fromUtf8(utf8); }
QString U(const std::string& sj) { return QString::fromStdString(cp932::ToUtf8(sj)); }

CivilDate DateOf(const QString& text) {
  CivilDate d;
  if (!civil::ParseYmd(text.trimmed().toStdString(), d)) return {};
  return d;
}
}  // namespace

TfrmIcsImport::TfrmIcsImport(IcsImport& model, FileChooser& files, Prompter& prompter, const Clock& clock,
                             QWidget* parent)
    : QDialog(parent), model_(model), files_(files), prompter_(prompter) {
  setObjectName("frmIcsImport");
  setWindowTitle(U("カレンダーからのインポート"));

  auto* intro = new QLabel(U("iCalendar 形式 (.ics) の予定を日付ごとに取り込みます。\n"
                             "前に取り込んだ予定（同じ UID）は、追加せずに更新します。"),
                           this);
  intro->setObjectName("lbl_Info");
  auto line = [&](const char* name, bool halfWidth) {
    auto* e = new SjLineEdit(this);
    e->setObjectName(name);
    e->SetPrompter(&prompter_);
    e->SetHalfWidth(halfWidth);
    return e;
  };
  txt_Path = line("txt_Path", false);
  cmd_FName = qtform::Button(this, U("..."), "cmd_FName");
  txt_From = line("txt_From", true);
  txt_To = line("txt_To", true);
  txt_Zone = line("txt_Zone", true);
  CivilDate from, to;
  IcsImport::DefaultPeriod(clock.Today(), from, to);
  txt_From->setText(QString::fromStdString(civil::Ymd(from)));
  txt_To->setText(QString::fromStdString(civil::Ymd(to)));
  txt_Zone->setText(QString::fromStdString(ics::SystemZone()));

  auto* box = new QGroupBox(U("取り込み先の項目"), this);
  box->setObjectName("fra_Map");
  auto* map = new QGridLayout(box);
  const IcsMapping def = model_.DefaultMapping();
  auto combo = [&](const char* name, const char* label, int row, int chosen) {
    auto* c = new QComboBox(box);
    c->setObjectName(name);
    c->addItem(U("（取り込まない）"));
    for (const ScreenField& f : model_.Book().fields) c->addItem(U(f.caption));
    c->setCurrentIndex(chosen + 1);
    map->addWidget(new QLabel(U(label), box), row, 0);
    map->addWidget(c, row, 1);
    return c;
  };
  cmb_Summary = combo("cmb_Summary", "題名 (SUMMARY)", 0, def.summary);
  cmb_Description = combo("cmb_Description", "説明 (DESCRIPTION)", 1, def.description);
  cmb_Location = combo("cmb_Location", "場所 (LOCATION)", 2, def.location);
  cmb_Start = combo("cmb_Start", "開始時刻", 3, def.start);
  cmb_End = combo("cmb_End", "終了時刻", 4, def.end);
  lbl_Counts = new QLabel(this);
  lbl_Counts->setObjectName("lbl_Counts");
  cmd_Check = qtform::Button(this, U("件数を確認(&K)"), "cmd_Check");
  cmd_Inport = qtform::Button(this, U("インポート(&I)"), "cmd_Inport");
  cmd_Close = qtform::Button(this, U("閉じる(&C)"), "cmd_Close");

  auto* grid = new QGridLayout;
  auto* pathLabel = new QLabel(U("ファイル名(&F)"), this);
  pathLabel->setBuddy(txt_Path);
  grid->addWidget(pathLabel, 0, 0);
  grid->addWidget(txt_Path, 0, 1, 1, 3);
  grid->addWidget(cmd_FName, 0, 4);
  grid->addWidget(new QLabel(U("期間"), this), 1, 0);
  grid->addWidget(txt_From, 1, 1);
  grid->addWidget(new QLabel(U("～"), this), 1, 2);
  grid->addWidget(txt_To, 1, 3);
  grid->addWidget(new QLabel(U("タイムゾーン"), this), 2, 0);
  grid->addWidget(txt_Zone, 2, 1, 1, 3);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(cmd_Check);
  buttons->addStretch(1);
  buttons->addWidget(cmd_Inport);
  buttons->addWidget(cmd_Close);
  auto* all = new QVBoxLayout(this);
  all->addWidget(intro);
  all->addLayout(grid);
  all->addWidget(box);
  all->addWidget(lbl_Counts);
  all->addLayout(buttons);
  resize(480, sizeHint().height());

  connect(cmd_FName, &QPushButton::clicked, this, [this] { cmd_FNameClick(); });
  connect(cmd_Check, &QPushButton::clicked, this, [this] { (void)cmd_CheckClick(); });
  connect(cmd_Inport, &QPushButton::clicked, this, [this] { (void)cmd_InportClick(); });
  connect(cmd_Close, &QPushButton::clicked, this, &QDialog::reject);
}

void TfrmIcsImport::cmd_FNameClick() {
  FileChoice choice;
  choice.save = false;
  choice.title = cp932::FromUtf8("カレンダーからのインポート");
  choice.filter = cp932::FromUtf8("iCalendarファイル (*.ics)");
  const std::string path = files_.Choose(choice);
  if (!path.empty()) txt_Path->setText(QString::fromStdString(path));
}

IcsImportOptions TfrmIcsImport::Options() const {
  IcsImportOptions o;
  o.path = txt_Path->text().toStdString();
  o.from = DateOf(txt_From->text());
  o.to = DateOf(txt_To->text());
  o.zone = txt_Zone->text().trimmed().toStdString();
  o.map.summary = cmb_Summary->currentIndex() - 1;
  o.map.description = cmb_Description->currentIndex() - 1;
  o.map.location = cmb_Location->currentIndex() - 1;
  o.map.start = cmb_Start->currentIndex() - 1;
  o.map.end = cmb_End->currentIndex() - 1;
  return o;
}

int TfrmIcsImport::cmd_CheckClick() {
  IcsImportResult r;
  const int code = model_.Check(Options(), r);
  if (code == IcsImport::kNoPath) {
    lbl_Counts->setText(U("ファイル名を入力してください。"));
    txt_Path->setFocus();
    return code;
  }
  QString text = U("予定 %1件: 追加 %2件 / 更新 %3件 / 期間外・取消 %4件")
                     .arg(r.events)
                     .arg(r.added)
                     .arg(r.updated)
                     .arg(r.outside);
  if (!r.refused.empty()) text += U("\n取り込めない予定 %1件: ").arg(r.refused.size()) + U(r.refused.front());
  lbl_Counts->setText(code == IcsImport::kOk || code == IcsImport::kCheckFailed ? text : QString());
  return code;
}

int TfrmIcsImport::cmd_InportClick() {
  IcsImportResult r;
  const int code = model_.Run(Options(), &r);
  if (!r.path.empty()) txt_Path->setText(QString::fromStdString(r.path));
  if (code == IcsImport::kNoPath) txt_Path->setFocus();
  // past the question the model has loaded the whole book: the view's rows are rebuilt
  if (code != IcsImport::kNoPath && code != IcsImport::kNotFound && code != IcsImport::kCancelled)
    changed_ = true;
  if (code == IcsImport::kOk) accept();
  return code;
}
