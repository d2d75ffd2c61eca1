// The program's icon: a leaf of a desk calendar, with the day of the month
// (the window and the tray show today), or "帳" for the menu entry.
#pragma once
#include <QPixmap>

// A square leaf of `size` pixels; day 1..31, or 0 for the program's own mark.
QPixmap DrawDayLeaf(int day, int size);
