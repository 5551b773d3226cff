#pragma once
// The exchange of the switch-bank windows with their tablet, over the
// settings-image link: decoding the tablet's settings reply into the form,
// and writing the form's switches to the tablet.
#include <string_view>

#include "switchbank/switch_bank_form.h"

namespace stylomat {

struct Session;

// Shows a tablet's settings reply in the form.  The Pallivant window first
// logs the image it showed ("Last: ") and the one the tablet sent
// ("Tablet ").
void Decode_Switch_Report(Session& s, Switch_Bank_Form& form, std::string_view reply);

// Sends the form's image to the tablet: a tick, the input emptied, the
// settings query (its answer logged), ESC "%A1" CR, then ESC "%__s" image
// CR.  The Pallivant window logs always, the Velliscope window only in
// Debug_Mode.  False when the port failed on the way (the rest of the write
// is skipped); the busy pointer shows meanwhile and InputLen is restored.
bool Write_Switches(Session& s, Switch_Bank_Form& form);

}  // namespace stylomat
