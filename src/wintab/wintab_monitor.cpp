#include "wintab/wintab_monitor.h"

#include <algorithm>

#include "serial/serial_link.h"
#include "wintab/wintab_info.h"

namespace stylomat {

namespace {

constexpr const char* Message_Title = "Stylomat";
constexpr std::uintptr_t Msg_Target_Handle = 0x7F01;

void Monitor_Buttons_Stopped(Wintab_Monitor_State& f) {
  f.Mon_Start = Button_State{true, true, true};
  f.Mon_Stop = Button_State{false, false, false};
  f.Touch();
}

void Close_Manager_And_Context(Session& s) {
  Wintab_State& w = s.wintab;
  if (!w.driver) return;
  if (w.Manager != 0) (void)w.driver->WTMgrClose(w.Manager);
  if (w.Context != 0) (void)w.driver->WTClose(w.Context);
  w.Manager = 0;
  w.Context = 0;
}

std::intptr_t Program_Window_Procedure(Session& s, unsigned message, std::uintptr_t wparam, std::intptr_t lparam) {
  Wintab_State& w = s.wintab;
  if (message == WT_DEFBASE + WT_PROXIMITY_OFFSET) {
    s.main.LabelProx_Filled = false;
    s.main.Touch();
    w.WT_Testing.Monitor_Prox = "False";
    w.WT_Testing.Touch();
    if (w.On_Proximity_Message) w.On_Proximity_Message();
    return 0;
  }
  return Message_Target_Window::Call_Window_Proc(w.Previous_Procedure, message, wparam, lparam);
}

}  // namespace

std::string Messaging_Disabled_Text() {
  return std::string("Proximity data has been Disabled!") + CR +
         "The Pentara-Cx driver doesn't support Windows Messaging";
}

Packet_Fields Read_Packet_Fields(const Wintab_Packet& p) {
  Packet_Fields f;
  f.In_Prox = static_cast<std::int16_t>(p.Status & 0xFFFF) < 1;
  f.Cursor = static_cast<std::int32_t>(p.Cursor);
  f.Buttons = static_cast<std::int32_t>(p.Buttons);
  f.X = p.X;
  f.Y = p.Y;
  f.Pressure = static_cast<std::int16_t>(p.Normal_Pressure & 0xFFFF);
  return f;
}

bool Read_Wintab_Packet(Session& s) {
  Wintab_State& w = s.wintab;
  if (!w.driver || w.Context == 0) return false;
  return w.driver->WTPacketsGet(w.Context, std::span<Wintab_Packet>(&w.Wintab_Packet, 1)) == 1;
}

void Run_Window_Events(Session& s) {
  s.Process_Events();
  if (s.wintab.driver) s.wintab.driver->Dispatch_Messages();
}

void Wait_For_Wintab_Input(Session& s, double seconds) {
  if (s.wintab.driver) {
    s.wintab.driver->Wait_For_Packets(seconds);
  } else {
    s.clock.Sleep_Until(s.clock.Now() + seconds);
  }
}

std::uintptr_t Load_Message_Window(Session& s) {
  s.wintab.Message_Window_Handle = Msg_Target_Handle;
  return s.wintab.Message_Window_Handle;
}

void Close_Message_Window(Session& s) {
  Unhook_Message_Window(s);
  s.wintab.Message_Window_Handle = 0;
}

void Hook_Message_Window(Session& s) {
  Wintab_State& w = s.wintab;
  if (w.Hooked) return;
  w.Previous_Procedure = w.Msg_Target.Set_Window_Procedure(
      [&s](unsigned message, std::uintptr_t wparam, std::intptr_t lparam) {
        return Program_Window_Procedure(s, message, wparam, lparam);
      });
  w.Hooked = true;
}

void Unhook_Message_Window(Session& s) {
  Wintab_State& w = s.wintab;
  if (!w.Hooked) return;
  w.Msg_Target.Set_Window_Procedure(std::move(w.Previous_Procedure));
  w.Previous_Procedure = nullptr;
  w.Hooked = false;
}

void Close_Wintab(Session& s) {
  if (!s.Wintab_Present) return;
  Unhook_Message_Window(s);
  Close_Manager_And_Context(s);
  s.wintab.Monitor_Stop_Request = true;
}

void Open_Wintab_Monitor(Session& s) {
  Wintab_State& w = s.wintab;
  Wintab_Monitor_State& f = w.WT_Testing;
  const auto fail = [&] {
    Close_Manager_And_Context(s);
    Close_Message_Window(s);
    Monitor_Buttons_Stopped(f);
  };
  if (!w.driver) {
    s.prompter.Inform(No_Device_Located_Text, Message_Title);
    return fail();
  }
  std::array<std::uint8_t, Logcontext_Record_Size> record{};
  w.Default_Context_Size = w.driver->WTInfo(wti::DEFCONTEXT, 0, record);
  if (w.Default_Context_Size == 0) {
    s.prompter.Inform(No_Device_Located_Text, Message_Title);
    return fail();
  }
  w.Default_Context = Decode_Logcontext(record);
  w.Wintab_Context = Build_Wintab_Context(w.Default_Context);
  Load_Message_Window(s);

  w.Manager = w.driver->WTMgrOpen(w.Msg_Target, WT_DEFBASE);
  s.Wintab_Present = w.Manager != 0;
  if (w.Manager == 0) {
    s.prompter.Inform(No_Messaging_Text, Message_Title);
    s.prompter.Inform(Messaging_Disabled_Text(), Messaging_Disabled_Title);
  }
  w.Context = w.driver->WTOpen(w.Msg_Target, w.Wintab_Context, true);
  if (w.Context == 0) {
    s.prompter.Inform(No_Communication_Text, Message_Title);
    return fail();
  }

  Hook_Message_Window(s);
  w.Monitor_Stop_Request = false;
  w.Monitor_Running = true;
  while (!w.Monitor_Stop_Request) {
    const bool packet = Poll_Wintab_Packet(s);
    Run_Window_Events(s);
    if (!packet && !w.Monitor_Stop_Request) Wait_For_Wintab_Input(s, Monitor_Wait_Seconds);
  }
  w.Monitor_Running = false;
}

bool Poll_Wintab_Packet(Session& s) {
  Wintab_State& w = s.wintab;
  if (!Read_Wintab_Packet(s)) return false;
  Wintab_Monitor_State& f = w.WT_Testing;
  const Packet_Fields p = Read_Packet_Fields(w.Wintab_Packet);
  f.Monitor_Prox = p.In_Prox ? "True" : "False";
  f.Monitor_Btn = std::to_string(p.Buttons);
  f.Monitor_X = std::to_string(p.X);
  f.Monitor_Y = std::to_string(p.Y);
  f.Monitor_Pres = std::to_string(p.Pressure);
  f.Monitor_Cur = std::to_string(p.Cursor);
  if (p.Cursor >= 0 && p.Cursor < Cursor_Table_Size) {
    std::string name = w.Cursor_Table[static_cast<std::size_t>(p.Cursor)].Name;
    const std::size_t first = name.find_first_not_of(' ');
    const std::size_t last = name.find_last_not_of(' ');
    f.Monitor_Cur_Name = first == std::string::npos ? std::string() : name.substr(first, last - first + 1);
    // Only a cursor the list holds can be chosen in it.
    if (static_cast<std::size_t>(p.Cursor) < f.Cursor_ID.size()) Show_Cursor_Details(s, p.Cursor);
  }
  f.Touch();
  if (w.On_Monitor_Packet) w.On_Monitor_Packet(w.Wintab_Packet);
  return true;
}

void Show_Cursor_Details(Session& s, int i) {
  if (i < 0 || i >= Cursor_Table_Size) return;
  Wintab_Monitor_State& f = s.wintab.WT_Testing;
  const Wintab_Cursor& c = s.wintab.Cursor_Table[static_cast<std::size_t>(i)];
  f.Cursor_ID_Selected = i;
  f.Cursor_N_Btn_Lb.text = std::to_string(c.Buttons);
  f.Cursor_Pr_Btn_Lb.text = c.Pressure_Button ? "True" : "False";
  f.Cursor_ID_Lb.text = std::to_string(i);
  f.Cr_Active_Lb.text = c.Active ? "True" : "False";
  const bool notes = f.Cursor_Pr_Btn_Lb.text != "True";
  f.Cursor_Note_LB.visible = notes;
  f.Note_LB.visible = notes;
  for (Label_State* l : {&f.Cursor_N_Btn_Lb, &f.Cursor_Pr_Btn_Lb, &f.Cursor_ID_Lb, &f.Cr_Active_Lb, &f.Label11,
                         &f.Label12, &f.Label35, &f.Label1}) {
    l->visible = true;
  }
  f.Touch();
}

void Mon_Start(Session& s) {
  Wintab_Monitor_State& f = s.wintab.WT_Testing;
  f.Mon_Stop = Button_State{true, true, true};
  f.Mon_Start = Button_State{false, false, false};
  f.Touch();
  Open_Wintab_Monitor(s);
}

void Mon_Stop(Session& s) {
  s.wintab.Monitor_Stop_Request = true;
  Unhook_Message_Window(s);
  Close_Manager_And_Context(s);
  Close_Message_Window(s);
  Monitor_Buttons_Stopped(s.wintab.WT_Testing);
}

void Show_Wintab_Monitor(Session& s) {
  Wintab_Monitor_State& f = s.wintab.WT_Testing;
  if (!f.Loaded) {
    f.Loaded = true;
    f.SSTab1 = 0;
  }
  f.Shown = true;
  f.Touch();
}

void Unload_Wintab_Monitor(Session& s) {
  Wintab_State& w = s.wintab;
  if (!w.WT_Testing.Loaded) return;
  w.Monitor_Stop_Request = true;
  Unhook_Message_Window(s);
  if (w.driver && w.Message_Window_Handle != 0 && w.Manager != 0) (void)w.driver->WTMgrClose(w.Manager);
  w.Manager = 0;
  if (w.driver && w.Context != 0) (void)w.driver->WTClose(w.Context);
  w.Context = 0;
  Close_Message_Window(s);
  s.main.Grid_btn.enabled = true;
  s.main.Touch();
  // An unloaded window forgets its fields; the next load starts afresh.
  const std::uint64_t revision = w.WT_Testing.revision;
  w.WT_Testing = Wintab_Monitor_State{};
  w.WT_Testing.revision = revision + 1;
}

}  // namespace stylomat
