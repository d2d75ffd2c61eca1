#include "exchange/BackupDue.h"

#include "shell/CMyGlobal.h"
#include "shell/CivilDays.h"

bool BackupDue(int kind, int& ymd, CivilDate today) {
  if (kind == 0) return false;
  if (ymd == 0) {
    ymd = today.Ymd();
    return false;
  }
  long n = kind == 7 ? 7 : kind == 31 ? 31 : 1;
  if (civil::AddDays(today, -n).Ymd() < ymd) return false;
  ymd = today.Ymd();
  return true;
}

bool BackupDue(CMyGlobal& global) { return BackupDue(global.backKind, global.backYmd, global.Today()); }
