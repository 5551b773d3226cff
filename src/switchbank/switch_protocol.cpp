#include "switchbank/switch_protocol.h"

#include "core/session.h"
#include "serial/serial_link.h"
#include "serial/settings_image_link.h"

namespace stylomat {

void Decode_Switch_Report(Session& s, Switch_Bank_Form& form, std::string_view reply) {
  const Native_Image image = Parse_Image_Text(reply);
  if (form.Variant().decode_lines) {
    Log_Line(s, "Last: " + form.Switch_Image_Text());
    Log_Line(s, "Tablet " + Image_Text(image));
  }
  form.Apply_Tablet_Image(image);
}

bool Write_Switches(Session& s, Switch_Bank_Form& form) {
  form.Set_Busy_Pointer(true);
  Settings_Image_Link link(s, form.Variant().log_always ? Log_When::Always : Log_When::Debug_Mode);
  const int remembered_len = s.port.InputLen();
  bool ok = true;
  try {
    Wait_Tick(s);
    link.Empty_Input();
    link.Ask_Settings();
    if (auto reply = link.Reply_After_Tick()) link.Log("From Tablet: " + *reply);
    link.Command("%A1");
    const std::string text = form.Switch_Image_Text();
    link.Send_Image_Text(text, "", "ESC%__s" + text);
  } catch (const Port_Error&) {
    ok = false;
  }
  s.port.Set_InputLen(remembered_len);
  form.Set_Busy_Pointer(false);
  s.Refresh_Log_View();
  return ok;
}

}  // namespace stylomat
