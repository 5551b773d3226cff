// KORV_form's loading sequence on a Quorral III found by the port search,
// its start-up commands and its closing rules.
#include <gtest/gtest.h>

#include "discovery/port_search.h"
#include "serial/serial_link.h"
#include "sim/korv_command_state.h"
#include "superset/factory_tables.h"
#include "superset/korv_form_model.h"
#include "support/sim_fixture.h"

namespace stylomat {
namespace {

// A Quorral III on COM2, found by its port icon as the main window does.
struct Found_Quorral {
  explicit Found_Quorral(const std::string& command_line = "", const std::string& profile = "quorral3") {
    Session& s = b.session;
    s.App_Dir = std::string(STYLOMAT_SOURCE_DIR) + "/data";
    s.Command_Line = command_line;
    Simulated_Port& port = b.Attach_Profile(2, profile);
    tablet = dynamic_cast<Type5_Tablet*>(&port.Device());
    state = tablet ? dynamic_cast<KORV_Command_State*>(tablet->Handler()) : nullptr;
    Port_Icon_Command(s, 2);
    b.front_end.end = [this] { ++end_calls; };
    b.trace.clear();
  }

  std::vector<std::string> Writes() const {
    std::vector<std::string> out;
    for (const std::string& e : b.Trace_Of("TX")) out.push_back(e.substr(3));
    return out;
  }

