// The KORV command state of the simulated Quorral III: stored SuperSets,
// the work area and the four commands, heard byte by byte at 9600,N,8,1.
#include <gtest/gtest.h>

#include "serial/serial_link.h"
#include "sim/korv_command_state.h"
#include "superset/factory_tables.h"
#include "support/sim_fixture.h"

namespace stylomat {
namespace {

struct Korv_Tablet {
  explicit Korv_Tablet(KORV_Command_Options options = {}) {
    Type5_Tablet_Profile profile;
    profile.version = "J5 V3.02";
    profile.make_handler = [options] { return Make_KORV_Command_State(options); };
    auto device = std::make_unique<Type5_Tablet>(profile);
    tablet = device.get();
    b.Attach(1, std::move(device));
    state = dynamic_cast<KORV_Command_State*>(tablet->Handler());
    b.session.Port_Number = 1;
    Open_Port(b.session, "9600,N,8,1");
  }

  // Sends the bytes, waits for the tablet, returns everything it answered.
  std::string Exchange(const std::string& bytes, double wait = 0.05) {
    b.session.port.Output(bytes);
    b.clock.Advance(wait);
    b.session.port.Set_InputLen(0);
    return b.session.port.Input();
  }

  std::string Read(const std::string& number) {
    Exchange("\x01");
    Exchange("RR\r");
    return Exchange(number + "\r");
  }

  test::Sim_Bench b;
  Type5_Tablet* tablet = nullptr;
  KORV_Command_State* state = nullptr;
};

std::string Bytes(const SuperSet_Record& r) { return std::string(r.begin(), r.end()); }

TEST(KorvCommandState, ReadAnswersTextLineFeedAndTheStoredRecord) {
  Korv_Tablet t;
  ASSERT_NE(t.state, nullptr);
  const SuperSet_Record five = Factory_Record(Config_Window::KORV_form, 5);
  EXPECT_EQ(t.Read("05"), "S05\r\n" + Bytes(five) + "\r\n> ");
  EXPECT_EQ(t.state->Reads_Answered(), 1);
  // The factory power-up SuperSet is 01, and 00 reads as it.
  EXPECT_EQ(t.state->Power_Up_SuperSet(), 1);
  EXPECT_EQ(t.Read("00"), "S00\r\n" + Bytes(Factory_Record(Config_Window::KORV_form, 1)) + "\r\n> ");
  // Anything but two digits after "RR" is not a SuperSet.
  EXPECT_EQ(t.Read("5"), "?\r\n> ");
  EXPECT_EQ(t.state->Reads_Answered(), 2);
  // ESC leaves the command state: the commands are not heard outside it.
  t.Exchange("\x1b");
  EXPECT_FALSE(t.tablet->In_Command_State());
  EXPECT_EQ(t.Exchange("RR\r"), "");
}

TEST(KorvCommandState, LoadsRawBytesAndStoresThemWhereWritable) {
  Korv_Tablet t;
  // Record bytes are raw: ESC, CR and Ctrl-A are record bytes here.
  const SuperSet_Record odd = {0x1B, 0x0D, 0x01, 0xFF};
  t.Exchange("\x1b\x01za\r");
  EXPECT_EQ(t.Exchange(Bytes(odd)), "\r\n> ");
  EXPECT_EQ(t.state->Work_Area(), odd);
  EXPECT_TRUE(t.tablet->In_Command_State());
  EXPECT_EQ(t.Exchange("\x01LS\r95\r"), "OK\r\n> ");
  EXPECT_EQ(t.state->Stored(95), odd);

  // 50 is a factory SuperSet and 99 is the Quorral III's own: refused.
  const SuperSet_Record fifty = t.state->Stored(50);
  EXPECT_EQ(t.Exchange("\x01LS\r50\r"), "?\r\n> ");
  EXPECT_EQ(t.Exchange("\x01LS\r99\r"), "?\r\n> ");
  EXPECT_EQ(t.state->Stored(50), fifty);
  EXPECT_EQ(t.state->Stored(99), Factory_Record(Config_Window::KORV_form, 99));
  EXPECT_EQ(t.Exchange("\x01LS\r00\r"), "OK\r\n> ");
  EXPECT_EQ(t.state->Stored(0), odd);
  EXPECT_EQ(t.state->Stores(), 2);

  // Stored SuperSets outlive the command state and the port.
  t.Exchange("\x1b");
  Close_Port(t.b.session);
  Open_Port(t.b.session, "9600,N,8,1");
  EXPECT_EQ(t.Read("95"), "S95\r\n" + Bytes(odd) + "\r\n> ");

  Korv_Tablet open_99({false, -1});
  open_99.Exchange("\x01za\r");
  open_99.Exchange(Bytes(odd));
  EXPECT_EQ(open_99.Exchange("\x01LS\r99\r"), "OK\r\n> ");
  EXPECT_EQ(open_99.state->Stored(99), odd);
}

TEST(KorvCommandState, ActivationTakesTwoDigitsWithoutCarriageReturn) {
  Korv_Tablet t;
  t.state->Set_Stored(98, {0x32, 0x40, 0x51, 0x07});
  EXPECT_EQ(t.Exchange("\x01" "ES\r"), "");
  EXPECT_EQ(t.Exchange("98"), "");
  t.Exchange("\x1b");
  EXPECT_EQ(t.state->Power_Up_SuperSet(), 98);
  EXPECT_EQ(t.Read("00"), "S00\r\n\x32\x40\x51\x07\r\n> ");

  // ESC before the second digit selects nothing.
  t.Exchange("\x1b\x01" "ES\r7\x1b");
  EXPECT_EQ(t.state->Power_Up_SuperSet(), 98);
}

TEST(KorvCommandState, StallingTabletGoesSilentAfterItsReads) {
  Korv_Tablet t({true, 2});
  const auto answer = [](int n) {
    return "S" + std::to_string(n) + "\r\n" + Bytes(Factory_Record(Config_Window::KORV_form, n)) + "\r\n> ";
  };
  EXPECT_EQ(t.Read("99"), answer(99));
  t.Exchange("RR\r");
  EXPECT_EQ(t.Exchange("98\r"), answer(98));
  EXPECT_TRUE(t.state->Stalled());
  EXPECT_EQ(t.Exchange("RR\r"), "");
  EXPECT_EQ(t.Exchange("97\r"), "");
  EXPECT_EQ(t.Exchange("\r"), "") << "not even the banner";
  t.Exchange("\x1b");
  EXPECT_FALSE(t.tablet->In_Command_State());
}

}  // namespace
}  // namespace stylomat
