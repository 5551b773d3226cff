#pragma once
// The KORV command state of the simulated Type-5 tablets that keep
// SuperSets (the Quorral III): SuperSets 00 to 99 stored in the tablet, a
// work area, and the four commands that read, load, store and activate
// them.  Plugged into a Type5_Tablet as its command handler, so it sees
// every byte and line of the tablet's command state (Ctrl-A enters it, ESC
// leaves it).
//
//   "RR" CR, then two digits and CR
//        answers "S" + the two digits, CR LF, the four bytes of that stored
//        SuperSet (byte 0 first, raw), then CR LF and the prompt.
//   "za" CR, then four raw bytes
//        loads the bytes into the work area (any byte value, CR, ESC and
//        Ctrl-A included); answers the prompt after the fourth.
//   "LS" CR, then two digits and CR
//        stores the work area as that SuperSet when it is writable (00 and
//        90 to 99; 99 is reserved on the Quorral III); answers "OK" or "?".
//   "ES" CR, then two digits (no CR; ESC follows)
//        makes that SuperSet the one the tablet runs from after power-up.
//
// SuperSet 00 is the power-up setting itself: reading 00 gives the record
// the tablet starts with.  Activating nn copies SuperSet nn into 00;
// storing into 00 sets it directly.  Stored SuperSets live as long as the
// simulated tablet.  Factory SuperSets 01 to 99 are our own factory table;
// the factory power-up setting is SuperSet 01.
#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "sim/type5_tablet.h"
#include "superset/superset_record.h"

namespace stylomat {

struct KORV_Command_Options {
  bool reserve_99 = true;  // the Quorral III keeps SuperSet 99 for itself
  // >= 0: after answering this many SuperSet reads the tablet stops
  // answering anything (a tablet that hangs in the middle of a read).
  int stall_after_reads = -1;
};

class KORV_Command_State final : public Type5_Command_Handler {
 public:
  explicit KORV_Command_State(KORV_Command_Options options = {});

  bool On_Command_Byte(Type5_Tablet& tablet, Sim_Link& link, unsigned char byte) override;
  bool On_Command_Line(Type5_Tablet& tablet, Sim_Link& link, const std::string& line) override;
  void On_Leave_Command(Type5_Tablet& tablet, Sim_Link& link) override;

  // What the tablet holds, for tests and demonstrations.
  const SuperSet_Record& Stored(int n) const;  // n outside 0..99 gives SuperSet 00
  void Set_Stored(int n, const SuperSet_Record& record);
  const SuperSet_Record& Work_Area() const { return work_area_; }
  int Power_Up_SuperSet() const { return power_up_; }  // last activated number
  int Reads_Answered() const { return reads_answered_; }
  int Stores() const { return stores_; }
  bool Stalled() const { return stalled_; }
  bool Is_Writable(int n) const;

  // The record the tablet's factory table holds for SuperSet n (1..99).
  static SuperSet_Record Factory_SuperSet(int n);

 private:
  enum class Expect { Command, Read_Number, Store_Number };

  void Answer_Read(Type5_Tablet& tablet, Sim_Link& link, const std::string& line);
  void Answer_Store(Type5_Tablet& tablet, Sim_Link& link, const std::string& line);
  void Activate(int n);
  void Reset_Pending();

  KORV_Command_Options options_;
  std::array<SuperSet_Record, 100> stored_{};
  SuperSet_Record work_area_{};
  int power_up_ = 1;
  Expect expect_ = Expect::Command;
  int raw_bytes_left_ = 0;  // record bytes still to come after "za"
  int raw_index_ = 0;
  bool taking_activation_ = false;  // two digits after "ES"
  std::string activation_digits_;
  int reads_answered_ = 0;
  int stores_ = 0;
  bool stalled_ = false;
};

std::unique_ptr<Type5_Command_Handler> Make_KORV_Command_State(KORV_Command_Options options = {});

}  // namespace stylomat
