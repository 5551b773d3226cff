#pragma once
// Simulated tablets of the SuperSet command family: commands are ESC, the
// letters, CR, at "9600,n,8,2" after power-up.  The tablet wakes (answers
// "T") when it sees DTR pulsed and then RTS dropped and raised.
//
// Commands it knows:
//   "%__p"   identification text        "%__V"   firmware text
//   "%__S"   active settings image      "%VS"    one report at the largest coordinates
//   "%C0N81" framing "19200,n,8,2"      "%VR"    power-up state, "9600,n,8,2"
//   "%VE"    factory settings
// Anything else is ignored, as a real tablet does.
#include <string>
#include <vector>

#include "sim/pnp_tablet.h"
#include "sim/profiles.h"

namespace stylomat {

struct SuperSet_Tablet_Profile {
  std::string identification;  // answer to ESC "%__p" CR
  std::string firmware;        // answer to ESC "%__V" CR
  std::string settings_image;  // factory settings image, with its line end (22 characters)
  long width = 12000;          // largest X, 1/1000 inch counts
  long height = 12000;         // largest Y
  std::string pnp_id;          // Plug-and-Play identifier ("MNR0303"); empty when none
  // Fault variants: a tablet that keeps silent to one of the questions.
  bool answers_identification = true;
  bool answers_firmware = true;
  bool answers_size = true;
};

// The 10-byte report of a SuperSet tablet at (x, y), in proximity, no
// button pressed.
std::string SuperSet_Report(long x, long y);

class SuperSet_Tablet : public Sim_Device {
 public:
  explicit SuperSet_Tablet(SuperSet_Tablet_Profile profile);

  void On_Byte(Sim_Link& link, unsigned char byte) override;
  void On_Lines(Sim_Link& link, bool dtr, bool rts) override;

  // Every complete command the tablet has received (letters without ESC/CR).
  const std::vector<std::string>& Commands() const { return commands_; }
  const SuperSet_Tablet_Profile& Profile() const { return profile_; }
  const std::string& Active_Image() const { return active_image_; }
  const std::string& Power_Up_Image() const { return power_up_image_; }
  int Factory_Restores() const { return factory_restores_; }

 protected:
  // Handles one command (the letters between ESC and CR).
  virtual void On_Command(Sim_Link& link, const std::string& letters);
  void Power_Up();

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
  PnP_Line_Watch pnp_watch_;  // answers the Plug-and-Play enumeration with pnp_id
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
