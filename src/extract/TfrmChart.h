// The chart window "グラフ表示": a chart over the extraction shown (or the
// shown month's records grouped by a chosen field), its kind, order and
// time axis chosen above it. Hovering shows a group's key, value and count;
// a click shows the group's records in the sheet and closes the window.
// The choices and the numbers are ChartModel's; this only shows them.
#pragma once
#include <QDialog>
#include <QPageLayout>
#include <functional>
#include <memory>
#include <string>

#include "extract/menu/ChartModel.h"

class FileChooser;
class Prompter;
class QChartView;
class QComboBox;
class QLabel;
class QPrinter;
class QPushButton;

class TfrmChart : public QDialog {
  Q_OBJECT
 public:
  // `pageLayout` gives the sheet's page setup for a PDF; `printer` asks for
  // a printer (null: cancelled). The model is open (ChartModel::Open); the
  // window starts with the chart of `start`.
  TfrmChart(ChartModel& model, const ChartModel::Choice& start, FileChooser& files, Prompter& prompter,
            std::function<QPageLayout()> pageLayout, std::function<QPrinter*()> printer,
            QWidget* parent = nullptr);
  ~TfrmChart() override;

  // Reads the choices and draws their chart (or tells why there is none).
  void Redraw();
  // "ファイルに保存...": PNG, SVG or PDF by the chosen name.
  void cmd_SaveClick();
  // "印刷...": the chart on one page of the chosen printer.
  void cmd_PrintClick();
  // A bar, slice or point clicked: its records in the sheet.
  void PointClicked(const chart::Point& point);
  bool HasChart() const { return shown_; }
  const chart::Chart& Shown() const { return model_.Chart(); }
  // What the controls choose now.
  ChartModel::Choice ChoiceFromControls() const;

 private:
  bool Doughnut() const;

  ChartModel& model_;
  FileChooser& files_;
  Prompter& prompter_;
  std::function<QPageLayout()> pageLayout_;
  std::function<QPrinter*()> printer_;
  bool shown_ = false;

  QComboBox* cbo_Kind;
  QComboBox* cbo_Order;
  QComboBox* cbo_By;
  QComboBox* cbo_Group;
  QComboBox* cbo_Value;
  QComboBox* cbo_Period;
  QChartView* view_Chart;
  QLabel* lbl_Note;
  QPushButton* cmd_Save;
  QPushButton* cmd_Print;
  QPushButton* cmd_Close;
};
