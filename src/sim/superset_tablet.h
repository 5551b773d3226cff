#pragma once
// Simulated tablets of the SuperSet command family: commands are ESC, the
// letters, CR, at "9600,n,8,2" after power-up.  The tablet wakes (answers
// "T") when it sees DTR pulsed and then RTS dropped and raised.
//
// Commands it knows:
//   "%__p"   identification text        "%__V"   firmware text
//   "%__S"   active settings image      "%VS"    one report at the largest coordinates
//   "%__S1"  power-up settings image    "%__Snn" user SuperSet nn (90..99), as an image
//   "%__s" + image         makes the image the active settings
//   "%__s" + image + nn    stores it as user SuperSet nn (tablets that take them one at a time)
//   "%VF1"   the active settings become the power-up settings
//   "%VF", "%A1"  confirmations after a write; they change nothing here
//   "%C0N81" framing "19200,n,8,2"      "%VR"    power-up state, "9600,n,8,2"
//   "%VE"    factory settings (power-up, active and user SuperSets)
//   "%VB1"   start streaming 10-byte reports, the last of the grid test's
//            preparation commands ("%A1", "%VF", "%VA0", "%VA2", "%V5",
//            "%N0", "%W200", "%Z2" and "%JR1000,0" before it change nothing
//            here); SuperSet_Report_Rate a second.  "%VR" stops them.
//   "%__r"   user bank dump: 0x06, then after "5" CR the bank (128 bytes and a
//            check byte), ended by "512" CR
//   "%__u"   user bank write: 0x06, then "5" CR, the 128 bank bytes, "512" CR
// A power cycle (the power-up state) restores the power-up settings.
// Anything else is ignored, as a real tablet does.
#include <array>
#include <string>
#include <vector>

#include "sim/pnp_tablet.h"
#include "sim/profiles.h"
#include "sim/report_script.h"

namespace stylomat {

// The cursor of a SuperSet-family tablet.
struct SuperSet_Cursor {
  // The number b10 of a report carries beside the cursor-identity marker;
  // 0: the tablet sends no marker and the program guesses its cursor.
  int identity = 0;
  int buttons = 4;
  bool pressure = false;  // a pressure stylus, pressure 0 to SuperSet_Max_Pressure
};

inline constexpr int SuperSet_Max_Pressure = 511;  // b9 stays below the sync floor

struct SuperSet_Tablet_Profile {
  std::string identification;  // answer to ESC "%__p" CR
  std::string firmware;        // answer to ESC "%__V" CR
  std::string settings_image;  // factory settings image, with its line end (22 characters)
  long width = 12000;          // largest X, 1/1000 inch counts
  long height = 12000;         // largest Y
  SuperSet_Cursor cursor;
  std::string pnp_id;          // Plug-and-Play identifier ("MNR0303"); empty when none
  // What the model's firmware offers for its user SuperSets 90 to 99.
  bool user_query = false;         // "%__Snn"
  bool single_user_write = false;  // "%__s" + image + nn
  bool bank_dump = false;          // "%__r"
  bool bank_write = false;         // "%__u"
  // Fault variants: a tablet that keeps silent to one of the questions.
  bool answers_identification = true;
  bool answers_firmware = true;
  bool answers_size = true;
  bool answers_power_up_query = true;  // "%__S1"
  std::size_t settings_reply_cut = 0;  // >0: the settings answer stops after this many bytes
  std::size_t bank_dump_cut = 0;       // >0: the bank dump stops after this many bytes
  bool acknowledges_bank_write = true;
  bool silent_after_write = false;     // after a "%__s" it answers nothing until a power cycle
};

// The 10-byte report of a SuperSet tablet at (x, y), in proximity, no
// button pressed, no marker (the answer to "%VS").
std::string SuperSet_Report(long x, long y);
// A streamed report of the cursor.  A cursor with an identity sets the
// marker in every report and b10 carries its identity number, except that
// a pressure stylus names itself only in the report that enters proximity
// and sends the low two pressure bits in b10 of the others.  b9 holds
// pressure bits 2-8; b7 and b8 of a pressure stylus are never both zero
// (a tablet without the marker is known by them).
std::string SuperSet_Report(const Script_Point& p, const SuperSet_Cursor& cursor);

// 100 reports a second at 19200 baud (10 bytes at "19200,n,8,2" take
// 5.7 ms), 50 at the power-up 9600 baud.
double SuperSet_Report_Rate(const Framing& framing);

class SuperSet_Tablet : public Sim_Device, public Streaming_Tablet {
 public:
  explicit SuperSet_Tablet(SuperSet_Tablet_Profile profile);

