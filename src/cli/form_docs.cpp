#include "cli/form_docs.h"

#include <string>

#include "superset/superset_codec.h"

namespace stylomat::cli {

void Add_SuperSet_Form(Doc& doc, const SuperSet_Form& form, int row, const SuperSet_Record& record, bool oem) {
  doc.Word("Window", Config_Window_Name(form.Window()));
  doc.Flag("OEM_Mode", oem);
  if (row >= 0) {
    doc.Number("Row", row);
  } else {
    doc.None("Row");
  }
  doc.Word("Record", Record_Text(record));
  for (SuperSet_Box box : All_SuperSet_Boxes()) {
    if (!form.Has_Box(box)) continue;
    if (Is_List_Box(box)) {
      const List_Box& list = form.List(box);
      doc.List_Box(Box_Name(box), list.index < 0 ? std::nullopt : std::optional<std::string>(list.Text()),
                   list.visible);
    } else {
      const Check_Box& check = form.Check(box);
      doc.Check_Box(Box_Name(box), check.value != 0, check.visible);
    }
  }
  doc.Number("Byte0_Bit3", form.Byte0_Bit3());
  const bool korv = form.Window() == Config_Window::KORV_form;
  doc.Word("Written_Back", Record_Text(Encode_Record(form.Settings(), form.Byte0_Bit3(), korv)));
}

void Add_Switch_Form(Doc& doc, const Switch_Bank_Form& form) {
  doc.Word("Window", Config_Window_Name(form.Window()));
  const char* names[3] = {"swa", "swb", "swc"};
  for (int bank = 0; bank < 3; ++bank) {
    std::string switches;
    for (int n = 1; n <= 8; ++n) {
      const int v = form.Switch(static_cast<Bank>(bank), n);
      switches += v == Switch_Absent ? '-' : static_cast<char>('0' + v);
    }
    doc.Word(names[bank], switches);
  }
  for (int i = 0; i < Setting_Count; ++i) {
    const Setting_Box& box = form.Box(static_cast<Setting>(i));
    if (box.Is_Check()) {
      doc.Check_Box(box.name, box.value == 1, true);
    } else {
      doc.List_Box(box.name, box.value < 0 ? std::nullopt : std::optional<std::string>(form.Shown(box.id)), true);
    }
  }
  doc.Number("Format_Code", form.Format_Code());
  doc.Word("Image", form.Switch_Image_Text());
}

}  // namespace stylomat::cli
