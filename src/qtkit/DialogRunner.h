// Every modal dialog of the main window is shown through a DialogRunner, so
// tests answer dialogs by their objectName (filling their widgets first)
// instead of waiting on exec().
#pragma once
#include <QDialog>
#include <QString>
#include <functional>
#include <map>
#include <vector>

class DialogRunner {
 public:
  virtual ~DialogRunner() = default;
  // QDialog::Accepted or QDialog::Rejected.
  virtual int Run(QDialog& dialog) { return dialog.exec(); }
};

// For tests: a script per dialog objectName. A dialog without a script is
// rejected (a user who cancels) and noted in `unscripted`.
class ScriptedDialogs : public DialogRunner {
 public:
  using Script = std::function<int(QDialog&)>;
  int Run(QDialog& dialog) override {
    run.push_back(dialog.objectName());
    auto it = scripts.find(dialog.objectName());
    if (it == scripts.end()) {
      unscripted.push_back(dialog.objectName());
      return QDialog::Rejected;
    }
    return it->second(dialog);
  }
  // Typed script: `f(T&)` is called with the dialog cast to its class.
  template <class T, class F>
  void On(const QString& name, F f) {
    scripts[name] = [f](QDialog& d) { return f(static_cast<T&>(d)); };
  }
  std::map<QString, Script> scripts;
  std::vector<QString> run;
  std::vector<QString> unscripted;
};
