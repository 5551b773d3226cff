#pragma once
// The item lists of the SuperSet configuration windows: the SuperSet list
// (CmbSuperSet) of each window and the items of every settings box.  Texts
// are display data: spacing, trailing blanks and spelling are exact.
#include <string>
#include <vector>

#include "superset/superset_record.h"

namespace stylomat {

// The flags that change list contents.  Read once when a window fills its
// lists.
struct SuperSet_List_Flags {
  bool OEM_Mode = false;
  bool Quorral_III_Flag = false;
  bool Mirolex_III_Flag = false;
  bool Dovrane_IV_VI_Flag = false;
};

// Entries of CmbSuperSet in index order; the index is the table row.
// KORV_form: 100 entries (0..99).  Mirolex2: 101 (0..100).  Dovrane3: 101,
// or 105 with OEM_Mode (the four specials 101..104).
std::vector<std::string> SuperSet_Entries(Config_Window window, const SuperSet_List_Flags& flags);

// The factory entries 1..97 of the KORV list as KORV_form shows them, and the
// factory entries 1..55 of the Mirolex II list.  Element 0 is entry 1.
const std::vector<std::string>& KORV_Factory_Texts();
const std::vector<std::string>& Mirolex_Factory_Texts();

// Settings boxes.  Items in index order.
const std::vector<std::string>& Baud_Items();
const std::vector<std::string>& Parity_Items();
const std::vector<std::string>& Data_Bits_Items();
const std::vector<std::string>& Stop_Bits_Items();
const std::vector<std::string>& Format_Items();
const std::vector<std::string>& Mode_Items();
const std::vector<std::string>& Data_Rate_Items();
std::vector<std::string> Resolution_Items(Config_Window window);
std::vector<std::string> Emulation_Items(Config_Window window, bool oem_mode);

}  // namespace stylomat
