#include "sim/superset_tablet.h"

#include "core/traffic_log.h"

namespace stylomat {

namespace {

Framing Power_Up_Framing() { return *Parse_Framing("9600,n,8,2"); }
Framing Fast_Framing() { return *Parse_Framing("19200,n,8,2"); }
constexpr std::size_t Longest_Command = 256;

// Settings images: seven two-digit hexadecimal bytes and the line end.
constexpr const char* Korv_Image = "40,77,89,61,00,08,00\r\n";
constexpr const char* Dovrane_Image = "43,49,46,61,06,10,80\r\n";
constexpr const char* Switch_Image = "21,04,7F,00,40,00,00\r\n";
constexpr const char* Mensaro_Image = "02,31,60,00,0C,00,00\r\n";

SuperSet_Tablet_Profile Tablet(const char* identification, const char* firmware, const char* image, long width,
                               long height, const char* pnp_id) {
  SuperSet_Tablet_Profile p;
  p.identification = identification;
  p.firmware = firmware;
  p.settings_image = image;
  p.width = width;
  p.height = height;
  p.pnp_id = pnp_id;
  return p;
}

std::vector<SuperSet_Model_Profile> Build_Models() {
  return {
      {"mirolex2", "KORV Mensaro Mirolex II, 12 x 12",
       Tablet("KORV/Mensaro MXII 1212", "MXII V2.04", Korv_Image, 12000, 12000, "")},
      {"mirolex3", "KORV Mensaro Mirolex III, 12 x 18",
       Tablet("KORV/Mensaro MXIII Mirolex III 1218", "MXIII V3.10", Korv_Image, 18000, 12000, "MNR0304")},
      {"dovrane3", "KORV Mensaro Dovrane III, 12 x 12",
       Tablet("KORV/Mensaro DVIII 1212", "DVIII V1.22", Dovrane_Image, 12000, 12000, "")},
      {"dovrane4", "KORV Mensaro Dovrane IV, 12 x 18",
       Tablet("KORV/Mensaro Dovrane IV 1218", "DVIV V1.07", Dovrane_Image, 18000, 12000, "MNR0303")},
      {"dovrane6", "KORV Mensaro Dovrane VI, 18 x 24",
       Tablet("KORV/Mensaro Dovrane VI 1824", "DVVI V1.30", Dovrane_Image, 24000, 18000, "MNR0303")},
      {"pallivant5", "Zeltavision Pallivant V, 12 x 12",
       Tablet("Mensaro Pallivant V 1212", "PV5 V4.01", Switch_Image, 12000, 12000, "MNR0018")},
      {"pallivant6", "Zeltavision Pallivant VI, 12 x 18",
       Tablet("Mensaro Pallivant VI 1218", "PV6 V4.12", Switch_Image, 18000, 12000, "")},
      {"pallivant7", "Zeltavision Pallivant VII, 12 x 18",
       Tablet("Mensaro Pallivant VII 1218", "PV7 V5.02", Switch_Image, 18000, 12000, "MNR0203")},
      {"colossa", "KORV Mensaro 'Colossa' Pallivant, 36 x 48",
       Tablet("Mensaro Pallivant Colossa 3648", "PVC V2.30", Switch_Image, 48000, 36000, "")},
      {"velliscope3", "Mensaro Velliscope III, 12 x 12",
       Tablet("Mensaro 3400 Velliscope III", "VS3 V3.40", Switch_Image, 12000, 12000, "MNR0018")},
      {"velliscope4", "Mensaro Velliscope IV, 12 x 12",
       Tablet("Mensaro Velliscope IV 1212", "VS4 V1.05", Switch_Image, 12000, 12000, "")},
      {"velliscope5", "KORV Mensaro Velliscope V, 12 x 18",
       Tablet("KORV/Mensaro Velliscope V 1218", "VS5 V2.11", Switch_Image, 18000, 12000, "MNR0103")},
      {"velliscope6", "KORV Mensaro Velliscope VI, 12 x 18",
       Tablet("KORV/Mensaro Velliscope VI 1218", "VS6 V1.02", Switch_Image, 18000, 12000, "")},
      {"lumivane", "Mensaro Lumivane, 6 x 8.5",
       Tablet("Mensaro 3100 Lumivane", "LV V1.10", Switch_Image, 8500, 6000, "MNR0001")},
      {"orvanta", "Mensaro Orvanta, 12 x 12", Tablet("11050 Orvanta 1212", "OV V3.3", Mensaro_Image, 12000, 12000, "")},
      {"belmora", "Mensaro Belmora, 12 x 12",
       Tablet("35050, Belmora 1212", "BM V2.8", Mensaro_Image, 12000, 12000, "")},
      {"zephane", "Mensaro Zephane, 6 x 8",
       Tablet("Mensaro 1000 Zephane", "ZP V1.01", Mensaro_Image, 8000, 6000, "MNR0010")},
      {"morvane", "Mensaro Morvane (serial), 9 x 12",
       Tablet("KORV/Mensaro 36090 Morvane", "MV V4.20", Mensaro_Image, 12000, 9000, "MNR0012")},
  };
}

Sim_Profile Make_Profile(std::string name, std::string description, SuperSet_Tablet_Profile tablet) {
  Sim_Profile p;
  p.name = std::move(name);
  p.family = "SuperSet";
  p.description = std::move(description);
  p.make = [tablet] { return std::make_unique<SuperSet_Tablet>(tablet); };
  return p;
}

}  // namespace

std::string SuperSet_Report(long x, long y) {
  if (x < 0) x = 0;
  if (y < 0) y = 0;
  std::string r(10, '\0');
  r[0] = static_cast<char>(0x80 | ((x >> 14) & 3));
  r[1] = static_cast<char>((x >> 7) & 127);
  r[2] = static_cast<char>(x & 127);
  r[3] = static_cast<char>((((x >> 16) & 3) << 3) | ((y >> 14) & 7));
  r[4] = static_cast<char>((y >> 7) & 127);
  r[5] = static_cast<char>(y & 127);
  return r;
}

SuperSet_Tablet::SuperSet_Tablet(SuperSet_Tablet_Profile profile)
    : Sim_Device(Power_Up_Framing()), profile_(std::move(profile)) {
  power_up_image_ = profile_.settings_image;
  active_image_ = power_up_image_;
}

void SuperSet_Tablet::Power_Up() {
  Set_Device_Framing(Power_Up_Framing());
  active_image_ = power_up_image_;
  in_command_ = false;
  command_.clear();
  dtr_pulses_ = 0;
}

void SuperSet_Tablet::On_Lines(Sim_Link& link, bool dtr, bool rts) {
  if (pnp_watch_.On_Lines(link.Now(), dtr, rts) && !profile_.pnp_id.empty()) {
    Answer_PnP_Handshake(*this, link, profile_.pnp_id);
  }
  // Count DTR pulses; a drop and raise of RTS after them wakes the tablet.
  if (last_dtr_ && !dtr) ++dtr_pulses_;
  if (!last_rts_ && rts && dtr_pulses_ >= 3) {
    dtr_pulses_ = 0;
    link.Send("T");
  }
  last_dtr_ = dtr;
  last_rts_ = rts;
}

void SuperSet_Tablet::On_Byte(Sim_Link& link, unsigned char byte) {
  if (byte == static_cast<unsigned char>(ESC)) {
    in_command_ = true;
    command_.clear();
    return;
  }
  if (!in_command_) return;
  if (byte == static_cast<unsigned char>(CR)) {
    in_command_ = false;
    commands_.push_back(command_);
    On_Command(link, command_);
    return;
  }
  if (command_.size() < Longest_Command) command_ += static_cast<char>(byte);
}

void SuperSet_Tablet::On_Command(Sim_Link& link, const std::string& letters) {
  if (letters == "%__S") {
    link.Send(active_image_);
  } else if (letters == "%__p") {
    if (profile_.answers_identification) link.Send(profile_.identification);
  } else if (letters == "%__V") {
    if (profile_.answers_firmware) link.Send(profile_.firmware);
  } else if (letters == "%VS") {
    if (profile_.answers_size) link.Send(SuperSet_Report(profile_.width, profile_.height));
  } else if (letters == "%C0N81") {
    Set_Device_Framing(Fast_Framing());
  } else if (letters == "%VR") {
    Power_Up();
  } else if (letters == "%VE") {
    ++factory_restores_;
    power_up_image_ = profile_.settings_image;
    active_image_ = power_up_image_;
  }
  // Unknown commands are ignored, as a real tablet does.
}

const std::vector<SuperSet_Model_Profile>& SuperSet_Model_Profiles() {
  static const std::vector<SuperSet_Model_Profile> models = Build_Models();
  return models;
}

void Add_SuperSet_Profiles(std::vector<Sim_Profile>& out) {
  SuperSet_Tablet_Profile wake;
  wake.settings_image = Dovrane_Image;
  wake.answers_identification = false;
  wake.answers_firmware = false;
  wake.answers_size = false;
  out.push_back(Make_Profile("wake", "SuperSet-family tablet that only wakes and answers its settings image", wake));

  for (const SuperSet_Model_Profile& m : SuperSet_Model_Profiles()) {
    out.push_back(Make_Profile(m.name, m.description, m.tablet));
  }
  for (const SuperSet_Model_Profile& m : SuperSet_Model_Profiles()) {
    const std::string name = m.name;
    SuperSet_Tablet_Profile t = m.tablet;
    t.answers_identification = false;
    out.push_back(Make_Profile(name + "-nop", std::string(m.description) + "; no answer to %__p", t));
    t = m.tablet;
    t.answers_firmware = false;
    out.push_back(Make_Profile(name + "-nov", std::string(m.description) + "; no answer to %__V", t));
    t = m.tablet;
    t.answers_size = false;
    out.push_back(Make_Profile(name + "-novs", std::string(m.description) + "; no answer to %VS", t));
  }
}

}  // namespace stylomat
