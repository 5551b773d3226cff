#include "superset/korv_form_model.h"

#include <algorithm>
#include <cctype>

#include "core/session.h"
#include "discovery/port_search.h"
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

KORV_Form_Model::KORV_Form_Model(Session& session)
    : session_(session), form_(session, Config_Window::KORV_form), protocol_(form_) {}

void KORV_Form_Model::Prepare() {
  session_.main.Visible = false;
  session_.main.Touch();
  state_.Show_Debug_Window_Checked = session_.main.Show_Debug_Window.checked;
  state_.Caption = KORV_Form_Caption;
  if (session_.OEM_Mode) state_.Caption += " OEM";
  Read_KORV_Data_File(form_);
  // The lists were filled when the form was made.
  form_.Select_SuperSet(0);
  form_.Save_SuperSet(0);
  state_.Read_User_Caption = session_.identity.Quorral_III_Flag ? Read_User_Quorral_Text : Read_User_Text;
  state_.Loaded = true;
}

bool KORV_Form_Model::Run_Startup_Command() {
  const KORV_Startup_Command command = Parse_KORV_Startup(session_.Command_Line);
  switch (command.kind) {
    case KORV_Startup_Command::Kind::None: return false;
    case KORV_Startup_Command::Kind::Select:
      // A number beyond 99 names no SuperSet: nothing is sent.
      protocol_.Select_SuperSet_At_Start(command.superset);
      break;
    case KORV_Startup_Command::Kind::Write:
      form_.Table()[0] = command.record;
      if (session_.Search_Status == 0) protocol_.Write_SuperSet(0, 0);
      break;
  }
  protocol_.Show_Hourglass(false);
  if (!session_.End_Requested) session_.Request_End();
  return true;
}

KORV_Load_Result KORV_Form_Model::Load() {
  protocol_.Show_Hourglass(true);
  Prepare();
  if (Run_Startup_Command()) return KORV_Load_Result::Ended;
  const KORV_Result read = protocol_.Read_With_Please_Wait(0, 99);
  protocol_.Show_Hourglass(false);
  return read == KORV_Result::Ended ? KORV_Load_Result::Ended : KORV_Load_Result::Shown;
}

void KORV_Form_Model::Close_Window() { session_.Return_To_Main = true; }

void KORV_Form_Model::Exit_Command() { session_.Keep_Settings_On_Exit = false; }

KORV_Close_Result KORV_Form_Model::On_Closed() {
  session_.identity.Quorral_III_Flag = false;
  if (!session_.Return_To_Main) {
    session_.Request_End();
    return KORV_Close_Result::End_Program;
  }
  session_.main.Show_Debug_Window.checked = state_.Show_Debug_Window_Checked;
  session_.Return_To_Main = false;
  session_.main.Visible = true;
  session_.main.Touch();
  // Back in the main window, the port is searched again as its icon does,
  // so the main window shows the tablet as it is now.
  Port_Icon_Command(session_, session_.Port_Number);
  return KORV_Close_Result::Back_To_Main;
}

}  // namespace stylomat
