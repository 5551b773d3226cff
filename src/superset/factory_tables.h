#pragma once
// Our factory SuperSet tables, derived from the SuperSet list texts.
//
// Each factory entry of a SuperSet list names its SuperSet in words:
// "12 9600,N,8,1  KORV_form ASCII, 1000 lpi, Point Pb, Sp, CR, LF".  The
// table files in data/ are generated from these texts by
// Factory_Table_Text (stylomat-cli superset tables --out DIR), so the list
// texts stay the one source of truth; a test keeps the shipped files equal
// to the generated ones.  Entries whose text leaves the record open
// ("Power On setting", "Reserved", "User defined", "Tempory Custom
// setting", the OEM specials) get the choices documented in data/README.md.
#include <string>
#include <string_view>

#include "superset/superset_record.h"

namespace stylomat {

// What a factory entry text says about its SuperSet.
struct Factory_Description {
  std::string baud = "9600";
  char parity = 'N';  // 'N', 'O' or 'E'
  int data_bits = 8;
  int stop_bits = 1;
  std::string family = "KORV";  // "KORV", "Mensaro" or "Zelta"
  bool binary = true;
  int ascii_variant = 0;      // "Mensaro ASCII 3" -> 3; 0 when the text gives none
  std::string resolution;     // as the window's resolution list writes it: "1000 lpi"
  std::string mode = "Point"; // "Point", "Line", "Line Incr", "Cont", "Cont Incr"
  int rate = 0;               // pps as written (12, 25, 50, 100, 200); 0 not given
  bool rate_max = false;      // "Max"
  bool alarm = false;
  bool buttons = false;  // Pb
  bool space = false;    // Sp
  bool carriage_return = false;
  bool line_feed = false;
  bool decimal_point = false;
  // Only for the OEM specials: the special emulation (4..7) and the special
  // flag (byte 3 bit 3 of emulation 4).
  int special_emulation = -1;
  bool special_flag = false;
};

enum class Factory_Text_Kind { Described, Open, Unreadable };

struct Factory_Text_Reading {
  Factory_Text_Kind kind = Factory_Text_Kind::Unreadable;
  Factory_Description description;
  std::string problem;  // for Unreadable: the word that was not understood
};

// Reads an entry text ("nn " + framing + words).  Resolution words are
// matched against the window's resolution list.
Factory_Text_Reading Read_Factory_Text(std::string_view text, Config_Window window);

// The record that a description stands for in the window's boxes.
SuperSet_Record Encode_Factory(const Factory_Description& d, Config_Window window);

// The description chosen for an entry the text leaves open.
Factory_Description Open_Entry_Description(Config_Window window, int entry);

// The factory record of entry (row) n of the window: its text's record, or
// the open-entry choice.  n = 0..104.
SuperSet_Record Factory_Record(Config_Window window, int n);

// The whole table file of a window, one "XX,XX,XX,XX" line per record, with
// every record the window can read (KORV 101, Mirolex II 100, Dovrane III
// 105).
std::string Factory_Table_Text(Config_Window window);

}  // namespace stylomat
