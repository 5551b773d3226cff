#pragma once
// The bit packing of a SuperSet record: the four bytes as the values of
// the configuration window's boxes, and back.  Pure functions: no form, no
// lists, no session.  The form (superset_form) adds what depends on its
// lists: a mode or resolution beyond the list shows the first entry, and
// the special emulations fold onto the common ones outside OEM mode.
#include "superset/superset_record.h"

namespace stylomat {

// The emulation groups: which formats and format boxes belong together.
enum class Emulation_Group { KORV, Mensaro, Zeltavision };
Emulation_Group Group_Of_Emulation(int emulation);

// One value per box, as the handlers store them.
struct SuperSet_Settings {
  int baud = 0;
  int parity = 0;
  int data_bits = 0;  // Cmbdatabits index: 0 = 7, 1 = 8
  int stop_bits = 0;  // CmbStopBits index: 0 = 1, 1 = 2
  int mode = 0;
  int data_rate = 0;
  int resolution = 0;
  int emulation = 0;
  int format = 0;
  int carriage_return = 0;
  int line_feed = 0;
  int space = 0;
  int decimal_point = 0;
  int buttons = 0;
  int alarm = 0;
  int origin_lamp = 0;
};

struct Decoded_Record {
  SuperSet_Settings settings;  // format: for the record's own emulation
  int byte0_bit3 = 0;          // kept by KORV_form, 0 in the other windows
};

// What a record says.  korv: the KORV_form reading (origin/lamp and byte 0
// bit 3 are its own).
Decoded_Record Decode_Record(const SuperSet_Record& record, bool korv);
// The format index a record gives within an emulation group.
int Record_Format(const SuperSet_Record& record, Emulation_Group group);
// The record the boxes encode to.
SuperSet_Record Encode_Record(const SuperSet_Settings& settings, int byte0_bit3, bool korv);

}  // namespace stylomat
