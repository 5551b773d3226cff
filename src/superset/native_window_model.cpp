#include "superset/native_window_model.h"

#include <algorithm>
#include <cctype>
#include <stdexcept>

#include "core/session.h"
#include "superset/korv_form_model.h"
#include "superset/table_files.h"

namespace stylomat {

namespace {

constexpr int Highest_SuperSet = 104;  // "104 *Special: ..." in OEM mode

Config_Window Checked_Window(Config_Window window) {
  if (window != Config_Window::Mirolex2 && window != Config_Window::Dovrane3) {
    throw std::invalid_argument(std::string("not a settings-image window: ") + Config_Window_Name(window));
  }
  return window;
}

bool Tablet_Identity::*Model_Flag(Config_Window window) {
  return window == Config_Window::Mirolex2 ? &Tablet_Identity::Mirolex_III_Flag
                                           : &Tablet_Identity::Dovrane_IV_VI_Flag;
}

const char* Default_Caption(Config_Window window) {
  return window == Config_Window::Mirolex2 ? Mirolex2_Caption : Dovrane3_Caption;
}

}  // namespace

Dovrane_Startup_Command Parse_Dovrane_Startup(const std::string& command_line) {
  Dovrane_Startup_Command command;
  // "/SS" is read exactly as KORV_form reads it.
  const KORV_Startup_Command korv = Parse_KORV_Startup(command_line);
  if (korv.kind == KORV_Startup_Command::Kind::Select) {
    command.kind = Dovrane_Startup_Command::Kind::Select;
    command.superset = korv.superset;
    return command;
  }
  std::string upper = command_line;
  std::transform(upper.begin(), upper.end(), upper.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  if (upper.find("/S") != std::string::npos) command.kind = Dovrane_Startup_Command::Kind::Write;
  return command;
}

Native_Window_Model::Native_Window_Model(Session& session, Config_Window window, const std::string& caption)
    : Config_Window_Model(session, Checked_Window(window), caption.empty() ? Default_Caption(window) : caption,
                          Model_Flag(window)),
      form_(session, window),
      protocol_(form_) {
  const bool mirolex = window == Config_Window::Mirolex2;
  Config_Menu& file = Add_Menu("File_Menu", "&File");
  Add_Entry(file, "CmdChange", "Save &Temporary Settings");
  Add_Entry(file, "CmdSavePon", "Save Power-&Up Settings");
  Add_Entry(file, "CmdSaveUser", "Save &Custom Settings");
  Add_Entry(file, "Form_Print", "Print");
  Add_Entry(file, "Close_Window", mirolex ? "&Close Window" : "&Close");
  Add_Entry(file, "CmdExit", mirolex ? "E&xit" : "E&xit PRX");
  Config_Menu& options = Add_Menu("Option_List", "&Options");
  Add_Entry(options, "cmdRead", "&Read Current Settings");
  Add_Entry(options, "cmddef", "Restore &Factory Settings");
  Config_Menu& help = Add_Menu("Help_Menu", "&Help");
  Add_Entry(help, "CmdAbout", "&About");
  Add_Entry(help, "Show_Debug_Window", "Show Debug Log");

  Register_Common_Commands();
  Add_Operation("CmdChange", [this] { Save_Temporary(); });
  Add_Operation("CmdSavePon", [this] { Save_Power_Up(); });
  Add_Operation("CmdSaveUser", [this] { Save_Custom(); });
  Add_Operation("cmdRead", [this] { Read_Settings(); });
  Add_Operation("cmddef", [this] { Restore_Factory(); });
  Add_Operation("CmdExit", [this] { Exit_Command(); });

  // The window binds to this model alone: the form's changes and the
  // protocol's activity come through it.
  form_.On_Change = [this] { Changed(); };
  protocol_.On_Activity = [this] { Sync_Activity(); };
  Sync_Activity();
}

void Native_Window_Model::Sync_Activity() {
  const Native_Activity& a = protocol_.Activity();
  Set_Hourglass(a.Hourglass);
  if (a.Please_Wait.Shown) {
    if (!Activity().Please_Wait.Shown || Activity().Please_Wait.Wait_Text != a.Please_Wait.Wait_Text) {
      Show_Please_Wait(a.Please_Wait.Wait_Text);
    }
    Set_Please_Wait_Progress(a.Please_Wait.Wait_Progress);
  } else {
    Close_Please_Wait();
  }
  const bool save = protocol_.Save_Entries_Enabled();
  Set_Entry_Enabled("CmdChange", save);
  Set_Entry_Enabled("CmdSavePon", save);
  Set_Entry_Enabled("CmdSaveUser", save);
}

bool Native_Window_Model::Run_Startup_Command() {
  if (Window() != Config_Window::Dovrane3) return false;
  Session& s = session();
  const Dovrane_Startup_Command command = Parse_Dovrane_Startup(s.Command_Line);
  switch (command.kind) {
    case Dovrane_Startup_Command::Kind::None: return false;
    case Dovrane_Startup_Command::Kind::Select:
      // A number the list cannot hold selects nothing.
      if (command.superset >= 0 && command.superset <= Highest_SuperSet &&
          form_.Select_SuperSet(command.superset) != Set_Result::Refused) {
        form_.Working_Record() = form_.Table()[static_cast<std::size_t>(command.superset)];
      }
      break;
    case Dovrane_Startup_Command::Kind::Write: last_result_ = protocol_.Write_Startup_Image(); break;
  }
  if (!s.End_Requested) s.Request_End();
  return true;
}

Config_Load_Result Native_Window_Model::Load() {
  protocol_.Show_Hourglass(true);
  Begin_Loading();
  TABLES(form_);
  // The lists were filled when the form was made.
  form_.Select_SuperSet(0);
  if (Run_Startup_Command()) {
    protocol_.Show_Hourglass(false);
    return Config_Load_Result::Ended;
  }
  protocol_.Disable_Save_Entries();
  last_result_ = protocol_.Read_Current_Settings();
  protocol_.Show_Hourglass(false);
  return Config_Load_Result::Shown;
}

void Native_Window_Model::Save_Temporary() {
  last_result_ = protocol_.Save_Temporary();
  if (last_result_ == Native_Result::Ended) Request_Close();
}

void Native_Window_Model::Save_Power_Up() { last_result_ = protocol_.Save_Power_Up(); }

void Native_Window_Model::Save_Custom() { last_result_ = protocol_.Save_Custom(); }

void Native_Window_Model::Read_Settings() { last_result_ = protocol_.Read_Current_Settings(); }

void Native_Window_Model::Restore_Factory() { last_result_ = protocol_.Restore_Factory(); }

void Native_Window_Model::Exit_Command() {
  Session& s = session();
  // Cleared before the question: whatever the answer, the program no
  // longer means to keep temporary settings.
  s.Keep_Settings_On_Exit = false;
  const bool yes = s.prompter.Ask_Yes_No(Power_On_Exit_Text, Warning_Title);
  s.Dialog_Answer = yes ? Dialog_Yes : Dialog_No;
  if (!yes) {
    last_result_ = Native_Result::Declined;
    return;
  }
  last_result_ = Native_Result::Ended;
  s.Request_End();
  Request_Close();
}

}  // namespace stylomat
