// Name tables ("*.jpr", "color.dat", "relation.dat") for jbx dump.
#include <nlohmann/json.hpp>
#include <string>

#include "catalogue/CMyMaster.h"
#include "cli/Commands.h"
#include "cli/JsonText.h"
#include "platform/Cp932.h"
#include "platform/LittleEndian.h"

int DumpMasterJson(const std::string& path, std::string& json) {
  CMyMaster table;
  if (table.Read(path) != 0) return -1;
  using nlohmann::ordered_json;
  ordered_json j;
  j["format"] = "name table";
  j["name"] = cp932::ToUtf8(table.TableName());
  const char* h = table.Header();
  j["header"] = {{"count", le::GetI32(h + CMyMaster::kHCount)},
                 {"nextId", le::GetI32(h + CMyMaster::kHNextId)},
                 {"text", jsontext::Value(table.HeaderText())},
                 {"added", le::GetI32(h + CMyMaster::kHAdded)}};
  ordered_json recs = ordered_json::array();
  for (int i = 0; i < table.RecordCount(); ++i) {
    const char* r = table.Record(i);
    ordered_json rec;
    rec["id"] = le::GetI32(r + CMyMaster::kRId);
    rec["name"] = jsontext::Value(table.Name(i));
    rec["text2"] = jsontext::Value(le::GetFixedText(r + CMyMaster::kRText2, 32));
    rec["text3"] = jsontext::Value(le::GetFixedText(r + CMyMaster::kRText3, 20));
    rec["int44"] = le::GetI32(r + 44);
    rec["key11"] = le::GetI32(r + CMyMaster::kRKey11);
    rec["key12"] = le::GetI32(r + CMyMaster::kRKey12);
    rec["key13"] = le::GetI32(r + CMyMaster::kRKey13);
    rec["key14"] = le::GetI32(r + CMyMaster::kRKey14);
    rec["int116"] = le::GetI32(r + 116);
    rec["key21"] = le::GetI32(r + CMyMaster::kRKey21);
    rec["key22"] = le::GetI32(r + CMyMaster::kRKey22);
    std::string text = table.Text(i);
    if (!text.empty()) rec["text"] = jsontext::Value(text);
    recs.push_back(rec);
  }
  j["records"] = recs;
  json = j.dump(2);
  return 0;
}
