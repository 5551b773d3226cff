// stylomat-cli driver: the tablet driver as the program sees it.
//   driver info                     what the information routine shows:
//                                   interface, device, axes, pressure, cursors
//   driver monitor [--seconds S]    the driver's packets live, one row each

#include "cli/cli.h"
#include "discovery/wintab_search.h"
#include "wintab/wintab_monitor.h"

namespace stylomat::cli {

namespace {

void Add_Axis(Doc& doc, char axis, const std::string& min, const std::string& max, const std::string& units,
              const std::string& res) {
  if (min.empty() && max.empty()) return;
  const std::string a(1, axis);
  doc.Text(a + "_Min", min);
  doc.Text(a + "_Max", max);
  doc.Text(a + "_Units", units);
  doc.Text(a + "_Res", res);
}

// What the information routine filled in, by the monitor window's field
// names, then the driver's cursors and what the main window shows.
Doc Information(Context& ctx, Session& s) {
  const Wintab_Monitor_State& f = s.wintab.WT_Testing;
  Doc doc;
  doc.Text("Driver", ctx.Driver_Description());
  doc.Text("Wintab_ID", f.Wintab_ID);
  doc.Text("Wintab_Sp_Version", f.Wintab_Sp_Version);
  doc.Text("Wintab_Im_Version", f.Wintab_Im_Version);
  doc.Text("Wintab_N_Dev", f.Wintab_N_Dev);
  doc.Text("Wintab_N_Cur", f.Wintab_N_Cur);
  doc.Text("Wintab_N_Cont", f.Wintab_N_Cont);
  doc.Text("Wintab_N_MH", f.Wintab_N_MH);
  doc.Text("Wintab_Screen_X", f.Wintab_Screen_X);
  doc.Text("Wintab_Screen_Y", f.Wintab_Screen_Y);
  doc.Text("Tablet_ID", f.Tablet_ID);
  doc.Text("Device_Ver", f.Device_Ver);
  doc.Text("Device_Format", f.Device_Format);
  doc.Text("Device_N_Cur", f.Device_N_Cur);
  doc.Text("Device_First_Cur", f.Device_First_Cur);
  doc.Text_Or_None("Device_R_Rate", f.Device_R_Rate.empty() ? std::nullopt : std::optional(f.Device_R_Rate));
  Add_Axis(doc, 'X', f.X_Min, f.X_Max, f.X_Units, f.X_Res);
  Add_Axis(doc, 'Y', f.Y_Min, f.Y_Max, f.Y_Units, f.Y_Res);
  Add_Axis(doc, 'Z', f.Z_Min, f.Z_Max, f.Z_Units, f.Z_Res);
  doc.Text("Size_Frame", f.Size_Frame);
  doc.Text_Or_None("Device_Pr_Range",
                   f.Device_Pr_Range.empty() ? std::nullopt : std::optional(f.Device_Pr_Range));
  Doc cursors;
  for (std::size_t n = 0; n < f.Cursor_ID.size() && n < s.wintab.Cursor_Table.size(); ++n) {
    const Wintab_Cursor& c = s.wintab.Cursor_Table[n];
    Doc cursor;
    cursor.Text("Name", c.Name);
    cursor.Number("Buttons", c.Buttons);
    cursor.Flag("Pressure_Button", c.Pressure_Button);
    cursor.Flag("Active", c.Active);
    cursors.Group(std::to_string(n), std::move(cursor));
  }
  doc.Group("Cursor_Table", std::move(cursors));
  doc.Text("Tbl", s.main.Tbl.text);
  doc.Text("Version_Lb", s.main.Version_Lb.text);
  doc.Text("Size_lb", s.main.Size_lb.text);
  return doc;
}

// Runs the information routine; false (with the main window's message as
// the result) when the driver shows no tablet.
bool Driver_With_Tablet(Context& ctx, Session& s) {
  const Wintab_Outcome outcome = Wintab_Information(s);
  if (outcome == Wintab_Outcome::Device) return true;
  Doc doc;
  doc.Text("Driver", ctx.Driver_Description());
  doc.Text_Or_None("Message", Window_Message(s));
  const std::string& problem = s.wintab.WT_Testing.Problem;
  doc.Text_Or_None("Problem", problem.empty() ? std::nullopt : std::optional(problem));
  ctx.printer().Doc_Out(doc);
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

// One row of the monitor: the packet's fields as the monitor window reads
// them, proximity and the cursor's name as it shows them.
Doc Packet_Row(double seconds, const char* event, const Wintab_Packet& packet, const Wintab_Monitor_State& f) {
  const Packet_Fields p = Read_Packet_Fields(packet);
  Doc row;
  row.Seconds("Seconds", seconds);
  row.Word("Event", event);
  row.Flag("In_Prox", f.Monitor_Prox == "True");
  row.Number("Cursor", p.Cursor);
  row.Text("Cursor_Name", f.Monitor_Cur_Name);
  row.Number("Buttons", p.Buttons);
  row.Number("X", p.X);
  row.Number("Y", p.Y);
  row.Number("Pressure", p.Pressure);
  return row;
}

// The packets until `seconds` are up (for ever when 0).
int Monitor(Context& ctx, Session& s, double seconds) {
  if (!Driver_With_Tablet(ctx, s)) return Exit_Nothing;
  const double start = s.clock.Now();
  Monitor_Front_End front_end;
  front_end.s = &s;
  front_end.until = seconds > 0 ? start + seconds : -1;
  s.Set_Front_End(&front_end);
  const Wintab_Monitor_State& f = s.wintab.WT_Testing;
  ctx.err() << "stylomat-cli: monitoring " << Shown(s.main.Tbl.text) << " (" << Shown(ctx.Driver_Description())
            << ")\n";
  ctx.printer().Header_Out(Packet_Row(0, "packet", Wintab_Packet{}, f));
  const auto row = [&](const char* event) {
    ctx.printer().Row_Out(Packet_Row(s.clock.Now() - start, event, s.wintab.Wintab_Packet, f));
    ctx.out().flush();
  };
  s.wintab.On_Monitor_Packet = [&](const Wintab_Packet&) { row("packet"); };
  s.wintab.On_Proximity_Message = [&] { row("proximity"); };
  Show_Wintab_Monitor(s);
  Mon_Start(s);
  Mon_Stop(s);
  s.wintab.On_Monitor_Packet = nullptr;
  s.wintab.On_Proximity_Message = nullptr;
  s.Set_Front_End(nullptr);
  return Exit_Ok;
}

}  // namespace

int Cmd_Driver_Info(Context& ctx) {
  if (!ctx.options().positional.empty()) return ctx.Usage_Error("driver info takes no words besides its options");
  Session* s = ctx.Start();
  if (!s) return Exit_Error;
  if (!Driver_With_Tablet(ctx, *s)) return Exit_Nothing;
  ctx.printer().Doc_Out(Information(ctx, *s));
  return Exit_Ok;
}

int Cmd_Driver_Monitor(Context& ctx) {
  if (!ctx.options().positional.empty()) return ctx.Usage_Error("driver monitor takes no words besides its options");
  double seconds = 0;
  if (!Seconds_Option(ctx, false, seconds)) return Exit_Error;
  Session* s = ctx.Start();
  if (!s) return Exit_Error;
  return Monitor(ctx, *s, seconds);
}

}  // namespace stylomat::cli
