// The switch-bank windows on simulated tablets routed as the main window
// does: loading, writes with their questions, batch lines, closing, power
// cycles and faulty tablets.
#include "switchbank/switch_window_model.h"

#include <gtest/gtest.h>

#include <memory>

#include "discovery/port_search.h"
#include "discovery/reset_tablet.h"
#include "serial/serial_link.h"
#include "sim/superset_tablet.h"
#include "support/sim_fixture.h"

namespace stylomat {
namespace {

using Outcome = Command_Runner::Outcome;
using Writes = std::vector<std::string>;

// A command as the wire trace shows it.
std::string Cmd(std::string_view letters) {
  static constexpr char digits[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : Esc_Command(letters)) {
    if (!out.empty()) out += ' ';
    out += {digits[c >> 4], digits[c & 15]};
  }
  return out;
}
constexpr double Wake = 18 * Tick_Seconds;  // Open_Config_Port, tablet answering

// A tablet on COM2 found by its port icon, then Advanced Configuration.
struct Found {
  explicit Found(const std::string& profile, const std::string& command_line = "") {
    b.session.Command_Line = command_line;
    tablet = dynamic_cast<SuperSet_Tablet*>(&b.Attach_Profile(2, profile).Device());
    Port_Icon_Command(b.session, 2);
    b.front_end.open = [this](Config_Window w, const std::string& c) { return window = w, caption = c, true; };
    Open_Configuration(b.session);
    b.front_end.end = [this] { ++ends; };
    b.trace.clear();
    model = std::make_unique<Switch_Window_Model>(b.session, window, caption);
  }
  Writes Sent() const {
    Writes out;
    for (const std::string& e : b.Trace_Of("TX")) out.push_back(e.substr(3));
    return out;
  }
  void Drain() { b.clock.Advance(0.1), (void)b.session.port.InBufferCount(); }
  std::string Log_From(std::size_t mark) const { return b.Log().substr(mark); }

