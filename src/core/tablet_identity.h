#pragma once
// What the port search learned about the tablet: one record for the whole
// program, shown on the main window and read by the configuration windows
// and the test bench.
#include <string>

namespace stylomat {

struct Tablet_Identity {
  std::string Framing;  // the port's Settings while talking to the tablet

  // Report-format flags.
  bool SuperSet_Format = false;
  bool KV_Format = false;
  bool KV_Alt_Format = false;
  bool UIOF_Format = false;
  bool PnP_Format = false;
  bool Type5_Format = false;
  bool Half_Resolution = false;  // coordinates count 1/500 inch

  std::string Product_Reply;   // raw identification; Model_Name after Match_Model
  std::string Firmware_Reply;  // raw firmware or version reply
  std::string Settings_Reply;  // settings dump read by the wake-up
  std::string Model_Name;
  std::string Size_Text;      // height first, "12 x 12"; "N/A" when unknown
  std::string Firmware_Text;
  long Tablet_Width = 0;
  long Tablet_Height = 0;

  // Model variants inside a configuration window family.
  bool Mirolex_III_Flag = false;
  bool Dovrane_IV_VI_Flag = false;
  bool Quorral_III_Flag = false;

  // Flags of the Plug-and-Play identifiers.
  bool PnP_Answered = false;
  bool PnP_ID_Found = false;
  bool Velliscope_V_Flag = false;
  bool Pallivant_VII_Flag = false;
  bool Velliscope_III_Flag = false;
  bool Lumivane_Flag = false;

  int Probe_Cursor = 0;  // cursor code recognised by the KV and Plug-and-Play probes
  int Type5_Cursor = 0;  // cursor code recognised by the Type-5 probe
};

}  // namespace stylomat
