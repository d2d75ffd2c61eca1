// The main window's extraction: the conditions dialog applied to the sheet
// (filter, sort, lines per page, page, compact-list or group display), its
// end with the display the sheet had before, and a screen's own extraction
// (a first text "=name" runs the saved method "name" when it opens).
#pragma once
#include <string>

#include "extract/ConditionFile.h"
#include "mainview/host/MainObjects.h"

class CMyPickup;

// What the extraction commands ask of the window.
class ExtractWindow {
 public:
  virtual ~ExtractWindow() = default;
  // Shows the conditions dialog over `model` (set up for the open book);
  // true when it was applied.
  virtual bool AskConditions(CMyPickup& model) = 0;
  // The sheet changed: labels, scroll bars, repaint.
  virtual void ViewChanged() = 0;
  // An extraction began or ended: the toggle button follows.
  virtual void ShownChanged(bool shown) = 0;
  // The input form is put away while group rows are shown: none of them is
  // a record it could open or step to.
  virtual void HideEntry() = 0;
};

class ExtractCommands {
 public:
  ExtractCommands(MainContext& ctx, ExtractWindow& window) : ctx_(ctx), w_(window) {}

  // An extraction is shown (the toggle is down).
  bool Shown() const { return shown_; }
  bool GroupShown() const { return ctx_.objects.groupShown; }
  // The display mode the sheet had before the extraction (0 sheet, 10 list).
  int PreviousMode() const { return previousMode_; }
  // "抽出解除" while an extraction is shown, "抽出実行..." otherwise (CP932).
  std::string MenuCaption() const;

  // tbt_Pickout / mnuSelPickout: with no extraction shown the dialog (a
  // cancelled one leaves the sheet as it was), else the extraction ends.
  void Toggle();
  // tbt_PickoutSet / mnuSelPickoutSet: the dialog, applied over whatever is
  // shown; cancelled, nothing changes.
  void Settings();
  // Ends the extraction: the group rows go, the display mode from before
  // and the screen's lines per list page come back, the sheet is rebuilt.
  void End();
  // A book or a screen is being opened: the extraction is forgotten without
  // rebuilding (the opener sets the screen and rebuilds).
  void Drop();
  // After a screen opened: a first text "=name" runs the saved method as
  // if its dialog had been confirmed. 0 when it ran or the screen has none;
  // else the model's code after its message ("注意"), the screen shown
  // without extraction.
  int RunScreenExtraction();

  // The dialog's model set up for the open book: its form's fields, colour
  // kinds, folder, the screen's lines per list page, the shown month and
  // page. False when the book's input definition cannot be read (told).
  bool SetupModel(CMyPickup& model) const;
  // Shows the extraction of an applied (or built) model. False when the
  // group rows could not be made: "抽出に失敗しました。" was shown and the
  // extraction ended.
  bool Apply(const CMyPickup& model);
  // Apply, then the window follows (repaint, the toggle button): a model
  // built elsewhere (a chart's click) shown as the dialog's would be.
  bool Show(const CMyPickup& model);
  // The conditions of the extraction shown; null when none is.
  const pickfile::Image* Conditions() const { return shown_ ? &conditions_ : nullptr; }

 private:
  void Ask(bool toggle);
  bool ShowGroup(const CMyPickup& model);
  void EndGroup();

  MainContext& ctx_;
  ExtractWindow& w_;
  bool shown_ = false;
  int previousMode_ = 0;
  int previousCursor_ = 0;      // the cursor goes back to its row
  pickfile::Image conditions_;  // of the extraction shown
};
