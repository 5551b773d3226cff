// The Mirolex2 and Dovrane3 window models: menus, loading, lists,
// start-up commands, the entries' questions and the closing rules.
#include <gtest/gtest.h>

#include "superset/native_image.h"
#include "superset/native_window_model.h"
#include "superset/table_files.h"
#include "support/native_bench.h"

namespace stylomat {
namespace {

using test::Esc_Hex;

// The routed tablet and the window the routing opened.
struct Routed : test::Native_Bench {
  explicit Routed(const std::string& profile, const std::string& command_line = "")
      : Native_Bench(profile, command_line), model(b.session, window, caption) {}
  Native_Window_Model model;
};

std::vector<std::string> Menu_Texts(const Native_Window_Model& m) {
  std::vector<std::string> out;
  for (const Config_Menu& menu : m.Menus()) {
    out.push_back(menu.name + " " + menu.caption);
    for (const Config_Menu_Entry& e : menu.entries) out.push_back(e.name + " " + e.caption + (e.enabled ? "" : " -"));
  }
  return out;
}

TEST(NativeWindowModel, MenusCaptionsAndCommands) {
  test::Sim_Bench b;
  Native_Window_Model mirolex(b.session, Config_Window::Mirolex2);
  EXPECT_EQ(mirolex.Caption(), "Mirolex II Advanced Configuration");
  EXPECT_EQ(Menu_Texts(mirolex),
            (std::vector<std::string>{"File_Menu &File", "CmdChange Save &Temporary Settings -",
                                      "CmdSavePon Save Power-&Up Settings -", "CmdSaveUser Save &Custom Settings -",
                                      "Form_Print Print", "Close_Window &Close Window", "CmdExit E&xit",
                                      "Option_List &Options", "cmdRead &Read Current Settings",
                                      "cmddef Restore &Factory Settings", "Help_Menu &Help", "CmdAbout &About",
                                      "Show_Debug_Window Show Debug Log"}));
  Native_Window_Model dovrane(b.session, Config_Window::Dovrane3);
  EXPECT_EQ(dovrane.Caption(), "Dovrane III Advanced Configuration");
  EXPECT_EQ(dovrane.Entry("Close_Window")->caption, "&Close");
  EXPECT_EQ(dovrane.Entry("CmdExit")->caption, "E&xit PRX");
  for (const char* name : {"CmdChange", "CmdSavePon", "CmdSaveUser", "cmdRead", "cmddef", "CmdExit", "Close_Window",
                           "Show_Debug_Window"})
    EXPECT_TRUE(dovrane.Commands().Has(name)) << name;
  EXPECT_FALSE(dovrane.Commands().Has("Form_Print"));
  EXPECT_FALSE(dovrane.Commands().Has("CmdAbout"));
  EXPECT_THROW(Native_Window_Model(b.session, Config_Window::KORV_form), std::invalid_argument);
}

TEST(NativeWindowModel, SuperSetListsFollowOemModeAndTheModelFlags) {
  test::Sim_Bench b;
  Session& s = b.session;
  const auto entries = [&](Config_Window w) { return Native_Window_Model(s, w).Form().List(SuperSet_Box::CmbSuperSet).items; };
  EXPECT_EQ(entries(Config_Window::Dovrane3).size(), 101u);
  EXPECT_EQ(entries(Config_Window::Dovrane3)[99], "99 User defined");
  EXPECT_EQ(entries(Config_Window::Mirolex2)[99], "99 User defined");
  s.OEM_Mode = s.identity.Dovrane_IV_VI_Flag = s.identity.Mirolex_III_Flag = true;
  EXPECT_EQ(entries(Config_Window::Dovrane3).size(), 105u);
  EXPECT_EQ(entries(Config_Window::Dovrane3)[104], "104 *Special: Rerodezizo, Inc. with menu");
  EXPECT_EQ(entries(Config_Window::Dovrane3)[99], "99 Reserved");
  EXPECT_EQ(entries(Config_Window::Mirolex2)[99], "99 Reserved");
  EXPECT_EQ(entries(Config_Window::Mirolex2).size(), 101u);
  s.identity.Quorral_III_Flag = true;
  EXPECT_EQ(SuperSet_Form(s, Config_Window::KORV_form).List(SuperSet_Box::CmbSuperSet).items[98], "98 Reserved");
}

TEST(NativeWindowModel, LoadingReadsTheTabletUnderPleaseWaitThenOffersTheSaveEntries) {
  Routed r("mirolex2");
  EXPECT_EQ(r.model.Caption(), "KORV Mensaro, Mirolex II Advanced Configuration");
  std::vector<std::string> progress;
  bool save_offered_while_reading = false;
  r.model.On_Change = [&] {
    const Config_Activity& a = r.model.Activity();
    if (!a.Please_Wait.Shown) return;
    EXPECT_EQ(a.Please_Wait.Wait_Text, "Reading Tablet Settings");
    EXPECT_TRUE(a.Hourglass);
    save_offered_while_reading |= r.model.Entry("CmdSavePon")->enabled;
    if (progress.empty() || progress.back() != a.Please_Wait.Wait_Progress) progress.push_back(a.Please_Wait.Wait_Progress);
  };
  EXPECT_EQ(r.model.Load(), Config_Load_Result::Shown);
  std::vector<std::string> expected = {"", " 100", " 0"};
  for (int nn = 90; nn <= 99; ++nn) expected.push_back(" " + std::to_string(nn));
  EXPECT_EQ(progress, expected);
  EXPECT_FALSE(save_offered_while_reading);
  EXPECT_EQ(r.model.Last_Result(), Native_Result::Done);
  EXPECT_EQ(r.model.Form().Selected_SuperSet(), 0);
  EXPECT_FALSE(r.model.Activity().Please_Wait.Shown);
  EXPECT_FALSE(r.model.Activity().Hourglass);
  for (const char* name : {"CmdChange", "CmdSavePon", "CmdSaveUser"}) EXPECT_TRUE(r.model.Entry(name)->enabled) << name;
  EXPECT_EQ(r.Writes().back(), Esc_Hex("%VF"));
  EXPECT_FALSE(r.b.session.main.Visible);
}

TEST(NativeWindowModel, DovraneStartUpCommandsEndTheProgram) {
  Routed select("dovrane3", "prx /ss5");
  EXPECT_EQ(select.model.Load(), Config_Load_Result::Ended);
  EXPECT_EQ(select.model.Form().Selected_SuperSet(), 5);
  EXPECT_EQ(select.model.Form().Working_Record(), select.model.Form().Table()[5]);
  EXPECT_TRUE(select.Writes().empty());
  EXPECT_EQ(select.end_calls, 1);

  Routed beyond("dovrane3", "/SS150");
  EXPECT_EQ(beyond.model.Load(), Config_Load_Result::Ended);
  EXPECT_EQ(beyond.model.Form().Selected_SuperSet(), 0) << "no such entry: nothing selected";
  EXPECT_TRUE(beyond.Writes().empty());

  Routed write("dovrane3", "/S");
  EXPECT_EQ(write.model.Load(), Config_Load_Result::Ended);
  const std::string image = Image_Text(SuperSet_To_Image(write.model.Form().Table()[0]));
  EXPECT_EQ(write.Writes(), (std::vector<std::string>{Esc_Hex("%__S"), Esc_Hex("%__s" + image), Esc_Hex("%VF1")}));
  EXPECT_EQ(write.Log(), "Sent: ESC%__s\rSent: %VF1\r");
  write.Settle();
  EXPECT_EQ(write.tablet->Power_Up_Image(), image + "\r\n");
  EXPECT_TRUE(write.b.session.End_Requested);

  Routed mirolex("mirolex2", "/SS5");
  EXPECT_EQ(mirolex.model.Load(), Config_Load_Result::Shown) << "the Mirolex II window has no start-up commands";
}

TEST(NativeWindowModel, SaveTemporaryAsksTwiceAndYesKeepsTheSettingsAndEnds) {
  Routed r("mirolex2");
  r.model.Load();
  r.b.trace.clear();
  r.b.prompter.Set_Positive(true);
  EXPECT_EQ(r.model.Run("CmdChange"), Command_Runner::Outcome::Ran);
  ASSERT_EQ(r.b.prompter.asked.size(), 2u);
  EXPECT_EQ(r.b.prompter.asked[0].text,
            "This will temporarily change the Tablet's settings.\r\nIf the power is cycled or a new Super Set is "
            "selected, these settings will be lost.\r\nDo you want to continue?");
  EXPECT_EQ(r.b.prompter.asked[1].text,
            "For these settings to take effect you must exit now!\r\r\nDo you want to to exit and use these settings?");
  EXPECT_EQ(r.b.prompter.asked[1].title, "Warning!");
  const auto writes = r.Writes();
  ASSERT_EQ(writes.size(), 6u);
  EXPECT_EQ(writes[1], Esc_Hex("%__s" + Image_Text(SuperSet_To_Image(r.model.Form().Table()[0]))));
  EXPECT_EQ(std::vector<std::string>(writes.end() - 3, writes.end()), (std::vector<std::string>{Esc_Hex("%VF"), Esc_Hex("%A1"), Esc_Hex("%VF")}));
  EXPECT_TRUE(r.b.session.Keep_Settings_On_Exit);
  EXPECT_TRUE(r.model.Close_Requested());
  EXPECT_EQ(r.model.On_Closed(), Config_Close_Result::End_Program);
  EXPECT_EQ(r.end_calls, 1) << "the program end is asked for once";
}

// Remembers Keep_Settings_On_Exit as each question is asked.
struct Watching_Prompter : Prompter {
  explicit Watching_Prompter(Session*& s) : s_(s) {}
  Answer Ask(const Question& q) override {
    asked.push_back(q.text);
    keep_when_asked.push_back(s_->Keep_Settings_On_Exit);
    return answer;
  }
  Session*& s_;
  Answer answer = Answer::No;
  std::vector<std::string> asked;
  std::vector<bool> keep_when_asked;
};

TEST(NativeWindowModel, ExitClearsKeepBeforeAskingAndYesEndsTheProgram) {
  test::Sim_Bench b;
  Session* session = nullptr;
  Watching_Prompter prompter(session);
  Session s(b.clock, b.ports, prompter);
  session = &s;
  s.identity.Mirolex_III_Flag = true;
  Native_Window_Model m(s, Config_Window::Mirolex2);
  s.Keep_Settings_On_Exit = true;
  EXPECT_EQ(m.Run("CmdExit"), Command_Runner::Outcome::Ran);
  EXPECT_EQ(prompter.asked, std::vector<std::string>{"Power On settings will be activated!\r\nDo you want to continue?"});
  EXPECT_EQ(prompter.keep_when_asked, std::vector<bool>{false});
  EXPECT_FALSE(m.Close_Requested());
  prompter.answer = Answer::Yes;
  m.Run("CmdExit");
  EXPECT_TRUE(m.Close_Requested());
  EXPECT_TRUE(s.End_Requested);
  EXPECT_EQ(m.On_Closed(), Config_Close_Result::End_Program);
  EXPECT_FALSE(s.identity.Mirolex_III_Flag);
}

TEST(NativeWindowModel, CloseBoxEndsAndCloseWindowSearchesAgain) {
  Routed box("dovrane4");
  ASSERT_TRUE(box.b.session.identity.Dovrane_IV_VI_Flag);
  EXPECT_EQ(box.model.On_Closed(), Config_Close_Result::End_Program);
  EXPECT_FALSE(box.b.session.identity.Dovrane_IV_VI_Flag);
  EXPECT_EQ(box.end_calls, 1);

  Routed back("mirolex3");
  back.model.Load();
  back.b.trace.clear();
  EXPECT_EQ(back.model.Run("Close_Window"), Command_Runner::Outcome::Ran);
  EXPECT_EQ(back.model.On_Closed(), Config_Close_Result::Back_To_Main);
  EXPECT_FALSE(back.b.trace.empty()) << "the port is searched again";
  EXPECT_TRUE(back.b.session.main.Visible);
  EXPECT_EQ(back.end_calls, 0);
}

TEST(NativeWindowModel, RestoreFactoryWritesTheTableFileThenReads) {
  Routed r("mirolex2");
  r.model.Load();
  r.b.prompter.Set_Positive(true);
  EXPECT_EQ(r.model.Run("cmddef"), Command_Runner::Outcome::Ran);
  EXPECT_EQ(r.model.Last_Result(), Native_Result::Done);
  ASSERT_EQ(r.b.prompter.asked.size(), 2u);
  EXPECT_EQ(r.b.prompter.asked[0].text, Save_Power_On_Text);
  EXPECT_EQ(r.b.prompter.asked[1].text, Save_Custom_Text);
  SuperSet_Table factory{};
  TABLES(r.b.session, Config_Window::Mirolex2, factory);
  EXPECT_EQ(r.tablet->Power_Up_Image(), Image_Text(SuperSet_To_Image(factory[0])) + "\r\n");
  for (int nn = 90; nn <= 99; ++nn)
    EXPECT_EQ(r.tablet->User_Image(nn), Image_Text(SuperSet_To_Image(factory[nn]))) << nn;
  EXPECT_EQ(r.Writes().back(), Esc_Hex("%VF")) << "then read back";

  Routed no("mirolex2");
  no.model.Load();
  no.b.trace.clear();
  EXPECT_EQ(no.model.Run("cmddef"), Command_Runner::Outcome::Ran);
  EXPECT_EQ(no.model.Last_Result(), Native_Result::Declined);
  EXPECT_TRUE(no.Writes().empty());
}

}  // namespace
}  // namespace stylomat
