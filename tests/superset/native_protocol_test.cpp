// The Mirolex and Dovrane settings protocol on simulated tablets found by
// the port search: bytes on the wire, log lines, virtual-clock times, the
// rows the form holds afterwards, and the failure paths.
#include <gtest/gtest.h>

#include "discovery/port_search.h"
#include "serial/serial_link.h"
#include "sim/superset_tablet.h"
#include "superset/native_image.h"
#include "superset/native_protocol.h"
#include "superset/superset_form.h"
#include "superset/table_files.h"
#include "support/sim_fixture.h"

namespace stylomat {
namespace {

std::string H(const std::string& bytes) { return Wire_Trace::Hex_Bytes(bytes); }
std::string E(const std::string& letters) { return H(Esc_Command(letters)); }
std::string L(const std::string& line) { return line + "\r"; }

const std::string Image_A = "40,77,89,61,00,08,00";  // the record 32,40,51,07
const SuperSet_Record Record_A = {0x32, 0x40, 0x51, 0x07};

// A tablet on COM2 found by its port icon and sent to its configuration
// window (its reporting reset, as Advanced Configuration does), with the
// window's form and protocol made as the window makes them.
struct Found_Tablet {
  explicit Found_Tablet(const std::string& profile) {
    Session& s = b.session;
    s.App_Dir = std::string(STYLOMAT_SOURCE_DIR) + "/data";
    const Sim_Profile* p = Find_Sim_Profile(profile);
    auto device = p->make();
    tablet = dynamic_cast<SuperSet_Tablet*>(device.get());
    port = &b.Attach(2, std::move(device), p->faults);
    Port_Icon_Command(s, 2);
    Open_Configuration(s);
    const Config_Window w = profile.rfind("mirolex", 0) == 0 ? Config_Window::Mirolex2 : Config_Window::Dovrane3;
    form = std::make_unique<SuperSet_Form>(s, w);
    TABLES(*form);
    form->Select_SuperSet(0);
    protocol = std::make_unique<Native_Protocol>(*form);
    Mark();
  }
  // What follows is what the test looks at.
  void Mark() {
    b.trace.clear();
    log_start = b.session.log.Size();
  }
  std::vector<std::string> Writes() const {
    std::vector<std::string> out;
    for (const std::string& e : b.Trace_Of("TX")) out.push_back(e.substr(3));
    return out;
  }
  std::vector<double> Write_Times() const {
    std::vector<double> out;
    for (const std::string& line : b.trace)
      if (line.find(" TX ") != std::string::npos) out.push_back(std::stod(line));
    return out;
  }
  std::string Log() const { return b.session.log.Text().substr(log_start); }
  SuperSet_Record Row(int n) const { return form->Table()[static_cast<std::size_t>(n)]; }
  // The simulated tablet catches up with the line (it runs on host actions).
  void Settle() {
    b.clock.Advance(0.2);
    (void)b.session.port.InBufferCount();
  }

