// The settings exchanges of the simulated Mirolex and Dovrane tablets:
// power-up and user queries, image writes, the user bank dump and write,
// and their fault variants.
#include <gtest/gtest.h>

#include "serial/serial_link.h"
#include "sim/superset_tablet.h"
#include "superset/native_image.h"
#include "support/sim_fixture.h"

namespace stylomat {
namespace {

// One simulated tablet on COM1, the port open at its power-up framing.
struct Settings_Bench {
  explicit Settings_Bench(const std::string& profile) {
    const Sim_Profile* p = Find_Sim_Profile(profile);
    auto device = p->make();
    tablet = dynamic_cast<SuperSet_Tablet*>(device.get());
    b.Attach(1, std::move(device), p->faults);
    b.session.Port_Number = 1;
    Open_Port(b.session, "9600,n,8,2");
  }
  // Sends bytes and answers what came back within 0.3 s.
  std::string Send(const std::string& bytes) {
    Flush_Input(b.session);
    b.session.port.Output(bytes);
    b.clock.Advance(0.3);
    b.session.port.Set_InputLen(0);
    return b.session.port.Input();
  }
  std::string Ask(const std::string& letters) { return Send(Esc_Command(letters)); }

  test::Sim_Bench b;
  SuperSet_Tablet* tablet = nullptr;
};

const std::string Image_A = "40,77,89,61,00,08,00";
const std::string Image_B = "C3,49,46,61,06,10,80";

TEST(SuperSet_Settings, QueriesAnswerImagesAndWritesChangeWhatTheyName) {
  Settings_Bench t("dovrane4");
  ASSERT_NE(t.tablet, nullptr);
  EXPECT_EQ(t.Ask("%__S1"), "43,49,46,61,06,10,80\r\n");
  EXPECT_EQ(t.Ask("%__S95"), t.tablet->User_Image(95) + "\r\n");
  EXPECT_NE(t.tablet->User_Image(90), t.tablet->User_Image(91)) << "factory user SuperSets tell apart";

  EXPECT_EQ(t.Ask("%__s" + Image_A), "");
  EXPECT_EQ(t.Ask("%__S"), Image_A + "\r\n");
  EXPECT_EQ(t.tablet->Power_Up_Image(), "43,49,46,61,06,10,80\r\n");
  EXPECT_EQ(t.Ask("%__s" + Image_B + "93"), "");
  EXPECT_EQ(t.tablet->User_Image(93), Image_B);
  EXPECT_EQ(t.tablet->Active_Image(), Image_A + "\r\n") << "storing a user SuperSet leaves the active settings";
  t.Ask("%VF1");
  EXPECT_EQ(t.tablet->Power_Up_Image(), Image_A + "\r\n");
  t.Ask("%__s" + Image_B);
  t.Ask("%VR");
  EXPECT_EQ(t.tablet->Active_Image(), Image_A + "\r\n") << "a power cycle restores the power-up settings";

  Settings_Bench m("mirolex2");
  const std::string before = m.tablet->User_Image(93);
  m.Ask("%__s" + Image_B + "93");
  EXPECT_EQ(m.tablet->User_Image(93), before) << "a model without single user writes ignores the number";
}

TEST(SuperSet_Settings, UserBankDumpAndWrite) {
  Settings_Bench d("mirolex3");
  const std::string bank = d.tablet->User_Bank();
  ASSERT_EQ(bank.size(), 128u);
  const SuperSet_Bytes r95 = Image_To_SuperSet(d.tablet->User_Image(95));
  EXPECT_EQ(bank.substr(60, 12), std::string(r95.begin(), r95.end()) + std::string(8, '\xFF'));
  EXPECT_EQ(d.Ask("%__r"), "\x06");
  unsigned sum = 0;
  for (unsigned char c : bank) sum += c;
  EXPECT_EQ(d.Send("5\r"), bank + static_cast<char>(sum & 0xFF));
  EXPECT_EQ(d.Send("512\r"), "");
  EXPECT_EQ(d.Ask("%__S"), "40,77,89,61,00,08,00\r\n") << "commands again after 512";
  EXPECT_EQ(d.Ask("%__u"), "") << "the Mirolex III takes no bank";

  Settings_Bench w("mirolex2");
  EXPECT_EQ(w.Ask("%__r"), "") << "the Mirolex II dumps no bank";
  EXPECT_EQ(w.Ask("%__u"), "\x06");
  w.Send("5\r");
  std::string written;
  for (int nn = 90; nn <= 99; ++nn) {
    written += std::string{0x32, 0x40, 0x51, static_cast<char>(nn - 90)};
    written += std::string(8, '\xFF');
  }
  w.Send(written + std::string(8, '\xFF'));
  w.Send("512\r");
  for (int nn = 90; nn <= 99; ++nn)
    EXPECT_EQ(w.tablet->User_Image(nn), Image_Text(SuperSet_To_Image({0x32, 0x40, 0x51, static_cast<std::uint8_t>(nn - 90)})))
        << nn;
  EXPECT_EQ(w.Ask("%__S"), "40,77,89,61,00,08,00\r\n");
}

TEST(SuperSet_Settings, FaultVariantsOfTheSettingsExchanges) {
  Settings_Bench n("mirolex2-nos1");
  EXPECT_EQ(n.Ask("%__S1"), "");
  EXPECT_EQ(n.Ask("%__S"), "40,77,89,61,00,08,00\r\n");

  Settings_Bench s("mirolex3-shortdump");
  const std::string bank = s.tablet->User_Bank();
  s.Ask("%__r");
  EXPECT_EQ(s.Send("5\r"), bank.substr(0, 60));

  Settings_Bench a("dovrane3-noack");
  EXPECT_EQ(a.Ask("%__u"), "") << "no acknowledgement";
  a.Send("5\r");
  a.Send(std::string(128, '\0'));
  a.Send("512\r");
  EXPECT_EQ(a.tablet->User_Image(97), Image_Text(SuperSet_To_Image({0, 0, 0, 0}))) << "the bank is still taken";
}

}  // namespace
}  // namespace stylomat
