// stylomat-cli grid-test: the main window's grid and button test without a
// window.  The port is searched as its icon does, then the test runs as
// the window runs it, for a given time of the session clock: every grid
// error is printed as the grid view's tooltip words it, then a summary.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "cli/cli.h"
#include "discovery/port_search.h"
#include "platform/clip_player.h"
#include "testbench/grid_test.h"

namespace stylomat::cli {

namespace {

constexpr double Longest_Test_Seconds = 24.0 * 3600.0;

// The window events of the test: the only event here is the end of the
// time asked for.
class Timed_Test : public Front_End {
 public:
  explicit Timed_Test(Session& s) : s_(s) {}
  void Start(double seconds) { deadline_ = s_.clock.Now() + seconds; }
  void Process_Events() override {
    if (deadline_ >= 0 && s_.clock.Now() >= deadline_) s_.Stop_Test = true;
  }

 private:
  Session& s_;
  double deadline_ = -1;
};

std::string Printable(const std::string& text) {
  std::string out;
  for (unsigned char c : text) {
    if (c >= 0x20 && c < 0x7f) {
      out += static_cast<char>(c);
    } else {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02X", c);
      out += hex;
    }
  }
  return out;
}

std::string Message_Lines(const std::string& text) {
  std::string out;
  for (char c : text) out += c == '\r' ? '\n' : c;
  return out;
}

bool Parse_Seconds(const std::string& text, double& seconds) {
  if (text.empty() || text.size() > 32) return false;
  errno = 0;
  char* end = nullptr;
  seconds = std::strtod(text.c_str(), &end);
  return errno == 0 && end == text.c_str() + text.size() && seconds > 0 && seconds <= Longest_Test_Seconds;
}

std::string Buttons_Seen(const Grid_Statistics& st) {
  std::string out;
  for (std::size_t code = 1; code < st.buttons.size(); ++code) {
    if (!st.buttons.test(code)) continue;
    if (!out.empty()) out += ", ";
    out += std::to_string(code);
  }
  return out.empty() ? "none" : out;
}

const char* Unit_Name(const Main_Window_State& m) {
  if (m.Crd_Pnt.checked) return "counts";
  if (m.Crd_US.checked) return "inches";
  return "millimetres";
}

}  // namespace

int Cmd_Grid_Test(Context& ctx) {
  const Options& o = ctx.options();
  if (!o.positional.empty()) return ctx.Usage_Error("grid-test takes no words besides its options");
  const auto port = ctx.Port_Option();
  if (!port) return Exit_Error;
  double seconds = 0;
  const auto seconds_text = o.Value("seconds");
  if (!seconds_text) return ctx.Usage_Error("grid-test needs --seconds S (how long the test runs)");
  if (!Parse_Seconds(*seconds_text, seconds)) {
    return ctx.Usage_Error("--seconds must be a number of seconds above 0 and at most 86400, not \"" + *seconds_text +
                           "\"");
  }
  const std::string units = o.Value("units").value_or("counts");
  if (units != "counts" && units != "in" && units != "mm") {
    return ctx.Usage_Error("--units must be counts, in or mm, not \"" + units + "\"");
  }
  const std::string save = o.Value("save").value_or("");

  Session* s = ctx.Start();
  if (!s) return Exit_Error;
  Port_Icon_Command(*s, *port);
  if (s->Search_Status != 0 || !s->port.PortOpen()) {
    if (s->main.ErrorMsg.visible) ctx.out() << Message_Lines(s->main.ErrorMsg.text) << "\n";
    return s->Search_Status == -2 ? Exit_Error : Exit_Nothing;
  }
  ctx.out() << "Tablet: " << Printable(s->main.Tbl.text) << " on COM" << *port << "\n";
  if (!s->main.Grid_btn.enabled) {
    ctx.out() << "The tablet's active area is not known: the grid test is not offered.\n";
    return Exit_Nothing;
  }

  Recording_Clip_Player player;
  Grid_Test test(*s, player);
  if (units == "in") test.Crd_US();
  if (units == "mm") test.Crd_Mtr();
  if (units == "counts") test.Crd_Pnt();
  test.On_Grid_Error = [&ctx](const std::string& text) { ctx.out() << text << "\n"; };
  Timed_Test events(*s);
  s->Set_Front_End(&events);
  events.Start(seconds);
  test.Run_Grid_Test();
  s->Set_Front_End(nullptr);

  if (test.Lost_Communication()) {
    if (s->main.ErrorMsg.visible) ctx.out() << Message_Lines(s->main.ErrorMsg.text) << "\n";
    return Exit_Error;
  }
  const Grid_Statistics& st = test.Statistics();
  const Main_Window_State& m = s->main;
  ctx.out() << "Reports decoded: " << st.reports << "\n";
  ctx.out() << "Vertical grid errors: " << st.vertical_errors << "\n";
  ctx.out() << "Horizontal grid errors: " << st.horizontal_errors << "\n";
  ctx.out() << "Buttons seen: " << Buttons_Seen(st) << "\n";
  ctx.out() << "Cursor: " << Printable(s->reports.Sel_Zelta_Cursor) << "\n";
  if (st.pressure_seen) {
    ctx.out() << "Pressure range: " << st.min_pressure << " to " << st.max_pressure << "\n";
  } else {
    ctx.out() << "Pressure range: none reported\n";
  }
  ctx.out() << "Last position: X " << m.grid.X_Cord.text << ", Y " << m.grid.Y_Cord.text << " (" << Unit_Name(m)
            << ")\n";

  int status = st.vertical_errors + st.horizontal_errors > 0 ? Exit_Nothing : Exit_Ok;
  if (st.reports == 0) {
    ctx.out() << "No report came from the tablet.\n";
    status = Exit_Nothing;
  }
  if (!save.empty()) {
    std::string error;
    if (test.Save_Grid_As(save, error)) {
      ctx.out() << "Grid picture saved as " << save << "\n";
    } else {
      ctx.err() << "stylomat-cli: " << error << "\n";
      status = Exit_Error;
    }
  }
  test.Close_Window();
  return status;
}

}  // namespace stylomat::cli
