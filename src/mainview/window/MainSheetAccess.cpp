#include "mainview/window/MainSheetAccess.h"

#include "mainview/host/MainObjects.h"
#include "platform/Collate.h"
#include "qtkit/QtSheetAccessible.h"

QtSheetAccess* MakeSheetAccess(QWidget* sheet, std::function<MainObjects*()> objects,
                               std::function<const std::vector<jsc::Control>*()> controls,
                               std::function<QString()> name) {
  SheetText::Ports ports;
  ports.sheet = [objects]() -> const SheetRows* { return objects() ? objects()->view.get() : nullptr; };
  ports.screen = [objects]() -> const CMyScr* { return objects() ? objects()->scr.get() : nullptr; };
  // the group view's rows name group rows, as the painter reads them
  ports.values = [objects](int record) -> const RowSource* {
    MainObjects& o = *objects();
    if (o.groupShown && o.groupRows) {
      o.groupRows->SetPosition(record);
      return o.groupRows.get();
    }
    o.rowSource->SetPosition(record);
    return o.rowSource.get();
  };
  ports.cursor = [objects] { return objects() ? objects()->view->CursorRow() : -1; };
  ports.dataKind = [objects] { return objects() ? objects()->view->DataKind() : int{CMyView::kDateKind}; };
  ports.aliasOf = [controls](const std::string& field) {
    if (const std::vector<jsc::Control>* list = controls())
      for (const jsc::Control& c : *list)
        if (c.IsField() && collate::EqualNoCase(c.field, field)) return c.alias;
    return std::string();
  };
  return new QtSheetAccess(sheet, std::move(ports), std::move(name));
}

std::string CursorRowStatus(const CMyView& view) {
  const auto& rows = view.Rows();
  const int r = view.CursorRow();
  if (r < 0 || r >= static_cast<int>(rows.size())) return {};
  const SheetRow& row = rows[static_cast<size_t>(r)];
  std::string holiday = row.holiday ? row.holiday->Name() : std::string();
  std::string anniversary = row.anniversary ? row.anniversary->Name() : std::string();
  int start = row.anniversary ? row.anniversary->startYear : 0;
  return view.RowStatus(r, holiday, anniversary, start);
}
