#pragma once
// A session wired to simulated tablets on a virtual clock, with the wire
// trace captured, for tests of anything that talks to a tablet.
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/session.h"
#include "platform/clock.h"
#include "platform/prompter.h"
#include "sim/sim_device.h"

namespace stylomat::test {

// Records what the tablet heard and can answer scripted replies.
class Recording_Device : public Sim_Device {
 public:
  explicit Recording_Device(const std::string& framing = "9600,n,8,2");
  void On_Byte(Sim_Link& link, unsigned char byte) override;
  void On_Lines(Sim_Link& link, bool dtr, bool rts) override;
  void On_Break(Sim_Link& link, bool on) override;

  std::string heard;                      // bytes, in order
  std::vector<std::string> line_changes;  // "DTR1 RTS0" at each change
  int breaks = 0;
};

// A front end whose requests a test can watch: each hook, when set, runs on
// the request.  Open_Config_Window answers what `open` answers (no window
// when it is empty).
struct Test_Front_End : Front_End {
  std::function<void()> events, log_refresh, splash, beep, end;
  std::function<bool(Config_Window, const std::string&)> open;
  // The save dialog: answers what `save` answers (cancelled when empty).
  std::function<std::optional<std::string>(const std::string& proposed, const std::string& filter)> save;

  void Process_Events() override {
    if (events) events();
  }
  void Refresh_Log_View() override {
    if (log_refresh) log_refresh();
  }
  void Repaint_Splash() override {
    if (splash) splash();
  }
  void Beep() override {
    if (beep) beep();
  }
  bool Open_Config_Window(Config_Window window, const std::string& caption) override {
    return open ? open(window, caption) : false;
  }
  void End_Program() override {
    if (end) end();
  }
  std::optional<std::string> Ask_Save_File(const std::string& proposed, const std::string& filter) override {
    return save ? save(proposed, filter) : std::nullopt;
  }
};

struct Sim_Bench {
  Sim_Bench();

  // Puts a device on COM n; returns the port backend for fault injection.
  Simulated_Port& Attach(int com, std::unique_ptr<Sim_Device> device, Sim_Faults faults = {});
  // Maps a COM number to nothing that can be opened (missing device).
  void Attach_Missing(int com);
  // Maps the COM number to a named simulated profile.
  Simulated_Port& Attach_Profile(int com, const std::string& profile);

  // Trace lines without their time stamps ("COM3 TX 1B 25 ...").
  std::vector<std::string> Trace_Events() const;
  // Only the lines of one kind ("TX", "RX", "DTR", ...).
  std::vector<std::string> Trace_Of(const std::string& event) const;
  // Trace lines from `since` on, timed from it, without the port:
  // "0.150 TX 1B 5A"; only those of one kind when `event` is given.
  std::vector<std::string> Timed_Events(double since, const std::string& event = "") const;
  std::string Log() const { return session.log.Text(); }
  double Now() { return clock.Now(); }

  Virtual_Clock clock;
  Port_Directory ports;
  Fixed_Prompter prompter;
  Session session;
  Test_Front_End front_end;
  std::vector<std::string> trace;  // full lines with time stamps
  Wire_Trace wire_trace;
};

// Splits the traffic log into its CR-ended lines (the last line has no CR
// when the log does not end in one).
std::vector<std::string> Log_Lines(const std::string& log);

}  // namespace stylomat::test
