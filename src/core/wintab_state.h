#pragma once
// What the program knows of the tablet driver and shows of it: the
// driver it talks to, the cursors the driver reported, the monitor window
// WT_Testing as data, the hidden message window and the handles of the
// link (manager, context).  The routines live in src/wintab/; the Qt
// monitor window renders WT_Testing.
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/main_window_state.h"
#include "platform/wintab_api.h"

namespace stylomat {

// One entry of Cursor_Table.
struct Wintab_Cursor {
  std::string Name;
  int Buttons = 0;
  bool Pressure_Button = false;
  bool Active = false;
};
// Cursor numbers 0 to 100.
inline constexpr int Cursor_Table_Size = 101;

// The hidden window Msg_Target: no controls, it only receives the
// driver's messages.  Its window procedure can be replaced, the previous
// one coming back (the hook of the monitor and the grid test).
class Message_Target_Window final : public Wintab_Message_Window {
 public:
  using Procedure = std::function<std::intptr_t(unsigned, std::uintptr_t, std::intptr_t)>;

  std::intptr_t Send_Message(unsigned message, std::uintptr_t wparam, std::intptr_t lparam) override {
    return Call_Window_Proc(procedure_, message, wparam, lparam);
  }
  // Installs a window procedure and returns the one it replaces.
  Procedure Set_Window_Procedure(Procedure procedure) {
    Procedure previous = std::move(procedure_);
    procedure_ = std::move(procedure);
    return previous;
  }
  // Passes a message on to a procedure; the window's default answers 0.
  static std::intptr_t Call_Window_Proc(const Procedure& procedure, unsigned message, std::uintptr_t wparam,
                                        std::intptr_t lparam) {
    return procedure ? procedure(message, wparam, lparam) : 0;
  }

 private:
  Procedure procedure_;
};

struct Button_State {
  bool visible = true;
  bool enabled = true;
  bool focused = false;
};

// The monitor window WT_Testing as data: one text per field.
struct Wintab_Monitor_State {
  bool Loaded = false;  // the window exists (its fields hold values)
  bool Shown = false;   // and is on the screen
  int SSTab1 = 0;       // the tab shown

  // Interface.
  std::string Wintab_ID, Wintab_Sp_Version, Wintab_Im_Version, Wintab_N_Dev, Wintab_N_Cur, Wintab_N_Cont,
      Wintab_N_MH, Wintab_Screen_X, Wintab_Screen_Y;
  // Device.
  std::string Tablet_ID, Device_Ver, Device_Format, Device_N_Cur, Device_First_Cur, Device_R_Rate;
  std::string X_Min, X_Max, X_Units, X_Res, Y_Min, Y_Max, Y_Units, Y_Res, Z_Min, Z_Max, Z_Units, Z_Res;
  std::string Size_Frame = "Size : ";
  std::string Device_Pr_Range;

  // Cursors: the list Cursor_ID and the details of the one chosen.
  std::vector<std::string> Cursor_ID;
  int Cursor_ID_Selected = -1;
  Label_State Cursor_N_Btn_Lb{"", false}, Cursor_Pr_Btn_Lb{"", false}, Cursor_ID_Lb{"", false},
      Cr_Active_Lb{"", false};
  Label_State Label11{"Buttons:", false}, Label12{"Pressure Button:", false}, Label35{"Cursor Number:", false},
      Label1{"Active:", false};
  Label_State Cursor_Note_LB{"This cursor has no pressure button.", false};
  Label_State Note_LB{"Its pressure reads 0 in the monitor and in the grid test.", false};

  // Live packet fields.
  std::string Monitor_X, Monitor_Y, Monitor_Btn, Monitor_Pres, Monitor_Cur, Monitor_Cur_Name, Monitor_Prox;

  Button_State Mon_Start{true, true, false};
  Button_State Mon_Stop{false, false, false};

  // What the window should show beside the fields (the driver's words on
  // a tablet it could not use), and the start failures' messages.
  std::string Problem;

  std::uint64_t revision = 0;
  void Touch() { ++revision; }
};

struct Wintab_State {
  // The driver the program talks to; none when no driver exists at all.
  Wintab_Api* driver = nullptr;

  std::array<Wintab_Cursor, Cursor_Table_Size> Cursor_Table{};
  // The driver's default context (WTI_DEFCONTEXT) and the size its answer
  // had; the context the program opens is built from it.
  Wintab_Logcontext Default_Context;
  std::size_t Default_Context_Size = 0;
  Wintab_Logcontext Wintab_Context;
  stylomat::Wintab_Packet Wintab_Packet;  // the packet read last

  // The link: the hidden window, its handle once loaded, the manager and
  // context handles, the window procedure the hook replaced.
  Message_Target_Window Msg_Target;
  std::uintptr_t Message_Window_Handle = 0;
  Wintab_Handle Manager = 0;
  Wintab_Handle Context = 0;
  bool Hooked = false;
  Message_Target_Window::Procedure Previous_Procedure;

  bool Monitor_Stop_Request = false;
  bool Monitor_Running = false;
  Wintab_Monitor_State WT_Testing;

  // Watchers of the monitor (the command line prints what they see): a
  // packet the monitor showed, the proximity message it took.
  std::function<void(const stylomat::Wintab_Packet&)> On_Monitor_Packet;
  std::function<void()> On_Proximity_Message;
};

}  // namespace stylomat
