// The SuperSet form: a record shown in the boxes, the boxes stored back,
// the emulation/format cascade and the row redirection when a factory
// SuperSet is edited.
#include "superset/superset_form.h"

#include <gtest/gtest.h>

#include <random>

#include "core/session.h"

namespace stylomat {
namespace {

using B = SuperSet_Box;
using W = Config_Window;
using Record = SuperSet_Record;
constexpr Record Example = {0x32, 0x40, 0x51, 0x07};
constexpr Record Example_Stored = {0x32, 0x40, 0x51, 0x23};  // the Mensaro line feed in bit 5

struct Form_Bench {
  Virtual_Clock clock;
  Port_Directory ports;
  Fixed_Prompter prompter;
  Session s{clock, ports, prompter};
};

class SuperSetForm : public ::testing::Test {
 protected:
  std::unique_ptr<SuperSet_Form> Make(W w = W::KORV_form) { return std::make_unique<SuperSet_Form>(bench.s, w); }
  // Puts a record in a row and selects it, as the window does after a read.
  static void Show(SuperSet_Form& f, int row, Record r) {
    f.Table()[row] = r;
    f.Select_SuperSet(row);
  }
  Form_Bench bench;
};

// The boxes in the order of SuperSet_Settings: list indexes, then checks.
std::vector<int> Shown(const SuperSet_Form& f) {
  std::vector<int> v;
  for (B box : {B::CmbBaud, B::CmbParity, B::Cmbdatabits, B::CmbStopBits, B::CmbMode, B::CmbDataRate, B::CmbRes,
                B::CmbEmu, B::CmbFormat})
    v.push_back(f.List(box).index);
  for (B box : {B::ChkCR, B::ChkLF, B::Chksp, B::Chkdp, B::ChkButtons, B::ChkAlarm, B::CHKORG})
    v.push_back(f.Check(box).value);
  return v;
}

std::vector<int> Values(const SuperSet_Settings& s) {
  return {s.baud,          s.parity,    s.data_bits, s.stop_bits,       s.mode,      s.data_rate,
          s.resolution,    s.emulation, s.format,    s.carriage_return, s.line_feed, s.space,
          s.decimal_point, s.buttons,   s.alarm,     s.origin_lamp};
}

// Any record shown after any other shows what the codec reads, folded as
// the window folds it (a mode or resolution beyond its list reads as entry
// 0, a special emulation outside OEM mode as its common one); an editable
// row is then stored back as the codec encodes those boxes, a factory row
// stays as it came.
TEST(SuperSetFormReview, AnyRecordShowsAlikeAfterAnyOtherAndUserRowsStoreWhatTheBoxesShow) {
  std::mt19937 rng(20240611);
  const struct {
    W window;
    bool oem;
    int resolutions, emulations;
  } windows[] = {{W::KORV_form, false, 7, 8}, {W::KORV_form, true, 7, 8}, {W::Mirolex2, true, 6, 3},
                 {W::Dovrane3, false, 7, 8}};
  for (const auto& w : windows) {
    Form_Bench bench;
    bench.s.OEM_Mode = w.oem;
    SuperSet_Form f(bench.s, w.window);
    const bool korv = w.window == W::KORV_form;
    int failures = 0;
    for (int trial = 0; trial < 2500 && failures < 3; ++trial) {
      Record before{}, record{};
      for (auto& x : before) x = static_cast<std::uint8_t>(rng());
      for (auto& x : record) x = static_cast<std::uint8_t>(rng());
      f.Table()[5] = before;
      f.Table()[6] = record;
      f.Table()[90] = record;
      f.Select_SuperSet(5);
      f.Select_SuperSet(6);

      const Decoded_Record d = Decode_Record(record, korv);
      SuperSet_Settings want = d.settings;
      if (want.mode >= 5) want.mode = 0;
      if (want.resolution >= w.resolutions) want.resolution = 0;
      if (want.emulation > 3 && !w.oem) want.emulation &= 3;
      if (want.emulation >= w.emulations) want.emulation &= 3;
      if (want.emulation >= w.emulations) want.emulation = 0;
      const Emulation_Group group = Group_Of_Emulation(want.emulation);
      want.format = Record_Format(record, group);

      bool ok = Shown(f) == Values(want) && f.Table()[6] == record &&
                f.Check(B::Chkdp).visible == (group == Emulation_Group::Zeltavision) &&
                f.Check(B::Chksp).visible == (group == Emulation_Group::KORV) &&
                f.Check(B::ChkButtons).visible == (group == Emulation_Group::KORV);
      f.Select_SuperSet(90);
      ok = ok && Shown(f) == Values(want) && f.Table()[90] == Encode_Record(want, d.byte0_bit3, korv);
      if (!ok) {
        ++failures;
        ADD_FAILURE() << Config_Window_Name(w.window) << " OEM " << w.oem << ": " << Record_Text(record) << " after "
                      << Record_Text(before) << " stored as " << Record_Text(f.Table()[90]);
      }
    }
  }
}

TEST_F(SuperSetForm, UserRowIsStoredBackAndDebugModeLogsTheRecordAndItsEncoding) {
  bench.s.Debug_Mode = true;
  auto f = Make();
  Show(*f, 90, Example);
  EXPECT_EQ(f->Table()[90], Example_Stored);
  EXPECT_EQ(f->Working_Record(), Example_Stored);
  EXPECT_TRUE(f->Save_User_Enabled());
  EXPECT_EQ(bench.s.log.Text(), "32 40 51 07   90\r32 40 51 23 90\r");

  Form_Bench quiet;
  SuperSet_Form g(quiet.s, W::KORV_form);
  Show(g, 90, Example);
  EXPECT_EQ(quiet.s.log.Text(), "");
}

TEST_F(SuperSetForm, EditingAFactorySuperSetMovesToAnEditableCopyOfTheFactoryValues) {
  const struct {
    W window;
    int copy;
    const char* entry;
  } cases[] = {{W::KORV_form, 0, "Power On setting"},
               {W::Mirolex2, 100, "Tempory Custom setting"},
               {W::Dovrane3, 100, "Tempory Custom setting"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(Config_Window_Name(c.window));
    auto f = Make(c.window);
    f->Table()[12] = Example;
    f->Select_SuperSet(12);
    EXPECT_EQ(f->Table()[12], Example) << "a factory row is shown, never re-encoded";
    EXPECT_EQ(f->Set_Value(B::ChkAlarm, 1), Set_Result::Changed);
    EXPECT_EQ(f->Selected_SuperSet(), c.copy);
    EXPECT_EQ(f->List(B::CmbSuperSet).Text(), c.entry);
    EXPECT_EQ(f->Check(B::ChkAlarm).value, 0) << "the copy shows the factory values";
    EXPECT_EQ(f->Table()[c.copy], Example_Stored);
    EXPECT_EQ(f->Table()[100 - c.copy], Record{});
    EXPECT_EQ(f->Table()[12], Example);
    EXPECT_EQ(f->Save_User_Enabled(), c.window != W::KORV_form);
    // The copy is editable: the next change is kept.
    EXPECT_EQ(f->Set_Value(B::ChkAlarm, 1), Set_Result::Changed);
    EXPECT_EQ(f->Table()[c.copy], (Record{0x32, 0x40, 0xD1, 0x23}));
  }
}

TEST_F(SuperSetForm, NoRowChangesWhileLoadingSuperSetIsSet) {
  auto f = Make();
  Show(*f, 92, Example);
  const SuperSet_Table before = f->Table();
  f->Loading_SuperSet = true;
  f->Set_Index(B::CmbBaud, 5);
  f->Set_Index(B::CmbEmu, 2);
  f->Set_Index(B::CmbFormat, 0);
  f->Set_Value(B::ChkAlarm, 1);
  f->Set_Value(B::CHKORG, 1);
  f->Select_SuperSet(7);
  f->Set_Index(B::CmbRes, 0);
  EXPECT_EQ(f->Table(), before);
  EXPECT_EQ(f->Working_Record(), f->Table()[7]) << "only Save_SuperSet(7) touched the working record";
  EXPECT_TRUE(f->Loading_SuperSet) << "a selection keeps the caller's loading flag";
}

// A change of the emulation takes the format of its group; a change of the
// format takes its emulation; the other boxes change only their own bits.
// Each step is a user's choice in one box.
TEST_F(SuperSetForm, BoxChoicesFollowEachOtherAndAreStored) {
  struct Step {
    B box;
    int value;
    const char* emulation;
    const char* format;
    char group;  // whose option boxes show: KORV, Mensaro or Zeltavision
    Record row;
  };
  const struct {
    bool oem;
    std::vector<Step> steps;
  } sequences[] = {
      {true,
       {{B::CmbParity, 1, "KORV", "KORV BINARY", 'K', {0x92, 0x40, 0x40, 0x00}},  // "Odd "
        {B::CmbParity, 2, "KORV", "KORV BINARY", 'K', {0xB2, 0x40, 0x40, 0x00}},  // "Even" in bits 3
        {B::CmbEmu, 2, "Zeltavision", "Zeltavision UIOF BINARY", 'Z', {0xB2, 0x40, 0x42, 0x00}},
        {B::CmbEmu, 1, "Mensaro", "Mensaro BINARY", 'M', {0xB2, 0x40, 0x41, 0x00}},
        {B::CmbFormat, 5, "Mensaro", "Mensaro 9100 3", 'M', {0xB2, 0x40, 0x01, 0x10}},
        {B::CmbEmu, 0, "KORV", "KORV ASCII ", 'K', {0xB2, 0x40, 0x00, 0x00}},  // 9100 formats are ASCII
        {B::CmbEmu, 1, "Mensaro", "Mensaro 9100 1", 'M', {0xB2, 0x40, 0x01, 0x00}},
        {B::CmbFormat, 4, "Mensaro", "Mensaro 9100 2", 'M', {0xB2, 0x40, 0x01, 0x08}},
        {B::CmbFormat, 8, "Zeltavision", "Zeltavision UIOF ASCII ", 'Z', {0xB2, 0x40, 0x02, 0x00}},
        {B::Chkdp, 1, "Zeltavision", "Zeltavision UIOF ASCII ", 'Z', {0xB2, 0x40, 0x02, 0x40}},
        {B::Chksp, 1, "Zeltavision", "Zeltavision UIOF ASCII ", 'Z', {0xB2, 0x40, 0x02, 0x42}},
        {B::Chkdp, 0, "Zeltavision", "Zeltavision UIOF ASCII ", 'Z', {0xB2, 0x40, 0x02, 0x02}},
        {B::CmbEmu, 6, "Special: Reriza", "Zeltavision UIOF ASCII ", 'Z', {0xB2, 0x40, 0x06, 0x02}},
        {B::CmbFormat, 7, "Special: Reriza", "Zeltavision UIOF BINARY", 'Z', {0xB2, 0x40, 0x46, 0x02}},
        {B::CmbFormat, 0, "KORV", "KORV BINARY", 'K', {0xB2, 0x40, 0x40, 0x02}},
        {B::CmbFormat, 1, "KORV", "KORV ASCII ", 'K', {0xB2, 0x40, 0x00, 0x02}},
        // ID ASCII is chosen only as it is: no group follows it.
        {B::CmbFormat, 9, "KORV", "Zeltavision ID ASCII", 'K', {0xB2, 0x40, 0x08, 0x02}}}},
      // "Special" entry 5 without OEM mode stays until the format moves, then
      // folds onto 1 (Mensaro), which takes its own format.
      {false,
       {{B::CmbEmu, 5, "Special", "KORV BINARY", 'K', {0x82, 0x40, 0x45, 0x00}},
        {B::CmbFormat, 1, "Mensaro", "Mensaro 9100 1", 'M', {0x82, 0x40, 0x01, 0x00}}}},
  };
  for (const auto& seq : sequences) {
    Form_Bench b;
    b.s.OEM_Mode = seq.oem;
    SuperSet_Form f(b.s, W::KORV_form);
    Show(f, 90, {0x82, 0x40, 0x40, 0x00});  // KORV BINARY
    for (const Step& st : seq.steps) {
      SCOPED_TRACE(std::string(Box_Name(st.box)) + " " + std::to_string(st.value));
      EXPECT_EQ(Is_List_Box(st.box) ? f.Set_Index(st.box, st.value) : f.Set_Value(st.box, st.value),
                Set_Result::Changed);
      EXPECT_EQ(f.List(B::CmbEmu).Text(), st.emulation);
      EXPECT_EQ(f.List(B::CmbFormat).Text(), st.format);
      EXPECT_EQ(f.Check(B::Chkdp).visible, st.group == 'Z');
      EXPECT_EQ(f.Check(B::Chksp).visible, st.group == 'K');
      EXPECT_EQ(f.Check(B::ChkButtons).visible, st.group == 'K');
      EXPECT_EQ(f.Table()[90], st.row);
    }
  }
}

// Selecting an entry stores its row back (as the boxes encode it) unless it
// is a factory row or the Quorral III's own 99; only KORV_form moves its
// "Save User Defined SuperSet" entry.
TEST(SuperSetFormRows, WhichRowsAreStoredBackAndTheSaveUserEntry) {
  const Record raw = {0x22, 0x40, 0x40, 0x00}, encoded = {0x32, 0x40, 0x40, 0x00};  // parity bits 2, stored as 3
  const struct {
    W window;
    bool oem, quorral;
    std::vector<std::tuple<int, bool, bool>> steps;  // entry, stored back, Save User enabled
  } cases[] = {
      {W::KORV_form, false, false, {{3, false, false}, {98, true, true}, {0, true, false}, {99, true, true}}},
      {W::KORV_form, false, true, {{90, true, true}, {99, false, false}}},
      {W::Dovrane3, true, false,
       {{5, false, true}, {103, false, true}, {0, true, true}, {90, true, true}, {100, true, true}}},
  };
  for (const auto& c : cases) {
    Form_Bench b;
    b.s.OEM_Mode = c.oem;
    b.s.identity.Quorral_III_Flag = c.quorral;
    SuperSet_Form f(b.s, c.window);
    for (const auto& [n, stored, save_user] : c.steps) {
      f.Table()[n] = raw;
      EXPECT_EQ(f.Select_SuperSet(n), Set_Result::Changed) << n;
      EXPECT_EQ(f.Table()[n], stored ? encoded : raw) << n;
      EXPECT_EQ(f.Save_User_Enabled(), save_user) << n;
    }
    EXPECT_EQ(f.Select_SuperSet(100), c.window == W::KORV_form ? Set_Result::Refused : Set_Result::Unchanged);
  }
}

TEST_F(SuperSetForm, SettingABoxToItsValueRunsNothing) {
  bench.s.Debug_Mode = true;
  auto f = Make();
  Show(*f, 90, Example);
  const auto revision = f->Revision();
  const auto log_size = bench.s.log.Size();
  f->Table()[90] = {0x00, 0x00, 0x00, 0x00};  // would show if Read_Settings ran
  EXPECT_EQ(f->Set_Index(B::CmbBaud, 2), Set_Result::Unchanged);
  EXPECT_EQ(f->Set_Value(B::ChkCR, 1), Set_Result::Unchanged);
  EXPECT_EQ(f->Select_SuperSet(90), Set_Result::Unchanged);
  EXPECT_EQ(f->Revision(), revision);
  EXPECT_EQ(bench.s.log.Size(), log_size);
  EXPECT_EQ(f->Table()[90], Record{});
  // A real change runs the handler, which encodes and stores.
  int notified = 0;
  f->On_Change = [&] { ++notified; };
  EXPECT_EQ(f->Set_Index(B::CmbBaud, 3), Set_Result::Changed);
  EXPECT_GT(notified, 0);
  EXPECT_GT(f->Revision(), revision);
  EXPECT_EQ(f->Table()[90], (Record{0x33, 0x40, 0x51, 0x23}));
}

TEST_F(SuperSetForm, RefusesValuesNoBoxCanHoldAndTheOriginBoxOutsideKorvForm) {
  auto f = Make();
  EXPECT_EQ(f->Set_Index(B::CmbBaud, 8), Set_Result::Refused);
  EXPECT_EQ(f->Set_Index(B::CmbBaud, -1), Set_Result::Refused);
  EXPECT_EQ(f->Set_Index(B::ChkCR, 0), Set_Result::Refused);
  EXPECT_EQ(f->Set_Value(B::ChkCR, 2), Set_Result::Refused);
  EXPECT_EQ(f->Set_Value(B::CmbBaud, 1), Set_Result::Refused);
  EXPECT_EQ(f->Select_SuperSet(111), Set_Result::Refused);
  EXPECT_EQ(f->Selected_SuperSet(), -1);
  f->Save_SuperSet(-1);
  f->Save_SuperSet(111);  // ignored, no crash
  EXPECT_EQ(f->List(B::CmbBaud).index, -1);
  EXPECT_TRUE(f->Has_Box(B::CHKORG));
  for (W w : {W::Mirolex2, W::Dovrane3}) {
    auto g = Make(w);
    EXPECT_FALSE(g->Has_Box(B::CHKORG));
    EXPECT_FALSE(g->Check(B::CHKORG).visible);
    EXPECT_EQ(g->Set_Value(B::CHKORG, 1), Set_Result::Refused);
  }
}

// Save_SuperSet called on the selected row without the loading flag, as a
// read-back does: each box change re-encodes the row on the way, yet every
// box still comes from the record as loaded; a factory row ends in its copy.
TEST_F(SuperSetForm, DecodingWithoutTheLoadingFlagUsesTheRecordAsItWas) {
  auto f = Make();
  for (int row : {90, 7}) {
    Show(*f, row, {0x82, 0x52, 0x40, 0x00});
    f->Table()[row] = Example;
    f->Save_SuperSet(row);
    EXPECT_EQ(f->List(B::CmbParity).Text(), "Even") << row;
    EXPECT_EQ(f->List(B::Cmbdatabits).Text(), "7") << row;
    EXPECT_EQ(f->List(B::CmbFormat).Text(), "Mensaro BINARY") << row;
  }
  EXPECT_EQ(f->Table()[90], Example_Stored);
  EXPECT_EQ(f->Selected_SuperSet(), 0);
  EXPECT_EQ(f->Table()[0], Example_Stored);
  EXPECT_EQ(f->Table()[7], Example);
}

}  // namespace
}  // namespace stylomat
