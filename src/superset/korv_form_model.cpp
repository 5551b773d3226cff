#include "superset/korv_form_model.h"

#include <algorithm>
#include <cctype>

#include "core/session.h"
#include "superset/table_files.h"

namespace stylomat {

namespace {

constexpr std::size_t Command_Length = 3;  // "/SS", "/SW"
constexpr std::size_t Number_Width = 3;    // characters of the "/SS" number
constexpr std::size_t Field_Stride = 3;    // "32," per byte of "/SW"

std::string Upper(const std::string& text) {
  std::string upper = text;
  std::transform(upper.begin(), upper.end(), upper.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return upper;
}

// The text of up to count characters from at; shorter (or empty) at the
// end of the line.
std::string Piece(const std::string& text, std::size_t at, std::size_t count) {
  if (at >= text.size()) return {};
  return text.substr(at, count);
}

// Decimal digits with blanks skipped; anything else ends the number.
int Number_Value(const std::string& piece) {
  int value = 0;
  for (char c : piece) {
    if (c == ' ') continue;
    if (c < '0' || c > '9') break;
    value = value * 10 + (c - '0');
  }
  return value;
}

int Hex_Value(const std::string& piece) {
  int value = 0;
  for (char c : piece) {
    int d = -1;
    if (c >= '0' && c <= '9') d = c - '0';
    if (c >= 'A' && c <= 'F') d = c - 'A' + 10;
    if (d < 0) break;
    value = value * 16 + d;
  }
  return value;
}

}  // namespace

KORV_Startup_Command Parse_KORV_Startup(const std::string& command_line) {
  const std::string upper = Upper(command_line);
  KORV_Startup_Command command;
  if (const std::size_t p = upper.find("/SS"); p != std::string::npos) {
    command.kind = KORV_Startup_Command::Kind::Select;
    command.superset = Number_Value(Piece(upper, p + Command_Length, Number_Width));
    return command;
  }
  if (const std::size_t p = upper.find("/SW"); p != std::string::npos) {
    command.kind = KORV_Startup_Command::Kind::Write;
    for (std::size_t k = 0; k < command.record.size(); ++k) {
      const int v = Hex_Value(Piece(upper, p + Command_Length + Field_Stride * k, 2));
      command.record[k] = static_cast<std::uint8_t>(v);
    }
  }
  return command;
}

KORV_Form_Model::KORV_Form_Model(Session& session, const std::string& caption)
    : Config_Window_Model(session, Config_Window::KORV_form, caption.empty() ? KORV_Form_Caption : caption,
                          &Tablet_Identity::Quorral_III_Flag),
      form_(session, Config_Window::KORV_form),
      protocol_(form_) {
  Config_Menu& file = Add_Menu("File_Menu", "&File");
  Add_Entry(file, "Save_Power_Up", "Save &Power-Up Settings");
  Add_Entry(file, "Save_User", "Save &User Defined SuperSet");
  Add_Entry(file, "Save_All_User", "Save &All User Defined SuperSets");
  Add_Entry(file, "Form_Print", "&Print", true);
  Add_Entry(file, "Close_Window", "&Close Window", true);
  Add_Entry(file, "CmdExit", "E&xit PRX");
  Config_Menu& options = Add_Menu("Options_List", "&Options");
  Add_Entry(options, "Read_User", Read_User_Text);
  Add_Entry(options, "Read_All", Read_All_Text);
  Add_Entry(options, "Restore_Defaults", "Restore &Factory Settings", true);
  Config_Menu& help = Add_Menu("Help_Menu", "&Help");
  Add_Entry(help, "Show_About", "&About");
  Add_Entry(help, "Show_Debug_Window", "Show Debug Log");

  Register_Common_Commands();
  Add_Operation("Save_Power_Up", [this] { protocol_.Save_Power_Up(); });
  Add_Operation("Save_User", [this] { protocol_.Save_User(); });
  Add_Operation("Save_All_User", [this] { protocol_.Save_All_User(); });
  Add_Operation("Read_User", [this] { protocol_.Read_User(); });
  Add_Operation("Read_All", [this] { protocol_.Read_All(); });
  Add_Operation("Restore_Defaults", [this] { protocol_.Restore_Defaults(); });
  Commands().Set("CmdExit", [this] { Exit_Command(); });

  // The window binds to this model alone: the form's changes and the
  // protocol's activity come through it.
  form_.On_Change = [this] {
    Sync_Entries();
    Changed();
  };
  protocol_.On_Activity = [this] { Sync_Activity(); };
  Sync_Entries();
}

void KORV_Form_Model::Sync_Entries() {
  // "Save User Defined SuperSet" is offered while a user SuperSet is shown.
  Set_Entry_Enabled("Save_User", form_.Save_User_Enabled());
}

void KORV_Form_Model::Sync_Activity() {
  const KORV_Activity& a = protocol_.Activity();
  Set_Hourglass(a.Hourglass);
  if (a.Please_Wait.Shown) {
    if (!Activity().Please_Wait.Shown) Show_Please_Wait(a.Please_Wait.Wait_Text);
    Set_Please_Wait_Progress(a.Please_Wait.Wait_Progress);
  } else {
    Close_Please_Wait();
  }
}

void KORV_Form_Model::Prepare() {
  Begin_Loading();
  if (session().OEM_Mode) Set_Caption(Caption() + " OEM");
  Read_KORV_Data_File(form_);
  // The lists were filled when the form was made.
  form_.Select_SuperSet(0);
  form_.Save_SuperSet(0);
  Set_Entry_Caption("Read_User", session().identity.Quorral_III_Flag ? Read_User_Quorral_Text : Read_User_Text);
  loaded_ = true;
}

bool KORV_Form_Model::Run_Startup_Command() {
  Session& s = session();
  const KORV_Startup_Command command = Parse_KORV_Startup(s.Command_Line);
  switch (command.kind) {
    case KORV_Startup_Command::Kind::None: return false;
    case KORV_Startup_Command::Kind::Select:
      // A number beyond 99 names no SuperSet: nothing is sent.
      protocol_.Select_SuperSet_At_Start(command.superset);
      break;
    case KORV_Startup_Command::Kind::Write:
      form_.Table()[0] = command.record;
      if (s.Search_Status == 0) protocol_.Write_SuperSet(0, 0);
      break;
  }
  protocol_.Show_Hourglass(false);
  if (!s.End_Requested) s.Request_End();
  return true;
}

Config_Load_Result KORV_Form_Model::Load() {
  protocol_.Show_Hourglass(true);
  Prepare();
  if (Run_Startup_Command()) return Config_Load_Result::Ended;
  const KORV_Result read = protocol_.Read_With_Please_Wait(0, 99);
  protocol_.Show_Hourglass(false);
  return read == KORV_Result::Ended ? Config_Load_Result::Ended : Config_Load_Result::Shown;
}

void KORV_Form_Model::Exit_Command() {
  session().Keep_Settings_On_Exit = false;
  Request_Close();
}

}  // namespace stylomat
