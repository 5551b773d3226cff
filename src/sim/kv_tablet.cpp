#include "sim/kv_tablet.h"

#include "core/traffic_log.h"

namespace stylomat {

namespace {

Framing KV_Framing() { return *Parse_Framing("9600,o,8,1"); }
Framing UIOF_Framing() { return *Parse_Framing("9600,E,7,2"); }
constexpr std::size_t Short_Report_Length = 3;

long Clamp(long v) { return v < 0 ? 0 : (v > 0x3FFF ? 0x3FFF : v); }

UIOF_Tablet_Profile UIOF_Personality(const KV_Tablet_Profile& kv) {
  UIOF_Tablet_Profile u;
  u.status = kv.uiof_status;
  u.identification = kv.identification;
  u.width = kv.width * 2;
  u.height = kv.height * 2;
  u.buttons = kv.buttons;
  return u;
}

}  // namespace

std::string KV_Report(long x, long y, int button, bool in_prox) {
  x = Clamp(x);
  y = Clamp(y);
  std::string r(5, '\0');
  r[0] = static_cast<char>(0x80 | (in_prox ? 0 : 0x40) | (button & 7));
  r[1] = static_cast<char>(x & 0x7F);
  r[2] = static_cast<char>((x >> 7) & 0x7F);
  r[3] = static_cast<char>(y & 0x7F);
  r[4] = static_cast<char>((y >> 7) & 0x7F);
  return r;
}

std::string KV_Report(const Script_Point& p) { return KV_Report(p.x, p.y, p.button, p.in_prox); }

KV_Tablet::KV_Tablet(KV_Tablet_Profile profile)
    : Sim_Device(KV_Framing()),
      profile_(std::move(profile)),
      uiof_(UIOF_Personality(profile_)),
      stream_(Report_Script({}, {profile_.buttons, 0}), KV_Sync_Floor,
              [](const Script_Point& p) { return KV_Report(p); }),
      turned_(profile_.portrait_first) {}

void KV_Tablet::Set_Stream_Faults(const Stream_Faults& faults) {
  stream_.Set_Faults(faults);
  uiof_.Stream().Set_Faults(faults);
}

void KV_Tablet::Power_On(Sim_Link& link) {
  in_uiof_ = false;
  after_z_ = false;
  turned_ = profile_.portrait_first;
  stream_.Stop(link);
  uiof_.Stop_Streaming(link);
  Set_Device_Framing(KV_Framing());
}

void KV_Tablet::To_UIOF(Sim_Link& link) {
  stream_.Stop(link);
  in_uiof_ = true;
  z1_matched_ = 0;
  after_z_ = false;
  Set_Device_Framing(UIOF_Framing());
}

void KV_Tablet::On_Byte(Sim_Link& link, unsigned char byte) {
  if (in_uiof_) {
    // ESC "Z" resets the UIOF reporting (streaming stops); ESC "z1" or a
    // break brings the tablet back to the KV command set.
    (void)uiof_.On_Byte(link, byte);
    if (Back_To_KV_Command(byte)) {
      uiof_.Stop_Streaming(link);
      in_uiof_ = false;
      Set_Device_Framing(KV_Framing());
    }
    return;
  }
  On_KV_Byte(link, byte);
}

bool KV_Tablet::Back_To_KV_Command(unsigned char byte) {
  static constexpr unsigned char command[] = {static_cast<unsigned char>(ESC), 'z', '1'};
  if (byte == command[z1_matched_]) {
    ++z1_matched_;
  } else {
    z1_matched_ = byte == command[0] ? 1 : 0;
  }
  if (z1_matched_ < 3) return false;
  z1_matched_ = 0;
  return true;
}

void KV_Tablet::On_KV_Byte(Sim_Link& link, unsigned char byte) {
  if (after_z_) {
    after_z_ = false;
    On_Z_Byte(link, byte);
    return;
  }
  switch (byte) {
    case 0x00:
      stream_.Stop(link);
      break;
    case 'x':
      link.Send(profile_.identification);
      break;
    case 'z':
      after_z_ = true;
      break;
    case 'a':
      ++reports_asked_;
      if (reports_asked_ <= profile_.short_reports) {
        link.Send(KV_Report(Reported_Width(), Reported_Height()).substr(0, Short_Report_Length));
      } else {
        link.Send(KV_Report(Reported_Width(), Reported_Height()));
      }
      break;
    case 'b':
      turned_ = !turned_;
      break;
    case 0x40:
      // The cursor moves over the area as the tablet now reports it; a
      // second 0x40 (the grid test sends two to older tablets) changes
      // nothing.
      if (!stream_.Streaming()) stream_.Set_Area({0, 0, Reported_Width(), Reported_Height()});
      stream_.Start(link, KV_Report_Rate);
      break;
    default:
      break;  // ESC before "z?" and anything unknown
  }
}

void KV_Tablet::On_Z_Byte(Sim_Link& link, unsigned char byte) {
  switch (byte) {
    case '?':
      if (!profile_.version.empty()) link.Send(profile_.version);
      break;
    case 't':
      if (!profile_.cursor.empty()) link.Send(profile_.cursor);
      break;
    case 'u':
      To_UIOF(link);
      break;
    default:
      break;
  }
}

void KV_Tablet::On_Break(Sim_Link& link, bool on) {
  if (on) Power_On(link);
}

void KV_Tablet::On_Timer(Sim_Link& link) {
  if (in_uiof_) {
    uiof_.On_Timer(link);
    return;
  }
  stream_.On_Timer(link);
}

namespace {

Sim_Profile Make_Profile(std::string name, std::string description, KV_Tablet_Profile tablet) {
  return {std::move(name), "KV", std::move(description), [tablet] { return std::make_unique<KV_Tablet>(tablet); },
          {}, true};
}

}  // namespace

void Add_KV_Profiles(std::vector<Sim_Profile>& out) {
  KV_Tablet_Profile kv;
  kv.width = 9000;
  kv.height = 6000;
  out.push_back(Make_Profile("kv", "Zeltavision KV tablet with a 4-button puck, 12 x 18", kv));

  KV_Tablet_Profile stylus;
  stylus.identification = "KV.#12";
  stylus.version = "Zeltavision KV Version 1.07";
  stylus.cursor = "STYLUS";
  stylus.buttons = 2;
  out.push_back(Make_Profile("kv-stylus", "Zeltavision KV tablet with a stylus, 12 x 12", stylus));

  KV_Tablet_Profile sixteen;
  sixteen.identification = "KV.#16";
  sixteen.version = "Zeltavision KV Version 3.00";
  sixteen.cursor = "16 BUTTON PUCK";
  sixteen.buttons = 16;
  out.push_back(Make_Profile("kv16", "Zeltavision KV tablet with a 16-button puck (reports in UIOF), 12 x 12",
                             sixteen));

  KV_Tablet_Profile obsolete;
  obsolete.identification = "KV.#01";
  obsolete.version.clear();
  obsolete.cursor.clear();
  obsolete.short_reports = 1;
  out.push_back(Make_Profile("kv-obsolete",
                             "older Zeltavision KV tablet: its first size report comes out short (power-cycle "
                             "question), 12 x 12",
                             obsolete));

  KV_Tablet_Profile portrait;
  portrait.width = 9000;
  portrait.height = 6000;
  portrait.portrait_first = true;
  out.push_back(Make_Profile("kv-portrait", "Zeltavision KV tablet that reports a portrait size first, 12 x 18",
                             portrait));
}

}  // namespace stylomat