  void On_Byte(Sim_Link& link, unsigned char byte) override;
  void On_Lines(Sim_Link& link, bool dtr, bool rts) override;
  void On_Timer(Sim_Link& link) override { stream_.On_Timer(link); }
  void Set_Stream_Faults(const Stream_Faults& faults) override { stream_.Set_Faults(faults); }
  bool Streaming() const { return stream_.Streaming(); }

  // Every complete command the tablet has received (letters without ESC/CR).
  const std::vector<std::string>& Commands() const { return commands_; }
  const SuperSet_Tablet_Profile& Profile() const { return profile_; }
  const std::string& Active_Image() const { return active_image_; }
  const std::string& Power_Up_Image() const { return power_up_image_; }
  int Factory_Restores() const { return factory_restores_; }
  // User SuperSet nn (90..99) as the image text the tablet answers.
  std::string User_Image(int nn) const;
  void Set_User_Image(int nn, const std::string& image_text);
  // The user bank as the tablet dumps it: 10 x (4 record bytes + 8 x 0xFF),
  // then 8 x 0xFF.
  std::string User_Bank() const;

 protected:
  // Handles one command (the letters between ESC and CR).
  virtual void On_Command(Sim_Link& link, const std::string& letters);
  void Power_Up();
  void Answer(Sim_Link& link, const std::string& text);

  SuperSet_Tablet_Profile profile_;
  std::string active_image_;
  std::string power_up_image_;

 private:
  bool in_command_ = false;
  std::string command_;
  std::vector<std::string> commands_;
  int dtr_pulses_ = 0;
  bool last_dtr_ = false;
  bool last_rts_ = false;
  int factory_restores_ = 0;
  bool silent_ = false;
  // The user bank exchanges: after "%__r" / "%__u" the tablet reads plain
  // bytes ("5" CR, the bank, "512" CR) instead of ESC commands.
  enum class Bank_Mode { None, Dump_Size, Dump_End, Write_Size, Write_Bytes, Write_End };
  void On_Bank_Byte(Sim_Link& link, unsigned char byte);
  Bank_Mode bank_mode_ = Bank_Mode::None;
  std::string bank_line_;
  std::string bank_bytes_;
  std::array<std::string, 10> user_images_;  // image text of 90..99, without line end
  PnP_Line_Watch pnp_watch_;  // answers the Plug-and-Play enumeration with pnp_id
  Report_Stream stream_;
};

// One entry per SuperSet-family model, with its identification, firmware,
// size, settings image and Plug-and-Play identifier.
struct SuperSet_Model_Profile {
  const char* name;         // "dovrane4"
  const char* description;  // "KORV Mensaro Dovrane IV, 12 x 18"
  SuperSet_Tablet_Profile tablet;
};
const std::vector<SuperSet_Model_Profile>& SuperSet_Model_Profiles();

// Adds "wake", every model, and each model's fault variants "<name>-nop"
// (no answer to "%__p"), "<name>-nov" (to "%__V") and "<name>-novs" (to
// "%VS").
void Add_SuperSet_Profiles(std::vector<Sim_Profile>& out);

}  // namespace stylomat
