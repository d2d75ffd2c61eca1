#include "mainview/editing/FieldRun.h"

#include <cctype>

#include "mainview/editing/EditCommands.h"
#include "platform/Cp932.h"
#include "platform/FileOps.h"
#include "platform/Opener.h"
#include "platform/Prompter.h"
#include "shell/CMyPublic.h"

namespace fieldrun {

namespace {

bool StartsWithNoCase(const std::string& s, const char* prefix) {
  for (size_t i = 0; prefix[i]; ++i)
    if (i >= s.size() || std::tolower(static_cast<unsigned char>(s[i])) != prefix[i]) return false;
  return true;
}

bool IsWeb(const std::string& v) {
  return (StartsWithNoCase(v, "http://") && v.size() > 7) ||
         (StartsWithNoCase(v, "https://") && v.size() > 8);
}

bool HasFolderPart(const std::string& v) { return CMyPublic::LastSeparator(v) >= 0; }

}  // namespace

Kind Classify(const std::string& v, std::string& message) {
  message.clear();
  if (v.empty()) {
    message = "データがありません。"_sj;
    return kRefused;
  }
  if (v.size() <= 2) {
    message = "実行出来ないファイルです。"_sj;
    return kRefused;
  }
  // a web address needs no extension ("https://example.com/")
  if (IsWeb(v)) return kWeb;
  if (CMyPublic::Extension(v).size() <= 1) {
    message = "拡張子がないため実行出来ないファイルです。"_sj;
    return kRefused;
  }
  if (v[0] == '/') return kFile;
  std::string ext = CMyPublic::Extension(v);
  for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (ext == ".txt" && !HasFolderPart(v)) return kUserText;
  message = "実行可能データでありません。"_sj;
  return kRefused;
}

bool Run(MainContext& ctx, const std::string& value) {
  std::string message;
  const Kind kind = Classify(value, message);
  if (kind == kRefused) {
    ctx.prompter.Warn(message);
    return false;
  }
  std::string target = cp932::ToUtf8(value);
  if (kind == kFile && !fileops::IsFile(target)) {
    ctx.prompter.Warn("実行するファイルが存在しません。"_sj);
    return false;
  }
  if (kind == kUserText) {
    const CMyGlobal& g = *ctx.objects.global;
    const std::string folder = g.UserPath("");
    // the path is never built longer than the limit
    if (folder.size() + target.size() + 3 >= static_cast<size_t>(CMyGlobal::kMaxPath)) {
      ctx.prompter.Warn("サイズがオーバーしました。"_sj);
      return false;
    }
    target = g.UserPath(value);
    if (!fileops::Exists(target) && !fileops::WriteAtomic(target, "")) {
      ctx.prompter.Warn("ファイル作成に失敗しました。"_sj);
      return false;
    }
    if (!fileops::IsFile(target)) {
      ctx.prompter.Warn("実行するファイルが存在しません。"_sj);
      return false;
    }
  }
  if (!ctx.opener.Open(target)) {
    ctx.prompter.Warn("実行に失敗しました。"_sj);
    return false;
  }
  return true;
}

bool FieldValue(const MainContext& ctx, const EditCommands& edit, std::string& value) {
  value.clear();
  const int field = edit.FieldIndexOfName(edit.FieldUnderMouse());
  if (field < 0) return false;
  const MainObjects& o = ctx.objects;
  const CMyView& v = *o.view;
  const int row = v.CursorRow();
  if (row < 0 || row >= v.RowCount()) return true;
  const int index = v.Rows()[static_cast<size_t>(row)].record;
  if (index < 0 || index >= o.rec->Count()) return true;
  const char* text = o.db->Value(field, o.rec->Items()[index]);
  value = text ? text : "";
  return true;
}

void RunFieldTarget(MainContext& ctx, const EditCommands& edit) {
  std::string value;
  if (FieldValue(ctx, edit, value)) (void)Run(ctx, value);
}

}  // namespace fieldrun
