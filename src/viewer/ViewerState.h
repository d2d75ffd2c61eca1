// What the picture viewer shows, without widgets: the turn its caller asked
// for, the fitted size, and the zoom steps of the wheel and the keys.
#pragma once
#include <string>

namespace viewer {

// "DT", "DR", "DB", "DL": the top of the picture at the top, right, bottom
// or left, as degrees clockwise (0, 90, 180, 270); -1 for anything else.
int TurnOf(const std::string& code);

class Zoom {
 public:
  static constexpr double kMin = 0.02, kMax = 16.0, kStep = 1.25;
  // A picture of w x h in a window of ww x wh: fitted, never enlarged.
  void Fit(int w, int h, int ww, int wh);
  void In();
  void Out();
  void Actual() { factor_ = 1.0; }
  double Factor() const { return factor_; }
  bool Fitted() const { return fitted_; }
  // The drawn size of the picture.
  int Width(int w) const { return static_cast<int>(w * factor_); }
  int Height(int h) const { return static_cast<int>(h * factor_); }

 private:
  void Set(double f);
  double factor_ = 1.0;
  bool fitted_ = true;
};

}  // namespace viewer
