#include "sim/report_script.h"

#include <algorithm>

#include "sim/sim_device.h"

namespace stylomat {

Report_Script::Report_Script(Active_Area area, Script_Cursor cursor) : area_(area), cursor_(cursor) {
  if (area_.right < area_.left) area_.right = area_.left;
  if (area_.top < area_.bottom) area_.top = area_.bottom;
  if (cursor_.buttons < 1) cursor_.buttons = 1;
  if (cursor_.max_pressure < 0) cursor_.max_pressure = 0;
  const auto steps = [](long span) { return static_cast<int>((span + Stroke_Step - 1) / Stroke_Step); };
  stroke_steps_ = std::max({1, steps(area_.right - area_.left), steps(area_.top - area_.bottom)});
}

void Report_Script::Set_Broken_Wires(bool across_x, bool across_y) {
  broken_x_ = across_x;
  broken_y_ = across_y;
}

int Report_Script::Cycle_Reports() const {
  const int ramp = cursor_.max_pressure > 0 ? Ramp_Reports : 0;
  return Lifted_Reports + Stroke_Reports() + (2 * cursor_.buttons + 1) * Press_Reports + ramp;
}

Script_Point Report_Script::Next() {
  const Script_Point p = At(index_);
  index_ = (index_ + 1) % Cycle_Reports();
  return p;
}

long Report_Script::Through_Wire(long v, long wire, long end) const {
  if (v >= wire && v < wire + Broken_Wire_Gap) return std::min(wire + Broken_Wire_Gap, end);
  return v;
}

Script_Point Report_Script::At(int i) const {
  Script_Point p;
  if (i < Lifted_Reports) {
    p.x = area_.left;
    p.y = area_.bottom;
    return p;
  }
  i -= Lifted_Reports;
  p.in_prox = true;
  const int tip_pressure = cursor_.max_pressure / 2;
  if (i < Stroke_Reports()) {
    p.x = area_.left + (area_.right - area_.left) * i / stroke_steps_;
    p.y = area_.bottom + (area_.top - area_.bottom) * i / stroke_steps_;
    if (broken_x_) p.x = Through_Wire(p.x, Broken_Wire_X(), area_.right);
    if (broken_y_) p.y = Through_Wire(p.y, Broken_Wire_Y(), area_.top);
    p.button = 1;
    p.pressure = tip_pressure;
    p.entering = i == 0;
    return p;
  }
  i -= Stroke_Reports();
  p.x = area_.right;
  p.y = area_.top;
  const int presses = (2 * cursor_.buttons + 1) * Press_Reports;
  if (i < presses) {
    // Released, button 1, released, button 2, ..., released.
    const int slot = i / Press_Reports;
    p.button = slot % 2 == 1 ? (slot + 1) / 2 : 0;
    p.pressure = p.button == 1 ? tip_pressure : 0;
    return p;
  }
  i -= presses;
  p.button = 1;
  p.pressure = cursor_.max_pressure * i / (Ramp_Reports - 1);
  return p;
}

Report_Stream::Report_Stream(Report_Script script, unsigned char sync_floor, Encoder encode)
    : script_(std::move(script)), sync_floor_(sync_floor > 0 ? sync_floor : 1), encode_(std::move(encode)) {}

void Report_Stream::Set_Faults(const Stream_Faults& faults) {
  faults_ = faults;
  script_.Set_Broken_Wires(faults.broken_x, faults.broken_y);
}

void Report_Stream::Set_Area(const Active_Area& area) {
  script_ = Report_Script(area, script_.Cursor());
  script_.Set_Broken_Wires(faults_.broken_x, faults_.broken_y);
}

void Report_Stream::Start(Sim_Link& link, double reports_per_second) {
  if (streaming_ || stalled_ || reports_per_second <= 0) return;
  streaming_ = true;
  sent_ = 0;
  interval_ = 1.0 / reports_per_second;
  script_.Restart();
  if (faults_.vanish_after >= 0) link.Vanish_At(link.Now() + faults_.vanish_after);
  link.Set_Timer(link.Now() + interval_);
}

void Report_Stream::Stop(Sim_Link& link) {
  stalled_ = false;
  if (!streaming_) return;
  streaming_ = false;
  link.Set_Timer(-1);
}

void Report_Stream::On_Timer(Sim_Link& link) {
  if (!streaming_) return;
  std::string bytes = encode_(script_.Next());
  if (faults_.noise) bytes += Noise();
  link.Send(bytes);
  ++sent_;
  if (faults_.stop_after >= 0 && sent_ >= faults_.stop_after) {
    streaming_ = false;
    stalled_ = true;
    return;
  }
  link.Set_Timer(std::max(link.Now() + interval_, link.Transmit_Free_At()));
}

// One or two bytes after each packet, alternately, every one below the
// sync floor, so a decoder drops them while it looks for the next packet.
std::string Report_Stream::Noise() {
  const int count = 1 + sent_ % 2;
  std::string bytes;
  for (int k = 0; k < count; ++k) {
    bytes += static_cast<char>((noise_sent_ * 37 + 5) % sync_floor_);
    ++noise_sent_;
  }
  return bytes;
}

}  // namespace stylomat
