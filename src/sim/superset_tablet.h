#pragma once
// Simulated tablets of the SuperSet command family: commands are ESC, the
// letters, CR, at "9600,n,8,2" after power-up.  The tablet wakes (answers
// "T") when it sees DTR pulsed and then RTS dropped and raised.
#include <string>
#include <vector>

#include "sim/profiles.h"

namespace stylomat {

struct SuperSet_Tablet_Profile {
  std::string identification;  // answer to ESC "%__p" CR
  std::string firmware;        // answer to ESC "%__V" CR
  std::string settings_image;  // answer to ESC "%__S" CR, with its line end
};

class SuperSet_Tablet : public Sim_Device {
 public:
  explicit SuperSet_Tablet(SuperSet_Tablet_Profile profile);

  void On_Byte(Sim_Link& link, unsigned char byte) override;
  void On_Lines(Sim_Link& link, bool dtr, bool rts) override;

  // Every complete command the tablet has received (letters without ESC/CR).
  const std::vector<std::string>& Commands() const { return commands_; }

 protected:
  // Handles one command (the letters between ESC and CR).
  virtual void On_Command(Sim_Link& link, const std::string& letters);

  SuperSet_Tablet_Profile profile_;

 private:
  bool in_command_ = false;
  std::string command_;
  std::vector<std::string> commands_;
  int dtr_pulses_ = 0;
  bool last_dtr_ = false;
  bool last_rts_ = false;
};

void Add_SuperSet_Profiles(std::vector<Sim_Profile>& out);

}  // namespace stylomat
