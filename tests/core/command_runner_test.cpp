// Which command may start while another runs: the window stays usable
// during a search or the grid test, and no two operations talk to the
// tablet at once.
#include "core/command_runner.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace stylomat {
namespace {

using Outcome = Command_Runner::Outcome;

struct Runner_Bench {
  Runner_Bench() {
    runner.Set("Find_Tablet", [this] { Inside("Find_Tablet"); });
    runner.Set("Grid_btn", [this] { Inside("Grid_btn"); }, Command_Mode::Grid_Test);
    runner.Set("CmdRead", [this] { Inside("CmdRead"); }, Command_Mode::Configuration);
    runner.Set("Show_Debug_Window", [this] { ran.push_back("Show_Debug_Window"); }, Command_Mode::Command,
               Mode_Set::Any_Mode());
    runner.Set("Clear_Grid", [this] { ran.push_back("Clear_Grid"); }, Command_Mode::Command,
               {Command_Mode::Grid_Test});
    runner.On_Busy_Change = [this] { busy_changes.push_back(runner.Mode()); };
  }
  // While a command runs, the user tries the entries named in `attempts`.
  void Inside(const std::string& name) {
    ran.push_back(name);
    for (const std::string& other : attempts) outcomes.push_back(runner.Run(other));
  }

  Command_Runner runner;
  std::vector<std::string> attempts;
  std::vector<std::string> ran;
  std::vector<Outcome> outcomes;
  std::vector<Command_Mode> busy_changes;
};

TEST(Command_Runner, WhatMayStartDependsOnWhatRuns) {
  struct Case {
    const char* running;
    std::vector<Outcome> expected;  // Find_Tablet, Grid_btn, Show_Debug_Window, Clear_Grid, CmdRead
  };
  const std::vector<Case> cases = {
      {"Find_Tablet", {Outcome::Refused, Outcome::Refused, Outcome::Ran, Outcome::Refused, Outcome::Refused}},
      {"Grid_btn", {Outcome::Refused, Outcome::Refused, Outcome::Ran, Outcome::Ran, Outcome::Refused}},
      {"CmdRead", {Outcome::Refused, Outcome::Refused, Outcome::Ran, Outcome::Refused, Outcome::Refused}},
  };
  for (const Case& c : cases) {
    Runner_Bench b;
    b.attempts = {"Find_Tablet", "Grid_btn", "Show_Debug_Window", "Clear_Grid", "CmdRead"};
    EXPECT_EQ(b.runner.Run(c.running), Outcome::Ran);
    EXPECT_EQ(b.outcomes, c.expected) << c.running;
    EXPECT_FALSE(b.runner.Running());
    EXPECT_EQ(b.runner.Mode(), Command_Mode::Idle);
  }
}

TEST(Command_Runner, IdleRunsAnythingAndTheBusyStateFollowsEveryStartAndEnd) {
  Runner_Bench b;
  EXPECT_TRUE(b.runner.May_Run("Clear_Grid"));
  EXPECT_EQ(b.runner.Run("Clear_Grid"), Outcome::Ran);
  b.attempts = {"Show_Debug_Window"};
  EXPECT_EQ(b.runner.Run("Grid_btn"), Outcome::Ran);
  // Started idle, the grid test, the log entry inside it, back to the
  // test, idle.
  EXPECT_EQ(b.busy_changes,
            (std::vector<Command_Mode>{Command_Mode::Command, Command_Mode::Idle, Command_Mode::Grid_Test,
                                       Command_Mode::Command, Command_Mode::Grid_Test, Command_Mode::Idle}));
  EXPECT_EQ(b.ran, (std::vector<std::string>{"Clear_Grid", "Grid_btn", "Show_Debug_Window"}));
}

TEST(Command_Runner, AFailingCommandReportsWhyAndLeavesTheRunnerIdle) {
  Command_Runner runner;
  runner.Set("Reset_Tbl", [] { throw std::runtime_error("device vanished"); });
  EXPECT_EQ(runner.Run("Reset_Tbl"), Outcome::Failed);
  EXPECT_EQ(runner.Failure(), "device vanished");
  EXPECT_FALSE(runner.Running());
  EXPECT_EQ(runner.Run("Nothing_Here"), Outcome::Unknown);
  runner.Set("Empty", nullptr);
  EXPECT_FALSE(runner.Has("Empty"));
  EXPECT_EQ(runner.Run("Empty"), Outcome::Unknown);
}

TEST(Command_Runner, MenusAskWhetherAnEntryMayStartInTheModeShown) {
  Runner_Bench b;
  // A window that is busy without a running command (start-up) lets only
  // the entries through that may run alongside an ordinary command.
  EXPECT_TRUE(b.runner.Runs_Alongside("Show_Debug_Window", Command_Mode::Idle));
  EXPECT_FALSE(b.runner.Runs_Alongside("Clear_Grid", Command_Mode::Idle));
  EXPECT_TRUE(b.runner.Runs_Alongside("Clear_Grid", Command_Mode::Grid_Test));
  EXPECT_FALSE(b.runner.Runs_Alongside("Find_Tablet", Command_Mode::Grid_Test));
  EXPECT_FALSE(b.runner.Runs_Alongside("Unknown", Command_Mode::Grid_Test));
}

}  // namespace
}  // namespace stylomat
