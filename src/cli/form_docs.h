#pragma once
// A configuration window's form as the fields of a result, the same for
// every command that shows one: superset decode, image decode, switches
// and settings show.
#include "cli/output.h"
#include "switchbank/switch_bank_form.h"
#include "superset/superset_form.h"

namespace stylomat::cli {

// Window, OEM_Mode, Row (the row whose record the window shows; none for
// -1), Record (the record the row held when the window loaded it), every box the window has (by its control name, in the
// window's order), Byte0_Bit3, and Written_Back: the record the boxes
// encode, which the window stores back and sends to the tablet.
void Add_SuperSet_Form(Doc& doc, const SuperSet_Form& form, int row, const SuperSet_Record& record, bool oem);

// Window, the switch banks swa, swb and swc (switches 1 to 8 as 0 or 1, "-"
// where a bank has no switch), every setting box by its control name,
// Format_Code and Image (the image the switches give).
void Add_Switch_Form(Doc& doc, const Switch_Bank_Form& form);

}  // namespace stylomat::cli
