#pragma once
// Simulated tablets of the UIOF command family at "9600,E,7,2".  Commands
// are ESC and one letter, no CR:
//   ESC "g"   status: one character ("A" or "@" on most models)
//   ESC "Z"   reset: streaming stops
//   ESC "x"   identification text, with ".#" in it
//   ESC "a"   one 8-byte report at the largest coordinates
//   ESC "M0"  start streaming 8-byte reports, UIOF_Report_Rate a second
//             (8 bytes at "9600,E,7,2" take 9.2 ms of each 12.5 ms)
// Anything else is ignored.  Counts are 1/1000 inch.
#include <string>
#include <vector>

#include "sim/profiles.h"
#include "sim/report_script.h"

namespace stylomat {

struct UIOF_Tablet_Profile {
  std::string status = "A";            // answer to ESC "g"; empty: no answer
  std::string identification = "UI.#1";  // answer to ESC "x"; empty: no answer
  long width = 12000;                  // largest X
  long height = 12000;                 // largest Y
  int buttons = 4;                     // of its puck
};

inline constexpr double UIOF_Report_Rate = 80.0;

// The 8-byte UIOF report at (x, y).
std::string UIOF_Report(long x, long y, int button = 0, bool in_prox = true);
std::string UIOF_Report(const Script_Point& p);

// The UIOF command set.  A UIOF tablet is made of it; a KV tablet switched
// to UIOF reporting speaks it too.
class UIOF_Commands {
 public:
  explicit UIOF_Commands(UIOF_Tablet_Profile profile);
  // Returns true when the byte completed ESC "Z" (the tablet was reset).
  bool On_Byte(Sim_Link& link, unsigned char byte);
  // The streaming timer.
  void On_Timer(Sim_Link& link);
  void Stop_Streaming(Sim_Link& link);
  bool Streaming() const { return stream_.Streaming(); }
  const UIOF_Tablet_Profile& Profile() const { return profile_; }
  Report_Stream& Stream() { return stream_; }

 private:
  UIOF_Tablet_Profile profile_;
  Report_Stream stream_;
  bool after_esc_ = false;
  bool after_m_ = false;
};

class UIOF_Tablet : public Sim_Device, public Streaming_Tablet {
 public:
  explicit UIOF_Tablet(UIOF_Tablet_Profile profile);
  void On_Byte(Sim_Link& link, unsigned char byte) override;
  void On_Timer(Sim_Link& link) override;
  void Set_Stream_Faults(const Stream_Faults& faults) override { commands_.Stream().Set_Faults(faults); }
  bool Streaming() const { return commands_.Streaming(); }
  int Resets() const { return resets_; }

 private:
  UIOF_Commands commands_;
  int resets_ = 0;
};

// "uiof", "uiof-at", "uiof-x".
void Add_UIOF_Profiles(std::vector<Sim_Profile>& out);

}  // namespace stylomat
