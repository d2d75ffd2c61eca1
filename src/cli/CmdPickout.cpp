// jbx pickout: an extraction from a terminal, through the extraction
// dialog's own model: the filter and sort it makes from a condition file, a
// saved method or options, and with --run the extracted records or the
// group rows of a user's division.
#include <cstdio>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "cli/Cli.h"
#include "cli/Commands.h"
#include "cli/PickoutSession.h"
#include "platform/Cp932.h"
#include "store/MemoSchema.h"

namespace {

constexpr const char* kSub = "pickout";

void PrintLine(const std::vector<std::string>& cellsSj) {
  std::string line, utf8;
  for (size_t i = 0; i < cellsSj.size(); ++i) {
    if (i) line += '\t';
    cp932::ToUtf8(cellsSj[i], utf8);
    cli::AppendEscaped(line, utf8);
  }
  line += '\n';
  std::fwrite(line.data(), 1, line.size(), stdout);
}

}  // namespace

int CmdPickout(int argc, char** argv) {
  PickoutSession s(kSub);
  if (const int rc = s.Open(argc, argv, false); rc != cli::kSuccess) return rc;
  const CMyPickup& model = *s.model;
  if (!s.run) {
    if (s.json) {
      nlohmann::ordered_json j;
      j["filter"] = cp932::ToUtf8(model.Filter());
      j["sort"] = cp932::ToUtf8(model.Sort());
      j["mode"] = model.Mode();
      j["lines"] = model.LinesPerPage();
      std::printf("%s\n", j.dump(2).c_str());
    } else {
      std::printf("%s\n%s\n", cp932::ToUtf8(model.Filter()).c_str(), cp932::ToUtf8(model.Sort()).c_str());
    }
    return cli::kSuccess;
  }
  if (const int rc = s.Run(); rc != cli::kSuccess) return rc;

  std::vector<std::string> captions;
  std::vector<std::vector<std::string>> rows;
  std::string footer;
  if (model.Mode() == CMyPickup::kGroupDisplay) {
    const CMyGroup& group = s.group;
    std::vector<int> shownFields;
    for (const auto& c : group.Columns()) {
      if (c.field < 0 || c.mode == CMyGroup::kNone) continue;
      captions.push_back(c.def.caption);
      shownFields.push_back(c.field);
    }
    for (int i = 0; i < group.RowCount(); ++i) {
      std::vector<std::string> cells;
      for (int f : shownFields) cells.push_back(group.DisplayValue(i, f));
      rows.push_back(std::move(cells));
    }
    footer = group.FooterText();
  } else {
    captions = {"キー項目"_sj, "行連番"_sj};
    std::vector<int> shownFields{memo::kKey, memo::kLineSerial};
    for (const auto& f : s.setup.fields) {
      const int i = s.db.FindField(f.name);
      if (i < 0) continue;
      captions.push_back(f.caption);
      shownFields.push_back(i);
    }
    for (int i = 0; i < s.records.Count(); ++i) {
      std::vector<std::string> cells;
      for (int f : shownFields) {
        const char* v = s.db.Value(f, s.records.Items()[i]);
        cells.emplace_back(v ? v : "");
      }
      rows.push_back(std::move(cells));
    }
  }
  if (s.json) {
    nlohmann::ordered_json out = nlohmann::ordered_json::array();
    for (const auto& cells : rows) {
      nlohmann::ordered_json o = nlohmann::ordered_json::object();
      for (size_t c = 0; c < cells.size(); ++c) o[cp932::ToUtf8(captions[c])] = cp932::ToUtf8(cells[c]);
      out.push_back(std::move(o));
    }
    std::printf("%s\n", out.dump(2).c_str());
  } else {
    if (s.header) PrintLine(captions);
    for (const auto& cells : rows) PrintLine(cells);
  }
  if (!footer.empty()) std::fprintf(stderr, "jbx %s: %s\n", kSub, cp932::ToUtf8(footer).c_str());
  return cli::kSuccess;
}
