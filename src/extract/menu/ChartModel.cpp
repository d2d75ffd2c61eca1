#include "extract/menu/ChartModel.h"

#include "extract/CMyPickup.h"
#include "extract/menu/ExtractCommands.h"
#include "platform/Cp932.h"
#include "platform/Prompter.h"
#include "store/CMyPeriods.h"
#include "store/CMyRec.h"

ChartModel::ChartModel(MainContext& ctx, ExtractCommands& extract)
    : ctx_(ctx), extract_(extract), group_(ctx.prompter) {}

bool ChartModel::Open() {
  CMyPickup m(*ctx_.objects.db, ctx_.prompter, ctx_.beeper, ctx_.clock);
  if (!extract_.SetupModel(m)) return false;
  conditions_ = extract_.Conditions();
  groupConditions_ = false;
  if (conditions_) {
    m.LoadImage(*conditions_);
    groupConditions_ = m.Mode() == CMyPickup::kGroupDisplay;
  }
  groupChoices_.clear();
  valueChoices_ = {"件数"_sj};
  for (int i = 0; i < m.RowCount(); ++i) {
    const CMyPickup::Row& r = m.GetRow(i);
    if (r.kind == CMyPickup::kColorRow || (r.kind == CMyPickup::kFieldRow && !r.numeric))
      groupChoices_.push_back(r.caption);
    else if (r.kind == CMyPickup::kFieldRow)
      valueChoices_.push_back(r.caption);
  }
  colors_.clear();
  CMyColorKinds kinds(ctx_.objects.Table(kColorTable), ctx_.prompter, ctx_.beeper);
  for (int i = 0; i < kinds.Count(); ++i) colors_.push_back(kinds.Get(i));
  return true;
}

ChartModel::Choice ChartModel::DefaultChoice() const {
  Choice c;
  for (size_t i = 0; i < groupChoices_.size(); ++i)
    if (groupChoices_[i] == "分類"_sj) c.groupChoice = static_cast<int>(i);
  c.valueChoice = valueChoices_.size() > 1 ? 1 : 0;
  return c;
}

bool ChartModel::Conditions(const Choice& choice, CMyPickup& m) {
  if (!extract_.SetupModel(m)) return false;
  if (conditions_) m.LoadImage(*conditions_);
  if (!groupConditions_) {
    if (!conditions_) m.SetPeriod(choice.wholeYear ? CMyPickup::kYear : CMyPickup::kCurrent);
    m.SetMode(CMyPickup::kGroupDisplay);
    const int sortCol = m.ColumnOf(CMyPickup::kSortNo);
    const int aggCol = m.ColumnOf(CMyPickup::kAggregate);
    for (int i = 0; i < m.RowCount(); ++i) {
      m.EraseKey(i, sortCol);
      m.EraseKey(i, aggCol);
    }
    if (choice.groupChoice >= 0 && choice.groupChoice < static_cast<int>(groupChoices_.size()))
      m.TypeKey(m.RowOfCaption(groupChoices_[static_cast<size_t>(choice.groupChoice)]), sortCol, '1');
    if (choice.valueChoice > 0 && choice.valueChoice < static_cast<int>(valueChoices_.size())) {
      m.TypeKey(m.RowOfCaption(valueChoices_[static_cast<size_t>(choice.valueChoice)]), aggCol,
                '0' + CMyGroup::kSum);
    } else {
      // a count needs a column of its own: the first row that is no key
      // (not the date row, which a time axis makes a key)
      for (int i = 0; i < m.RowCount(); ++i)
        if (m.GetRow(i).sortNo.empty() && m.GetRow(i).kind != CMyPickup::kKeyRow) {
          m.TypeKey(i, aggCol, '0' + CMyGroup::kCount);
          break;
        }
    }
  }
  return true;
}

int ChartModel::Make(const Choice& choice) {
  message_.clear();
  haveMade_ = false;
  chart::Options options = choice.options;
  CMyPickup m(*ctx_.objects.db, ctx_.prompter, ctx_.beeper, ctx_.clock);
  if (!Conditions(choice, m)) {
    message_ = "入力画面の定義が読めません。"_sj;
    return chart::kRefused;
  }
  if (!chart::PrepareConditions(m, options, message_)) return chart::kRefused;
  if (m.BuildExtraction() != CMyPickup::kOk) {
    message_ = m.Message();
    return chart::kRefused;
  }
  made_ = m.SaveImage();
  haveMade_ = true;
  MainObjects& o = ctx_.objects;
  // the group rows as the extraction's group view builds them
  (void)o.periods->LoadAll();
  CMyRec rec(o.db.get());
  int rc = rec.SetSort(m.ViewSort(), false);
  if (rc == 0) rc = rec.MakeSql(m.Filter().empty() ? nullptr : m.Filter().c_str(), CMyRec::kListFilter);
  if (rc == 0) rc = rec.Requery();
  if (rc < 0 || group_.Build(*o.db, rec.Items(), rec.Count(), m.GroupColumns()) < 0 ||
      group_.SortRows(m.Sort()) != 0) {
    message_ = "抽出に失敗しました。"_sj;
    return chart::kRefused;
  }
  return chart::Build(group_, options, colors_, chart_, message_);
}

bool ChartModel::Narrow(const chart::Point& point) {
  if (!haveMade_) return false;
  CMyPickup m(*ctx_.objects.db, ctx_.prompter, ctx_.beeper, ctx_.clock);
  if (!extract_.SetupModel(m)) return false;
  m.LoadImage(made_);
  if (!chart::Narrow(m, point, colors_)) return false;
  if (m.BuildExtraction() != CMyPickup::kOk) {
    ctx_.prompter.Warn(m.Message());
    return false;
  }
  return extract_.Show(m);
}