  test::Sim_Bench b;
  SuperSet_Tablet* tablet = nullptr;
  Config_Window window = Config_Window::KORV_form;
  std::string caption;
  int ends = 0;
  std::unique_ptr<Switch_Window_Model> model;
};

TEST(SwitchWindow, MenusAndTheLoadingRead) {
  Found t("pallivant5");
  ASSERT_EQ(t.window, Config_Window::Pv5);
  EXPECT_EQ(t.model->Caption(), "Zeltavision, Pallivant V Advanced Configuration");
  EXPECT_EQ(Switch_Window_Model(t.b.session, Config_Window::VSIII).Caption(), "Velliscope III Advanced Configuration");
  std::string menus;
  for (const Config_Menu& m : t.model->Menus()) {
    menus += "\n" + m.name + " " + m.caption + ":";
    for (const auto& e : m.entries) menus += (e.separator_before ? " | " : " ") + e.name + "=" + e.caption;
  }
  EXPECT_EQ(menus,
            "\nFile_Menu &File: CmdChange=Save &Temporary Settings CmdSaveChange=Save Power-&Up Settings | "
            "Form_Print=&Print | Close_Window=&Close Window CmdExit=E&xit PRX"
            "\nOptions_List &Options: CmdRead=&Read Current Settings | CmdDefualt=Restore &Factory Settings"
            "\nHelp_Menu &Help: CmdAbout=&About Show_Debug_Window=Show Debug Log");
  EXPECT_FALSE(t.model->Commands().Has("Form_Print") || t.model->Commands().Has("CmdAbout"));

  std::vector<bool> hourglass;
  t.model->On_Change = [&] {
    const bool h = t.model->Activity().Hourglass;
    if (h != (!hourglass.empty() && hourglass.back())) hourglass.push_back(h);
  };
  const std::size_t mark = t.b.Log().size();
  const double start = t.b.Now();
  EXPECT_EQ(t.model->Load(), Config_Load_Result::Shown);
  EXPECT_NEAR(t.b.Now() - start, Wake, 1e-9);
  EXPECT_EQ(hourglass, (std::vector<bool>{true, false}));
  EXPECT_EQ(t.Log_From(mark), "Last: CE,5F,09,61,00,14,23\rTablet 21,04,7F,00,40,00,00\r");
  EXPECT_EQ(t.Sent(), (Writes{Cmd("%__S"), Cmd("%VF")}));
  EXPECT_EQ(t.model->Form().Shown(Setting::CmbBaud), "150");
  EXPECT_FALSE(t.b.session.End_Requested);
}

TEST(SwitchWindow, RestoreFactoryStoresTheFactoryImageAsPowerUp) {
  for (bool debug : {false, true}) {
    Found t("velliscope3");
    t.b.session.Debug_Mode = debug;
    t.model->Load();
    t.b.trace.clear();
    const std::size_t mark = t.b.Log().size();
    const double start = t.b.Now();
    EXPECT_EQ(t.model->Run("CmdDefualt"), Outcome::Ran);
    EXPECT_NEAR(t.b.Now() - start, 2 * Wake + 2 * Tick_Seconds, 1e-9);
    EXPECT_EQ(t.Sent(), (Writes{Cmd("%__S"), Cmd("%__S"), Cmd("%A1"), Cmd("%__sC6,D7,4C,61,02,00,20"), Cmd("%__S"),
                                Cmd("%VF1")}));
    t.Drain();
    EXPECT_EQ(t.tablet->Power_Up_Image(), "C6,D7,4C,61,02,00,20\r\n");
    // The Velliscope logs the write and "%VF1" only in Debug_Mode.
    EXPECT_EQ(t.Log_From(mark).find("Sent: ESC%__sC6,D7,4C,61,02,00,20\r") != std::string::npos, debug);
    EXPECT_EQ(t.b.Log().ends_with("Sent: ESC%VF1\r"), debug);
  }
  Found p("pallivant5");  // the Pallivant logs "%VF1" always
  p.model->Load();
  p.model->Run("CmdSaveChange");
  EXPECT_TRUE(p.b.Log().ends_with("\rSent: ESC%VF1\r"));
}

TEST(SwitchWindow, TemporarySettingsNoStaysYesKeepsThemAndEnds) {
  for (bool yes : {false, true}) {
    Found t("pallivant5");
    Session& s = t.b.session;
    t.model->Load();
    t.model->Form().Set_Setting(Setting::CmbBaud, 0);
    t.b.trace.clear();
    t.b.prompter.Set_Positive(yes);
    EXPECT_EQ(t.model->Run("CmdChange"), Outcome::Ran);
    ASSERT_EQ(t.b.prompter.asked.size(), 1u);
    EXPECT_EQ(t.b.prompter.asked[0].text, "For these settings to take effect you must exit now!\r\r\n"
                                          "Do you want to to exit and use these settings?");
    EXPECT_EQ(t.b.prompter.asked[0].title, "Warning!");
    Writes expected{Cmd("%__S"), Cmd("%__S"), Cmd("%A1"), Cmd("%__sCE,04,45,61,00,0C,23"), Cmd("%__S")};
    if (yes) expected.insert(expected.end(), {Cmd("%A1"), Cmd("%VF")});
    EXPECT_EQ(t.Sent(), expected);
    EXPECT_EQ(s.Keep_Settings_On_Exit, yes);
    EXPECT_EQ(t.model->Close_Requested(), yes);
    if (yes) {
      EXPECT_EQ(t.model->On_Closed(), Config_Close_Result::End_Program);
    }
    EXPECT_EQ(t.ends, yes ? 1 : 0);
  }
}

TEST(SwitchWindow, ReadBackAndPowerCyclesFollowTheTablet) {
  Found t("velliscope5");
  t.model->Load();
  Switch_Bank_Form& form = t.model->Form();
  const Switch_Banks power_up = form.Banks();
  const auto change = [&] {
    return form.Set_Setting(Setting::CmbParity, 3), form.Set_Setting(Setting::ChkEcho, 1), form.Banks();
  };
  // Read over the factory pattern: the form can only show what came back.
  const auto read_back = [&] { return form.Load_Factory_Switches(), t.model->Run("CmdRead"), form.Banks(); };
  const Switch_Banks changed = change();
  ASSERT_NE(changed, power_up);
  t.model->Run("CmdChange");  // No: temporary settings
  EXPECT_EQ(read_back(), changed);
  Reset_Tablet(t.b.session);  // ESC "%VR" CR
  EXPECT_EQ(read_back(), power_up);
  change();
  t.model->Run("CmdSaveChange");
  Reset_Tablet(t.b.session);
  EXPECT_EQ(read_back(), changed);
}

TEST(SwitchWindow, BatchLineWritesItsPatternAndEnds) {
  for (bool yes : {false, true}) {  // Pallivant factory pattern at 19200 baud
    Found t("colossa", "stylomat /s000111001000010000000 x");
    t.b.prompter.Set_Positive(yes);
    EXPECT_EQ(t.model->Load(), Config_Load_Result::Ended);
    Writes expected{Cmd("%__S"), Cmd("%__S"), Cmd("%A1"), Cmd("%__sCE,5F,01,61,00,14,23"), Cmd("%__S")};
    if (yes) expected.insert(expected.end(), {Cmd("%A1"), Cmd("%VF")});
    EXPECT_EQ(t.Sent(), expected);
    EXPECT_EQ(t.b.prompter.asked.size(), 1u);
    EXPECT_EQ(t.ends, 1);
  }
  const Batch_Switches b = Parse_Batch_Switches("/s101010101100110011111/S0");
  ASSERT_EQ(b.kind, Batch_Switches::Kind::Pattern);
  EXPECT_EQ(b.pattern, (Switch_Banks{{{1, 0, 1, 0, 1, 0, 1, 0}, {1, 1, 0, 0, 1, 1, 0, 0}, {1, 1, 1, 1, 1, 2, 2, 2}}}));
  EXPECT_EQ(Parse_Batch_Switches("D OEM S/").kind, Batch_Switches::Kind::None);
}

TEST(SwitchWindow, ShortOrNonBinaryBatchLineWritesNothingAndSaysWhy) {
  const std::string need = "The switch pattern after /S must be 21 characters of 0 and 1, but ";
  const std::pair<const char*, std::string> cases[] = {
      {"/S0001110010000100", need + "only 16 follow. Nothing was written to the tablet."},
      {"/SS12", need + "only 3 follow. Nothing was written to the tablet."},
      {"D /s000111001000010000020", need + "character 20 is \"2\". Nothing was written to the tablet."},
  };
  for (const auto& [line, reason] : cases) {
    Found t("velliscope3", line);
    const std::size_t mark = t.b.Log().size();
    EXPECT_EQ(t.model->Load(), Config_Load_Result::Ended);
    EXPECT_TRUE(t.b.trace.empty()) << line;
    ASSERT_EQ(t.b.prompter.asked.size(), 1u);
    EXPECT_EQ(t.b.prompter.asked[0].text, reason);
    EXPECT_EQ(t.b.prompter.asked[0].title, "Stylomat");
    EXPECT_EQ(t.Log_From(mark), "Batch command refused: " + reason + "\r");
    EXPECT_EQ(t.ends, 1);
  }
}

TEST(SwitchWindow, CloseBoxExitAndCloseWindow) {
  Found box("lumivane");  // the close box: ends, nothing asked or sent
  box.model->Load();
  box.b.trace.clear();
  EXPECT_EQ(box.model->On_Closed(), Config_Close_Result::End_Program);
  EXPECT_TRUE(box.b.prompter.asked.empty() && box.b.trace.empty());
  EXPECT_EQ(box.ends, 1);

  Found e("pallivant7");
  e.model->Load();
  e.b.session.Keep_Settings_On_Exit = true;
  e.model->Run("CmdExit");  // No
  EXPECT_FALSE(e.b.session.Keep_Settings_On_Exit || e.model->Close_Requested());
  EXPECT_EQ(e.b.prompter.asked.at(0).text, "Power On settings will be activated!\r\r\nDo you want to continue?");
  e.b.prompter.Set_Positive(true);
  e.model->Run("CmdExit");
  EXPECT_TRUE(e.model->Close_Requested());
  EXPECT_EQ(e.model->On_Closed(), Config_Close_Result::End_Program);

  Found c("velliscope4");  // back to the main window, which searches again
  c.model->Load();
  c.b.session.identity.Model_Name.clear();
  c.model->Run("Close_Window");
  EXPECT_EQ(c.model->On_Closed(), Config_Close_Result::Back_To_Main);
  EXPECT_EQ(c.b.session.identity.Model_Name, "Mensaro, Velliscope IV");
  EXPECT_TRUE(c.b.session.main.Visible);
  EXPECT_FALSE(c.b.session.End_Requested || c.b.session.Return_To_Main);
}

TEST(SwitchWindow, CutAndMuteTabletsEndCleanly) {
  Found cut("pallivant6-short");  // missing fields read as 0; writes still work
  const std::size_t mark = cut.b.Log().size();
  EXPECT_EQ(cut.model->Load(), Config_Load_Result::Shown);
  EXPECT_EQ(cut.Log_From(mark), "Last: CE,5F,09,61,00,14,23\rTablet 21,04,7F,00,00,00,00\r");
  cut.model->Run("CmdSaveChange");
  cut.Drain();
  EXPECT_EQ(cut.tablet->Power_Up_Image(), cut.model->Form().Switch_Image_Text() + "\r\n");

  Found mute("velliscope6-mute");  // silent after the write: nothing asked or confirmed
  mute.model->Load();
  mute.b.trace.clear();
  const double start = mute.b.Now();
  EXPECT_EQ(mute.model->Run("CmdChange"), Outcome::Ran);
  EXPECT_NEAR(mute.b.Now() - start, Wake + 2 * Tick_Seconds + 15 * Tick_Seconds, 1e-9);
  const std::string image = mute.model->Form().Switch_Image_Text();
  EXPECT_EQ(mute.Sent(), (Writes{Cmd("%__S"), Cmd("%__S"), Cmd("%A1"), Cmd("%__s" + image)}));
  EXPECT_TRUE(mute.b.prompter.asked.empty());
  EXPECT_FALSE(mute.model->Close_Requested() || mute.model->Activity().Hourglass);
  EXPECT_FALSE(mute.b.session.Keep_Settings_On_Exit);
  mute.b.trace.clear();
  EXPECT_EQ(mute.model->Run("CmdRead"), Outcome::Ran);
  EXPECT_EQ(mute.model->Run("CmdDefualt"), Outcome::Ran);
  EXPECT_TRUE(mute.Sent().empty()) << "a silent tablet gets neither %VF nor a write";
}

}  // namespace
}  // namespace stylomat
