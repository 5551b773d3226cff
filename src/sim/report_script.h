#pragma once
// What a simulated tablet reports while it streams, and how the stream is
// paced on the line.  Every command family moves its cursor through the
// same script, the way a technician runs the grid and button test:
//
//   1. lifted: the cursor hovers out of proximity above the lower left
//      corner of the active area for Lifted_Reports reports;
//   2. stroke: it comes down there and is drawn diagonally to the upper
//      right corner with its first button held, never more than
//      Stroke_Step counts along either axis from one report to the next
//      (a sound grid never shows a step above the 200-count jump limit);
//   3. buttons: at that corner every button of the cursor is pressed in
//      turn, Press_Reports reports released, then as many pressed;
//   4. pressure (pressure styluses only): the tip is pressed from no
//      pressure to full over Ramp_Reports reports.
//
// Then the script starts again.  The family's tablet turns each point into
// its own packet; Report_Stream sends them at the family's report rate.
#include <functional>
#include <string>

namespace stylomat {

class Sim_Link;

// Corners of the active area, in the tablet's counts.
struct Active_Area {
  long left = 0;
  long bottom = 0;
  long right = 0;
  long top = 0;
};

// The cursor on the tablet.
struct Script_Cursor {
  int buttons = 4;       // numbered from 1
  int max_pressure = 0;  // top of the pressure scale; 0: the cursor senses no pressure
};

struct Script_Point {
  long x = 0;
  long y = 0;
  int button = 0;  // 0: none pressed
  bool in_prox = false;
  int pressure = 0;
  bool entering = false;  // the first report in proximity after the cursor was lifted
};

// Faults of a streaming tablet; every streaming profile has a variant of
// each (sim/profiles.cpp).
struct Stream_Faults {
  bool broken_x = false;       // a broken wire across X: the stroke's X skips Broken_Wire_Gap counts
  bool broken_y = false;       // the same across Y
  bool noise = false;          // bytes below the sync floor between the packets
  int stop_after = -1;         // >= 0: the tablet falls silent after this many reports, until reset
  double vanish_after = -1.0;  // >= 0: the port vanishes this many seconds after streaming starts
};

class Report_Script {
 public:
  static constexpr int Lifted_Reports = 10;
  static constexpr long Stroke_Step = 50;
  static constexpr int Press_Reports = 5;
  static constexpr int Ramp_Reports = 32;
  // A broken wire lies 2/5 of the way along its axis.  The tablet cannot
  // sense the cursor between it and the next sound wire and reports that
  // wire instead: the stroke jumps ahead by this many counts there, then
  // stands still until the cursor catches up.
  static constexpr long Broken_Wire_Gap = 450;

  Report_Script(Active_Area area, Script_Cursor cursor);
  void Set_Broken_Wires(bool across_x, bool across_y);

  // The next point; after the last one of the script the first again.
  Script_Point Next();
  void Restart() { index_ = 0; }

  const Active_Area& Area() const { return area_; }
  const Script_Cursor& Cursor() const { return cursor_; }
  int Stroke_Reports() const { return stroke_steps_ + 1; }
  int Cycle_Reports() const;
  long Broken_Wire_X() const { return area_.left + 2 * (area_.right - area_.left) / 5; }
  long Broken_Wire_Y() const { return area_.bottom + 2 * (area_.top - area_.bottom) / 5; }

 private:
  Script_Point At(int i) const;
  long Through_Wire(long v, long wire, long end) const;

  Active_Area area_;
  Script_Cursor cursor_;
  int stroke_steps_ = 1;
  bool broken_x_ = false;
  bool broken_y_ = false;
  int index_ = 0;
};

// One tablet's report stream: the script, turned into packets by the
// family's encoder and sent at the family's rate.  A report is never sent
// before the previous one (and its noise) has left the tablet, so no rate
// outruns the line.  The stream runs on the tablet's one timer; the tablet
// forwards its On_Timer here while the stream is on.
class Report_Stream {
 public:
  using Encoder = std::function<std::string(const Script_Point&)>;

  Report_Stream(Report_Script script, unsigned char sync_floor, Encoder encode);
  void Set_Faults(const Stream_Faults& faults);
  // The cursor moves over another area from the next start on (a tablet
  // whose axes were turned).
  void Set_Area(const Active_Area& area);

  // Starts streaming (the script from its beginning); the first report
  // follows one interval later.  Nothing happens while the stream runs,
  // or while a stalled tablet waits for its reset.
  void Start(Sim_Link& link, double reports_per_second);
  // The tablet's reset: streaming stops, a stalled tablet recovers.
  void Stop(Sim_Link& link);
  void On_Timer(Sim_Link& link);

  bool Streaming() const { return streaming_; }
  bool Stalled() const { return stalled_; }
  int Reports_Sent() const { return sent_; }
  const Report_Script& Script() const { return script_; }

 private:
  std::string Noise();

  Report_Script script_;
  unsigned char sync_floor_;
  Encoder encode_;
  Stream_Faults faults_;
  double interval_ = 0.01;
  bool streaming_ = false;
  bool stalled_ = false;
  int sent_ = 0;  // reports since the stream started
  int noise_sent_ = 0;
};

// A simulated tablet that streams reports: the profiles' stream fault
// variants reach its streams through this.
class Streaming_Tablet {
 public:
  virtual ~Streaming_Tablet() = default;
  virtual void Set_Stream_Faults(const Stream_Faults& faults) = 0;
};

}  // namespace stylomat
