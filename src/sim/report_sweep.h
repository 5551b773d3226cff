#pragma once
// The strokes a simulated tablet reports while it streams: the cursor moves
// slowly from the lower left to the upper right corner of the active area
// with its first button pressed, lifts out of proximity for a moment, and
// starts again, the way a technician tests the grid.
namespace stylomat {

struct Sweep_Point {
  long x = 0;
  long y = 0;
  int button = 0;
  bool in_prox = true;
};

class Report_Sweep {
 public:
  // steps: reports along one stroke.
  Report_Sweep(long width, long height, int steps = 400);
  Sweep_Point Next();

 private:
  long width_;
  long height_;
  int steps_;
  int step_ = 0;
};

// Time between two streamed reports.
inline constexpr double Report_Interval = 0.02;

}  // namespace stylomat
