// What the main window hands its features: the action registry, the dialog
// runner, the shared objects and seams, the window as the parent of dialogs,
// the ports the command classes ask of it, and the few services one feature
// offers to others (a change of user for the restore, the colour dialog for
// the input form, the sheet's printer for a chart).
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "mainview/sheet/FieldUnderMouse.h"

class DialogRunner;
class EditWindow;
class EntryWindow;
class MainActions;
class MainWindowPort;
class QMainWindow;
class QPageLayout;
class QPrinter;
class QWidget;
struct MainContext;
struct MainState;
namespace jsc {
struct Control;
}

// Services a feature offers; empty until the feature that offers it is built.
struct FeatureServices {
  // The change of user with another dialog in the user dialog's place.
  std::function<void(const std::function<bool(const std::string& current)>& ask)> changeUserBy;
  // The colour kinds dialog of the open book.
  std::function<void()> editColors;
  // The sheet's paper as a page layout, and its printer set up and begun
  // (null: cancelled), for whatever else prints as the sheet does.
  std::function<void(QPageLayout& layout)> pageLayout;
  std::function<QPrinter*()> beginPrint;
};

class FeatureHost {
 public:
  virtual ~FeatureHost() = default;
  virtual MainActions& Actions() = 0;
  virtual DialogRunner& Dialogs() = 0;
  virtual MainContext& Context() = 0;
  virtual QMainWindow& Window() = 0;
  virtual MainWindowPort& WindowPort() = 0;
  virtual EntryWindow& EntryPort() = 0;
  virtual EditWindow& EditPort() = 0;
  virtual MainState State() const = 0;
  // Labels, scroll bars and repaint after the view changed.
  virtual void ViewChanged() = 0;
  // Puts the input form away.
  virtual void HideEntry() = 0;
  // The field the sheet's popup menu opened over.
  virtual FieldHit FieldUnderMouse() const = 0;
  // The input form's controls; null when the book has none.
  virtual const std::vector<jsc::Control>* FormControls() const = 0;
  // Another program changed the book: read the view again and tell every feature.
  virtual void ReloadFromDisk() = 0;
  virtual FeatureServices& Services() = 0;
};
