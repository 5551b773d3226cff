// stylomat-cli driver: the tablet driver as the program sees it.
//   driver info                     what the information routine shows:
//                                   interface, device, axes, pressure, cursors
//   driver monitor [--seconds S]    the driver's packets live, one line each
#include <charconv>
#include <cstdio>
#include <iomanip>
#include <sstream>

#include "cli/cli.h"
#include "discovery/wintab_search.h"
#include "wintab/wintab_monitor.h"

namespace stylomat::cli {

namespace {

void Field(std::ostream& out, const char* label, const std::string& value) {
  out << "  " << std::left << std::setw(18) << label << value << "\n";
}

void Print_Axis(std::ostream& out, const char* axis, const std::string& min, const std::string& max,
                const std::string& units, const std::string& res) {
  if (min.empty() && max.empty()) return;
  out << "  " << axis << "  min " << min << "  max " << max << "  units " << units << "  resolution " << res << "\n";
}

// Prints the ErrorMsg text without its line breaks' CR.
void Print_Text(std::ostream& out, const std::string& text) {
  std::string line;
  for (char c : text) {
    if (c == '\r') {
      out << line << "\n";
      line.clear();
    } else {
      line += c;
    }
  }
  if (!line.empty()) out << line << "\n";
}

void Print_Information(Context& ctx, Session& s) {
  const Wintab_Monitor_State& f = s.wintab.WT_Testing;
  std::ostream& out = ctx.out();
  out << "Driver: " << ctx.Driver_Description() << "\n";
  out << "Interface:\n";
  Field(out, "Wintab_ID", f.Wintab_ID);
  Field(out, "Spec version", f.Wintab_Sp_Version);
  Field(out, "Impl. version", f.Wintab_Im_Version);
  Field(out, "Devices", f.Wintab_N_Dev);
  Field(out, "Cursors", f.Wintab_N_Cur);
  Field(out, "Contexts", f.Wintab_N_Cont);
  Field(out, "Managers", f.Wintab_N_MH);
  Field(out, "Screen", f.Wintab_Screen_X + " x " + f.Wintab_Screen_Y);
  out << "Device:\n";
  Field(out, "Tablet_ID", f.Tablet_ID);
  Field(out, "Version", f.Device_Ver);
  Field(out, "Format", f.Device_Format);
  Field(out, "Cursor types", f.Device_N_Cur);
  Field(out, "First cursor", f.Device_First_Cur);
  Field(out, "Report rate", f.Device_R_Rate.empty() ? "(not reported)" : f.Device_R_Rate);
  out << "Axes:\n";
  Print_Axis(out, "X", f.X_Min, f.X_Max, f.X_Units, f.X_Res);
  Print_Axis(out, "Y", f.Y_Min, f.Y_Max, f.Y_Units, f.Y_Res);
  Print_Axis(out, "Z", f.Z_Min, f.Z_Max, f.Z_Units, f.Z_Res);
  out << f.Size_Frame << "\n";
  out << "Pressure: " << (f.Device_Pr_Range.empty() ? "(none)" : f.Device_Pr_Range) << "\n";
  out << "Cursors:\n";
  for (std::size_t n = 0; n < f.Cursor_ID.size(); ++n) {
    const Wintab_Cursor& c = s.wintab.Cursor_Table[n];
    out << "  " << n << "  " << std::left << std::setw(10) << c.Name << "  buttons " << c.Buttons
        << "  pressure button " << (c.Pressure_Button ? "True" : "False") << "  active "
        << (c.Active ? "True" : "False") << "\n";
  }
  out << "Main window: " << s.main.Tbl.text << ", Version " << s.main.Version_Lb.text << ", Size "
      << s.main.Size_lb.text << "\n";
}

// Runs the information routine; false (with the main window's text
// printed) when the driver shows no tablet.
bool Driver_With_Tablet(Context& ctx, Session& s) {
  const Wintab_Outcome outcome = Wintab_Information(s);
  if (outcome == Wintab_Outcome::Device) return true;
  ctx.out() << "Driver: " << ctx.Driver_Description() << "\n";
  Print_Text(ctx.out(), s.main.ErrorMsg.text);
  if (!s.wintab.WT_Testing.Problem.empty()) ctx.out() << s.wintab.WT_Testing.Problem << "\n";
  return false;
}

// Ends the monitor once its time is up.
struct Monitor_Front_End : Front_End {
  Session* s = nullptr;
  double until = -1;
  void Process_Events() override {
    if (until >= 0 && s->clock.Now() >= until) s->wintab.Monitor_Stop_Request = true;
  }
};

std::string Seconds_Text(double t) {
  char text[32];
  std::snprintf(text, sizeof text, "%.3f", t);
  return text;
}

int Monitor(Context& ctx, Session& s) {
  double seconds = -1;
  if (const auto v = ctx.options().Value("seconds")) {
    const char* end = v->data() + v->size();
    const auto [ptr, ec] = std::from_chars(v->data(), end, seconds);
    if (ec != std::errc() || ptr != end || !(seconds > 0) || seconds > 86400) {
      return ctx.Usage_Error("--seconds must be a number of seconds above 0 and at most 86400, not \"" + *v + "\"");
    }
  }
  if (!Driver_With_Tablet(ctx, s)) return Exit_Nothing;
  const double start = s.clock.Now();
  Monitor_Front_End front_end;
  front_end.s = &s;
  front_end.until = seconds > 0 ? start + seconds : -1;
  s.Set_Front_End(&front_end);
  const Wintab_Monitor_State& f = s.wintab.WT_Testing;
  std::ostream& out = ctx.out();
  out << "Monitoring " << s.main.Tbl.text << " (" << ctx.Driver_Description() << ")\n";
  s.wintab.On_Monitor_Packet = [&](const Wintab_Packet&) {
    out << Seconds_Text(s.clock.Now() - start) << "  Prox " << f.Monitor_Prox << "  Cursor " << f.Monitor_Cur << " "
        << f.Monitor_Cur_Name << "  Buttons " << f.Monitor_Btn << "  X " << f.Monitor_X << "  Y " << f.Monitor_Y
        << "  Pressure " << f.Monitor_Pres << "\n";
    out.flush();
  };
  s.wintab.On_Proximity_Message = [&] {
    out << Seconds_Text(s.clock.Now() - start) << "  proximity message: Prox " << f.Monitor_Prox << "\n";
  };
  Show_Wintab_Monitor(s);
  Mon_Start(s);
  Mon_Stop(s);
  s.wintab.On_Monitor_Packet = nullptr;
  s.wintab.On_Proximity_Message = nullptr;
  s.Set_Front_End(nullptr);
  return Exit_Ok;
}

}  // namespace

int Cmd_Driver(Context& ctx) {
  const auto& words = ctx.options().positional;
  if (words.size() != 1 || (words[0] != "info" && words[0] != "monitor")) {
    return ctx.Usage_Error("driver needs info or monitor [--seconds S]");
  }
  Session* s = ctx.Start();
  if (!s) return Exit_Error;
  if (words[0] == "monitor") return Monitor(ctx, *s);
  if (!Driver_With_Tablet(ctx, *s)) return Exit_Nothing;
  Print_Information(ctx, *s);
  return Exit_Ok;
}

}  // namespace stylomat::cli
