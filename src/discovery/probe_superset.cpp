#include "discovery/probe_superset.h"

#include "discovery/model_table.h"
#include "discovery/size_text.h"
#include "serial/serial_link.h"
#include "reports/report_decoders.h"

namespace stylomat {

namespace {

constexpr std::size_t Report_Length = 10;
constexpr unsigned char Sync_Floor = 128;
constexpr long Counts_Per_Inch = 1000;

// Product identification: the reply names the model.
void Ask_Identification(Session& s) {
  Wait_Tick(s);
  Send_Command(s, Esc_Command("%__p"), "Esc%__p");
  Wait_Tick(s);
  const auto reply = Read_Reply(s);
  if (!reply) return;  // the name from before stays
  s.identity.Product_Reply = *reply;
  Match_Model(s);
}

void Ask_Firmware(Session& s) {
  Wait_Tick(s);
  Send_Command(s, Esc_Command("%__V"), "Esc%__V");
  Wait_Tick(s);
  const auto reply = Read_Reply(s);
  if (!reply) return;
  s.identity.Firmware_Reply = *reply;
  s.identity.Firmware_Text = *reply;
  s.Facts_Changed();
}

// "%VS" makes the tablet send one report at its largest coordinates.  The
// answer is binary and is not logged.
void Ask_Size(Session& s) {
  Wait_Tick(s);
  Send_Command(s, Esc_Command("%VS"), "Esc%VS");
  Wait_Tick(s);
  s.port.Set_InputLen(0);
  if (s.port.InBufferCount() < 1) return;
  s.reports.Report_Buffer = s.port.Input();
  // The answer goes through the report decoder like any other report, so
  // what it says about the cursor (its identity marker) counts as well.
  if (!Decode_SuperSet_Report(s.reports)) return;  // a report cut short tells nothing
  Tablet_Identity& id = s.identity;
  id.Tablet_Width = s.reports.Current_Report.Cur_X;
  id.Tablet_Height = s.reports.Current_Report.Cur_Y;
  id.Size_Text = Size_Text(id.Tablet_Height, id.Tablet_Width, Counts_Per_Inch);
  s.Facts_Changed();
}

// The tablet changes its framing after "%C0N81"; the port follows.
void Switch_To_19200(Session& s) {
  Wait_Tick(s);
  Send_Command(s, Esc_Command("%C0N81"), "Esc%C0N81");
  Wait_Tick(s);
  Close_Port(s);
  Open_Port(s, SuperSet_Probe_Framing);
  s.identity.Framing = s.port.Settings();
}

}  // namespace

std::optional<SuperSet_Position> First_SuperSet_Position(std::string_view bytes) {
  std::size_t start = 0;
  while (start < bytes.size() && static_cast<unsigned char>(bytes[start]) < Sync_Floor) ++start;
  if (bytes.size() - start < Report_Length) return std::nullopt;
  const auto b = [&](std::size_t n) { return static_cast<long>(static_cast<unsigned char>(bytes[start + n - 1])); };
  SuperSet_Position p;
  p.x = b(3) + 128 * b(2) + 16384 * ((b(1) & 3) + (b(4) & 24) / 2);
  p.y = b(6) + 128 * b(5) + 16384 * (b(4) & 7);
  return p;
}

void Probe_SuperSet(Session& s) {
  Wiggle_Port(s);
  s.Refresh_Log_View();
  if (s.Search_Status != 0) {
    Log_Debug(s, "Not Found");
    return;
  }
  try {
    Ask_Identification(s);
    Ask_Firmware(s);
    Wait_Tick(s);
    Send_Command(s, Esc_Command("%VR6"), "Esc%VR6");
    Wait_Tick(s);
    Send_Command(s, Esc_Command("VB1"), "ESCVB1");
    Ask_Size(s);
    Switch_To_19200(s);
  } catch (const Port_Error&) {
    // The tablet woke but the port failed on the way (unplugged adapter).
    s.Search_Status = -2;
  }
  s.Refresh_Log_View();
}

}  // namespace stylomat
