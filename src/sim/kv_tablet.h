#pragma once
// Simulated tablets of the KV command family at "9600,o,8,1".  Commands are
// bare bytes:
//   NUL       reset: streaming stops
//   "x"       identification text, with ".#" in it
//   ESC "z?"  version text, with "Ver" in it
//   "zt"      cursor text ("4", "2", "STYLUS", "16" ...)
//   "zu"      switch to UIOF reporting: from then on the tablet speaks the
//             UIOF command set at "9600,E,7,2" (ESC "Z" resets the UIOF
//             reporting) until ESC "z1" there or a break brings it back to
//             the KV command set
//   "a"       one 5-byte report at the largest coordinates
//   "b"       turn the axes (width and height change places)
//   0x40      start streaming 5-byte reports, KV_Report_Rate a second
//             (5 bytes at "9600,o,8,1" take 5.7 ms of each 10 ms)
//   break     power-on state
// KV counts are 1/500 inch; in UIOF reporting the tablet counts 1/1000 inch.
#include <string>
#include <vector>

#include "sim/profiles.h"
#include "sim/report_script.h"
#include "sim/uiof_tablet.h"

namespace stylomat {

struct KV_Tablet_Profile {
  std::string identification = "KV.#20";               // answer to "x"
  std::string version = "Zeltavision KV Version 2.10";  // answer to ESC "z?"; empty: none
  std::string cursor = "4 BUTTON PUCK";                 // answer to "zt"; empty: none
  long width = 6000;                                    // largest X in 1/500 inch, as mounted
  long height = 6000;                                   // largest Y
  bool portrait_first = false;  // reports with its axes turned until "b"
  // An older tablet: the first answers to "a" come out cut to three bytes
  // until the tablet has been asked this many times.
  int short_reports = 0;
  std::string uiof_status = "A";  // answer to ESC "g" in UIOF reporting
  int buttons = 4;                // of its cursor (at most 7 in a KV report)
};

inline constexpr double KV_Report_Rate = 100.0;

// The 5-byte KV report at (x, y).
std::string KV_Report(long x, long y, int button = 0, bool in_prox = true);
std::string KV_Report(const Script_Point& p);
// Bytes of a KV report other than the first are below this.
inline constexpr unsigned char KV_Sync_Floor = 128;

class KV_Tablet : public Sim_Device, public Streaming_Tablet {
 public:
  explicit KV_Tablet(KV_Tablet_Profile profile);
  void On_Byte(Sim_Link& link, unsigned char byte) override;
  void On_Break(Sim_Link& link, bool on) override;
  void On_Timer(Sim_Link& link) override;
  void Set_Stream_Faults(const Stream_Faults& faults) override;

  bool In_UIOF() const { return in_uiof_; }
  bool Streaming() const { return stream_.Streaming() || uiof_.Streaming(); }
  bool Turned() const { return turned_; }

 private:
  void Power_On(Sim_Link& link);
  void To_UIOF(Sim_Link& link);
  void On_KV_Byte(Sim_Link& link, unsigned char byte);
  void On_Z_Byte(Sim_Link& link, unsigned char byte);
  // In UIOF reporting: true when the byte completes ESC "z1".
  bool Back_To_KV_Command(unsigned char byte);
  long Reported_Width() const { return turned_ ? profile_.height : profile_.width; }
  long Reported_Height() const { return turned_ ? profile_.width : profile_.height; }

  KV_Tablet_Profile profile_;
  UIOF_Commands uiof_;
  Report_Stream stream_;
  bool in_uiof_ = false;
  bool after_z_ = false;
  bool turned_ = false;
  int reports_asked_ = 0;
  int z1_matched_ = 0;  // bytes of ESC "z1" seen in a row in UIOF reporting
};

// "kv", "kv-stylus", "kv16", "kv-obsolete", "kv-portrait".
void Add_KV_Profiles(std::vector<Sim_Profile>& out);

}  // namespace stylomat
