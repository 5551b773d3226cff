#pragma once
// What a SuperSet configuration window shows, without the window: the list
// and check boxes, the SuperSet table, the working record and the handlers
// that tie them together.
//
// The boxes behave like the window's controls: setting a box to a new value
// runs the box's change handler, exactly as when the user changes it, and
// setting it to the value it already has runs nothing.  The handlers set
// other boxes in turn; the cascade ends once no box changes any more.  A Qt
// window binds to this model: it forwards user changes through Set_Index /
// Set_Value and re-renders when Revision() moves (or from On_Change).  The
// record's bit packing is superset_codec.
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/form_changes.h"
#include "superset/superset_codec.h"
#include "superset/superset_lists.h"
#include "superset/superset_record.h"

namespace stylomat {

struct Session;

enum class SuperSet_Box {
  CmbSuperSet,
  CmbBaud,
  CmbParity,
  Cmbdatabits,
  CmbStopBits,
  CmbMode,
  CmbDataRate,
  CmbRes,
  CmbEmu,
  CmbFormat,
  ChkCR,
  ChkLF,
  Chksp,
  Chkdp,
  ChkButtons,
  ChkAlarm,
  CHKORG,
};
inline constexpr int SuperSet_Box_Count = static_cast<int>(SuperSet_Box::CHKORG) + 1;

const char* Box_Name(SuperSet_Box box);
bool Is_List_Box(SuperSet_Box box);
// Every box, in the order the window lays them out.
const std::array<SuperSet_Box, SuperSet_Box_Count>& All_SuperSet_Boxes();

struct List_Box {
  std::vector<std::string> items;
  int index = -1;  // -1: nothing selected
  bool visible = true;
  // The shown item text; empty when nothing is selected.
  std::string Text() const;
};

struct Check_Box {
  int value = 0;  // 0 or 1
  bool visible = true;
};

class SuperSet_Form : public Form_Changes {
 public:
  // Fills the lists as the window does while loading: the SuperSet list and
  // the emulation entries by OEM_Mode and the model-variant flags as they
  // are in the session now.  No entry is selected yet.
  SuperSet_Form(Session& session, Config_Window window);
  SuperSet_Form(const SuperSet_Form&) = delete;
  SuperSet_Form& operator=(const SuperSet_Form&) = delete;

  Config_Window Window() const { return window_; }
  Session& session() { return session_; }

  // ---- boxes -------------------------------------------------------------
  // CHKORG exists only in KORV_form.
  bool Has_Box(SuperSet_Box box) const;
  const List_Box& List(SuperSet_Box box) const;
  const Check_Box& Check(SuperSet_Box box) const;

  // A change of a list box (by the user or the program).  Runs the box's
  // handler when the index changes.  Refuses an index outside the list, a
  // check box or a box this window does not have.
  Set_Result Set_Index(SuperSet_Box box, int index);
  // A change of a check box: value 0 or 1.  Same rules as Set_Index.
  Set_Result Set_Value(SuperSet_Box box, int value);
  // Selecting a CmbSuperSet entry: Set_Index(CmbSuperSet, n).
  Set_Result Select_SuperSet(int n) { return Set_Index(SuperSet_Box::CmbSuperSet, n); }
  int Selected_SuperSet() const { return List(SuperSet_Box::CmbSuperSet).index; }

  // ---- routines ----------------------------------------------------------
  // Loads row n into the working record, the settings and the boxes.
  // n outside 0..110 is ignored.
  void Save_SuperSet(int n);
  // Encodes the settings into the working record and stores it in the row
  // of the selected entry; a fixed row moves the selection to the editable
  // copy instead (row 0 in KORV_form, row 100 in the other two).
  void Read_Settings();

  // ---- model -------------------------------------------------------------
  SuperSet_Table& Table() { return table_; }
  const SuperSet_Table& Table() const { return table_; }
  SuperSet_Record& Working_Record() { return working_record_; }
  const SuperSet_Record& Working_Record() const { return working_record_; }
  const SuperSet_Settings& Settings() const { return settings_; }
  int Byte0_Bit3() const { return byte0_bit3_; }

  // While set, Read_Settings does nothing (no table row changes).
  bool Loading_SuperSet = false;

  // KORV_form's "Save User Defined SuperSet" menu entry.  The other windows
  // never change it.
  bool Save_User_Enabled() const { return save_user_enabled_; }

 private:
  List_Box& List_Ref(SuperSet_Box box);
  Check_Box& Check_Ref(SuperSet_Box box);
  void Show_Format_Boxes(Emulation_Group group);
  void Set_Visible(SuperSet_Box box, bool visible);
  void Set_Save_User(bool enabled);
  int Fold_Emulation(int emulation) const;
  bool Is_KORV() const { return window_ == Config_Window::KORV_form; }

  void Run_Handler(SuperSet_Box box, int value);
  void On_SuperSet(int n);
  void On_Emulation(int v);
  void On_Format(int v);
  void Load_Row(int n);

  Session& session_;
  Config_Window window_;
  std::array<List_Box, SuperSet_Box_Count> lists_{};
  std::array<Check_Box, SuperSet_Box_Count> checks_{};
  SuperSet_Table table_{};
  SuperSet_Record working_record_{};
  SuperSet_Settings settings_{};
  int byte0_bit3_ = 0;
  bool save_user_enabled_ = true;
  int depth_ = 0;  // nesting of running handlers
};

}  // namespace stylomat
