#include "options/CMyOptions.h"

#include "platform/Cp932.h"
#include "shell/CMyGlobal.h"

CMyOptions::CMyOptions(CMyGlobal& g, bool panelShown) : global_(g) {
  initial_.printTitle = g.printTitle;
  initial_.printPage = g.printPage;
  initial_.printNow = g.printNow;
  initial_.panelHidden = !panelShown;
  initial_.backItem = ItemOfKind(g.backKind);
  initial_.backPath = g.backPath;
}

int CMyOptions::ItemOfKind(int kind) {
  switch (kind) {
    case 1:
      return 1;
    case 7:
      return 2;
    case 31:
      return 3;
    default:
      return 0;
  }
}

int CMyOptions::KindOfItem(int item) {
  static const int kKinds[] = {0, 1, 7, 31};
  return item >= 0 && item < 4 ? kKinds[item] : 0;
}

bool CMyOptions::Store(const Values& v) {
  global_.printTitle = v.printTitle;
  global_.printPage = v.printPage;
  global_.printNow = v.printNow;
  global_.backKind = KindOfItem(v.backItem);
  global_.backPath = v.backPath;
  global_.scrVisible = !v.panelHidden;
  written_ = global_.WriteOptionSettings();
  return v.panelHidden != initial_.panelHidden;
}

std::string CMyOptions::LastBackup() const {
  if (global_.backLastTime.empty()) return {};
  std::string text = "前回のバックアップ："_sj + global_.backLastTime + "  "_sj;
  if (global_.backLastResult == 0) return text + "成功"_sj;
  return text + "失敗（"_sj + std::to_string(global_.backLastResult) + "）"_sj;
}

bool CMyOptions::BackPathOf(const std::string& utf8, std::string& sj, std::string& why) {
  std::string out;
  if (cp932::FromUtf8(utf8, out) != 0) {
    why = "フォルダの名前にシフトJISで書けない文字があります。"_sj;
    return false;
  }
  if (static_cast<int>(out.size()) > kMaxBackPath) {
    why = "フォルダの名前が長すぎます（259バイトまで）。"_sj;
    return false;
  }
  sj = out;
  return true;
}
