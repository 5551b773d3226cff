#pragma once
// Simulated tablets of the Type-5 command family at "9600,N,8,1".
//
// Ctrl-A (byte 1) puts the tablet into its command state; ESC ends it.  In
// command state the tablet collects characters up to CR and answers each
// line with a text, CR LF and its prompt "> " (Type5_Answer_Tail):
//   ""     (Ctrl-A CR) the banner and the prompt
//   "VR"   "VERSION " + the version text
//   "SZ"   the size text: height digits at characters 5-6, width at 7-8
//          ("SIZE1218"), or "NONE"
//   "SC"   the cursor text ("P03", "C04", "C16")
//   "RS"   reset: reports off
//   "CN", "IV", "OP" (reports on), "R2" and lines of digits: settings of
//          the grid test, accepted
// Any other line is offered to the model's command handler and otherwise
// answered with "?".  Leaving the command state with reports on starts
// streaming 10-byte reports, Type5_Report_Rate a second (10 bytes at
// "9600,N,8,1" take 10.4 ms of each 13.3 ms); entering it stops them.
//
// Models with more commands in the command state (the KORV tablets with
// their stored SuperSets: "RR", "za", "LS", "ES") plug a
// Type5_Command_Handler into the tablet, written in its own file, and give
// their profile a make_handler.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "sim/profiles.h"
#include "sim/report_script.h"

namespace stylomat {

class Type5_Tablet;

// Commands of a model beyond the Type-5 set.
class Type5_Command_Handler {
 public:
  virtual ~Type5_Command_Handler() = default;
  // Every byte received in command state, ESC and Ctrl-A included, before
  // the tablet looks at it.  Return true when the byte was taken (raw
  // record bytes, for example); the tablet then ignores it.
  virtual bool On_Command_Byte(Type5_Tablet& tablet, Sim_Link& link, unsigned char byte);
  // Every complete line (the characters before CR), before the tablet's own
  // commands.  Return true when handled; the tablet then sends nothing.
  virtual bool On_Command_Line(Type5_Tablet& tablet, Sim_Link& link, const std::string& line);
  // The command state ended (ESC) or the tablet was reset.
  virtual void On_Leave_Command(Type5_Tablet& tablet, Sim_Link& link);
};

struct Type5_Tablet_Profile {
  std::string banner = "\r\nKORV TYPE 5";  // before the prompt in the answer to Ctrl-A CR
  std::string version;                    // after "VERSION " in the answer to "VR"
  std::string size = "SIZE1212";          // answer to "SZ"
  std::string cursor = "CURSOR C16";      // answer to "SC"
  long width = 12000;                     // largest X of the streamed reports, 1/1000 inch
  long height = 12000;
  int buttons = 16;                       // of the cursor the "SC" answer names
  std::function<std::unique_ptr<Type5_Command_Handler>()> make_handler;  // empty: none
};

inline constexpr double Type5_Report_Rate = 75.0;

// What follows every answer in command state: CR LF and the prompt.
inline constexpr const char* Type5_Answer_Tail = "\r\n> ";

// The 10-byte Type-5 report at (x, y).
std::string Type5_Report(long x, long y, int button = 0, bool in_prox = true);
std::string Type5_Report(const Script_Point& p);

class Type5_Tablet : public Sim_Device, public Streaming_Tablet {
 public:
  explicit Type5_Tablet(Type5_Tablet_Profile profile);
  void On_Byte(Sim_Link& link, unsigned char byte) override;
  void On_Timer(Sim_Link& link) override;
  void Set_Stream_Faults(const Stream_Faults& faults) override { stream_.Set_Faults(faults); }

  // Sends text followed by the prompt, as every answer in command state.
  void Send_Answer(Sim_Link& link, const std::string& text);
  bool In_Command_State() const { return in_command_; }
  bool Reports_On() const { return reports_on_; }
  bool Streaming() const { return stream_.Streaming(); }
  const Type5_Tablet_Profile& Profile() const { return profile_; }
  // Every complete line the tablet received in command state.
  const std::vector<std::string>& Lines() const { return lines_; }
  Type5_Command_Handler* Handler() { return handler_.get(); }

 protected:
  // The tablet's own commands; false when the line is not one of them.
  virtual bool On_Line(Sim_Link& link, const std::string& line);

 private:
  void Enter_Command(Sim_Link& link);
  void Leave_Command(Sim_Link& link);
  void Stop_Streaming(Sim_Link& link);

  Type5_Tablet_Profile profile_;
  std::unique_ptr<Type5_Command_Handler> handler_;
  Report_Stream stream_;
  bool in_command_ = false;
  bool reports_on_ = false;
  std::string line_;
  std::vector<std::string> lines_;
};

// "quorral", "quorral2", "quorral3", "quorral3-stalls", "mirolex-t5", "dovranex",
// "type5-nosize".  The two Quorral III profiles keep SuperSets
// (sim/korv_command_state.h).
void Add_Type5_Profiles(std::vector<Sim_Profile>& out);

}  // namespace stylomat
