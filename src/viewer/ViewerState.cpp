#include "viewer/ViewerState.h"

#include <algorithm>

namespace viewer {

int TurnOf(const std::string& code) {
  if (code == "DT") return 0;
  if (code == "DR") return 90;
  if (code == "DB") return 180;
  if (code == "DL") return 270;
  return -1;
}

void Zoom::Fit(int w, int h, int ww, int wh) {
  fitted_ = true;
  if (w <= 0 || h <= 0 || ww <= 0 || wh <= 0) {
    factor_ = 1.0;
    return;
  }
  factor_ = std::min({1.0, static_cast<double>(ww) / w, static_cast<double>(wh) / h});
  factor_ = std::max(factor_, kMin);
}

void Zoom::Set(double f) {
  factor_ = std::clamp(f, kMin, kMax);
  fitted_ = false;
}

void Zoom::In() { Set(factor_ * kStep); }
void Zoom::Out() { Set(factor_ / kStep); }

}  // namespace viewer