  test::Sim_Bench b;
  Type5_Tablet* tablet = nullptr;
  KORV_Command_State* state = nullptr;
  int end_calls = 0;
};

TEST(KorvFormLoader, LoadsFileListsEntryZeroAndReadsTheTablet) {
  Found_Quorral q;
  ASSERT_NE(q.state, nullptr);
  Session& s = q.b.session;
  ASSERT_EQ(s.Search_Status, 0);
  ASSERT_TRUE(s.identity.Quorral_III_Flag) << "routing marks the Quorral III";
  q.state->Set_Stored(95, {0x32, 0x40, 0x51, 0x07});

  KORV_Form_Model model(s);
  std::vector<bool> please_wait;
  model.On_Change = [&] {
    const bool shown = model.Activity().Please_Wait.Shown;
    if (please_wait.empty() || please_wait.back() != shown) please_wait.push_back(shown);
  };
  // The whole read (its count-down, pauses and rows) is the protocol's own test.
  EXPECT_EQ(model.Load(), Config_Load_Result::Shown);

  EXPECT_EQ(model.Caption(), "Advanced Configuration");
  EXPECT_EQ(model.Entry("Read_User")->caption, "Read &User Settings (90-98)");
  EXPECT_FALSE(s.main.Visible);
  const SuperSet_Form& form = model.Form();
  EXPECT_EQ(form.List(SuperSet_Box::CmbSuperSet).items[98], "98 Reserved");
  EXPECT_EQ(form.Selected_SuperSet(), 0) << "the read ends on the Power On setting";
  EXPECT_EQ(form.Table()[95], (SuperSet_Record{0x32, 0x40, 0x51, 0x23})) << "user rows stored back re-encoded";
  EXPECT_EQ(please_wait, (std::vector<bool>{false, true, false}));
  EXPECT_EQ(model.Activity().Please_Wait.Wait_Text, "Reading Tablet Settings");
  EXPECT_FALSE(model.Activity().Hourglass);
  EXPECT_FALSE(model.Entry("Save_User")->enabled) << "entry 0 is no user SuperSet";
  EXPECT_EQ(q.Writes().size(), 1u + 100 * 5 + 1) << "one 01, the 100 reads (RR CR nn CR), one ESC";
  EXPECT_FALSE(s.End_Requested);
}

TEST(KorvFormLoader, FactoryUserRowsComeFromTheFileBeforeTheRead) {
  Found_Quorral q;
  ASSERT_NE(q.state, nullptr);
  KORV_Form_Model model(q.b.session);
  model.Prepare();
  EXPECT_EQ(model.Form().Selected_SuperSet(), 0);
  for (int n = 90; n <= 98; ++n) EXPECT_EQ(model.Form().Table()[n], (SuperSet_Record{0x82, 0x52, 0x40, 0x00})) << n;
  EXPECT_EQ(model.Form().Table()[99], (SuperSet_Record{})) << "99 is the Quorral III's own: not from the file";
  EXPECT_TRUE(q.b.trace.empty()) << "preparing sends nothing";
}

// A start-up command runs instead of the read and ends the program.
TEST(KorvFormLoader, StartUpCommandsRunAloneAndEndTheProgram) {
  using Strings = std::vector<std::string>;
  const struct {
    const char* command_line;
    bool found;  // the search found the tablet
    Strings writes;
    int power_up;
    SuperSet_Record zero;  // SuperSet 00 afterwards
  } cases[] = {
      {"/ss7", true, {"1B", "01 45 53 0D", "30 37", "1B"}, 7, Factory_Record(Config_Window::KORV_form, 7)},
      // Both commands on the line: only "/SS" runs.
      {"stylomat /SW32,40,51,07 /SS12", true, {"1B", "01 45 53 0D", "31 32", "1B"}, 12,
       Factory_Record(Config_Window::KORV_form, 12)},
      {"/SS123", true, {}, 1, Factory_Record(Config_Window::KORV_form, 1)},  // beyond 99: nothing
      // The write is read back once, no 0-99 read follows.
      {"/sw32,40,51,07", true, {"1B", "01", "7A", "61", "0D", "32", "40", "51", "07", "01", "4C", "53", "0D", "30 30",
                               "0D", "1B", "01", "52", "52", "0D", "30 30", "0D", "1B"},
       1, {0x32, 0x40, 0x51, 0x07}},
      {"/SW32,40,51,07", false, {}, 1, Factory_Record(Config_Window::KORV_form, 1)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.command_line);
    Found_Quorral q(c.command_line);
    if (!c.found) q.b.session.Search_Status = -1;
    KORV_Form_Model model(q.b.session);
    EXPECT_EQ(model.Load(), Config_Load_Result::Ended);
    EXPECT_EQ(q.Writes(), c.writes);
    EXPECT_TRUE(q.b.session.End_Requested);
    EXPECT_EQ(q.end_calls, 1);
    q.b.clock.Advance(0.1);
    EXPECT_EQ(q.state->Power_Up_SuperSet(), c.power_up);
    EXPECT_EQ(q.state->Stored(0), c.zero);
  }
}

TEST(KorvFormLoader, StartUpCommandTextIsReadByPosition) {
  using Kind = KORV_Startup_Command::Kind;
  EXPECT_EQ(Parse_KORV_Startup("").kind, Kind::None);
  EXPECT_EQ(Parse_KORV_Startup("D OEM /S").kind, Kind::None);
  auto c = Parse_KORV_Startup("/ss7");
  EXPECT_EQ(c.kind, Kind::Select);
  EXPECT_EQ(c.superset, 7);
  EXPECT_EQ(Parse_KORV_Startup("/SS1 2").superset, 12) << "blanks are skipped";
  EXPECT_EQ(Parse_KORV_Startup("/SS 9x").superset, 9);
  EXPECT_EQ(Parse_KORV_Startup("/SSx5").superset, 0);
  EXPECT_EQ(Parse_KORV_Startup("/SS").superset, 0);
  EXPECT_EQ(Parse_KORV_Startup("/SS1234").superset, 123) << "three characters only";
  c = Parse_KORV_Startup("/sw3a;4f.51-0g");
  EXPECT_EQ(c.kind, Kind::Write);
  EXPECT_EQ(c.record, (SuperSet_Record{0x3A, 0x4F, 0x51, 0x00})) << "separators unchecked, G ends the value";
  EXPECT_EQ(Parse_KORV_Startup("/SW32,4").record, (SuperSet_Record{0x32, 0x04, 0, 0})) << "short line: empty is 0";
  EXPECT_EQ(Parse_KORV_Startup("/SW").record, (SuperSet_Record{}));
}

TEST(KorvFormLoader, ClosingClearsTheQuorralFlagAndEndsUnlessReturningToMain) {
  Found_Quorral q;
  Session& s = q.b.session;
  s.OEM_Mode = true;
  s.main.Show_Debug_Window.checked = true;
  KORV_Form_Model model(s);
  model.Prepare();
  EXPECT_EQ(model.Caption(), "Advanced Configuration OEM");
  EXPECT_TRUE(model.Debug_Window_Checked());
  EXPECT_EQ(model.Run("Show_Debug_Window"), Command_Runner::Outcome::Ran);  // the user hid the log
  EXPECT_FALSE(s.main.Show_Debug_Window.checked);
  EXPECT_EQ(model.Run("Close_Window"), Command_Runner::Outcome::Ran);
  EXPECT_TRUE(model.Close_Requested());
  // Back in the main window the port is searched again; the flag is clear
  // when that search starts, and the search marks the Quorral III anew.
  std::vector<bool> flag_during_search;
  q.b.front_end.events = [&] { flag_during_search.push_back(s.identity.Quorral_III_Flag); };
  s.Search_Status = -1;
  EXPECT_EQ(model.On_Closed(), Config_Close_Result::Back_To_Main);
  q.b.front_end.events = nullptr;
  ASSERT_FALSE(flag_during_search.empty()) << "the port was searched again";
  EXPECT_FALSE(flag_during_search.front());
  EXPECT_EQ(s.Search_Status, 0) << "the search found the tablet again";
  EXPECT_EQ(s.Port_Number, 2);
  EXPECT_TRUE(s.identity.Quorral_III_Flag);
  EXPECT_FALSE(s.Return_To_Main);
  EXPECT_FALSE(s.main.Show_Debug_Window.checked);
  EXPECT_TRUE(s.main.Visible);
  EXPECT_FALSE(s.End_Requested);

  Found_Quorral e;
  e.b.session.Keep_Settings_On_Exit = true;
  KORV_Form_Model exiting(e.b.session);
  exiting.Prepare();
  EXPECT_EQ(exiting.Run("CmdExit"), Command_Runner::Outcome::Ran);
  EXPECT_TRUE(exiting.Close_Requested());
  EXPECT_FALSE(e.b.session.Keep_Settings_On_Exit);
  EXPECT_EQ(exiting.On_Closed(), Config_Close_Result::End_Program);
  EXPECT_FALSE(e.b.session.identity.Quorral_III_Flag);
  EXPECT_TRUE(e.b.session.End_Requested);
  EXPECT_EQ(e.end_calls, 1);
  EXPECT_TRUE(e.b.trace.empty()) << "leaving the program searches nothing";
}

}  // namespace
}  // namespace stylomat
