#include "catalogue/PackageJson.h"

#include <nlohmann/json.hpp>

#include "catalogue/InputDefWriter.h"
#include "catalogue/PackageBuilder.h"
#include "catalogue/ScreenWriter.h"
#include "platform/Cp932.h"

using nlohmann::json;

namespace packagejson {
namespace {

// Every text of a source is UTF-8 and must have a CP932 form; a text kept in
// a fixed field of the file must fit it whole (it would be cut silently).
struct Texts {
  std::string& error;
  bool ok = true;
  std::string operator()(const json& j, const char* key, const std::string& def = {},
                         size_t maxBytes = std::string::npos) {
    std::string utf8 = j.contains(key) ? j[key].get<std::string>() : def;
    std::string sj;
    if (cp932::FromUtf8(utf8, sj) != 0 && ok) {
      ok = false;
      error = std::string(key) + ": \"" + utf8 + "\" holds a character CP932 cannot store";
    } else if (sj.size() > maxBytes && ok) {
      ok = false;
      error = std::string(key) + ": \"" + utf8 + "\" is longer than " + std::to_string(maxBytes) +
              " bytes in CP932";
    }
    return sj;
  }
};

// The fixed fields of the input definition and screen files, less their NUL.
constexpr size_t kNameBytes = 31, kFormulaBytes = 63, kItemFieldBytes = 29, kAggregateBytes = 5;

int KindOf(const json& c) {
  if (c["kind"].is_number_integer()) return c["kind"].get<int>();
  const std::string k = c["kind"].get<std::string>();
  if (k == "text") return jsc::kText;
  if (k == "combo") return jsc::kCombo;
  if (k == "memo") return jsc::kMemo;
  if (k == "photo") return jsc::kPhoto;
  if (k == "strip") return jsc::kListStrip;
  if (k == "caption") return jsc::kCaption;
  return -1;
}

int Colour(const json& j, const char* key, int def, std::string& error) {
  if (!j.contains(key) || j[key].is_null()) return def;
  int v = def;
  if (!PackageBuilder::ParseColour(j[key].get<std::string>(), v))
    error = std::string(key) + " is not #RRGGBB";
  return v;
}

// A frame set: pen indices of the top, right, bottom and left edges.
int32_t FrameSet(const json& j) {
  if (j.is_null()) return 0;
  if (j.is_number_integer()) {  // one pen all round
    int p = j.get<int>() & 7;
    return p | p << 4 | p << 8 | p << 12;
  }
  return (j.value("top", 0) & 7) | (j.value("right", 0) & 7) << 4 | (j.value("bottom", 0) & 7) << 8 |
         (j.value("left", 0) & 7) << 12;
}

bool CompileInputImpl(const std::string& text, std::string& bytes, std::string& error) {
  json j = json::parse(text, nullptr, false);
  if (j.is_discarded() || !j.is_object()) {
    error = "not valid JSON";
    return false;
  }
  Texts sj{error};
  jsc::Header h;
  h.formWidth = j.value("formWidth", 460);
  h.inputHeight = j.value("inputHeight", 360);
  h.dataKind = j.value("dataKind", 0);
  h.fontMode = j.value("fontMode", 0);
  h.packageId = j.value("packageId", 0);
  std::vector<jsc::Control> controls;
  for (const auto& c : j.value("controls", json::array())) {
    jsc::Control k;
    k.kind = KindOf(c);
    if (k.kind < 0) {
      error = "unknown control kind " + c["kind"].dump();
      return false;
    }
    k.field = sj(c, "field", {}, kNameBytes);
    k.alias = sj(c, "alias", {}, kNameBytes);
    k.slot = c.value("slot", 0);
    k.tabMode = c.value("tab", 0);
    k.defaultValue = sj(c, "default", {}, kNameBytes);
    k.dataType = c.value("dataType", 0);
    k.decimals = c.value("decimals", 0);
    k.formula = sj(c, "formula", {}, kFormulaBytes);
    k.left = c.value("left", 0);
    k.top = c.value("top", 0);
    k.width = c.value("width", 100);
    k.height = c.value("height", 20);
    k.maxLength = c.value("maxLength", 0);
    k.imeMode = static_cast<uint8_t>(c.value("ime", 0));
    k.listFlag = c.value("list", 0);
    k.linkedSlot = c.value("linked", -1);
    k.fontHeight = c.value("fontHeight", -12);
    k.faceName = sj(c, "face", "ＭＳ Ｐゴシック", kNameBytes);
    if (k.slot < 0 || (jsc::SlotCount(k.kind) > 0 && k.slot >= jsc::SlotCount(k.kind))) {
      error = "control " + c.value("field", std::string("?")) + ": slot out of range";
      return false;
    }
    controls.push_back(k);
  }
  if (!sj.ok) return false;
  bytes = InputDefFileBytes(h, controls);
  return true;
}

bool CompileScreenImpl(const std::string& text, std::string& bytes, std::string& error) {
  json j = json::parse(text, nullptr, false);
  if (j.is_discarded() || !j.is_object()) {
    error = "not valid JSON";
    return false;
  }
  Texts sj{error};
  ScreenDoc doc;
  jos::ScreenLayout& L = doc.layout;
  L.version = j.value("version", 200);
  L.sheetWidth = j.value("sheetWidth", 9500);
  L.rowHeight = j.value("rowHeight", 600);
  L.headerHeight = j.value("headerHeight", 0);
  L.rowsPerPage = j.value("rowsPerPage", 46);
  L.ruledPage = static_cast<uint8_t>(j.value("ruledPage", 1));
  int footer = j.value("footerHeight", 0);
  L.pageHeight = L.headerHeight + L.rowHeight * L.rowsPerPage + footer;
  L.options = 0;
  for (const auto& bit : j.value("options", json::array())) L.options |= 1 << (bit.get<int>() & 31);
  int n = 0;
  for (const auto& p : j.value("pens", json::array())) {
    if (n >= 8) break;
    L.pens[static_cast<size_t>(n)] = {p.value("style", 0), p.value("width", 30),
                                      Colour(p, "colour", 0, error)};
    ++n;
  }
  n = 0;
  for (const auto& f : j.value("fills", json::array())) {
    if (n >= 8) break;
    L.fills[static_cast<size_t>(n)].colour = Colour(f, "colour", 0xFFFFFF, error);
    ++n;
  }
  const json v = j.value("view", json::object());
  jos::ViewBlock& V = L.view;
  V.mode = v.value("mode", 0);
  auto bw = v.value("bandWidth", json::array({80, 80}));
  V.bandWidth = {bw[0].get<int>(), bw[1].get<int>()};
  auto cols = v.value("keyColumns", json::array());
  for (size_t m = 0; m < 2 && m < cols.size(); ++m) {
    for (size_t k = 0; k < 4 && k < cols[m].size(); ++k)
      V.keyColumns[m][k] = {cols[m][k].value("width", 0), cols[m][k].value("kind", 0)};
  }
  const json slots = v.value("slots", json::object());
  for (const auto& [slot, s] : slots.items()) {
    int i = std::stoi(slot);
    if (i < 0 || i > 9) continue;
    V.fillOn[static_cast<size_t>(i)] = s.value("fill", false) ? 1 : 0;
    V.fillColour[static_cast<size_t>(i)] = Colour(s, "back", 0xFFFFFF, error);
    V.textColour[static_cast<size_t>(i)] = Colour(s, "text", 0, error);
  }
  V.linesPerPage = v.value("linesPerPage", 30);
  V.listRows = v.value("listRows", 30);
  V.monthOffset = v.value("monthOffset", 0);
  V.firstDay = v.value("firstDay", 1);
  V.monthsBefore = v.value("monthsBefore", 1);
  V.monthsAfter = v.value("monthsAfter", 1);

  for (const auto& it : j.value("items", json::array())) {
    ScreenItemDoc d;
    const std::string kind = it.value("kind", "data");
    d.head.kind = kind == "caption" ? 1 : kind == "image" ? 201 : it.value("code", 0);
    d.head.visible = it.value("visible", true) ? 1 : 0;
    d.head.field = sj(it, "field", {}, kItemFieldBytes);
    d.head.aggregate = sj(it, "aggregate", {}, kAggregateBytes);
    d.head.words[7] = it.value("decimals", 0);
    const std::string band = it.value("band", "row");
    d.head.SetBandBits(band == "header" ? 2 : band == "footer" ? 4 : 0);
    int32_t fill = it.contains("fill") ? (1 << 16 | (it["fill"].get<int>() & 7) << 20) : 0;
    d.head.SetFrameFill(FrameSet(it.value("frame", json())) | fill);
    d.head.SetRowFrames(FrameSet(it.value("firstFrame", it.value("frame", json()))) |
                        FrameSet(it.value("lastFrame", it.value("frame", json()))) << 16);
    jos::FontRecord& f = d.font;
    f.x = it.value("x", 0);
    f.y = it.value("y", 0);
    f.width = it.value("w", 1000);
    f.height = it.value("h", 500);
    f.fontHeight = it.value("fontHeight", -350);
    const std::string align = it.value("align", "left");
    f.align = align == "center" ? 1 : align == "right" ? 2 : 0;
    const std::string vplace = it.value("valign", "center");
    f.vplace = vplace == "multi" ? 0 : vplace == "center" ? 1 : vplace == "bottom" ? 2 : 3;
    f.vertical = it.value("vertical", false) ? 1 : 0;
    f.background = 0;
    bool own = it.contains("colour");
    f.flags = own ? 1 : 0;
    f.textColour = Colour(it, "colour", 0, error);
    f.font.charSet = 128;
    f.font.pitchAndFamily = 0x31;
    f.font.weight = it.value("bold", false) ? 700 : 400;
    f.font.faceName = sj(it, "face", "ＭＳ ゴシック", kNameBytes);
    d.text = sj(it, "text");
    doc.items.push_back(d);
  }
  doc.texts[0] = sj(j, "filter");
  doc.texts[1] = sj(j, "sort");
  if (!sj.ok || !error.empty()) return false;
  if (doc.items.size() > static_cast<size_t>(jos::kMaxItems)) {
    error = "more than 102 items";
    return false;
  }
  bytes = ScreenFileBytes(doc);
  return true;
}

template <typename F>
bool Guard(F f, const std::string& text, std::string& bytes, std::string& error) {
  try {
    return f(text, bytes, error);
  } catch (const std::exception& e) {  // a value of the wrong JSON type
    error = e.what();
    return false;
  }
}

}  // namespace

bool CompileInput(const std::string& text, std::string& bytes, std::string& error) {
  return Guard(CompileInputImpl, text, bytes, error);
}

bool CompileScreen(const std::string& text, std::string& bytes, std::string& error) {
  return Guard(CompileScreenImpl, text, bytes, error);
}

}  // namespace packagejson
