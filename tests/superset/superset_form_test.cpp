// The SuperSet form: decoding a record into the boxes, encoding the boxes
// back, the emulation/format rules and the row redirection when a factory
// SuperSet is edited.
#include "superset/superset_form.h"

#include <gtest/gtest.h>

#include "core/session.h"

namespace stylomat {
namespace {

using B = SuperSet_Box;
constexpr SuperSet_Record Example = {0x32, 0x40, 0x51, 0x07};

struct Form_Bench {
  Virtual_Clock clock;
  Port_Directory ports;
  Fixed_Prompter prompter;
  Session s{clock, ports, prompter};
};

class SuperSetForm : public ::testing::Test {
 protected:
  std::unique_ptr<SuperSet_Form> Make(Config_Window w = Config_Window::KORV_form) {
    return std::make_unique<SuperSet_Form>(bench.s, w);
  }
  // Puts a record in a row and selects it, as the window does after a read.
  static void Show(SuperSet_Form& f, int row, SuperSet_Record r) {
    f.Table()[row] = r;
    f.Select_SuperSet(row);
  }
  Form_Bench bench;
};

TEST_F(SuperSetForm, ExampleRecordDecodesAndIsWrittenBackWithLineFeedOfMensaroGroup) {
  auto f = Make();
  Show(*f, 90, Example);
  EXPECT_EQ(f->List(B::CmbBaud).Text(), "9600");
  EXPECT_EQ(f->List(B::CmbParity).Text(), "Even");
  EXPECT_EQ(f->List(B::Cmbdatabits).Text(), "7");
  EXPECT_EQ(f->List(B::CmbStopBits).Text(), "1");
  EXPECT_EQ(f->List(B::CmbMode).Text(), "Point");
  EXPECT_EQ(f->List(B::CmbDataRate).Text(), "12 pps");
  EXPECT_EQ(f->List(B::CmbRes).Text(), "1000 lpi");
  EXPECT_EQ(f->List(B::CmbEmu).Text(), "Mensaro");
  EXPECT_EQ(f->List(B::CmbFormat).index, 2);
  EXPECT_EQ(f->List(B::CmbFormat).Text(), "Mensaro BINARY");
  EXPECT_FALSE(f->Check(B::Chkdp).visible);
  EXPECT_FALSE(f->Check(B::Chksp).visible);
  EXPECT_FALSE(f->Check(B::ChkButtons).visible);
  EXPECT_EQ(f->Check(B::ChkCR).value, 1);
  EXPECT_EQ(f->Check(B::ChkLF).value, 1);
  EXPECT_EQ(f->Check(B::ChkAlarm).value, 0);
  EXPECT_EQ(f->Check(B::CHKORG).value, 0);
  EXPECT_TRUE(f->Check(B::CHKORG).visible);
  // Buttons and space stay in the record although their boxes are hidden;
  // the line feed moves to bit 5 for the Mensaro group.
  const SuperSet_Record written = {0x32, 0x40, 0x51, 0x23};
  EXPECT_EQ(f->Table()[90], written);
  EXPECT_EQ(f->Working_Record(), written);
  EXPECT_TRUE(f->Save_User_Enabled());
}

TEST_F(SuperSetForm, ParityBitsTwoReadAsEvenAndAreWrittenAsThree) {
  auto f = Make();
  Show(*f, 91, {0x22, 0x40, 0x40, 0x00});
  EXPECT_EQ(f->List(B::CmbParity).Text(), "Even");
  EXPECT_EQ(f->Table()[91][0], 0x32);
  // "Odd " keeps its blank and is written as 1.
  EXPECT_EQ(f->Set_Index(B::CmbParity, 1), Set_Result::Changed);
  EXPECT_EQ(f->List(B::CmbParity).Text(), "Odd ");
  EXPECT_EQ(f->Table()[91][0], 0x12);
}

TEST_F(SuperSetForm, EmulationSixIsNamedSpecialOnlyInOemMode) {
  {
    bench.s.OEM_Mode = true;
    auto f = Make();
    Show(*f, 90, {0x82, 0x40, 0x46, 0x00});
    EXPECT_EQ(f->List(B::CmbEmu).index, 6);
    EXPECT_EQ(f->List(B::CmbEmu).Text(), "Special: Reriza");
    EXPECT_EQ(f->List(B::CmbFormat).Text(), "Zeltavision UIOF BINARY");
    EXPECT_TRUE(f->Check(B::Chkdp).visible);
    EXPECT_EQ(f->Table()[90][2], 0x46);
  }
  {
    bench.s.OEM_Mode = false;
    auto f = Make();
    EXPECT_EQ(f->List(B::CmbEmu).items[6], "Special");
    Show(*f, 90, {0x82, 0x40, 0x46, 0x00});
    EXPECT_EQ(f->List(B::CmbEmu).index, 2);
    EXPECT_EQ(f->List(B::CmbEmu).Text(), "Zeltavision");
    EXPECT_EQ(f->Table()[90][2], 0x42);
  }
}

TEST_F(SuperSetForm, IdAsciiFormatComesOnlyFromDecodingAndChoosingItChangesNoGroup) {
  auto f = Make();
  // Zeltavision, bit A clear, bit B set.
  Show(*f, 90, {0x82, 0x40, 0x0A, 0x00});
  EXPECT_EQ(f->List(B::CmbFormat).Text(), "Zeltavision ID ASCII");
  EXPECT_TRUE(f->Check(B::Chkdp).visible);
  EXPECT_EQ(f->Table()[90][2], 0x0A);

  // KORV ASCII, then choose format 9 in the box.
  Show(*f, 91, {0x82, 0x40, 0x00, 0x00});
  ASSERT_EQ(f->List(B::CmbFormat).index, 1);
  EXPECT_NE(f->Set_Index(B::CmbFormat, 9), Set_Result::Refused);
  EXPECT_EQ(f->List(B::CmbEmu).Text(), "KORV");
  EXPECT_FALSE(f->Check(B::Chkdp).visible);
  EXPECT_TRUE(f->Check(B::Chksp).visible);
  EXPECT_TRUE(f->Check(B::ChkButtons).visible);
  EXPECT_EQ(f->Table()[91][2], 0x08);
}

TEST_F(SuperSetForm, EditingAFactorySuperSetMovesToPowerOnCopyAndKeepsTheFactoryValue) {
  auto f = Make();
  f->Table()[5] = Example;
  f->Table()[0] = {0x11, 0x11, 0x11, 0x11};
  f->Select_SuperSet(5);
  EXPECT_FALSE(f->Save_User_Enabled());
  EXPECT_EQ(f->Table()[5], Example) << "a factory row is shown, never re-encoded";

  EXPECT_NE(f->Set_Index(B::CmbBaud, 1), Set_Result::Refused);  // the user picks 19200
  EXPECT_EQ(f->Selected_SuperSet(), 0);
  EXPECT_EQ(f->List(B::CmbSuperSet).Text(), "Power On setting");
  EXPECT_EQ(f->List(B::CmbBaud).Text(), "9600");
  const SuperSet_Record copy = {0x32, 0x40, 0x51, 0x23};
  EXPECT_EQ(f->Table()[0], copy);
  EXPECT_EQ(f->Table()[5], Example);
  EXPECT_FALSE(f->Save_User_Enabled());

  // Now entry 0 is editable: the next change is kept.
  EXPECT_NE(f->Set_Index(B::CmbBaud, 1), Set_Result::Refused);
  EXPECT_EQ(f->List(B::CmbBaud).Text(), "19200");
  EXPECT_EQ(f->Table()[0][0], 0x31);
}

TEST_F(SuperSetForm, OtherWindowsEditAFactorySuperSetInTheTemporyCustomRow) {
  for (auto w : {Config_Window::Mirolex2, Config_Window::Dovrane3}) {
    auto f = Make(w);
    f->Table()[12] = Example;
    f->Select_SuperSet(12);
    EXPECT_NE(f->Set_Value(B::ChkAlarm, 1), Set_Result::Refused);
    EXPECT_EQ(f->Selected_SuperSet(), 100);
    EXPECT_EQ(f->List(B::CmbSuperSet).Text(), "Tempory Custom setting");
    EXPECT_EQ(f->Check(B::ChkAlarm).value, 0);
    EXPECT_EQ(f->Table()[100], (SuperSet_Record{0x32, 0x40, 0x51, 0x23}));
    EXPECT_EQ(f->Table()[0], SuperSet_Record{}) << "row 0 is not the copy here";
    EXPECT_EQ(f->Table()[12], Example);
  }
}

TEST_F(SuperSetForm, NoRowChangesWhileLoadingSuperSetIsSet) {
  auto f = Make();
  Show(*f, 92, Example);
  const SuperSet_Table before = f->Table();
  const SuperSet_Record working = f->Working_Record();
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
  EXPECT_NE(working, SuperSet_Record{});
  EXPECT_TRUE(f->Loading_SuperSet) << "a selection keeps the caller's loading flag";
}

TEST_F(SuperSetForm, DecimalPointAndSpaceAreIndependentBits) {
  auto f = Make();
  Show(*f, 90, {0x82, 0x40, 0x02, 0x40});  // Zeltavision ASCII, decimal point
  EXPECT_EQ(f->Check(B::Chkdp).value, 1);
  EXPECT_EQ(f->Check(B::Chksp).value, 0);
  Show(*f, 91, {0x82, 0x40, 0x02, 0x02});  // space only
  EXPECT_EQ(f->Check(B::Chkdp).value, 0);
  EXPECT_EQ(f->Check(B::Chksp).value, 1);
  EXPECT_EQ(f->Table()[91][3], 0x02);
  EXPECT_NE(f->Set_Value(B::Chkdp, 1), Set_Result::Refused);
  EXPECT_EQ(f->Table()[91][3], 0x42);
  EXPECT_NE(f->Set_Value(B::Chksp, 0), Set_Result::Refused);
  EXPECT_EQ(f->Table()[91][3], 0x40);
}

TEST_F(SuperSetForm, MirolexAndDovraneDropOriginLampAndByte0Bit3) {
  const SuperSet_Record with_bits = {0x3A, 0x40, 0x71, 0x07};
  {
    auto f = Make(Config_Window::KORV_form);
    Show(*f, 90, with_bits);
    EXPECT_EQ(f->Check(B::CHKORG).value, 1);
    EXPECT_EQ(f->Byte0_Bit3(), 1);
    EXPECT_EQ(f->Table()[90], (SuperSet_Record{0x3A, 0x40, 0x71, 0x23}));
  }
  for (auto w : {Config_Window::Mirolex2, Config_Window::Dovrane3}) {
    auto f = Make(w);
    EXPECT_FALSE(f->Has_Box(B::CHKORG));
    EXPECT_EQ(f->Set_Value(B::CHKORG, 1), Set_Result::Refused);
    Show(*f, 90, with_bits);
    EXPECT_EQ(f->Byte0_Bit3(), 0);
    EXPECT_EQ(f->Table()[90], (SuperSet_Record{0x32, 0x40, 0x51, 0x23}));
  }
}

TEST_F(SuperSetForm, MirolexHasTheShorterResolutionAndEmulationLists) {
  auto m = Make(Config_Window::Mirolex2);
  EXPECT_EQ(m->List(B::CmbRes).items,
            (std::vector<std::string>{"1000 lpi", "2000 lpi", "4000 lpi", "40 lpmm", "100 lpmm", "150 lpmm"}));
  EXPECT_EQ(m->List(B::CmbEmu).items, (std::vector<std::string>{"KORV", "Mensaro", "Zeltavision"}));
  // Resolution 6 is beyond the Mirolex list: entry 0.  The KORV list has it.
  Show(*m, 90, {0x82, 0xC0, 0x40, 0x00});
  EXPECT_EQ(m->List(B::CmbRes).Text(), "1000 lpi");
  EXPECT_EQ(m->Table()[90][1], 0x00);
  auto k = Make(Config_Window::KORV_form);
  Show(*k, 90, {0x82, 0xC0, 0x40, 0x00});
  EXPECT_EQ(k->List(B::CmbRes).Text(), "100 lpmm");
  EXPECT_EQ(k->List(B::CmbRes).items.size(), 7u);
  auto d = Make(Config_Window::Dovrane3);
  EXPECT_EQ(d->List(B::CmbRes).items, k->List(B::CmbRes).items);
  EXPECT_EQ(d->List(B::CmbEmu).items, k->List(B::CmbEmu).items);
}

TEST_F(SuperSetForm, SpecialEmulationBeyondTheMirolexListFoldsInsteadOfFailing) {
  bench.s.OEM_Mode = true;
  auto m = Make(Config_Window::Mirolex2);
  Show(*m, 90, {0x82, 0x40, 0x46, 0x80});  // emulation 6 (Zeltavision group)
  EXPECT_EQ(m->List(B::CmbEmu).Text(), "Zeltavision");
  EXPECT_EQ(m->List(B::CmbFormat).Text(), "Zeltavision UIOF BINARY");
  EXPECT_EQ(m->Table()[90], (SuperSet_Record{0x82, 0x40, 0x42, 0x80}));
  Show(*m, 91, {0x82, 0x40, 0x47, 0x00});  // emulation 7 -> 3 -> beyond -> 0
  EXPECT_EQ(m->List(B::CmbEmu).Text(), "KORV");
}

TEST_F(SuperSetForm, ModeBeyondTheListIsPoint) {
  auto f = Make();
  Show(*f, 90, {0x82, 0x47, 0x40, 0x00});  // mode 7
  EXPECT_EQ(f->List(B::CmbMode).Text(), "Point");
  EXPECT_EQ(f->Table()[90][1], 0x40);
}

TEST_F(SuperSetForm, EmulationChangeChoosesTheFormatOfItsGroup) {
  auto f = Make();
  Show(*f, 90, {0x82, 0x40, 0x40, 0x00});  // KORV BINARY
  f->Set_Index(B::CmbEmu, 2);
  EXPECT_EQ(f->List(B::CmbFormat).Text(), "Zeltavision UIOF BINARY");
  EXPECT_TRUE(f->Check(B::Chkdp).visible);
  EXPECT_FALSE(f->Check(B::Chksp).visible);
  EXPECT_EQ(f->Table()[90][2], 0x42);
  f->Set_Index(B::CmbEmu, 1);
  EXPECT_EQ(f->List(B::CmbFormat).Text(), "Mensaro BINARY");
  EXPECT_FALSE(f->Check(B::Chkdp).visible);
  f->Set_Index(B::CmbFormat, 5);  // "Mensaro 9100 3"
  EXPECT_EQ(f->Table()[90][2], 0x01);
  EXPECT_EQ(f->Table()[90][3], 0x10);
  f->Set_Index(B::CmbEmu, 0);  // 9100 formats are ASCII: KORV ASCII
  EXPECT_EQ(f->List(B::CmbFormat).Text(), "KORV ASCII ");
  EXPECT_TRUE(f->Check(B::Chksp).visible);
  EXPECT_EQ(f->Table()[90], (SuperSet_Record{0x82, 0x40, 0x00, 0x00}));
  f->Set_Index(B::CmbEmu, 1);  // KORV ASCII -> Mensaro 9100 1
  EXPECT_EQ(f->List(B::CmbFormat).Text(), "Mensaro 9100 1");
}

TEST_F(SuperSetForm, FormatChangeChoosesTheEmulation) {
  bench.s.OEM_Mode = true;
  auto f = Make();
  Show(*f, 90, {0x82, 0x40, 0x40, 0x00});
  f->Set_Index(B::CmbFormat, 4);
  EXPECT_EQ(f->List(B::CmbEmu).Text(), "Mensaro");
  f->Set_Index(B::CmbFormat, 8);
  EXPECT_EQ(f->List(B::CmbEmu).Text(), "Zeltavision");
  EXPECT_TRUE(f->Check(B::Chkdp).visible);
  f->Set_Index(B::CmbEmu, 6);  // the Reriza special is in the Zeltavision group
  EXPECT_EQ(f->List(B::CmbFormat).Text(), "Zeltavision UIOF ASCII ");
  f->Set_Index(B::CmbFormat, 7);
  EXPECT_EQ(f->List(B::CmbEmu).index, 6) << "format 7 keeps emulation 6";
  f->Set_Index(B::CmbFormat, 0);
  EXPECT_EQ(f->List(B::CmbEmu).Text(), "KORV");
  EXPECT_EQ(f->Table()[90], (SuperSet_Record{0x82, 0x40, 0x40, 0x00}));
}

TEST_F(SuperSetForm, SpecialEmulationWithoutOemFoldsWhenTheFormatMoves) {
  auto f = Make();
  Show(*f, 90, {0x82, 0x40, 0x40, 0x00});  // KORV BINARY
  // "Special" entry 5 picked by the user; the format stays 0 so nothing else moves.
  f->Set_Index(B::CmbEmu, 5);
  EXPECT_EQ(f->List(B::CmbEmu).index, 5);
  EXPECT_EQ(f->Table()[90][2], 0x45);
  // Picking a KORV format now folds 5 onto 1 (Mensaro), which takes its binary format.
  f->Set_Index(B::CmbFormat, 1);
  EXPECT_EQ(f->List(B::CmbEmu).Text(), "Mensaro");
  EXPECT_EQ(f->List(B::CmbFormat).Text(), "Mensaro 9100 1");
  EXPECT_EQ(f->Table()[90][2], 0x01);
}

TEST_F(SuperSetForm, SuperSetListHandlerOfKorvForm) {
  const SuperSet_Record raw = {0x22, 0x40, 0x40, 0x00};  // parity bits 2
  const SuperSet_Record encoded = {0x32, 0x40, 0x40, 0x00};
  {
    auto f = Make();
    for (int n : {0, 3, 89, 90, 98, 99}) f->Table()[n] = raw;
    Show(*f, 3, raw);
    EXPECT_EQ(f->Table()[3], raw);
    EXPECT_FALSE(f->Save_User_Enabled());
    f->Select_SuperSet(98);
    EXPECT_EQ(f->Table()[98], encoded);
    EXPECT_TRUE(f->Save_User_Enabled());
    f->Select_SuperSet(0);
    EXPECT_EQ(f->Table()[0], encoded);
    EXPECT_FALSE(f->Save_User_Enabled());
    f->Select_SuperSet(99);
    EXPECT_EQ(f->Table()[99], encoded);
    EXPECT_TRUE(f->Save_User_Enabled());
    EXPECT_EQ(f->Select_SuperSet(100), Set_Result::Refused) << "KORV_form has no entry 100";
    EXPECT_EQ(f->Selected_SuperSet(), 99);
  }
  {
    bench.s.identity.Quorral_III_Flag = true;
    auto f = Make();
    EXPECT_EQ(f->List(B::CmbSuperSet).items[98], "98 Reserved");
    f->Table()[99] = raw;
    f->Select_SuperSet(90);
    EXPECT_TRUE(f->Save_User_Enabled());
    f->Select_SuperSet(99);
    EXPECT_EQ(f->Table()[99], raw) << "SuperSet 99 of a Quorral III is the tablet's own";
    EXPECT_FALSE(f->Save_User_Enabled());
  }
}

TEST_F(SuperSetForm, OtherWindowsLoadFixedRowsWithoutEncodingAndLeaveTheMenuAlone) {
  const SuperSet_Record raw = {0x22, 0x40, 0x40, 0x00};
  bench.s.OEM_Mode = true;
  auto d = Make(Config_Window::Dovrane3);
  ASSERT_EQ(d->List(B::CmbSuperSet).items.size(), 105u);
  const bool menu = d->Save_User_Enabled();
  for (int n : {0, 5, 90, 100, 103}) d->Table()[n] = raw;
  for (int n : {5, 103}) {
    d->Select_SuperSet(n);
    EXPECT_EQ(d->Table()[n], raw) << n;
  }
  for (int n : {0, 90, 100}) {
    d->Select_SuperSet(n);
    EXPECT_EQ(d->Table()[n][0], 0x32) << n;
  }
  EXPECT_EQ(d->Save_User_Enabled(), menu);
}

TEST_F(SuperSetForm, DebugModeLogsDecodingAndEncodingInHex) {
  bench.s.Debug_Mode = true;
  auto f = Make();
  Show(*f, 90, Example);
  EXPECT_EQ(bench.s.log.Text(), "32 40 51 07   90\r32 40 51 23 90\r");

  bench.s.Debug_Mode = false;
  Form_Bench quiet;
  SuperSet_Form g(quiet.s, Config_Window::KORV_form);
  Show(g, 90, Example);
  EXPECT_EQ(quiet.s.log.Text(), "");
}

TEST_F(SuperSetForm, SettingABoxToItsValueRunsNothing) {
  bench.s.Debug_Mode = true;
  auto f = Make();
  Show(*f, 90, Example);
  const auto revision = f->Revision();
  const auto log_size = bench.s.log.Size();
  f->Table()[90] = {0x00, 0x00, 0x00, 0x00};  // would show if Read_Settings ran
  EXPECT_NE(f->Set_Index(B::CmbBaud, 2), Set_Result::Refused);
  EXPECT_NE(f->Set_Value(B::ChkCR, 1), Set_Result::Refused);
  EXPECT_NE(f->Select_SuperSet(90), Set_Result::Refused);
  EXPECT_EQ(f->Revision(), revision);
  EXPECT_EQ(bench.s.log.Size(), log_size);
  EXPECT_EQ(f->Table()[90], SuperSet_Record{});
  // A real change runs the handler, which encodes and stores.
  int notified = 0;
  f->On_Change = [&] { ++notified; };
  EXPECT_NE(f->Set_Index(B::CmbBaud, 3), Set_Result::Refused);
  EXPECT_GT(notified, 0);
  EXPECT_GT(f->Revision(), revision);
  EXPECT_EQ(f->Table()[90], (SuperSet_Record{0x33, 0x40, 0x51, 0x23}));
}

TEST_F(SuperSetForm, RefusesValuesNoBoxCanHold) {
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
}

TEST_F(SuperSetForm, DecodingWithoutTheLoadingFlagUsesTheRecordAsItWas) {
  // Save_SuperSet called directly on the selected editable row: each box
  // change re-encodes the row on the way, yet every box must still come
  // from the record as loaded.
  auto f = Make();
  Show(*f, 90, {0x82, 0x52, 0x40, 0x00});
  f->Table()[90] = Example;
  f->Save_SuperSet(90);
  EXPECT_EQ(f->List(B::CmbParity).Text(), "Even");
  EXPECT_EQ(f->List(B::Cmbdatabits).Text(), "7");
  EXPECT_EQ(f->List(B::CmbFormat).Text(), "Mensaro BINARY");
  EXPECT_EQ(f->Table()[90], (SuperSet_Record{0x32, 0x40, 0x51, 0x23}));
}

TEST_F(SuperSetForm, FixedRowDecodedWithoutTheLoadingFlagEndsInTheEditableCopy) {
  // What a read-back does when the entry was already selected.
  auto f = Make();
  f->Table()[7] = {0x82, 0x52, 0x40, 0x00};
  f->Select_SuperSet(7);
  f->Table()[7] = Example;
  f->Save_SuperSet(7);
  EXPECT_EQ(f->Selected_SuperSet(), 0);
  EXPECT_EQ(f->Table()[0], (SuperSet_Record{0x32, 0x40, 0x51, 0x23}));
  EXPECT_EQ(f->List(B::CmbEmu).Text(), "Mensaro");
  EXPECT_EQ(f->Table()[7], Example);
}

}  // namespace
}  // namespace stylomat
