#include "sim/superset_tablet.h"

#include "serial/traffic_log.h"

namespace stylomat {

namespace {
Framing Power_Up_Framing() { return *Parse_Framing("9600,n,8,2"); }
constexpr std::size_t Longest_Command = 256;
}  // namespace

SuperSet_Tablet::SuperSet_Tablet(SuperSet_Tablet_Profile profile)
    : Sim_Device(Power_Up_Framing()), profile_(std::move(profile)) {}

void SuperSet_Tablet::On_Lines(Sim_Link& link, bool dtr, bool rts) {
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
    link.Send(profile_.settings_image);
  }
  // Unknown commands are ignored, as a real tablet does.
}

void Add_SuperSet_Profiles(std::vector<Sim_Profile>& out) {
  out.push_back({"wake", "SuperSet",
                 "SuperSet-family tablet that only wakes and answers its settings image",
                 [] {
                   return std::make_unique<SuperSet_Tablet>(
                       SuperSet_Tablet_Profile{"", "", "43,49,46,61,06,10,80\r\n"});
                 },
                 {}});
}

}  // namespace stylomat
