#include "switchbank/switch_window_model.h"

#include <algorithm>
#include <cctype>
#include <functional>

#include "core/session.h"
#include "serial/serial_link.h"
#include "serial/settings_image_link.h"
#include "switchbank/switch_protocol.h"

namespace stylomat {

namespace {

constexpr const char* Batch_Command = "/S";

// Shows the busy pointer for as long as it lives, then the pointer as it
// was before (operations run inside the loading sequence too).
class Busy_Scope {
 public:
  Busy_Scope(bool& flag, std::function<void()> sync) : flag_(flag), was_(flag), sync_(std::move(sync)) {
    flag_ = true;
    sync_();
  }
  ~Busy_Scope() {
    flag_ = was_;
    sync_();
  }
  Busy_Scope(const Busy_Scope&) = delete;
  Busy_Scope& operator=(const Busy_Scope&) = delete;

 private:
  bool& flag_;
  bool was_;
  std::function<void()> sync_;
};

std::string Upper(const std::string& text) {
  std::string upper = text;
  std::transform(upper.begin(), upper.end(), upper.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return upper;
}

Batch_Switches Refuse(std::string reason) {
  Batch_Switches batch;
  batch.kind = Batch_Switches::Kind::Refused;
  batch.reason = std::move(reason) + " Nothing was written to the tablet.";
  return batch;
}

Log_When Log_Rule(const Switch_Bank_Form& form) {
  return form.Variant().log_always ? Log_When::Always : Log_When::Debug_Mode;
}

}  // namespace

Batch_Switches Parse_Batch_Switches(const std::string& command_line) {
  const std::string upper = Upper(command_line);
  const std::size_t p = upper.find(Batch_Command);
  if (p == std::string::npos) return {};
  const std::size_t first = p + 2;
  const std::size_t given = upper.size() - first;
  const std::string need = "The switch pattern after /S must be 21 characters of 0 and 1";
  if (given < Batch_Switch_Count) return Refuse(need + ", but only " + std::to_string(given) + " follow.");

  Batch_Switches batch;
  batch.kind = Batch_Switches::Kind::Pattern;
  for (auto& bank : batch.pattern) bank.fill(Switch_Absent);
  for (std::size_t i = 0; i < Batch_Switch_Count; ++i) {
    const char c = upper[first + i];
    if (c != '0' && c != '1') {
      return Refuse(need + ", but character " + std::to_string(i + 1) + " is \"" + std::string(1, c) + "\".");
    }
    // swa 1-8, swb 1-8, swc 1-5, in the order of the line.
    batch.pattern[i / 8][i % 8] = c - '0';
  }
  return batch;
}

Switch_Window_Model::Switch_Window_Model(Session& session, Config_Window window, const std::string& caption)
    : Config_Window_Model(session, Is_Switch_Window(window) ? window : Config_Window::Pv5,
                          caption.empty() ? Variant_Of(window).caption : caption),
      form_(window) {
  Config_Menu& file = Add_Menu("File_Menu", "&File");
  Add_Entry(file, "CmdChange", "Save &Temporary Settings");
  Add_Entry(file, "CmdSaveChange", "Save Power-&Up Settings");
  Add_Entry(file, "Form_Print", "&Print", true);
  Add_Entry(file, "Close_Window", "&Close Window", true);
  Add_Entry(file, "CmdExit", "E&xit PRX");
  Config_Menu& options = Add_Menu("Options_List", "&Options");
  Add_Entry(options, "CmdRead", "&Read Current Settings");
  Add_Entry(options, "CmdDefualt", "Restore &Factory Settings", true);
  Config_Menu& help = Add_Menu("Help_Menu", "&Help");
  Add_Entry(help, "CmdAbout", "&About");
  Add_Entry(help, "Show_Debug_Window", "Show Debug Log");

  Register_Common_Commands();
  Add_Operation("CmdRead", [this] { Read_Current_Settings(); });
  Add_Operation("CmdChange", [this] { Save_Temporary_Settings(); });
  Add_Operation("CmdSaveChange", [this] { Save_Power_Up_Settings(); });
  Add_Operation("CmdDefualt", [this] { Restore_Factory_Settings(); });
  Commands().Set("CmdExit", [this] { Exit_Command(); });

  // The window binds to this model alone: the form's changes (and the
  // busy pointer of a switch write) come through it.
  form_.On_Change = [this] {
    Sync_Activity();
    Changed();
  };
}

void Switch_Window_Model::Sync_Activity() { Set_Hourglass(working_ || form_.Busy_Pointer()); }

Config_Load_Result Switch_Window_Model::Load() {
  Busy_Scope busy(working_, [this] { Sync_Activity(); });
  Begin_Loading();
  // The lists were filled when the form was made.
  form_.Load_Factory_Switches();
  if (Run_Batch()) return Config_Load_Result::Ended;
  Commands().Run("CmdRead");
  return Config_Load_Result::Shown;
}

bool Switch_Window_Model::Run_Batch() {
  Session& s = session();
  const Batch_Switches batch = Parse_Batch_Switches(s.Command_Line);
  switch (batch.kind) {
    case Batch_Switches::Kind::None: return false;
    case Batch_Switches::Kind::Refused:
      Log_Line(s, "Batch command refused: " + batch.reason);
      s.Refresh_Log_View();
      s.prompter.Inform(batch.reason, Batch_Message_Title);
      break;
    case Batch_Switches::Kind::Pattern:
      form_.Set_Switch_Pattern(batch.pattern);
      // Whatever the answer, the program ends.
      Commands().Run("CmdChange");
      break;
  }
  if (!s.End_Requested) s.Request_End();
  return true;
}

void Switch_Window_Model::Read_Current_Settings() {
  Session& s = session();
  Busy_Scope busy(working_, [this] { Sync_Activity(); });
  Open_Config_Port(s);
  // A tablet that did not answer still shows what the last reply said.
  Decode_Switch_Report(s, form_, s.identity.Settings_Reply);
  if (s.Search_Status == 0) {
    try {
      Settings_Image_Link(s, Log_Rule(form_)).Command("%VF");
    } catch (const Port_Error&) {
      s.Search_Status = -2;
    }
  }
  s.Refresh_Log_View();
}

bool Switch_Window_Model::Write_And_Wake() {
  Session& s = session();
  Open_Config_Port(s);
  if (s.Search_Status != 0) return false;
  form_.Recompute_Settings();
  Write_Switches(s, form_);
  // A tablet that stopped answering after the write is told nothing more.
  Open_Config_Port(s);
  return s.Search_Status == 0;
}

void Switch_Window_Model::Save_Temporary_Settings() {
  Session& s = session();
  {
    Busy_Scope busy(working_, [this] { Sync_Activity(); });
    if (!Write_And_Wake()) return;
  }
  if (!s.prompter.Ask_Yes_No(Temporary_Exit_Question, Warning_Title)) return;
  // The settings just written stay when the program ends.
  s.Keep_Settings_On_Exit = true;
  Settings_Image_Link link(s, Log_Rule(form_));
  try {
    link.Command("%A1");
    link.Command("%VF");
  } catch (const Port_Error&) {
    s.Search_Status = -2;
  }
  s.Refresh_Log_View();
  Request_Close();
}

void Switch_Window_Model::Save_Power_Up_Settings() {
  Session& s = session();
  Busy_Scope busy(working_, [this] { Sync_Activity(); });
  if (!Write_And_Wake()) return;
  try {
    Settings_Image_Link(s, Log_Rule(form_)).Command("%VF1", "ESC%VF1");
  } catch (const Port_Error&) {
    s.Search_Status = -2;
  }
  s.Refresh_Log_View();
}

void Switch_Window_Model::Restore_Factory_Settings() {
  form_.Load_Factory_Switches();
  Save_Power_Up_Settings();
}

void Switch_Window_Model::Exit_Command() {
  Session& s = session();
  s.Keep_Settings_On_Exit = false;
  if (s.prompter.Ask_Yes_No(Power_On_Exit_Question, Warning_Title)) Request_Close();
}

}  // namespace stylomat
