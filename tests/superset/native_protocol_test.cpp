// The Mirolex and Dovrane settings protocol on simulated tablets found by
// the port search: bytes on the wire, log lines, virtual-clock times, the
// rows the form holds afterwards, and the failure paths.
#include <gtest/gtest.h>

#include "superset/native_image.h"
#include "superset/native_protocol.h"
#include "superset/superset_form.h"
#include "superset/table_files.h"
#include "support/native_bench.h"

namespace stylomat {
namespace {

using test::Esc_Hex;
using test::Hex;
using test::Line;

const std::string Image_A = "40,77,89,61,00,08,00";  // the record 32,40,51,07
const SuperSet_Record Record_A = {0x32, 0x40, 0x51, 0x07};

SuperSet_Record From_Image(const std::string& text) { return Image_To_SuperSet(text); }
std::string Image_Of(const SuperSet_Record& r) { return Image_Text(SuperSet_To_Image(r)); }

// The window's form and protocol, made as the routed window makes them.
struct Found : test::Native_Bench {
  explicit Found(const std::string& profile) : Native_Bench(profile), form(b.session, window), protocol(form) {
    TABLES(form);
    form.Select_SuperSet(0);
  }
  SuperSet_Record Row(int n) const { return form.Table()[static_cast<std::size_t>(n)]; }
  SuperSet_Form form;
  Native_Protocol protocol;
};

TEST(NativeProtocol, MirolexTwoReadsActivePowerUpAndUserSuperSetsThenWritesTheActiveBack) {
  Found t("mirolex2");
  t.tablet->Set_User_Image(95, "C3,49,46,61,06,10,80");
  const std::string active = t.tablet->Active_Image();
  EXPECT_EQ(t.protocol.Read_Current_Settings(), Native_Result::Done);
  std::vector<std::string> writes = {Esc_Hex("%__S"), Esc_Hex("%__S"), Esc_Hex("%__S1")};  // the wake-up asks first
  std::string log = Line("Sent: ESC %__S") + Line("From Tablet: " + active) + Line("Sent: ESC %__S1") +
                    Line("From Tablet: " + t.tablet->Power_Up_Image());
  for (int nn = 90; nn <= 99; ++nn) {
    writes.push_back(Esc_Hex("%__S" + std::to_string(nn)));
    log += Line("Sent: ESC %__S " + std::to_string(nn)) + Line("From Tablet: " + t.tablet->User_Image(nn) + "\r\n");
    EXPECT_EQ(t.Row(nn), From_Image(t.tablet->User_Image(nn))) << nn;
  }
  writes.insert(writes.end(), {Esc_Hex("%__s" + active), Esc_Hex("%VF")});
  EXPECT_EQ(t.Writes(), writes);
  EXPECT_EQ(t.Log(), log + Line("Sent: Esc%__s") + Line("Sent: Esc%VF"));
  EXPECT_EQ(t.Row(100), From_Image(active));
  EXPECT_EQ(t.Row(95), From_Image("C3,49,46,61,06,10,80"));
  EXPECT_EQ(t.tablet->Active_Image(), active) << "the active settings are what they were";
  EXPECT_TRUE(t.protocol.Save_Entries_Enabled());
  EXPECT_FALSE(t.form.Loading_SuperSet);
}

TEST(NativeProtocol, MirolexThreeReadsItsUserBankByTheDump) {
  Found t("mirolex3");
  ASSERT_TRUE(t.b.session.identity.Mirolex_III_Flag) << "the search marks the Mirolex III";
  const std::string active = t.tablet->Active_Image();
  const std::string bank = t.tablet->User_Bank();
  EXPECT_EQ(t.protocol.Read_Current_Settings(), Native_Result::Done);
  EXPECT_EQ(t.Writes(), (std::vector<std::string>{Esc_Hex("%__S"), Esc_Hex("%__S"), Esc_Hex("%__S1"), Esc_Hex("%__r"),
                                                  Hex("5\r"), Hex("512\r"), Esc_Hex("%__s" + active), Esc_Hex("%VF")}));
  std::string dump_log = Line("Sent: ESC %__r") + Line("Sent: 5");
  for (int nn = 90; nn <= 99; ++nn) {
    const std::string record = bank.substr(12 * (nn - 90), 4);
    EXPECT_EQ(Record_Text(t.Row(nn), " "), Hex(record)) << nn;
    dump_log += Line("From Tablet: " + Hex(record) + " " + std::to_string(nn)) +
                Line("Dumped From Tablet: " + std::string(8, '\xFF'));
  }
  EXPECT_NE(t.Log().find(dump_log + Line("Sent: 512") + Line("Sent: Esc%__s")), std::string::npos) << t.Log();
}

TEST(NativeProtocol, DovraneThreeTakesTheActiveSettingsFromTheWakeUp) {
  Found t("dovrane3");
  const std::string active = t.tablet->Active_Image();
  EXPECT_EQ(t.protocol.Read_Current_Settings(), Native_Result::Done);
  const std::vector<std::string> writes = t.Writes();
  ASSERT_EQ(writes.size(), 14u);
  EXPECT_EQ(std::vector<std::string>(writes.begin(), writes.begin() + 3),
            (std::vector<std::string>{Esc_Hex("%__S"), Esc_Hex("%__S1"), Esc_Hex("%__S90")}))
      << "only the wake-up asks for the active settings";
  EXPECT_EQ(writes[12], Esc_Hex("%__s" + active));
  EXPECT_EQ(t.Log().rfind(Line("Sent: ESC %__S1") + Line("Power Up: " + t.tablet->Power_Up_Image()), 0), 0u);
  EXPECT_EQ(t.Row(100), From_Image(active));
}

TEST(NativeProtocol, WriteImageMakesItActiveThenPowerUp) {
  Found t("dovrane3");
  Open_Config_Port(t.b.session);
  t.Mark();
  const std::string old = t.tablet->Active_Image();
  t.form.Working_Record() = Record_A;
  t.protocol.SuperSet_To_Image();
  ASSERT_EQ(Image_Text(t.protocol.Image()), Image_A);
  const double start = t.b.Now();
  EXPECT_EQ(t.protocol.Write_Image(0), Native_Result::Done);
  EXPECT_EQ(t.Writes(), (std::vector<std::string>{Esc_Hex("%__S"), Esc_Hex("%__s" + Image_A), Esc_Hex("%__S"), Esc_Hex("%VF")}));
  EXPECT_NEAR(t.Write_Times()[0], start + 0.05, 1e-3);
  EXPECT_EQ(t.Log(), Line("Sent: Esc%__S") + Line("Previous Settings: " + old) + Line("Sent: Esc%__s" + Image_A) +
                         Line("Sent: Esc%__S") + Line("From Tablet: " + Image_A + "\r\n") + Line("Sent: Esc%VF"));
  EXPECT_EQ(t.tablet->Active_Image(), Image_A + "\r\n");
  EXPECT_EQ(t.tablet->Power_Up_Image(), old);

  t.Mark();
  EXPECT_EQ(t.protocol.Write_Image(1), Native_Result::Done);
  EXPECT_EQ(t.Writes().back(), Esc_Hex("%VF1"));
  EXPECT_EQ(t.Log().substr(t.Log().size() - 14), Line("Sent: Esc%VF1"));
  t.Settle();
  EXPECT_EQ(t.tablet->Power_Up_Image(), Image_A + "\r\n");
}

TEST(NativeProtocol, MirolexTwoSavesTheUserBankOneWritePerByte) {
  Found t("mirolex2");
  t.b.prompter.Set_Positive(true);
  for (int nn = 90; nn <= 99; ++nn) t.form.Table()[nn] = {0x32, 0x40, 0x51, static_cast<std::uint8_t>(nn - 90)};
  EXPECT_EQ(t.protocol.Save_Custom(), Native_Result::Done);
  ASSERT_EQ(t.b.prompter.asked.size(), 1u);
  EXPECT_EQ(t.b.prompter.asked[0].text,
            "This will overwrite all 10 of the user defined settings in the Tablet.\r\nDo you want to continue?");
  EXPECT_EQ(t.b.prompter.asked[0].title, "Warning!");
  std::vector<std::string> writes = {Esc_Hex("%__S"), Esc_Hex("%__u"), Hex("5\r")};
  for (int nn = 90; nn <= 99; ++nn) {
    writes.insert(writes.end(), {"32", "40", "51", Hex(std::string(1, static_cast<char>(nn - 90)))});
    writes.insert(writes.end(), 8, "FF");
  }
  writes.insert(writes.end(), 8, "FF");
  writes.push_back(Hex("512\r"));
  EXPECT_EQ(t.Writes(), writes);
  EXPECT_EQ(t.Log(), Line("Sent: ESC %__u") + Line("Sent: 5") + Line("Sent: 512"));
  EXPECT_NEAR(t.b.Now() - t.Write_Times().back(), 1.5, 1e-3) << "1.5 s for the tablet to store them";
  t.Settle();
  for (int nn = 90; nn <= 99; ++nn) EXPECT_EQ(t.tablet->User_Image(nn), Image_Of(t.Row(nn))) << nn;
}

TEST(NativeProtocol, OneAtATimeWritesReadEachBackAfterTheirPause) {
  for (const auto& [profile, pause] : {std::pair{"mirolex3", 0.3}, {"dovrane4", 0.1}, {"dovrane6", 0.1}}) {
    Found t(profile);
    t.b.prompter.Set_Positive(true);
    for (int nn = 90; nn <= 99; ++nn) t.form.Table()[nn] = {0x32, 0x40, 0x51, static_cast<std::uint8_t>(nn == 90 ? 7 : 0)};
    EXPECT_EQ(t.protocol.Save_Custom(), Native_Result::Done) << profile;
    const auto writes = t.Writes();
    const auto times = t.Write_Times();
    ASSERT_EQ(writes.size(), 21u) << profile;
    for (int nn = 90; nn <= 99; ++nn) {
      const std::size_t k = 1 + 2 * static_cast<std::size_t>(nn - 90);
      EXPECT_EQ(writes[k], Esc_Hex("%__s" + Image_Of(t.Row(nn)) + std::to_string(nn))) << profile << nn;
      EXPECT_EQ(writes[k + 1], Esc_Hex("%__S" + std::to_string(nn)));
      EXPECT_NEAR(times[k + 1] - times[k], pause, 1e-3) << profile << nn;
      EXPECT_EQ(t.tablet->User_Image(nn), Image_Of(t.Row(nn))) << profile << nn;
    }
    EXPECT_EQ(t.Log().rfind(Line("Sent: ESC%__s40,77,89,61,00,08,0090") + Line("From Tablet Bank 90: " + Image_A + "\r\n") +
                                Line("Sent: ESC%__s" + Image_Of(t.Row(91)) + "91") + "From Tablet Bank 90: ",
                            0),
              0u)
        << profile;
  }
}

TEST(NativeProtocol, DovraneFourWithoutItsFlagWritesNinetyToNinetyEightOnly) {
  Found t("dovrane4");
  t.b.session.identity.Dovrane_IV_VI_Flag = false;
  t.b.prompter.Set_Positive(true);
  const std::string user99 = t.tablet->User_Image(99);
  for (int nn = 90; nn <= 99; ++nn) t.form.Table()[nn] = Record_A;
  EXPECT_EQ(t.protocol.Save_Custom(), Native_Result::Done);
  const auto writes = t.Writes();
  const auto times = t.Write_Times();
  ASSERT_EQ(writes.size(), 10u) << "the wake-up's question, then 90 to 98";
  for (std::size_t k = 1; k < 10; ++k) {
    EXPECT_EQ(writes[k], Esc_Hex("%__s" + Image_A + std::to_string(89 + k)));
    if (k > 1) {
      EXPECT_NEAR(times[k] - times[k - 1], 0.05, 1e-3) << "one tick apart";
    }
  }
  EXPECT_EQ(t.Log(), "") << "no read-back, no log lines";
  EXPECT_NEAR(t.b.Now() - times.back(), 0.05, 1e-3) << "the save ends after the last tick";
  t.Settle();
  EXPECT_EQ(t.tablet->User_Image(98), Image_A);
  EXPECT_EQ(t.tablet->User_Image(99), user99);
}

TEST(NativeProtocol, WrittenSettingsReadBack) {
  Found t("mirolex2");
  t.b.prompter.Set_Positive(true);
  // Records as the image gives them back, so a round trip keeps them.
  for (int nn = 90; nn <= 100; ++nn) t.form.Table()[nn] = From_Image(Image_Of({static_cast<std::uint8_t>(nn - 60), 0x40, 0x51, 7}));
  const SuperSet_Table written = t.form.Table();
  t.form.Select_SuperSet(100);
  EXPECT_EQ(t.protocol.Save_Custom(), Native_Result::Done);
  EXPECT_EQ(t.protocol.Save_Power_Up(), Native_Result::Done);
  t.form.Table() = {};
  EXPECT_EQ(t.protocol.Read_Current_Settings(), Native_Result::Done);
  for (int nn = 90; nn <= 100; ++nn) EXPECT_EQ(t.Row(nn), written[nn]) << nn;
  EXPECT_EQ(t.Row(0), written[100]) << "the power-up settings";
}

TEST(NativeProtocol, FaultVariantsEndCleanly) {
  Found n("mirolex2-nos1");
  EXPECT_EQ(n.protocol.Read_Current_Settings(), Native_Result::Done);
  ASSERT_EQ(n.Writes()[2], Esc_Hex("%__S1"));
  EXPECT_NEAR(n.Write_Times()[3] - n.Write_Times()[2], 1.05, 1e-3) << "one second for no answer, then a tick";
  EXPECT_NE(n.Log().find(Line("Sent: ESC %__S1") + Line("Sent: ESC %__S 90")), std::string::npos);
  EXPECT_EQ(n.Row(0), From_Image(n.tablet->Active_Image())) << "the translation runs on the reply it has";

  Found s("mirolex3-shortdump");
  const std::string bank = s.tablet->User_Bank();
  for (int nn = 90; nn <= 99; ++nn) s.form.Table()[nn] = {0xAA, 0xBB, 0xCC, static_cast<std::uint8_t>(nn)};
  EXPECT_EQ(s.protocol.Read_Current_Settings(), Native_Result::Done);
  for (int nn = 90; nn <= 94; ++nn) EXPECT_EQ(Hex(bank.substr(12 * (nn - 90), 4)), Record_Text(s.Row(nn), " "));
  for (int nn = 95; nn <= 99; ++nn) EXPECT_EQ(s.Row(nn), (SuperSet_Record{0xAA, 0xBB, 0xCC, static_cast<std::uint8_t>(nn)}));
  EXPECT_NE(s.Log().find(Line("Sent: 5") + Line("Short Dump From Tablet: 60 of 129 bytes came") + "From Tablet: " +
                         Hex(bank.substr(0, 4)) + " 90"),
            std::string::npos);
  EXPECT_EQ(s.Log().find(" 95\r"), std::string::npos);
  EXPECT_EQ(s.Writes().back(), Esc_Hex("%VF"));

  Found a("dovrane3-noack");
  a.b.prompter.Set_Positive(true);
  a.form.Table()[97] = Record_A;
  EXPECT_EQ(a.protocol.Save_Custom(), Native_Result::Done);
  ASSERT_EQ(a.Writes()[1], Esc_Hex("%__u"));
  EXPECT_NEAR(a.Write_Times()[2] - a.Write_Times()[1], 1.0, 2e-2) << "one second for the acknowledgement";
  a.Settle();
  EXPECT_EQ(a.tablet->User_Image(97), Image_A);
}

TEST(NativeProtocol, PortErrorEndsTheOperationAndLeavesTheWindowUsable) {
  Found t("mirolex2");
  t.port->Faults().vanish_at = t.b.Now() + 1.2;  // after the wake-up, among the reads
  EXPECT_EQ(t.protocol.Read_Current_Settings(), Native_Result::Port_Failed);
  EXPECT_NE(t.Log().find(Line("Read Current Settings stopped, port error 57: the serial device stopped responding "
                              "(input/output error); the adapter may have been unplugged")),
            std::string::npos);
  EXPECT_EQ(t.b.session.Search_Status, -2);
  EXPECT_FALSE(t.form.Loading_SuperSet);
  EXPECT_TRUE(t.protocol.Save_Entries_Enabled());
  EXPECT_FALSE(t.protocol.Activity().Busy || t.protocol.Activity().Hourglass || t.protocol.Activity().Please_Wait.Shown);
  t.Mark();
  t.b.prompter.Set_Positive(true);
  EXPECT_EQ(t.protocol.Save_Power_Up(), Native_Result::No_Tablet) << "no tablet: the write is skipped";
  EXPECT_EQ(t.protocol.Save_Custom(), Native_Result::No_Tablet) << "the wake-up cannot open the port";
  EXPECT_TRUE(t.Writes().empty());
}

TEST(NativeProtocol, SecondOperationDuringAWaitIsRefused) {
  Found t("mirolex2");
  std::vector<Native_Result> inside;
  t.b.front_end.events = [&] {
    if (inside.empty()) inside.push_back(t.protocol.Save_Power_Up());
  };
  EXPECT_EQ(t.protocol.Read_Current_Settings(), Native_Result::Done);
  EXPECT_EQ(inside, std::vector<Native_Result>{Native_Result::Busy});
  EXPECT_TRUE(t.b.prompter.asked.empty());
}

TEST(NativeProtocol, RestoreFactoryWritesNothingWithoutItsTableFile) {
  Found t("mirolex2");
  t.b.prompter.Set_Positive(true);
  t.b.session.App_Dir = "/nonexistent";
  const SuperSet_Table before = t.form.Table();
  EXPECT_EQ(t.protocol.Restore_Factory(), Native_Result::Refused);
  EXPECT_TRUE(t.Writes().empty());
  EXPECT_EQ(t.form.Table(), before);
  ASSERT_EQ(t.b.prompter.asked.size(), 1u);
  EXPECT_NE(t.b.prompter.asked[0].text.find("mx2sstable.dat"), std::string::npos);
}

}  // namespace
}  // namespace stylomat
