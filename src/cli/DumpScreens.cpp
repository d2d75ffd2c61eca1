// JSON views of the two screen-definition formats, for `jbx dump`.
#include <nlohmann/json.hpp>

#include "cli/Commands.h"
#include "platform/Cp932.h"
#include "platform/Prompter.h"
#include "screens/CMyScr.h"
#include "screens/InputDef.h"

namespace {

using Json = nlohmann::ordered_json;

std::string U8(const std::string& sj) { return cp932::ToUtf8(sj); }

Json FontJson(const LogFont& f) {
  return Json{{"height", f.height},         {"width", f.width},
              {"escapement", f.escapement}, {"orientation", f.orientation},
              {"weight", f.weight},         {"italic", f.italic},
              {"underline", f.underline},   {"strikeOut", f.strikeOut},
              {"charSet", f.charSet},       {"pitchAndFamily", f.pitchAndFamily},
              {"face", U8(f.faceName)}};
}

const char* LoadError(int rc) {
  switch (rc) {
    case -1:
      return "開けません";
    case -2:
      return "版が 200 より古い";
    case -3:
      return "版が 300 以上";
    case -4:
      return "先頭の印が MS ではない";
    default:
      return "中身が壊れている";
  }
}

}  // namespace

int DumpJosJson(const std::string& path, std::string& json) {
  CMyScr scr;
  const int rc = scr.LoadScreen(path);
  if (rc != 0) {
    json = Json{{"error", LoadError(rc)}, {"code", rc}}.dump(2);
    return rc == -1 ? 1 : 2;
  }
  const jos::ScreenLayout& l = scr.Layout();
  Json j;
  j["format"] = "jos";
  j["version"] = l.version;
  j["sheetWidth"] = l.sheetWidth;
  j["rowHeight"] = l.rowHeight;
  j["ruledPage"] = l.ruledPage;
  j["paperWidth"] = l.paperWidth;
  j["pageHeight"] = l.pageHeight;
  j["headerHeight"] = l.headerHeight;
  j["rowsPerPage"] = l.rowsPerPage;
  j["footerHeight"] = scr.FooterHeight();
  j["options"] = l.options;
  Json pens = Json::array(), fills = Json::array();
  for (const auto& p : l.pens) pens.push_back({{"style", p.style}, {"width", p.width}, {"colour", p.colour}});
  for (const auto& f : l.fills) fills.push_back({{"colour", f.colour}});
  j["pens"] = pens;
  j["fills"] = fills;
  const jos::ViewBlock& v = l.view;
  Json view;
  view["mode"] = v.mode;
  view["bandWidth"] = v.bandWidth;
  Json keys = Json::array();
  for (const auto& mode : v.keyColumns) {
    Json cols = Json::array();
    for (const auto& c : mode) {
      if (c.width == 0) break;
      cols.push_back({{"width", c.width}, {"kind", c.kind}});
    }
    keys.push_back(cols);
  }
  view["keyColumns"] = keys;
  Json slots = Json::array();
  for (int i = 0; i < 10; ++i)
    slots.push_back(
        {{"fill", v.fillOn[i]}, {"fillColour", v.fillColour[i]}, {"textColour", v.textColour[i]}});
  view["colourSlots"] = slots;
  view["linesPerPage"] = v.linesPerPage;
  view["listRows"] = v.listRows;
  view["monthOffset"] = v.monthOffset;
  view["firstDay"] = v.firstDay;
  view["monthsBefore"] = v.monthsBefore;
  view["monthsAfter"] = v.monthsAfter;
  j["view"] = view;
  Json items = Json::array();
  for (int i = 0; i < scr.ItemCount(); ++i) {
    const CMyScr::Item& it = scr.GetItem(i);
    const jos::FontRecord& r = it.font.Record();
    items.push_back({{"visible", it.head.visible},
                     {"kind", it.head.kind},
                     {"field", U8(it.head.field)},
                     {"aggregate", U8(it.head.aggregate)},
                     {"decimals", it.head.Decimals()},
                     {"band", it.head.BandBits()},
                     {"frameFill", it.head.FrameFill()},
                     {"rowFrames", it.head.RowFrames()},
                     {"box", {r.x, r.y, r.width, r.height}},
                     {"fontHeight", r.fontHeight},
                     {"align", r.align},
                     {"vplace", r.vplace},
                     {"vertical", r.vertical},
                     {"background", r.background},
                     {"flags", r.flags},
                     {"textColour", r.textColour},
                     {"font", FontJson(r.font)},
                     {"capacity", r.capacity},
                     {"text", U8(it.font.Text())}});
  }
  j["items"] = items;
  j["texts"] = {U8(scr.Text(0)), U8(scr.Text(1)), U8(scr.Text(2))};
  json = j.dump(2);
  return 0;
}

int DumpScrinJson(const std::string& path, std::string& json) {
  jsc::InputDef def;
  StderrPrompter prompter;
  const int rc = jsc::LoadInputDef(path, def, &prompter);
  if (rc != 0) {
    json = Json{{"error", rc == 1 ? "定義がない" : "中身が壊れている"}, {"code", rc}}.dump(2);
    return rc == 1 ? 1 : 2;
  }
  const jsc::Header& h = def.header;
  Json j;
  j["format"] = "scrin.jsc";
  j["firstControl"] = h.firstControl;
  j["controlCount"] = h.controlCount;
  j["formWidth"] = h.formWidth;
  j["inputHeight"] = h.inputHeight;
  j["dataKind"] = h.dataKind;
  j["fontMode"] = h.fontMode;
  j["packageId"] = h.packageId;
  Json controls = Json::array();
  for (const jsc::Control& c : def.controls) {
    controls.push_back({{"field", U8(c.field)},
                        {"alias", U8(c.alias)},
                        {"kind", c.kind},
                        {"slot", c.slot},
                        {"tabMode", c.tabMode},
                        {"default", U8(c.defaultValue)},
                        {"dataType", c.dataType},
                        {"decimals", c.decimals},
                        {"formula", U8(c.formula)},
                        {"box", {c.left, c.top, c.width, c.height}},
                        {"maxLength", c.maxLength},
                        {"imeMode", c.imeMode},
                        {"listFlag", c.listFlag},
                        {"linkedSlot", c.linkedSlot},
                        {"fontHeight", c.fontHeight},
                        {"face", U8(c.faceName)}});
  }
  j["controls"] = controls;
  json = j.dump(2);
  return 0;
}
