// stylomat-cli grid-test: the main window's grid and button test without a
// window.  The port is searched as its icon does, then the test runs as
// the window runs it, for a given time of the session clock: every grid
// error is a result of its own (Grid_Error, as the grid view's tooltip
// words it) as it comes, then the summary.
#include <string>

#include "cli/cli.h"
#include "discovery/port_search.h"
#include "platform/clip_player.h"
#include "testbench/grid_test.h"

namespace stylomat::cli {

namespace {

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

std::vector<long long> Buttons_Seen(const Grid_Statistics& st) {
  std::vector<long long> seen;
  for (std::size_t code = 1; code < st.buttons.size(); ++code) {
    if (st.buttons.test(code)) seen.push_back(static_cast<long long>(code));
  }
  return seen;
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
  if (!Seconds_Option(ctx, true, seconds)) return Exit_Error;
  const std::string units = o.Value("units").value_or("counts");
  if (units != "counts" && units != "in" && units != "mm") {
    return ctx.Usage_Error("--units must be counts, in or mm, not \"" + units + "\"");
  }
  const std::string save = o.Value("save").value_or("");

  Session* s = ctx.Start();
  if (!s) return Exit_Error;
  Port_Icon_Command(*s, *port);
  if (s->Search_Status != 0 || !s->port.PortOpen()) return Report_No_Tablet(ctx, *s, *port, "");
  ctx.printer().Doc_Out(Tablet_Found(*s, *port));
  if (!s->main.Grid_btn.enabled) {
    ctx.err() << "stylomat-cli: the tablet's active area is not known: the grid test is not offered\n";
    return Exit_Nothing;
  }

  Recording_Clip_Player player;
  Grid_Test test(*s, player);
  if (units == "in") test.Crd_US();
  if (units == "mm") test.Crd_Mtr();
  if (units == "counts") test.Crd_Pnt();
  // Each grid error as it comes, in the grid view's tooltip words.
  test.On_Grid_Error = [&ctx](const std::string& text) {
    ctx.printer().Doc_Out(Doc().Text("Grid_Error", text));
    ctx.out().flush();
  };
  Timed_Test events(*s);
  s->Set_Front_End(&events);
  events.Start(seconds);
  test.Run_Grid_Test();
  s->Set_Front_End(nullptr);

  if (test.Lost_Communication()) {
    ctx.err() << "stylomat-cli: " << Shown_Lines(Window_Message(*s).value_or("the tablet was lost")) << "\n";
    return Exit_Error;
  }
  const Grid_Statistics& st = test.Statistics();
  const Main_Window_State& m = s->main;
  Doc summary;
  summary.Number("Reports", st.reports);
  summary.Number("Vertical_Errors", st.vertical_errors);
  summary.Number("Horizontal_Errors", st.horizontal_errors);
  summary.Numbers("Buttons", Buttons_Seen(st));
  summary.Text("Cursor", s->reports.Sel_Zelta_Cursor);
  if (st.pressure_seen) {
    summary.Number("Min_Pressure", st.min_pressure);
    summary.Number("Max_Pressure", st.max_pressure);
  } else {
    summary.None("Min_Pressure");
    summary.None("Max_Pressure");
  }
  summary.Text("X_Cord", m.grid.X_Cord.text);
  summary.Text("Y_Cord", m.grid.Y_Cord.text);
  summary.Word("Units", Unit_Name(m));

  int status = st.vertical_errors + st.horizontal_errors > 0 ? Exit_Nothing : Exit_Ok;
  if (st.reports == 0) {
    ctx.err() << "stylomat-cli: no report came from the tablet\n";
    status = Exit_Nothing;
  }
  std::optional<std::string> saved;
  if (!save.empty()) {
    std::string error;
    if (test.Save_Grid_As(save, error)) {
      saved = save;
    } else {
      ctx.err() << "stylomat-cli: " << Shown(error) << "\n";
      status = Exit_Error;
    }
  }
  summary.Text_Or_None("Saved_As", saved);
  ctx.printer().Doc_Out(summary);
  test.Close_Window();
  return status;
}

}  // namespace stylomat::cli
