#include "sim/uiof_tablet.h"

#include "core/traffic_log.h"

namespace stylomat {

namespace {

Framing UIOF_Framing() { return *Parse_Framing("9600,E,7,2"); }

long Clamp(long v) { return v < 0 ? 0 : (v > 0xFFFF ? 0xFFFF : v); }

// The first byte of a UIOF report is at least 64; every other byte is below.
constexpr unsigned char UIOF_Sync_Floor = 64;

}  // namespace

std::string UIOF_Report(long x, long y, int button, bool in_prox) {
  x = Clamp(x);
  y = Clamp(y);
  std::string r(8, '\0');
  r[0] = static_cast<char>(0x40 | (in_prox ? 0 : 1));
  r[1] = static_cast<char>(button & 0x3F);
  r[2] = static_cast<char>(x & 0x3F);
  r[3] = static_cast<char>((x >> 6) & 0x3F);
  r[4] = static_cast<char>((x >> 12) & 0x0F);
  r[5] = static_cast<char>(y & 0x3F);
  r[6] = static_cast<char>((y >> 6) & 0x3F);
  r[7] = static_cast<char>((y >> 12) & 0x0F);
  return r;
}

std::string UIOF_Report(const Script_Point& p) { return UIOF_Report(p.x, p.y, p.button, p.in_prox); }

UIOF_Commands::UIOF_Commands(UIOF_Tablet_Profile profile)
    : profile_(std::move(profile)),
      stream_(Report_Script({0, 0, profile_.width, profile_.height}, {profile_.buttons, 0}), UIOF_Sync_Floor,
              [](const Script_Point& p) { return UIOF_Report(p); }) {}

bool UIOF_Commands::On_Byte(Sim_Link& link, unsigned char byte) {
  if (byte == static_cast<unsigned char>(ESC)) {
    after_esc_ = true;
    after_m_ = false;
    return false;
  }
  if (after_m_) {
    after_m_ = false;
    if (byte == '0') stream_.Start(link, UIOF_Report_Rate);
    return false;
  }
  if (!after_esc_) return false;
  after_esc_ = false;
  switch (byte) {
    case 'g':
      if (!profile_.status.empty()) link.Send(profile_.status);
      return false;
    case 'Z':
      Stop_Streaming(link);
      return true;
    case 'x':
      if (!profile_.identification.empty()) link.Send(profile_.identification);
      return false;
    case 'a':
      link.Send(UIOF_Report(profile_.width, profile_.height));
      return false;
    case 'M':
      after_m_ = true;
      return false;
    default:
      return false;
  }
}

void UIOF_Commands::On_Timer(Sim_Link& link) { stream_.On_Timer(link); }

void UIOF_Commands::Stop_Streaming(Sim_Link& link) { stream_.Stop(link); }

UIOF_Tablet::UIOF_Tablet(UIOF_Tablet_Profile profile) : Sim_Device(UIOF_Framing()), commands_(std::move(profile)) {}

void UIOF_Tablet::On_Byte(Sim_Link& link, unsigned char byte) {
  if (commands_.On_Byte(link, byte)) ++resets_;
}

void UIOF_Tablet::On_Timer(Sim_Link& link) { commands_.On_Timer(link); }

namespace {

Sim_Profile Make_Profile(std::string name, std::string description, UIOF_Tablet_Profile tablet) {
  return {std::move(name), "UIOF", std::move(description),
          [tablet] { return std::make_unique<UIOF_Tablet>(tablet); }, {}, true};
}

}  // namespace

void Add_UIOF_Profiles(std::vector<Sim_Profile>& out) {
  UIOF_Tablet_Profile uiof;
  uiof.status = "A";
  uiof.identification = "ZV.#UI";
  uiof.width = 18000;
  uiof.height = 12000;
  out.push_back(Make_Profile("uiof", "Zeltavision UIOF tablet, status \"A\", 12 x 18", uiof));

  UIOF_Tablet_Profile at = uiof;
  at.status = "@";
  at.width = 12000;
  at.height = 12000;
  out.push_back(Make_Profile("uiof-at", "Zeltavision UIOF tablet, status \"@\", 12 x 12", at));

  UIOF_Tablet_Profile x_only = uiof;
  x_only.status.clear();
  x_only.identification = "Z1.#U2";
  x_only.width = 12000;
  x_only.height = 18000;
  out.push_back(Make_Profile("uiof-x", "Zeltavision UIOF tablet that answers only ESC \"x\", 18 x 12", x_only));
}

}  // namespace stylomat
