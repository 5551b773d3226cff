#include "sim/superset_tablet.h"

#include <algorithm>

#include "core/traffic_log.h"
#include "superset/native_image.h"

namespace stylomat {

namespace {

Framing Power_Up_Framing() { return *Parse_Framing("9600,n,8,2"); }
Framing Fast_Framing() { return *Parse_Framing("19200,n,8,2"); }
constexpr std::size_t Longest_Command = 256;
constexpr std::size_t Bank_Bytes = 128;  // 10 x 12 bytes and 8 more
constexpr char Ack = '\x06';
constexpr const char* Line_End = "\r\n";

bool Two_Digits(std::string_view t) { return t.size() == 2 && t[0] >= '0' && t[0] <= '9' && t[1] >= '0' && t[1] <= '9'; }
int User_Number(std::string_view t) { return Two_Digits(t) ? (t[0] - '0') * 10 + (t[1] - '0') : -1; }

// The factory user SuperSets differ by their baud code, so a read shows
// which entry came from where.
std::string Factory_User_Image(const std::string& settings_image, int nn) {
  Native_Image image = Parse_Image_Text(settings_image);
  image[2] = static_cast<std::uint8_t>((image[2] & ~0x38) | (((nn - 90) % 6) << 3));
  return Image_Text(image);
}

// Settings images: seven two-digit hexadecimal bytes and the line end.
constexpr const char* Korv_Image = "40,77,89,61,00,08,00\r\n";
constexpr const char* Dovrane_Image = "43,49,46,61,06,10,80\r\n";
constexpr const char* Switch_Image = "21,04,7F,00,40,00,00\r\n";
constexpr const char* Mensaro_Image = "02,31,60,00,0C,00,00\r\n";

// Cursors by the identity number their reports carry.
constexpr SuperSet_Cursor Pressure_Stylus{16, 3, true};
constexpr SuperSet_Cursor Inline_Puck{18, 4, false};
constexpr SuperSet_Cursor Sixteen_Button_Puck{19, 16, false};
constexpr SuperSet_Cursor Three_Button_Stylus{21, 3, false};
constexpr SuperSet_Cursor Diamond_Puck{22, 4, false};
constexpr SuperSet_Cursor Five_Button_Mouse{23, 5, false};
constexpr SuperSet_Cursor Two_Button_Stylus{7, 2, false};
// The older Mensaro tablets send no identity marker.
constexpr SuperSet_Cursor Unmarked_Puck{0, 4, false};
constexpr SuperSet_Cursor Unmarked_Pressure_Stylus{0, 3, true};

// Bytes of a SuperSet report other than the first are below this.
constexpr unsigned char SuperSet_Sync_Floor = 128;
constexpr int Identity_Marker = 0x40;      // b4
constexpr int Out_Of_Proximity = 0x20;     // b4
constexpr char Pressure_Stylus_B7_B8 = 0x10;

SuperSet_Tablet_Profile Tablet(const char* identification, const char* firmware, const char* image, long width,
                               long height, const char* pnp_id, SuperSet_Cursor cursor) {
  SuperSet_Tablet_Profile p;
  p.identification = identification;
  p.firmware = firmware;
  p.settings_image = image;
  p.width = width;
  p.height = height;
  p.pnp_id = pnp_id;
  p.cursor = cursor;
  return p;
}

// What the model's firmware offers for its user SuperSets.
SuperSet_Tablet_Profile User_Sets(SuperSet_Tablet_Profile p, bool query, bool single, bool dump, bool bank) {
  p.user_query = query;
  p.single_user_write = single;
  p.bank_dump = dump;
  p.bank_write = bank;
  return p;
}

std::vector<SuperSet_Model_Profile> Build_Models() {
  return {
      {"mirolex2", "KORV Mensaro Mirolex II, 12 x 12",
       User_Sets(Tablet("KORV/Mensaro MXII 1212", "MXII V2.04", Korv_Image, 12000, 12000, "", Sixteen_Button_Puck),
                 true, false, false, true)},
      {"mirolex3", "KORV Mensaro Mirolex III, 12 x 18",
       User_Sets(Tablet("KORV/Mensaro MXIII Mirolex III 1218", "MXIII V3.10", Korv_Image, 18000, 12000, "MNR0304",
                        Pressure_Stylus),
                 true, true, true, false)},
      {"dovrane3", "KORV Mensaro Dovrane III, 12 x 12",
       User_Sets(Tablet("KORV/Mensaro DVIII 1212", "DVIII V1.22", Dovrane_Image, 12000, 12000, "", Inline_Puck), true,
                 false, false, true)},
      {"dovrane4", "KORV Mensaro Dovrane IV, 12 x 18",
       User_Sets(Tablet("KORV/Mensaro Dovrane IV 1218", "DVIV V1.07", Dovrane_Image, 18000, 12000, "MNR0303",
                        Pressure_Stylus),
                 true, true, false, true)},
      {"dovrane6", "KORV Mensaro Dovrane VI, 18 x 24",
       User_Sets(Tablet("KORV/Mensaro Dovrane VI 1824", "DVVI V1.30", Dovrane_Image, 24000, 18000, "MNR0303",
                        Sixteen_Button_Puck),
                 true, true, false, true)},
      {"pallivant5", "Zeltavision Pallivant V, 12 x 12",
       Tablet("Mensaro Pallivant V 1212", "PV5 V4.01", Switch_Image, 12000, 12000, "MNR0018", Diamond_Puck)},
      {"pallivant6", "Zeltavision Pallivant VI, 12 x 18",
       Tablet("Mensaro Pallivant VI 1218", "PV6 V4.12", Switch_Image, 18000, 12000, "", Three_Button_Stylus)},
      {"pallivant7", "Zeltavision Pallivant VII, 12 x 18",
       Tablet("Mensaro Pallivant VII 1218", "PV7 V5.02", Switch_Image, 18000, 12000, "MNR0203", Pressure_Stylus)},
      {"colossa", "KORV Mensaro 'Colossa' Pallivant, 36 x 48",
       Tablet("Mensaro Pallivant Colossa 3648", "PVC V2.30", Switch_Image, 48000, 36000, "", Sixteen_Button_Puck)},
      {"velliscope3", "Mensaro Velliscope III, 12 x 12",
       Tablet("Mensaro 3400 Velliscope III", "VS3 V3.40", Switch_Image, 12000, 12000, "MNR0018", Five_Button_Mouse)},
      {"velliscope4", "Mensaro Velliscope IV, 12 x 12",
       Tablet("Mensaro Velliscope IV 1212", "VS4 V1.05", Switch_Image, 12000, 12000, "", Three_Button_Stylus)},
      {"velliscope5", "KORV Mensaro Velliscope V, 12 x 18",
       Tablet("KORV/Mensaro Velliscope V 1218", "VS5 V2.11", Switch_Image, 18000, 12000, "MNR0103", Pressure_Stylus)},
      {"velliscope6", "KORV Mensaro Velliscope VI, 12 x 18",
       Tablet("KORV/Mensaro Velliscope VI 1218", "VS6 V1.02", Switch_Image, 18000, 12000, "", Inline_Puck)},
      {"lumivane", "Mensaro Lumivane, 6 x 8.5",
       Tablet("Mensaro 3100 Lumivane", "LV V1.10", Switch_Image, 8500, 6000, "MNR0001", Two_Button_Stylus)},
      {"orvanta", "Mensaro Orvanta, 12 x 12",
       Tablet("11050 Orvanta 1212", "OV V3.3", Mensaro_Image, 12000, 12000, "", Unmarked_Puck)},
      {"belmora", "Mensaro Belmora, 12 x 12",
       Tablet("35050, Belmora 1212", "BM V2.8", Mensaro_Image, 12000, 12000, "", Unmarked_Pressure_Stylus)},
      {"zephane", "Mensaro Zephane, 6 x 8",
       Tablet("Mensaro 1000 Zephane", "ZP V1.01", Mensaro_Image, 8000, 6000, "MNR0010", Unmarked_Pressure_Stylus)},
      {"morvane", "Mensaro Morvane (serial), 9 x 12",
       Tablet("KORV/Mensaro 36090 Morvane", "MV V4.20", Mensaro_Image, 12000, 9000, "MNR0012", Unmarked_Puck)},
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

std::string SuperSet_Report(const Script_Point& p, const SuperSet_Cursor& cursor) {
  std::string r = SuperSet_Report(p.x, p.y);
  const int pressure = cursor.pressure ? std::clamp(p.pressure, 0, SuperSet_Max_Pressure) : 0;
  r[0] = static_cast<char>(r[0] | ((p.button & 31) << 2));
  if (!p.in_prox) r[3] = static_cast<char>(r[3] | Out_Of_Proximity);
  if (cursor.identity > 0) r[3] = static_cast<char>(r[3] | Identity_Marker);
  if (cursor.pressure) r[6] = r[7] = Pressure_Stylus_B7_B8;
  r[8] = static_cast<char>(pressure >> 2);
  const bool names_itself = cursor.identity > 0 && (!cursor.pressure || p.entering);
  r[9] = static_cast<char>(names_itself ? cursor.identity : pressure & 3);
  return r;
}

double SuperSet_Report_Rate(const Framing& framing) { return framing.baud >= 19200 ? 100.0 : 50.0; }

SuperSet_Tablet::SuperSet_Tablet(SuperSet_Tablet_Profile profile)
    : Sim_Device(Power_Up_Framing()),
      profile_(std::move(profile)),
      stream_(Report_Script({0, 0, profile_.width, profile_.height},
                            {profile_.cursor.buttons, profile_.cursor.pressure ? SuperSet_Max_Pressure : 0}),
              SuperSet_Sync_Floor,
              [cursor = profile_.cursor](const Script_Point& p) { return SuperSet_Report(p, cursor); }) {
  power_up_image_ = profile_.settings_image;
  active_image_ = power_up_image_;
  for (int nn = 90; nn <= 99; ++nn) user_images_[static_cast<std::size_t>(nn - 90)] = Factory_User_Image(profile_.settings_image, nn);
}

void SuperSet_Tablet::Power_Up() {
  Set_Device_Framing(Power_Up_Framing());
  active_image_ = power_up_image_;
  in_command_ = false;
  command_.clear();
  dtr_pulses_ = 0;
  silent_ = false;
  bank_mode_ = Bank_Mode::None;
}

std::string SuperSet_Tablet::User_Image(int nn) const {
  if (nn < 90 || nn > 99) return {};
  return user_images_[static_cast<std::size_t>(nn - 90)];
}

void SuperSet_Tablet::Set_User_Image(int nn, const std::string& image_text) {
  if (nn < 90 || nn > 99) return;
  user_images_[static_cast<std::size_t>(nn - 90)] = Image_Text(Parse_Image_Text(image_text));
}

std::string SuperSet_Tablet::User_Bank() const {
  std::string bank;
  for (const std::string& image : user_images_) {
    const SuperSet_Bytes record = Image_To_SuperSet(image);
    bank.append(record.begin(), record.end());
    bank.append(8, '\xFF');
  }
  bank.append(8, '\xFF');
  return bank;
}

void SuperSet_Tablet::Answer(Sim_Link& link, const std::string& text) {
  if (silent_) return;
  if (profile_.settings_reply_cut > 0 && text.size() > profile_.settings_reply_cut) {
    link.Send(text.substr(0, profile_.settings_reply_cut));
    return;
  }
  link.Send(text);
}

void SuperSet_Tablet::On_Lines(Sim_Link& link, bool dtr, bool rts) {
  if (pnp_watch_.On_Lines(link.Now(), dtr, rts) && !profile_.pnp_id.empty()) {
    Answer_PnP_Handshake(*this, link, profile_.pnp_id);
  }
  // Count DTR pulses; a drop and raise of RTS after them wakes the tablet.
  if (last_dtr_ && !dtr) ++dtr_pulses_;
  if (!last_rts_ && rts && dtr_pulses_ >= 3) {
    dtr_pulses_ = 0;
    if (!silent_) link.Send("T");
  }
  last_dtr_ = dtr;
  last_rts_ = rts;
}

void SuperSet_Tablet::On_Byte(Sim_Link& link, unsigned char byte) {
  if (bank_mode_ != Bank_Mode::None) {
    On_Bank_Byte(link, byte);
    return;
  }
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

void SuperSet_Tablet::On_Bank_Byte(Sim_Link& link, unsigned char byte) {
  if (bank_mode_ == Bank_Mode::Write_Bytes) {
    bank_bytes_ += static_cast<char>(byte);
    if (bank_bytes_.size() < Bank_Bytes) return;
    for (int nn = 90; nn <= 99; ++nn) {
      SuperSet_Bytes record{};
      for (std::size_t k = 0; k < 4; ++k) record[k] = static_cast<std::uint8_t>(bank_bytes_[12 * (nn - 90) + k]);
      user_images_[static_cast<std::size_t>(nn - 90)] = Image_Text(SuperSet_To_Image(record));
    }
    bank_mode_ = Bank_Mode::Write_End;
    return;
  }
  if (byte != static_cast<unsigned char>(CR)) {
    if (bank_line_.size() < 8) bank_line_ += static_cast<char>(byte);
    return;
  }
  const std::string line = bank_line_;
  bank_line_.clear();
  switch (bank_mode_) {
    case Bank_Mode::Dump_Size:
      if (line != "5") break;
      {
        std::string dump = User_Bank();
        unsigned sum = 0;
        for (unsigned char c : dump) sum += c;
        dump += static_cast<char>(sum & 0xFF);
        if (profile_.bank_dump_cut > 0 && dump.size() > profile_.bank_dump_cut) dump.resize(profile_.bank_dump_cut);
        link.Send(dump);
      }
      bank_mode_ = Bank_Mode::Dump_End;
      break;
    case Bank_Mode::Write_Size:
      if (line != "5") break;
      bank_bytes_.clear();
      bank_mode_ = Bank_Mode::Write_Bytes;
      break;
    case Bank_Mode::Dump_End:
    case Bank_Mode::Write_End:
      if (line == "512") bank_mode_ = Bank_Mode::None;
      break;
    default: bank_mode_ = Bank_Mode::None; break;
  }
}

void SuperSet_Tablet::On_Command(Sim_Link& link, const std::string& letters) {
  const std::string_view l(letters);
  if (silent_ && letters != "%VR") return;
  if (letters == "%__S") {
    Answer(link, active_image_);
  } else if (letters == "%__S1") {
    if (profile_.answers_power_up_query) Answer(link, power_up_image_);
  } else if (l.starts_with("%__S") && User_Number(l.substr(4)) >= 90) {
    if (profile_.user_query) Answer(link, User_Image(User_Number(l.substr(4))) + Line_End);
  } else if (l.starts_with("%__s") && l.size() >= 4 + Image_Text_Length) {
    const std::string image = Image_Text(Parse_Image_Text(l.substr(4, Image_Text_Length)));
    const std::string_view rest = l.substr(4 + Image_Text_Length);
    if (rest.empty()) {
      active_image_ = image + Line_End;
    } else if (profile_.single_user_write && User_Number(rest) >= 90) {
      Set_User_Image(User_Number(rest), image);
    }
    if (profile_.silent_after_write) silent_ = true;
  } else if (letters == "%VF1") {
    power_up_image_ = active_image_;
  } else if (letters == "%__r") {
    if (!profile_.bank_dump || silent_) return;
    link.Send(std::string(1, Ack));
    bank_mode_ = Bank_Mode::Dump_Size;
  } else if (letters == "%__u") {
    if (!profile_.bank_write) return;
    if (profile_.acknowledges_bank_write && !silent_) link.Send(std::string(1, Ack));
    bank_mode_ = Bank_Mode::Write_Size;
  } else if (letters == "%__p") {
    if (profile_.answers_identification) link.Send(profile_.identification);
  } else if (letters == "%__V") {
    if (profile_.answers_firmware) link.Send(profile_.firmware);
  } else if (letters == "%VS") {
    if (profile_.answers_size) link.Send(SuperSet_Report(profile_.width, profile_.height));
  } else if (letters == "%C0N81") {
    Set_Device_Framing(Fast_Framing());
  } else if (letters == "%VB1") {
    stream_.Start(link, SuperSet_Report_Rate(Device_Framing()));
  } else if (letters == "%VR") {
    stream_.Stop(link);
    Power_Up();
  } else if (letters == "%VE") {
    ++factory_restores_;
    power_up_image_ = profile_.settings_image;
    active_image_ = power_up_image_;
    for (int nn = 90; nn <= 99; ++nn) user_images_[static_cast<std::size_t>(nn - 90)] = Factory_User_Image(profile_.settings_image, nn);
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
    out.back().streams = true;
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
  // Faults of the settings exchanges of the configuration windows.
  for (const SuperSet_Model_Profile& m : SuperSet_Model_Profiles()) {
    const std::string name = m.name;
    const std::string description = m.description;
    SuperSet_Tablet_Profile t = m.tablet;
    if (t.user_query) {
      t.answers_power_up_query = false;
      out.push_back(Make_Profile(name + "-nos1", description + "; no answer to %__S1", t));
      t = m.tablet;
    }
    if (t.bank_dump) {
      t.bank_dump_cut = 60;
      out.push_back(Make_Profile(name + "-shortdump", description + "; the user bank dump stops after 60 bytes", t));
      t = m.tablet;
    }
    if (t.bank_write) {
      t.acknowledges_bank_write = false;
      out.push_back(Make_Profile(name + "-noack", description + "; never acknowledges a user bank write", t));
      t = m.tablet;
    }
    if (std::string(t.settings_image) == Switch_Image) {
      t.settings_reply_cut = 10;
      out.push_back(Make_Profile(name + "-short", description + "; its settings answer stops after 10 bytes", t));
      t = m.tablet;
      t.silent_after_write = true;
      out.push_back(Make_Profile(name + "-mute", description + "; answers nothing after a settings write", t));
    }
  }
}

}  // namespace stylomat
