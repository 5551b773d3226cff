#include "sim/pnp_tablet.h"

#include <cstdio>

#include "sim/kv_tablet.h"

namespace stylomat {

namespace {

Framing Handshake_Framing() { return *Parse_Framing("1200,M,7,2"); }
Framing Report_Framing() { return *Parse_Framing("9600,o,8,1"); }

// The Pupilane's reports start 800 counts in from the corner.
constexpr long Pupilane_Origin = 800;
constexpr int Pupilane_Buttons = 2;

}  // namespace

bool PnP_Line_Watch::On_Lines(double now, bool dtr, bool rts) {
  const bool ask = !rts_ && rts && dtr && dtr_only_since_ >= 0 && now - dtr_only_since_ >= Settle_Seconds;
  if (dtr && !rts) {
    if (dtr_only_since_ < 0) dtr_only_since_ = now;
  } else {
    dtr_only_since_ = -1.0;
  }
  rts_ = rts;
  return ask;
}

std::string PnP_Id_String(const std::string& identifier, const std::string& description) {
  // Revision 1.00 in two 6-bit characters, then the fields separated by "\".
  std::string body = "(";
  body += '\x01';
  body += '$';
  body += identifier;
  body += "\\00000001\\PEN\\\\";
  body += description;
  unsigned sum = 0;
  for (unsigned char c : body) sum += c;
  sum += ')';
  char check[3];
  std::snprintf(check, sizeof check, "%02X", sum & 0xFF);
  return body + check + ")";
}

void Answer_PnP_Handshake(Sim_Device& device, Sim_Link& link, const std::string& identifier,
                          const std::string& description) {
  const Framing own = device.Device_Framing();
  device.Set_Device_Framing(Handshake_Framing());
  link.Send(PnP_Id_String(identifier, description));
  device.Set_Device_Framing(own);
}

PnP_Tablet::PnP_Tablet(std::string identifier, std::string description, long right, long top)
    : Sim_Device(Report_Framing()),
      identifier_(std::move(identifier)),
      description_(std::move(description)),
      stream_(Report_Script({Pupilane_Origin, Pupilane_Origin, right, top}, {Pupilane_Buttons, 0}), KV_Sync_Floor,
              [](const Script_Point& p) { return KV_Report(p); }) {}

void PnP_Tablet::On_Lines(Sim_Link& link, bool dtr, bool rts) {
  // The tablet takes its power from the lines.
  if (!dtr) stream_.Stop(link);
  if (watch_.On_Lines(link.Now(), dtr, rts)) {
    ++answered_;
    Answer_PnP_Handshake(*this, link, identifier_, description_);
  }
}

void PnP_Tablet::On_Byte(Sim_Link& link, unsigned char byte) {
  if (byte == 0x40) stream_.Start(link, PnP_Report_Rate);
}

void PnP_Tablet::On_Timer(Sim_Link& link) { stream_.On_Timer(link); }

void Add_PnP_Profiles(std::vector<Sim_Profile>& out) {
  out.push_back({"pupilane", "PnP", "Mensaro Pupilane (Plug-and-Play \"KYE0005\"), fixed stylus, 6 x 8",
                 [] { return std::make_unique<PnP_Tablet>("KYE0005", "Pupilane", 6600, 4600); },
                 {},
                 true});
}

}  // namespace stylomat
