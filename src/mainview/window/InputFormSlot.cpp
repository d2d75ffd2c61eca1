#include "mainview/window/InputFormSlot.h"

#include "input/StoreInputPorts.h"
#include "input/TfrmInput.h"
#include "mainview/host/MainObjects.h"
#include "mainview/host/ViewInputPort.h"
#include "options/CMyColorKinds.h"
#include "platform/Prompter.h"

namespace {
std::vector<ColorKind> KindsOf(MainObjects& o, Prompter& p, Beeper& b) {
  CMyMaster& colors = o.Table(kColorTable);
  if (colors.Read(o.global->DivisionPath("color.dat")) != 0) colors.Init("COLOR");
  CMyColorKinds kinds(colors, p, b);
  std::vector<ColorKind> list;
  for (int i = 0; i < kinds.Count(); ++i) list.push_back(kinds.Get(i));
  return list;
}
}  // namespace

InputFormSlot::InputFormSlot(MainContext& context, DialogRunner& dialogs, QWidget* parent,
                             std::function<void()> viewChanged, std::function<void()> editColors)
    : c_(context),
      dialogs_(dialogs),
      parent_(parent),
      editColors_(std::move(editColors)),
      view_(std::make_unique<ViewInputPort>(context.objects, std::move(viewChanged))),
      alarms_(std::make_unique<AlarmInputPort>(*context.objects.alarm)) {}

InputFormSlot::~InputFormSlot() { Drop(); }

void InputFormSlot::Drop() {
  if (!form_) return;
  form_->hide();
  delete form_;
  form_ = nullptr;
}

void InputFormSlot::Rebuild() {
  Drop();
  MainObjects& o = c_.objects;
  auto* form = new TfrmInput(*o.db, *o.global, *view_, c_.prompter, c_.beeper, c_.clock, parent_);
  form->SetAlarmPort(alarms_.get());
  form->SetDialogRunner(&dialogs_);
  form->SetPhotoSeams(&c_.files, c_.launcher, &o.photoCounter, o.global->ProgramFolder());
  form->editColorKinds = [this](std::vector<ColorKind>& kinds) {
    if (editColors_) editColors_();
    kinds = KindsOf(c_.objects, c_.prompter, c_.beeper);
    return true;
  };
  if (!form->BuildForm(o.view->Screen().linesPerPage, KindsOf(o, c_.prompter, c_.beeper))) {
    delete form;
    return;
  }
  form_ = form;
}

bool InputFormSlot::Show(const std::string& key, int index) {
  if (!form_) {
    c_.beeper.Beep();
    return false;
  }
  form_->ShowRecord(key, index);
  return true;
}

void InputFormSlot::Hide() {
  if (form_) form_->hide();
}

const std::vector<jsc::Control>* InputFormSlot::Controls() const {
  return form_ ? &form_->Model().ControlList() : nullptr;
}

void InputFormSlot::Reloaded() {
  // the record the form showed may be gone or elsewhere now
  if (form_ && form_->isVisible()) form_->ShowRecord({}, -1);
}
