#include "shell/HelpTopics.h"

#include "platform/Cp932.h"
#include "shell/CMyGlobal.h"

namespace helptopics {

const std::vector<std::pair<std::string, std::string>>& ByWindow() {
  static const std::vector<std::pair<std::string, std::string>> kTopics = {
      {"frmMain", "シート"},
      {"frmNewUser", "はじめに"},
      {"frmNewDiv", "新規分類作成"},
      {"frmNewDivIn", "分類"},
      {"frmNewScr", "表示画面"},
      {"frmPkgViewSel", "表示画面"},
      {"frmInput", "入力画面"},
      {"frmSetMaster", "選択リスト"},
      {"frmSetMaster2", "マスタ設定"},
      {"frmHanyoData", "計算項目"},
      {"frmView", "写真"},
      {"frmSetColor", "色設定"},
      {"frmFind", "検索"},
      {"frmSub", "参照画面"},
      {"frmPickup", "抽出条件設定"},
      {"frmSelect", "抽出"},
      {"frmAlarm", "アラーム"},
      {"frmAlarmSet", "アラーム"},
      {"frmMissedAlarms", "お知らせ"},
      {"frmPageSetup", "印刷"},
      {"frmExport", "エクスポート"},
      {"frmImport", "インポート"},
      {"frmDataBack", "バックアップ"},
      {"frmRestore", "リストア"},
      {"frmHoliday", "祝日"},
      {"frmInHoliday", "祝日"},
      {"frmOption", "オプション"},
  };
  return kTopics;
}

std::string KeywordOf(const std::string& windowName) {
  for (const auto& [window, keyword] : ByWindow())
    if (window == windowName) return keyword;
  return {};
}

void OpenFor(const CMyGlobal& global, const std::string& windowName) {
  // the keywords of this table are checked by the help pages' test itself
  (void)global.ShowHelp(cp932::FromUtf8(KeywordOf(windowName)));
}

}  // namespace helptopics
