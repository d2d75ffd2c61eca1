// Whether the start-up offer of a backup is due, by the interval the user
// chose and the date of the last offer.
#pragma once
#include "platform/Clock.h"

class CMyGlobal;

// kind: 0 never, 7 weekly, 31 monthly, any other value daily. ymd: the date
// of the last offer as yyyymmdd, 0 = none yet. Returns true when an offer is
// due. Updates ymd as the offer is recorded: to today when it was 0 (no
// offer then) and when an offer is made, whatever the user answers, so a
// cancelled offer does not come back before the interval has passed again.
bool BackupDue(int kind, int& ymd, CivilDate today);

// The same on the user's settings (backKind, backYmd) with the settings'
// date of today; the caller shows the backup dialog when it returns true.
// The changed YMD is written with the settings at close, like every other
// setting.
bool BackupDue(CMyGlobal& global);
