#pragma once
// Serial Plug-and-Play on simulated tablets, and the Pupilane tablet.
//
// A Plug-and-Play device answers the enumeration on the modem lines: when
// the host raises RTS after DTR has been on with RTS off for a while, the
// device sends its identification string at "1200,M,7,2", whatever framing
// it speaks otherwise.  Any simulated tablet can own a PnP_Line_Watch and
// answer through Answer_PnP_Handshake.
//
// The Pupilane tablet (identifier "KYE0005") speaks no command set: after
// the byte 0x40 at "9600,o,8,1" it streams 5-byte KV-style reports of its
// 2-button stylus, PnP_Report_Rate a second; dropping DTR (closing the
// port) powers it down and stops them.  Its coordinates start 800 counts
// in from the corner and reach the size the search gives it.
#include <string>
#include <vector>

#include "sim/profiles.h"
#include "sim/report_script.h"

namespace stylomat {

// Watches DTR and RTS for the Plug-and-Play enumeration.  Reopening a port
// or a short RTS pulse (the SuperSet wake-up) does not count: RTS must rise
// after DTR has been on with RTS off for at least Settle_Seconds.
class PnP_Line_Watch {
 public:
  static constexpr double Settle_Seconds = 0.15;
  // Feed every line change; true when the device must send its string.
  bool On_Lines(double now, bool dtr, bool rts);

 private:
  bool rts_ = false;
  double dtr_only_since_ = -1.0;  // DTR on and RTS off since; -1 when not
};

// The Plug-and-Play identification string of a device: "(" , revision,
// identifier, serial number, class, description, checksum, ")".
std::string PnP_Id_String(const std::string& identifier, const std::string& description = "");

// Sends the identification string at "1200,M,7,2"; the device keeps its
// own framing for everything else.
void Answer_PnP_Handshake(Sim_Device& device, Sim_Link& link, const std::string& identifier,
                          const std::string& description = "");

inline constexpr double PnP_Report_Rate = 100.0;

class PnP_Tablet : public Sim_Device, public Streaming_Tablet {
 public:
  // right and top: the largest coordinates.
  PnP_Tablet(std::string identifier, std::string description, long right, long top);
  void On_Byte(Sim_Link& link, unsigned char byte) override;
  void On_Lines(Sim_Link& link, bool dtr, bool rts) override;
  void On_Timer(Sim_Link& link) override;
  void Set_Stream_Faults(const Stream_Faults& faults) override { stream_.Set_Faults(faults); }
  bool Streaming() const { return stream_.Streaming(); }
  int Handshakes_Answered() const { return answered_; }

 private:
  std::string identifier_;
  std::string description_;
  PnP_Line_Watch watch_;
  Report_Stream stream_;
  int answered_ = 0;
};

// "pupilane".
void Add_PnP_Profiles(std::vector<Sim_Profile>& out);

}  // namespace stylomat
