#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "serial/serial_link.h"
#include "support/sim_fixture.h"
#include "switchbank/switch_bank_form.h"
#include "switchbank/switch_protocol.h"

namespace stylomat {
namespace {

using test::Sim_Bench;

// A switch-bank tablet as far as the write goes: answers the settings
// query with its image, answers "JUNK?" with noise, takes everything else.
class Switch_Tablet : public Sim_Device {
 public:
  explicit Switch_Tablet(std::string image) : Sim_Device(*Parse_Framing("9600,n,8,2")), image_(std::move(image)) {}

  void On_Byte(Sim_Link& link, unsigned char byte) override {
    pending_ += static_cast<char>(byte);
    if (byte != '\r') return;
    commands.push_back(pending_);
    busy_seen.push_back(form && form->Busy_Pointer());
    if (pending_ == "\x1b%__S\r" && !image_.empty()) link.Send(image_ + "\r");
    if (pending_ == "JUNK?\r") link.Send("garbage that must not reach the log");
    pending_.clear();
  }

  std::vector<std::string> commands;
  std::vector<bool> busy_seen;
  const Switch_Bank_Form* form = nullptr;

 private:
  std::string image_;
  std::string pending_;
};

struct Write_Bench {
  explicit Write_Bench(std::string tablet_image, Sim_Faults faults = {}) {
    auto device = std::make_unique<Switch_Tablet>(std::move(tablet_image));
    tablet = device.get();
    port = &b.Attach(1, std::move(device), faults);
    b.session.Port_Number = 1;
    Open_Port(b.session, "9600,n,8,2");
  }
  // Lets the bytes on the line arrive at both ends.
  void Drain() {
    b.clock.Advance(0.2);
    (void)b.session.port.InBufferCount();
  }
  Sim_Bench b;
  Switch_Tablet* tablet = nullptr;
  Simulated_Port* port = nullptr;
};

const std::string Esc = "\x1b";

TEST(Write_Switches, PallivantSendsQueryThenA1ThenImageOnTicksAndLogsAlways) {
  Write_Bench w("CE,1F,4D,61,00,0C,23");
  Switch_Bank_Form form(Config_Window::Pv5);
  form.Load_Factory_Switches();
  w.tablet->form = &form;
  // Something left waiting from before is thrown away unseen.
  w.b.session.port.Output("JUNK?\r");
  w.Drain();
  w.tablet->commands.clear();
  w.tablet->busy_seen.clear();
  w.b.trace.clear();

  w.b.session.Debug_Mode = false;
  w.b.session.port.Set_InputLen(3);
  ASSERT_NEAR(w.b.Now(), 0.2, 1e-9);
  EXPECT_TRUE(Write_Switches(w.b.session, form));
  EXPECT_NEAR(w.b.Now(), 0.3, 1e-9);
  // After one tick the leftover is read away and the query goes out; after a
  // second one the reply is read, then "%A1" and the image go out.
  EXPECT_EQ(w.b.trace,
            (std::vector<std::string>{
                "0.250 COM1 RX 67 61 72 62 61 67 65 20 74 68 61 74 20 6D 75 73 74 20 6E 6F 74 20 72 65 61 63 68 20 "
                "74 68 65 20 6C 6F 67",
                "0.250 COM1 TX 1B 25 5F 5F 53 0D",
                "0.300 COM1 RX 43 45 2C 31 46 2C 34 44 2C 36 31 2C 30 30 2C 30 43 2C 32 33 0D",
                "0.300 COM1 TX 1B 25 41 31 0D",
                "0.300 COM1 TX 1B 25 5F 5F 73 43 45 2C 35 46 2C 30 39 2C 36 31 2C 30 30 2C 31 34 2C 32 33 0D"}));
  w.Drain();

  EXPECT_EQ(w.tablet->commands,
            (std::vector<std::string>{Esc + "%__S\r", Esc + "%A1\r", Esc + "%__sCE,5F,09,61,00,14,23\r"}));
  EXPECT_EQ(w.b.Log(), "From Tablet: CE,1F,4D,61,00,0C,23\r\rSent: ESC%__sCE,5F,09,61,00,14,23\r");
  // The query reached the tablet while the write was under way.
  ASSERT_FALSE(w.tablet->busy_seen.empty());
  EXPECT_TRUE(w.tablet->busy_seen.front());
  EXPECT_FALSE(form.Busy_Pointer());
  EXPECT_EQ(w.b.session.port.InputLen(), 3);
}

TEST(Write_Switches, VelliscopeLogsOnlyInDebugMode) {
  for (bool debug : {false, true}) {
    Write_Bench w("C6,D7,4C,61,02,00,20");
    Switch_Bank_Form form(Config_Window::VSIII);
    form.Load_Factory_Switches();
    w.b.session.Debug_Mode = debug;
    EXPECT_TRUE(Write_Switches(w.b.session, form));
    w.Drain();
    EXPECT_EQ(w.tablet->commands.back(), Esc + "%__sC6,D7,4C,61,02,00,20\r");
    EXPECT_EQ(w.b.Log(), debug ? "From Tablet: C6,D7,4C,61,02,00,20\r\rSent: ESC%__sC6,D7,4C,61,02,00,20\r" : "")
        << debug;
  }
}

TEST(Write_Switches, SilentTabletStillGetsTheImage) {
  Write_Bench w("");
  Switch_Bank_Form form(Config_Window::Pv5);
  form.Load_Factory_Switches();
  form.Set_Setting(Setting::CmbBaud, 0);
  EXPECT_TRUE(Write_Switches(w.b.session, form));
  w.Drain();
  EXPECT_EQ(w.tablet->commands,
            (std::vector<std::string>{Esc + "%__S\r", Esc + "%A1\r", Esc + "%__sCE,5F,01,61,00,14,23\r"}));
  EXPECT_EQ(w.b.Log(), "Sent: ESC%__sCE,5F,01,61,00,14,23\r");
}

TEST(Write_Switches, AVanishingPortEndsTheWriteWithoutThrowing) {
  Sim_Faults faults;
  faults.vanish_at = 0.07;  // between the query and the write
  Write_Bench w("C6,D7,4C,61,02,00,20", faults);
  Switch_Bank_Form form(Config_Window::VSIII);
  form.Load_Factory_Switches();
  bool ok = true;
  EXPECT_NO_THROW(ok = Write_Switches(w.b.session, form));
  EXPECT_FALSE(ok);
  EXPECT_FALSE(form.Busy_Pointer());
  // Only the query went out; neither "%A1" nor the image followed.
  EXPECT_EQ(w.b.Trace_Of("TX"), (std::vector<std::string>{"TX 1B 25 5F 5F 53 0D"}));

  // A closed port is no crash either.
  Close_Port(w.b.session);
  EXPECT_FALSE(Write_Switches(w.b.session, form));
}

}  // namespace
}  // namespace stylomat
