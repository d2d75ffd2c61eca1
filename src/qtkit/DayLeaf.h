// The program's icon: a leaf of a desk calendar, with the day of the month
// (the window and the tray show today), or "帳" for the menu entry.
#pragma once
#include <QIcon>
#include <QPixmap>
#include <QString>

#include "shell/CivilDays.h"

// A square leaf of `size` pixels; day 1..31, or 0 for the program's own mark.
QPixmap DrawDayLeaf(int day, int size);

// The window icon: the leaf at the sizes a task bar asks for.
QIcon DayIcon(int day);
// The main window's caption for `today`: "ひとこと(yyyy年mm月dd日 dddd)".
QString CaptionFor(CivilDate today);
