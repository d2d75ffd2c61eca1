#include "mainview/display/SheetZoom.h"

#include <iterator>

#include "shell/CMyGlobal.h"

int SheetZoom::Valid(int percent) {
  if (percent < kSteps[0] || percent > kSteps[std::size(kSteps) - 1]) return kNormal;
  int shown = kSteps[0];
  for (int s : kSteps)
    if (s <= percent) shown = s;
  return shown;
}

int SheetZoom::Next(int percent, int direction) {
  const int now = Valid(percent);
  if (direction == 0) return kNormal;
  const int n = static_cast<int>(std::size(kSteps));
  for (int i = 0; i < n; ++i) {
    if (kSteps[i] != now) continue;
    const int next = i + (direction > 0 ? 1 : -1);
    return next < 0 || next >= n ? now : kSteps[next];
  }
  return now;
}

int SheetZoom::Percent() const { return Valid(global_.zoom); }

bool SheetZoom::FitColumns() const { return global_.fitColumns; }

bool SheetZoom::Step(int direction, bool& written) {
  written = true;
  const int next = Next(global_.zoom, direction);
  if (next == Percent() && next == global_.zoom) return false;
  global_.zoom = next;
  written = global_.WriteViewSettings();
  return true;
}

bool SheetZoom::SetFitColumns(bool on) {
  global_.fitColumns = on;
  return global_.WriteViewSettings();
}
