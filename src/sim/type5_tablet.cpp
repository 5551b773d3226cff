#include "sim/type5_tablet.h"

#include "core/traffic_log.h"
#include "sim/korv_command_state.h"

namespace stylomat {

namespace {

Framing Type5_Framing() { return *Parse_Framing("9600,N,8,1"); }
constexpr unsigned char Ctrl_A = 0x01;
constexpr std::size_t Longest_Line = 256;

long Clamp(long v) { return v < 0 ? 0 : (v > 0xFFFF ? 0xFFFF : v); }

// The first byte of a Type-5 report is at least 128; every other byte is below.
constexpr unsigned char Type5_Sync_Floor = 128;

bool All_Digits(const std::string& line) {
  if (line.empty()) return false;
  for (char c : line)
    if (c < '0' || c > '9') return false;
  return true;
}

}  // namespace

bool Type5_Command_Handler::On_Command_Byte(Type5_Tablet&, Sim_Link&, unsigned char) { return false; }
bool Type5_Command_Handler::On_Command_Line(Type5_Tablet&, Sim_Link&, const std::string&) { return false; }
void Type5_Command_Handler::On_Leave_Command(Type5_Tablet&, Sim_Link&) {}

std::string Type5_Report(long x, long y, int button, bool in_prox) {
  x = Clamp(x);
  y = Clamp(y);
  std::string r(10, '\0');
  r[0] = static_cast<char>(0x80 | ((button & 31) << 2) | ((x >> 14) & 3));
  r[1] = static_cast<char>((x >> 7) & 0x7F);
  r[2] = static_cast<char>(x & 0x7F);
  r[3] = static_cast<char>((in_prox ? 0 : 0x20) | ((y >> 14) & 7));
  r[4] = static_cast<char>((y >> 7) & 0x7F);
  r[5] = static_cast<char>(y & 0x7F);
  return r;
}

std::string Type5_Report(const Script_Point& p) { return Type5_Report(p.x, p.y, p.button, p.in_prox); }

Type5_Tablet::Type5_Tablet(Type5_Tablet_Profile profile)
    : Sim_Device(Type5_Framing()),
      profile_(std::move(profile)),
      handler_(profile_.make_handler ? profile_.make_handler() : nullptr),
      stream_(Report_Script({0, 0, profile_.width, profile_.height}, {profile_.buttons, 0}), Type5_Sync_Floor,
              [](const Script_Point& p) { return Type5_Report(p); }) {}

void Type5_Tablet::Send_Answer(Sim_Link& link, const std::string& text) { link.Send(text + Type5_Answer_Tail); }

void Type5_Tablet::Stop_Streaming(Sim_Link& link) { stream_.Stop(link); }

void Type5_Tablet::Enter_Command(Sim_Link& link) {
  Stop_Streaming(link);
  in_command_ = true;
  line_.clear();
}

void Type5_Tablet::Leave_Command(Sim_Link& link) {
  in_command_ = false;
  line_.clear();
  if (handler_) handler_->On_Leave_Command(*this, link);
  if (reports_on_) stream_.Start(link, Type5_Report_Rate);
}

void Type5_Tablet::On_Byte(Sim_Link& link, unsigned char byte) {
  if (in_command_ && handler_ && handler_->On_Command_Byte(*this, link, byte)) return;
  if (byte == Ctrl_A) {
    Enter_Command(link);
    return;
  }
  if (byte == static_cast<unsigned char>(ESC)) {
    if (in_command_) Leave_Command(link);
    return;
  }
  if (!in_command_) return;
  if (byte != static_cast<unsigned char>(CR)) {
    if (line_.size() < Longest_Line) line_ += static_cast<char>(byte);
    return;
  }
  const std::string line = line_;
  line_.clear();
  lines_.push_back(line);
  if (handler_ && handler_->On_Command_Line(*this, link, line)) return;
  if (!On_Line(link, line)) Send_Answer(link, "?");
}

bool Type5_Tablet::On_Line(Sim_Link& link, const std::string& line) {
  if (line.empty()) {
    Send_Answer(link, profile_.banner);
  } else if (line == "VR") {
    Send_Answer(link, "VERSION " + profile_.version);
  } else if (line == "SZ") {
    Send_Answer(link, profile_.size);
  } else if (line == "SC") {
    Send_Answer(link, profile_.cursor);
  } else if (line == "RS") {
    reports_on_ = false;
    if (handler_) handler_->On_Leave_Command(*this, link);
    Send_Answer(link, "");
  } else if (line == "OP") {
    reports_on_ = true;
    Send_Answer(link, "");
  } else if (line == "CN" || line == "IV" || line == "R2" || All_Digits(line)) {
    Send_Answer(link, "");
  } else {
    return false;
  }
  return true;
}

void Type5_Tablet::On_Timer(Sim_Link& link) { stream_.On_Timer(link); }

namespace {

// The buttons of the cursor an "SC" answer names: "P03" a 3-button pen,
// "C04" a 4-button puck, "C16" a 16-button puck.
int Buttons_Of(const std::string& cursor) {
  const std::size_t n = cursor.size();
  if (n < 2 || cursor[n - 2] < '0' || cursor[n - 2] > '9' || cursor[n - 1] < '0' || cursor[n - 1] > '9') return 4;
  return (cursor[n - 2] - '0') * 10 + (cursor[n - 1] - '0');
}

Type5_Tablet_Profile Model(const char* version, const char* size, const char* cursor, long width, long height) {
  Type5_Tablet_Profile p;
  p.version = version;
  p.size = size;
  p.cursor = cursor;
  p.buttons = Buttons_Of(p.cursor);
  p.width = width;
  p.height = height;
  return p;
}

Sim_Profile Make_Profile(std::string name, std::string description, Type5_Tablet_Profile tablet) {
  return {std::move(name), "Type-5", std::move(description),
          [tablet] { return std::make_unique<Type5_Tablet>(tablet); }, {}, true};
}

}  // namespace

void Add_Type5_Profiles(std::vector<Sim_Profile>& out) {
  out.push_back(Make_Profile("quorral", "KORV Quorral (Type-5, version J1), 12 x 12",
                             Model("J1 V1.14", "SIZE1212", "CURSOR C04", 12000, 12000)));
  out.push_back(Make_Profile("quorral2", "KORV Quorral II (Type-5, version J3), 12 x 18",
                             Model("J3 V2.06", "SIZE1218", "CURSOR P03", 18000, 12000)));
  // The Quorral III keeps SuperSets 00 to 99 (KORV command state).
  Type5_Tablet_Profile quorral3 = Model("J5 V3.02", "SIZE1218", "CURSOR C16", 18000, 12000);
  quorral3.make_handler = [] { return Make_KORV_Command_State(); };
  out.push_back(Make_Profile("quorral3", "KORV Quorral III (Type-5, version J5), 12 x 18", quorral3));
  KORV_Command_Options stalls;
  stalls.stall_after_reads = 30;
  quorral3.make_handler = [stalls] { return Make_KORV_Command_State(stalls); };
  out.push_back(Make_Profile("quorral3-stalls",
                             "KORV Quorral III that stops answering after 30 SuperSet reads (at 69 of a 0-99 read)",
                             quorral3));
  out.push_back(Make_Profile("mirolex-t5", "KORV Mirolex (Type-5, version AA), 12 x 12",
                             Model("AA V1.20", "SIZE1212", "CURSOR C04", 12000, 12000)));
  out.push_back(Make_Profile("dovranex", "KORV DovraneX (Type-5, version AE), 18 x 24",
                             Model("AE V2.01", "SIZE1824", "CURSOR C16", 24000, 18000)));
  out.push_back(Make_Profile("type5-nosize", "KORV Tastrel (Type-5, version AC) that reports no size",
                             Model("AC V1.00", "NONE", "CURSOR P03", 8000, 6000)));
}

}  // namespace stylomat