  test::Sim_Bench b;
  SuperSet_Tablet* tablet = nullptr;
  Simulated_Port* port = nullptr;
  std::unique_ptr<SuperSet_Form> form;
  std::unique_ptr<Native_Protocol> protocol;
  std::size_t log_start = 0;
};

SuperSet_Record From_Image(const std::string& text) { return Image_To_SuperSet(text); }
std::string Bytes(const SuperSet_Record& r) { return std::string(r.begin(), r.end()); }

TEST(NativeProtocol, MirolexTwoReadsActivePowerUpAndUserSuperSetsThenWritesTheActiveBack) {
  Found_Tablet t("mirolex2");
  t.tablet->Set_User_Image(95, "C3,49,46,61,06,10,80");
  const std::string active = t.tablet->Active_Image();
  const std::string power_up = t.tablet->Power_Up_Image();
  EXPECT_EQ(t.protocol->Read_Current_Settings(), Native_Result::Done);

  std::vector<std::string> writes = {E("%__S"), E("%__S"), E("%__S1")};  // the wake-up asks first
  std::string log = L("Sent: ESC %__S") + L("From Tablet: " + active) + L("Sent: ESC %__S1") +
                    L("From Tablet: " + power_up);
  for (int nn = 90; nn <= 99; ++nn) {
    writes.push_back(E("%__S" + std::to_string(nn)));
    log += L("Sent: ESC %__S " + std::to_string(nn)) + L("From Tablet: " + t.tablet->User_Image(nn) + "\r\n");
    EXPECT_EQ(t.Row(nn), From_Image(t.tablet->User_Image(nn))) << nn;
  }
  writes.push_back(E("%__s" + active));
  writes.push_back(E("%VF"));
  EXPECT_EQ(t.Writes(), writes);
  EXPECT_EQ(t.Log(), log + L("Sent: Esc%__s") + L("Sent: Esc%VF"));
  EXPECT_EQ(t.Row(100), From_Image(active));
  EXPECT_EQ(t.Row(95), From_Image("C3,49,46,61,06,10,80"));
  EXPECT_EQ(t.tablet->Active_Image(), active) << "the active settings are what they were";
  EXPECT_EQ(t.protocol->Previous_Settings(), active);
  EXPECT_TRUE(t.protocol->Save_Entries_Enabled());
  EXPECT_FALSE(t.form->Loading_SuperSet);
}

TEST(NativeProtocol, MirolexThreeReadsItsUserBankByTheDump) {
  Found_Tablet t("mirolex3");
  ASSERT_TRUE(t.b.session.identity.Mirolex_III_Flag) << "the search marks the Mirolex III";
  const std::string active = t.tablet->Active_Image();
  const std::string bank = t.tablet->User_Bank();
  EXPECT_EQ(t.protocol->Read_Current_Settings(), Native_Result::Done);
  EXPECT_EQ(t.Writes(), (std::vector<std::string>{E("%__S"), E("%__S"), E("%__S1"), E("%__r"), H("5\r"), H("512\r"),
                                                  E("%__s" + active), E("%VF")}));
  std::string dump_log = L("Sent: ESC %__r") + L("Sent: 5");
  for (int nn = 90; nn <= 99; ++nn) {
    const std::string record = bank.substr(12 * (nn - 90), 4);
    EXPECT_EQ(t.Row(nn), From_Image(t.tablet->User_Image(nn))) << nn;
    EXPECT_EQ(Bytes(t.Row(nn)), record) << nn;
    dump_log += L("From Tablet: " + Record_Text(t.Row(nn), " ") + " " + std::to_string(nn)) +
                L("Dumped From Tablet: " + std::string(8, '\xFF'));
  }
  const std::string log = t.Log();
  EXPECT_NE(log.find(dump_log + L("Sent: 512") + L("Sent: Esc%__s") + L("Sent: Esc%VF")), std::string::npos) << log;
}

TEST(NativeProtocol, DovraneThreeTakesTheActiveSettingsFromTheWakeUp) {
  Found_Tablet t("dovrane3");
  t.tablet->Set_User_Image(90, Image_A);
  t.b.session.identity.Settings_Reply = "stale";
  const std::string active = t.tablet->Active_Image();
  EXPECT_EQ(t.protocol->Read_Current_Settings(), Native_Result::Done);
  const std::vector<std::string> writes = t.Writes();
  ASSERT_EQ(writes.size(), 14u);
  EXPECT_EQ(writes[0], E("%__S")) << "only the wake-up asks for the active settings";
  EXPECT_EQ(writes[1], E("%__S1"));
  EXPECT_EQ(writes[2], E("%__S90"));
  EXPECT_EQ(writes[12], E("%__s" + active));
  EXPECT_EQ(t.Log().rfind(L("Sent: ESC %__S1") + L("Power Up: " + t.tablet->Power_Up_Image()) +
                              L("Sent: ESC %__S 90"),
                          0),
            0u);
  EXPECT_EQ(t.Row(100), From_Image(active));
  EXPECT_EQ(t.Row(90), From_Image(Image_A));
  EXPECT_EQ(t.b.session.identity.Settings_Reply, active);
}

TEST(NativeProtocol, WriteImageMakesItActiveThenPowerUp) {
  Found_Tablet t("dovrane3");
  Open_Config_Port(t.b.session);
  t.Mark();
  const std::string old = t.tablet->Active_Image();
  t.form->Working_Record() = Record_A;
  t.protocol->SuperSet_To_Image();
  ASSERT_EQ(Image_Text(t.protocol->Image()), Image_A);
  const double start = t.b.Now();
  EXPECT_EQ(t.protocol->Write_Image(0), Native_Result::Done);
  EXPECT_EQ(t.Writes(), (std::vector<std::string>{E("%__S"), E("%__s" + Image_A), E("%__S"), E("%VF")}));
  EXPECT_NEAR(t.Write_Times()[0], start + 0.05, 1e-3);
  EXPECT_EQ(t.Log(), L("Sent: Esc%__S") + L("Previous Settings: " + old) + L("Sent: Esc%__s" + Image_A) +
                         L("Sent: Esc%__S") + L("From Tablet: " + Image_A + "\r\n") + L("Sent: Esc%VF"));
  EXPECT_EQ(t.tablet->Active_Image(), Image_A + "\r\n");
  EXPECT_EQ(t.tablet->Power_Up_Image(), old);

  t.Mark();
  EXPECT_EQ(t.protocol->Write_Image(1), Native_Result::Done);
  EXPECT_EQ(t.Writes().back(), E("%VF1"));
  EXPECT_EQ(t.Log().substr(t.Log().size() - 14), L("Sent: Esc%VF1"));
  t.Settle();
  EXPECT_EQ(t.tablet->Power_Up_Image(), Image_A + "\r\n");
}

TEST(NativeProtocol, MirolexTwoSavesTheUserBankOneWritePerByte) {
  Found_Tablet t("mirolex2");
  t.b.prompter.Set_Positive(true);
  for (int nn = 90; nn <= 99; ++nn) t.form->Table()[nn] = {0x32, 0x40, 0x51, static_cast<std::uint8_t>(nn - 90)};
  EXPECT_EQ(t.protocol->Save_Custom(), Native_Result::Done);
  ASSERT_EQ(t.b.prompter.asked.size(), 1u);
  EXPECT_EQ(t.b.prompter.asked[0].text, Save_Custom_Text);
  EXPECT_EQ(t.b.prompter.asked[0].title, "Warning!");

  std::vector<std::string> bank_writes = {E("%__S"), E("%__u"), H("5\r")};
  for (int nn = 90; nn <= 99; ++nn) {
    for (const char* b : {"32", "40", "51"}) bank_writes.push_back(b);
    bank_writes.push_back(H(std::string(1, static_cast<char>(nn - 90))));
    for (int k = 0; k < 8; ++k) bank_writes.push_back("FF");
  }
  for (int k = 0; k < 8; ++k) bank_writes.push_back("FF");
  bank_writes.push_back(H("512\r"));
  EXPECT_EQ(t.Writes(), bank_writes);
  EXPECT_EQ(bank_writes.size(), 3u + 128u + 1u);
  EXPECT_EQ(t.Log(), L("Sent: ESC %__u") + L("Sent: 5") + L("Sent: 512"));
  EXPECT_NEAR(t.b.Now() - t.Write_Times().back(), 1.5, 1e-3) << "1.5 s for the tablet to store them";
  t.Settle();
  for (int nn = 90; nn <= 99; ++nn)
    EXPECT_EQ(t.tablet->User_Image(nn), Image_Text(SuperSet_To_Image(t.Row(nn)))) << nn;
}

TEST(NativeProtocol, OneAtATimeWritesReadEachBackAfterTheirPause) {
  struct Case {
    const char* profile;
    double pause;
  };
  for (const Case c : {Case{"mirolex3", 0.3}, Case{"dovrane4", 0.1}, Case{"dovrane6", 0.1}}) {
    Found_Tablet t(c.profile);
    t.b.prompter.Set_Positive(true);
    for (int nn = 90; nn <= 99; ++nn) t.form->Table()[nn] = Record_A;
    t.form->Table()[99] = {0x32, 0x40, 0x51, 0x00};
    EXPECT_EQ(t.protocol->Save_Custom(), Native_Result::Done) << c.profile;
    const auto writes = t.Writes();
    const auto times = t.Write_Times();
    ASSERT_EQ(writes.size(), 21u) << c.profile;
    for (int nn = 90; nn <= 99; ++nn) {
      const std::string image = Image_Text(SuperSet_To_Image(t.Row(nn)));
      const std::size_t k = 1 + 2 * static_cast<std::size_t>(nn - 90);
      EXPECT_EQ(writes[k], E("%__s" + image + std::to_string(nn))) << c.profile << nn;
      EXPECT_EQ(writes[k + 1], E("%__S" + std::to_string(nn)));
      EXPECT_NEAR(times[k + 1] - times[k], c.pause, 1e-3) << c.profile << nn;
      EXPECT_EQ(t.tablet->User_Image(nn), image) << c.profile << nn;
    }
    const std::string log = t.Log();
    EXPECT_EQ(log.rfind(L("Sent: ESC%__s40,77,89,61,00,08,0090") + L("From Tablet Bank 90: " + Image_A + "\r\n") +
                            L("Sent: ESC%__s40,77,89,61,00,08,0091"),
                        0),
              0u)
        << c.profile;
    EXPECT_EQ(log.find("Bank 91"), std::string::npos) << "every read-back says Bank 90";
  }
}

TEST(NativeProtocol, DovraneFourWithoutItsFlagWritesNinetyToNinetyEightOnly) {
  Found_Tablet t("dovrane4");
  t.b.session.identity.Dovrane_IV_VI_Flag = false;
  t.b.prompter.Set_Positive(true);
  const std::string user99 = t.tablet->User_Image(99);
  for (int nn = 90; nn <= 99; ++nn) t.form->Table()[nn] = Record_A;
  EXPECT_EQ(t.protocol->Save_Custom(), Native_Result::Done);
  const auto writes = t.Writes();
  const auto times = t.Write_Times();
  ASSERT_EQ(writes.size(), 10u);
  for (int nn = 90; nn <= 98; ++nn) {
    EXPECT_EQ(writes[nn - 89], E("%__s" + Image_A + std::to_string(nn)));
    if (nn > 90) {
      EXPECT_NEAR(times[nn - 89] - times[nn - 90], 0.05, 1e-3) << "one tick apart";
    }
  }
  EXPECT_EQ(t.Log(), "") << "no read-back, no log lines";
  EXPECT_NEAR(t.b.Now() - times.back(), 0.05, 1e-3) << "the save ends after the last tick";
  t.Settle();
  for (int nn = 90; nn <= 98; ++nn) EXPECT_EQ(t.tablet->User_Image(nn), Image_A) << nn;
  EXPECT_EQ(t.tablet->User_Image(99), user99);
}

TEST(NativeProtocol, WrittenSettingsReadBack) {
  Found_Tablet t("mirolex2");
  t.b.prompter.Set_Positive(true);
  // Records as the image gives them back, so a round trip keeps them.
  for (int nn = 90; nn <= 99; ++nn) {
    const SuperSet_Record r = {static_cast<std::uint8_t>(0x30 + nn - 90), 0x40, 0x51, 0x07};
    t.form->Table()[nn] = From_Image(Image_Text(SuperSet_To_Image(r)));
  }
  const SuperSet_Table written = t.form->Table();
  t.form->Select_SuperSet(100);
  t.form->Table()[100] = written[93];
  t.form->Save_SuperSet(100);
  EXPECT_EQ(t.protocol->Save_Custom(), Native_Result::Done);
  EXPECT_EQ(t.protocol->Save_Power_Up(), Native_Result::Done);
  for (int nn = 90; nn <= 99; ++nn) t.form->Table()[nn] = {};
  t.form->Table()[0] = {};
  EXPECT_EQ(t.protocol->Read_Current_Settings(), Native_Result::Done);
  for (int nn = 90; nn <= 99; ++nn) EXPECT_EQ(t.Row(nn), written[nn]) << nn;
  EXPECT_EQ(t.Row(0), written[93]) << "the power-up settings";
  EXPECT_EQ(t.Row(100), written[93]) << "and the active ones";
}

TEST(NativeProtocol, FaultVariantsEndCleanly) {
  Found_Tablet n("mirolex2-nos1");
  const std::string active = n.tablet->Active_Image();
  EXPECT_EQ(n.protocol->Read_Current_Settings(), Native_Result::Done);
  const auto writes = n.Writes();
  const auto times = n.Write_Times();
  ASSERT_EQ(writes[2], E("%__S1"));
  EXPECT_NEAR(times[3] - times[2], 1.05, 1e-3) << "one second for no answer, then a tick";
  EXPECT_NE(n.Log().find(L("Sent: ESC %__S1") + L("Sent: ESC %__S 90")), std::string::npos);
  EXPECT_EQ(n.Row(0), From_Image(active)) << "the translation runs on the reply it has";

  Found_Tablet s("mirolex3-shortdump");
  const std::string bank = s.tablet->User_Bank();
  for (int nn = 90; nn <= 99; ++nn) s.form->Table()[nn] = {0xAA, 0xBB, 0xCC, static_cast<std::uint8_t>(nn)};
  EXPECT_EQ(s.protocol->Read_Current_Settings(), Native_Result::Done);
  for (int nn = 90; nn <= 94; ++nn) EXPECT_EQ(Bytes(s.Row(nn)), bank.substr(12 * (nn - 90), 4));
  for (int nn = 95; nn <= 99; ++nn) EXPECT_EQ(s.Row(nn), (SuperSet_Record{0xAA, 0xBB, 0xCC, static_cast<std::uint8_t>(nn)}));
  const std::string log = s.Log();
  EXPECT_NE(log.find(L("Sent: 5") + L("Short Dump From Tablet: 60 of 129 bytes came") + "From Tablet: " + H(bank.substr(0, 4)) + " 90"),
            std::string::npos) << log;
  EXPECT_EQ(log.find("From Tablet: " + Record_Text(s.Row(94), " ") + " 95"), std::string::npos);
  EXPECT_EQ(s.Writes().back(), E("%VF"));

  Found_Tablet a("dovrane3-noack");
  a.b.prompter.Set_Positive(true);
  a.form->Table()[97] = Record_A;
  EXPECT_EQ(a.protocol->Save_Custom(), Native_Result::Done);
  const auto w = a.Writes();
  ASSERT_EQ(w[1], E("%__u"));
  EXPECT_NEAR(a.Write_Times()[2] - a.Write_Times()[1], 1.0, 2e-2) << "the acknowledgement is waited for, one second";
  a.Settle();
  EXPECT_EQ(a.tablet->User_Image(97), Image_A);
}

TEST(NativeProtocol, PortErrorEndsTheOperationAndLeavesTheWindowUsable) {
  Found_Tablet t("mirolex2");
  t.port->Faults().vanish_at = t.b.Now() + 1.2;  // after the wake-up, among the reads
  EXPECT_EQ(t.protocol->Read_Current_Settings(), Native_Result::Port_Failed);
  const std::string log = t.Log();
  EXPECT_NE(log.find(L("Read Current Settings stopped, port error 57: the serial device stopped responding "
                       "(input/output error); the adapter may have been unplugged")),
            std::string::npos)
      << log;
  EXPECT_EQ(t.b.session.Search_Status, -2);
  EXPECT_FALSE(t.form->Loading_SuperSet);
  EXPECT_TRUE(t.protocol->Save_Entries_Enabled());
  EXPECT_FALSE(t.protocol->Activity().Busy);
  EXPECT_FALSE(t.protocol->Activity().Please_Wait.Shown);

  t.Mark();
  t.b.prompter.Set_Positive(true);
  EXPECT_EQ(t.protocol->Save_Power_Up(), Native_Result::No_Tablet) << "no tablet: the write is skipped";
  EXPECT_EQ(t.protocol->Read_Current_Settings(), Native_Result::No_Tablet) << "the wake-up cannot open the port";
  EXPECT_TRUE(t.Writes().empty());
}

TEST(NativeProtocol, SecondOperationDuringAWaitIsRefused) {
  Found_Tablet t("mirolex2");
  std::vector<Native_Result> inside;
  t.b.front_end.events = [&] {
    if (inside.empty()) inside.push_back(t.protocol->Save_Power_Up());
  };
  EXPECT_EQ(t.protocol->Read_Current_Settings(), Native_Result::Done);
  EXPECT_EQ(inside, std::vector<Native_Result>{Native_Result::Busy});
  EXPECT_TRUE(t.b.prompter.asked.empty());
}

TEST(NativeProtocol, RestoreFactoryWritesNothingWithoutItsTableFile) {
  Found_Tablet t("mirolex2");
  t.b.prompter.Set_Positive(true);
  t.b.session.App_Dir = "/nonexistent";
  const SuperSet_Table before = t.form->Table();
  EXPECT_EQ(t.protocol->Restore_Factory(), Native_Result::Refused);
  EXPECT_TRUE(t.Writes().empty());
  EXPECT_EQ(t.form->Table(), before);
  ASSERT_EQ(t.b.prompter.asked.size(), 1u);
  EXPECT_NE(t.b.prompter.asked[0].text.find("mx2sstable.dat"), std::string::npos);
}

}  // namespace
}  // namespace stylomat
