// The monitor: its start, the packets it shows, the proximity message, its
// stop and unload, and Reset_Main_State closing the link.
#include "wintab/wintab_monitor.h"

#include <gtest/gtest.h>

#include "discovery/reset_tablet.h"
#include "discovery/system_refresh.h"
#include "discovery/wintab_search.h"
#include "support/scripted_wintab.h"
#include "support/sim_fixture.h"

namespace stylomat {
namespace {

struct Monitor_Bench {
  Monitor_Bench() {
    sim.session.wintab.driver = &driver;
    driver.Pen_Tablet();
    WT_Info_Command(sim.session);
  }
  Session& s() { return sim.session; }
  Wintab_Monitor_State& f() { return sim.session.wintab.WT_Testing; }
  // Runs Mon_Start; `during` runs at each pass's window events, the n-th
  // time with n counted from 1, and the loop stops after `passes`.
  void Run(int passes, const std::function<void(int)>& during = {}) {
    int pass = 0;
    sim.front_end.events = [&] {
      ++pass;
      if (during) during(pass);
      if (pass >= passes) s().wintab.Monitor_Stop_Request = true;
    };
    Mon_Start(s());
    sim.front_end.events = nullptr;
  }
  test::Sim_Bench sim;
  test::Scripted_Wintab driver;
};

TEST(WintabMonitor, PacketsFillTheLiveFieldsAndChooseTheirCursor) {
  Monitor_Bench b;
  EXPECT_TRUE(b.f().Shown);
  EXPECT_FALSE(b.s().main.Grid_btn.enabled);
  b.driver.packets.push_back({0, 0, 5, 1200, 3400, 0x1FFFF});  // pressure by its low 16 bits: -1
  b.Run(1, [&](int) {
    EXPECT_FALSE(b.f().Mon_Start.visible);
    EXPECT_TRUE(b.f().Mon_Stop.visible && b.f().Mon_Stop.enabled);
  });
  EXPECT_EQ(b.f().Monitor_Prox, "True");
  EXPECT_EQ(b.f().Monitor_Btn, "5");
  EXPECT_EQ(b.f().Monitor_X, "1200");
  EXPECT_EQ(b.f().Monitor_Y, "3400");
  EXPECT_EQ(b.f().Monitor_Pres, "-1");
  EXPECT_EQ(b.f().Monitor_Cur, "0");
  EXPECT_EQ(b.f().Monitor_Cur_Name, "Pressure Stylus");  // trimmed
  EXPECT_EQ(b.f().Cursor_ID_Selected, 0);
  EXPECT_EQ(b.f().Cursor_N_Btn_Lb.text, "3");
  EXPECT_EQ(b.f().Cursor_Pr_Btn_Lb.text, "True");
  EXPECT_FALSE(b.f().Cursor_Note_LB.visible);
  // The context opened: the default one with the program's packet fields.
  EXPECT_EQ(b.driver.opened.PktData, 0x5E2u);
  EXPECT_EQ(b.driver.opened.Name, "Default");
}

TEST(WintabMonitor, ACursorAbove100UpdatesEverythingButTheName) {
  Monitor_Bench b;
  b.driver.packets.push_back({0, 0, 1, 10, 20, 30});
  b.driver.packets.push_back({1, 101, 2, 11, 21, 0});
  b.Run(2);
  EXPECT_EQ(b.f().Monitor_Cur, "101");
  EXPECT_EQ(b.f().Monitor_Cur_Name, "Pressure Stylus");
  EXPECT_EQ(b.f().Monitor_Prox, "False");
  EXPECT_EQ(b.f().Monitor_X, "11");
  EXPECT_EQ(b.f().Cursor_ID_Selected, 0);
}

TEST(WintabMonitor, TheProximityMessageSetsProxFalseUntilTheNextPacket) {
  Monitor_Bench b;
  b.s().main.LabelProx_Filled = true;
  b.Run(3, [&](int pass) {
    Wintab_Message_Window& window = *b.driver.windows.back();
    if (pass == 1) {
      EXPECT_EQ(window.Send_Message(0x7FF5, 1, 1), 0);  // entering, all the same
      EXPECT_EQ(b.f().Monitor_Prox, "False");
      EXPECT_FALSE(b.s().main.LabelProx_Filled);
      b.driver.packets.push_back({0, 0, 0, 1, 1, 0});
    }
    if (pass == 2) {
      EXPECT_EQ(b.f().Monitor_Prox, "True");
    }
  });
  // Unhooked after the stop: the message goes to the window's own procedure.
  Mon_Stop(b.s());
  b.f().Monitor_Prox = "True";
  b.driver.windows.back()->Send_Message(0x7FF5, 1, 0);
  EXPECT_EQ(b.f().Monitor_Prox, "True");
}

TEST(WintabMonitor, StopAndStartOpenAFreshManagerAndContext) {
  Monitor_Bench b;
  b.Run(1);
  Mon_Stop(b.s());
  EXPECT_TRUE(b.f().Mon_Start.visible && !b.f().Mon_Stop.visible);
  b.Run(1);
  EXPECT_EQ(b.driver.calls, (std::vector<std::string>{"WTMgrOpen 1", "WTOpen 2", "WTMgrClose 1", "WTClose 2",
                                                      "WTMgrOpen 3", "WTOpen 4"}));
  // Reset_Main_State unloads the window and closes the link.
  Reset_Main_State(b.s());
  EXPECT_EQ(b.driver.calls.back(), "WTClose 4");
  EXPECT_FALSE(b.f().Loaded);
  EXPECT_EQ(b.f().Monitor_X, "");
}

TEST(WintabMonitor, StartFailuresShowTheirMessagesAndPutTheButtonsBack) {
  Monitor_Bench no_manager;
  no_manager.driver.managers_open = false;
  no_manager.Run(1);
  const auto& asked = no_manager.sim.prompter.asked;
  ASSERT_EQ(asked.size(), 2u);
  EXPECT_EQ(asked[0].text, "Wintab Messaging Could not be Established, Proximity Data Disabled!");
  EXPECT_EQ(asked[1].text, "Proximity data has been Disabled!\rThe Pentara-Cx driver doesn't support Windows Messaging");
  EXPECT_EQ(asked[1].title, "WTMgrOpen");
  EXPECT_FALSE(no_manager.s().Wintab_Present);

  Monitor_Bench no_context;
  no_context.driver.contexts_open = false;
  Mon_Start(no_context.s());
  EXPECT_EQ(no_context.sim.prompter.asked.back().text, "Wintab Device Found but Could Not establish Communication!");
  EXPECT_TRUE(no_context.f().Mon_Start.visible && !no_context.f().Mon_Stop.visible);
  EXPECT_EQ(no_context.driver.calls, (std::vector<std::string>{"WTMgrOpen 1", "WTMgrClose 1"}));

  Monitor_Bench no_device;
  no_device.driver.answers.erase({3, 0});
  Mon_Start(no_device.s());
  EXPECT_EQ(no_device.sim.prompter.asked.back().text, "Wintab Driver Found but No Device could be Located!");
  EXPECT_TRUE(no_device.driver.calls.empty());
}

TEST(WintabMonitor, TheSystemRefreshLooksForTheDriver) {
  test::Sim_Bench sim;
  test::Scripted_Wintab driver;
  sim.session.wintab.driver = &driver;
  Refresh_System_Information(sim.session);
  EXPECT_NE(sim.Log().find("\rWintab files found!\r"), std::string::npos);
  EXPECT_TRUE(sim.session.main.TW_Check_Enabled);
  driver.loads = false;
  Refresh_System_Information(sim.session);
  EXPECT_NE(sim.Log().find("\rNo Wintab files are present!\r"), std::string::npos);
  EXPECT_FALSE(sim.session.main.L_TW_Check.visible);
}

}  // namespace
}  // namespace stylomat
