#include "sim/report_sweep.h"

namespace stylomat {

namespace {
constexpr int Out_Of_Prox_Reports = 5;
}  // namespace

Report_Sweep::Report_Sweep(long width, long height, int steps)
    : width_(width > 0 ? width : 0), height_(height > 0 ? height : 0), steps_(steps > 1 ? steps : 2) {}

Sweep_Point Report_Sweep::Next() {
  const int cycle = steps_ + Out_Of_Prox_Reports;
  const int i = step_;
  step_ = (step_ + 1) % cycle;
  Sweep_Point p;
  if (i >= steps_) {
    // Lifted above the upper right corner between strokes.
    p.x = width_;
    p.y = height_;
    p.in_prox = false;
    return p;
  }
  p.x = width_ * i / (steps_ - 1);
  p.y = height_ * i / (steps_ - 1);
  p.button = 1;
  return p;
}

}  // namespace stylomat
