#include "mainview/search/SearchActions.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>

#include "mainview/host/FeatureHost.h"
#include "mainview/host/MainActions.h"
#include "mainview/search/TfrmFind.h"
#include "mainview/search/TfrmSub.h"
#include "qtkit/StatusNote.h"

SearchWindows::SearchWindows(QWidget& main, MainContext& ctx, std::function<void()> viewChanged)
    : main_(main), ctx_(ctx), changed_(std::move(viewChanged)), search_(ctx, *this), reference_(ctx, *this) {
  find_ = new TfrmFind(search_, ctx.prompter, &main);
  ctx_.objects.closeReferenceIfSameMonth = [this](const std::string& month) {
    reference_.CloseReferenceIfSameMonth(month);
  };
}

SearchWindows::SearchWindows(FeatureHost& host)
    : SearchWindows(host.Window(), host.Context(), [&host] { host.ViewChanged(); }) {
  host_ = &host;
  RegisterSearchActions(host.Actions(), *this, [&host] { return host.FieldUnderMouse(); });
}

void SearchWindows::BookOpened(bool) {
  const std::vector<jsc::Control>* controls = host_->FormControls();
  SetFields(controls ? *controls : std::vector<jsc::Control>{});
}

SearchWindows::~SearchWindows() {
  ctx_.objects.closeReferenceIfSameMonth = nullptr;
  if (sub_) {
    sub_->close();  // its place goes to the settings
    delete sub_;
  }
  delete find_;
}

void SearchWindows::SetFields(const std::vector<jsc::Control>& controls) {
  search_.SetFields(controls);
  find_->RefillNames();
}

void SearchWindows::ShowFindDialog() { find_->FormShow(); }

void SearchWindows::ViewChanged() {
  if (changed_) changed_();
}

void SearchWindows::Note(const std::string& text) { ShowStatusNote(&main_, text); }

ReferenceWindow* SearchWindows::Reference() { return sub_; }

ReferenceWindow& SearchWindows::CreateReference() {
  if (sub_) DestroyReference();
  sub_ = new TfrmSub(ctx_.objects, reference_, &main_);
  return *sub_;
}

void SearchWindows::DestroyReference() {
  if (!sub_) return;
  TfrmSub* gone = sub_;
  sub_ = nullptr;
  gone->close();
  // it may be closing from one of its own keys or buttons
  gone->deleteLater();
}

void RegisterSearchActions(MainActions& a, SearchWindows& w, std::function<FieldHit()> fieldUnderMouse) {
  const char* m = "検索(&S)";
  a.Add({"mnuSelFind", m, "検索(&S)...", QKeySequence(Qt::CTRL | Qt::Key_F), when::Started,
         [&w] { w.ShowFindDialog(); }, "find"});
  a.Add({"mnuSelFindDown", m, "下検索(&D)", QKeySequence(Qt::Key_F3), when::Started,
         [&w] { w.Search().FindStep(1); }, "find"});
  a.Add({"mnuSelFindUp", m, "上検索(&U)", QKeySequence(Qt::SHIFT | Qt::Key_F3), when::Started,
         [&w] { w.Search().FindStep(-1); }, "find"});
  if (QAction* years = a.Find("mnuSelMovePrevNen")) a.Menu(QString::fromUtf8(m))->insertSeparator(years);
  a.Add({"pmenu_Find",
         "#pmenu_MainPopup",
         "検索(&F)...",
         {},
         when::RecordsShown,
         [&w, fieldUnderMouse] { w.Search().FindFieldText(fieldUnderMouse ? fieldUnderMouse().field : ""); },
         "find"});
  a.Add({"mnuPrevNenPopWin",
         m,
         "１年前を別画面表示",
         {},
         when::DatedSheet,
         [&w] { w.References().ShowReference(-12); },
         "reference"});
  a.Add({"mnuPrev2NenPopWin",
         m,
         "２年前を別画面表示",
         {},
         when::DatedSheet,
         [&w] { w.References().ShowReference(-24); },
         "reference"});
}
