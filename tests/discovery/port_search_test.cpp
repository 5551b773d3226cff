#include "discovery/port_search.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "core/search_animation.h"
#include "discovery/probe_superset.h"
#include "serial/serial_link.h"
#include "sim/profiles.h"
#include "sim/superset_tablet.h"
#include "support/sim_fixture.h"

namespace stylomat {
namespace {

using test::Log_Lines;
using test::Sim_Bench;

std::size_t Count(const std::string& text, const std::string& what) {
  std::size_t n = 0;
  for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

// COM numbers that were opened, in order, without repeats in a row.
std::vector<std::string> Opened_Ports(const Sim_Bench& b) {
  std::vector<std::string> out;
  for (const std::string& e : b.Trace_Events()) {
    if (e.find(" OPEN ") == std::string::npos) continue;
    const std::string com = e.substr(0, e.find(' '));
    if (out.empty() || out.back() != com) out.push_back(com);
  }
  return out;
}

SuperSet_Tablet* Attach_Tablet(Sim_Bench& b, int com, const std::string& profile, Sim_Faults faults = {}) {
  auto device = Find_Sim_Profile(profile)->make();
  auto* tablet = dynamic_cast<SuperSet_Tablet*>(device.get());
  b.Attach(com, std::move(device), faults);
  return tablet;
}

void Scan_All(Sim_Bench& b) {
  b.session.Port_Number = 0;
  Scan_Ports(b.session);
  b.trace.clear();
}

TEST(Search_All_Ports, PassesUnavailablePortsAndStopsAfterTheLastAvailableOne) {
  Sim_Bench b;
  for (int com : {1, 2, 4, 6, 7, 8}) b.Attach_Missing(com);
  b.Attach_Profile(3, "empty");
  b.Attach_Profile(5, "empty");
  Scan_All(b);
  const std::size_t log_start = b.Log().size();

  EXPECT_EQ(Search_All_Ports(b.session), 0);

  EXPECT_EQ(Opened_Ports(b), (std::vector<std::string>{"COM3", "COM5"}));
  const std::string log = b.Log().substr(log_start);
  EXPECT_EQ(log.find("Searching Serial Port 1:"), std::string::npos);
  EXPECT_EQ(log.find("Searching Serial Port 4:"), std::string::npos);
  EXPECT_EQ(log.find("Searching Serial Port 6:"), std::string::npos);
  const auto at3 = log.find("\rSearching Serial Port 3:\r");
  const auto miss3 = log.find("Com 3, No Tablet Found\r");
  const auto at5 = log.find("\rSearching Serial Port 5:\r");
  const auto miss5 = log.find("Com 5, No Tablet Found\r");
  ASSERT_NE(at3, std::string::npos);
  ASSERT_NE(at5, std::string::npos);
  EXPECT_LT(at3, miss3);
  EXPECT_LT(miss3, at5);
  EXPECT_LT(at5, miss5);
  EXPECT_NE(miss5, std::string::npos);

  const Main_Window_State& m = b.session.main;
  EXPECT_TRUE(m.ErrorMsg.visible);
  EXPECT_EQ(
      m.ErrorMsg.text,
      "No Supported Serial Tablet Was Found On Serial Port 5!   Make sure the tablet is plugged in,  powered on,  "
      "and all tablet drivers have been removed or disabled.\r\rSelect an icon above to search for a Supported "
      "Tablet (F2).");
  EXPECT_EQ(b.session.Search_Status, -1);
  EXPECT_FALSE(b.session.port.PortOpen());
  // The please-wait window is gone and the main window back.
  EXPECT_FALSE(b.session.splash.Up);
  EXPECT_TRUE(m.Visible);
  EXPECT_FALSE(m.Busy);
}

TEST(Search_All_Ports, StopsAtTheFirstTabletAndLogsItsFoundGroupTwice) {
  Sim_Bench b;
  b.Attach_Profile(2, "empty");
  b.Attach_Profile(5, "pallivant7");
  b.Attach_Profile(7, "dovrane4");
  Scan_All(b);

  EXPECT_EQ(Search_All_Ports(b.session), 5);

  EXPECT_EQ(Opened_Ports(b), (std::vector<std::string>{"COM2", "COM5"}));
  EXPECT_EQ(Count(b.Log(), "Found: Zeltavision, Pallivant VII\rSize: 12 x 18\r"), 2u);
  EXPECT_EQ(b.session.Search_Status, 0);
  EXPECT_TRUE(b.session.port.PortOpen());
  EXPECT_EQ(b.session.port.CommPort(), 5);
  EXPECT_EQ(b.session.main.CommPort.text, "5");
  EXPECT_FALSE(b.session.splash.Up);
  // An earlier port's miss is not left on show beside the result.
  EXPECT_FALSE(b.session.main.ErrorMsg.visible);
}

TEST(Search_Port, FoundTabletIsReportedWithFramingAndOffers) {
  Sim_Bench b;
  b.Attach_Profile(3, "dovrane4");
  b.session.Port_Number = 3;
  b.session.Debug_Mode = true;

  Search_Port(b.session);

  const auto lines = Log_Lines(b.Log());
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(lines[0], "");
  EXPECT_EQ(lines[1], "Searching Serial Port 3:");
  const auto framing = std::find(lines.begin(), lines.end(), "Framing: 19200,n,8,2");
  ASSERT_NE(framing, lines.end());
  EXPECT_EQ(*(framing + 1), "");
  EXPECT_EQ(*(framing + 2), "Found: KORV Mensaro, Dovrane IV");
  EXPECT_EQ(*(framing + 3), "Size: 12 x 18");
  EXPECT_EQ(*(framing + 4), "Format: 43,49,46,61,06,10,80");
  EXPECT_EQ(*(framing + 5), "Firmware: DVIV V1.07");
  const Main_Window_State& m = b.session.main;
  EXPECT_TRUE(m.Config_Tbl.visible);
  EXPECT_FALSE(m.Reset_Tbl.visible);
  EXPECT_TRUE(m.Grid_btn.enabled);
  EXPECT_FALSE(m.ErrorMsg.visible);
  EXPECT_TRUE(b.session.port.PortOpen());
}

TEST(Search_Port, SearchingAgainResetsTheTabletFirstAndFindsItAgain) {
  Sim_Bench b;
  SuperSet_Tablet* tablet = Attach_Tablet(b, 4, "mirolex2");
  b.session.Port_Number = 4;
  Search_Port(b.session);
  ASSERT_EQ(b.session.Search_Status, 0);
  const std::size_t mark = b.Log().size();

  Search_Port(b.session);

  EXPECT_EQ(b.session.Search_Status, 0);
  // The reset at 19200 baud brought the tablet back to its power-up framing,
  // where the wake-up finds it.
  const std::string log = b.Log().substr(mark);
  EXPECT_LT(log.find("\rReset Tablet:\r"), log.find("\rSearching Serial Port 4:\r"));
  EXPECT_NE(log.find("Found: KORV Mensaro, Mirolex II\r"), std::string::npos);
  const auto& heard = tablet->Commands();
  EXPECT_EQ(std::count(heard.begin(), heard.end(), "%VR"), 1);
  EXPECT_EQ(std::count(heard.begin(), heard.end(), "%__p"), 2);
}

TEST(Search_Port, DebugModeOffStillLogsTheSearchAndItsResult) {
  Sim_Bench b;
  b.Attach_Profile(6, "empty");
  b.session.Port_Number = 6;

  Search_Port(b.session);

  const auto lines = Log_Lines(b.Log());
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(lines[0], "");
  EXPECT_EQ(lines[1], "Searching Serial Port 6:");
  EXPECT_EQ(lines.back(), "Com 6, No Tablet Found");
  for (const std::string& line : lines) {
    EXPECT_NE(line.rfind("Sent: ", 0), 0u) << line;
    EXPECT_NE(line.rfind("From Tablet: ", 0), 0u) << line;
  }
  // Only the SuperSet probe: nothing but the search lines.
  Sim_Bench only;
  only.Attach_Profile(6, "empty");
  only.session.Port_Number = 6;
  Search_Port(only.session, Probe_Table{nullptr, Probe_SuperSet});
  EXPECT_EQ(only.Log(), "\rSearching Serial Port 6:\rCom 6, No Tablet Found\r");
}

TEST(Search_Port, BusyPortShowsThePortErrorAndRefreshesTheSystemInformation) {
  Sim_Bench b;
  b.Attach_Profile(4, "busy");
  b.Attach_Profile(6, "empty");
  std::vector<std::string> captions;
  b.front_end.splash = [&] { captions.push_back(b.session.splash.Caption); };
  b.session.Com_Available[4] = true;  // it was free when the ports were scanned

  Port_Icon_Command(b.session, 4);

  EXPECT_EQ(b.session.Search_Status, -2);
  EXPECT_EQ(b.session.main.ErrorMsg.text, "Comport Error, Comport may be in use by another application.");
  EXPECT_TRUE(b.session.main.ErrorMsg.visible);
  // The refresh restarts the animation as a search does, then takes its own caption.
  EXPECT_EQ(captions, (std::vector<std::string>{"Searching Serial Port  4", "Searching Serial Port  4",
                                                "Getting System Information"}));
  // The error line, then the system information and a fresh port scan.
  const std::string log = b.Log();
  const auto search = log.find("\rSearching Serial Port 4:\r");
  ASSERT_NE(search, std::string::npos);
  const auto error = log.find("Com 4, Comport Error, Refreshing System Info\r", search);
  ASSERT_NE(error, std::string::npos);
  const auto system = log.find("\rSystem:\r", error);
  ASSERT_NE(system, std::string::npos);
  EXPECT_NE(log.find("Com 6, Available\r", system), std::string::npos);
  EXPECT_FALSE(b.session.Com_Available[4]);
  EXPECT_TRUE(b.session.Com_Available[6]);
  EXPECT_FALSE(b.session.main.Com_Btn[4].visible);
  EXPECT_EQ(b.session.Port_Number, 0);  // the scan's idle value
  EXPECT_FALSE(b.session.port.PortOpen());
  EXPECT_FALSE(b.session.splash.Up);
  EXPECT_TRUE(b.session.main.Visible);
}

TEST(Search_Port, DeviceVanishingInTheMiddleOfTheProbeEndsAsAPortError) {
  // Only the SuperSet probe runs, so the times fall into its steps: the
  // wake-up, the questions, the size report.  The last case uses every
  // probe and vanishes early.
  const Probe_Table superset_only{nullptr, Probe_SuperSet};
  for (const double vanish_at : {0.3, 1.0, 1.2, 0.5}) {
    const bool all_probes = vanish_at == 0.5;
    Sim_Bench b;
    Sim_Faults faults;
    faults.vanish_at = vanish_at;
    Attach_Tablet(b, 3, "dovrane6", faults);
    b.session.Com_Available[3] = true;

    Port_Icon_Command(b.session, 3, all_probes ? Default_Probe_Table() : superset_only);

    EXPECT_EQ(b.session.Search_Status, -2) << vanish_at;
    EXPECT_EQ(b.session.main.ErrorMsg.text, Port_Error_Text()) << vanish_at;
    EXPECT_NE(b.Log().find("Com 3, Comport Error, Refreshing System Info\r"), std::string::npos) << vanish_at;
    EXPECT_FALSE(b.session.Com_Available[3]) << vanish_at;
    EXPECT_FALSE(b.session.port.PortOpen()) << vanish_at;
    EXPECT_FALSE(b.session.identity.SuperSet_Format) << vanish_at;
    EXPECT_FALSE(b.session.main.Config_Tbl.visible) << vanish_at;
    EXPECT_LT(b.Now(), 20.0) << vanish_at;
  }
}

TEST(Restore_Factory, ClosedPortShowsThePortErrorAndRefreshesTheSystemInformation) {
  Sim_Bench b;
  b.Attach_Profile(2, "dovrane3");
  b.session.Port_Number = 2;

  Restore_Factory(b.session);

  EXPECT_EQ(b.session.main.ErrorMsg.text, Port_Error_Text());
  EXPECT_TRUE(b.session.main.ErrorMsg.visible);
  const std::string log = b.Log();
  EXPECT_EQ(log.rfind("Com 2, Comport Error, Refreshing System Info\r\rSystem:\r", 0), 0u) << log;
  EXPECT_EQ(log.find("Restore Factory Defaults:"), std::string::npos);
  EXPECT_TRUE(b.session.Com_Available[2]);
  EXPECT_TRUE(b.Trace_Of("TX").empty());
  EXPECT_FALSE(b.session.splash.Up);
  EXPECT_TRUE(b.session.main.Visible);
  EXPECT_FALSE(b.session.main.Busy);
}

TEST(Restore_Factory, SuperSetTabletGetsEscVeAndIsProbedAndReportedAgain) {
  Sim_Bench b;
  SuperSet_Tablet* tablet = Attach_Tablet(b, 3, "orvanta");
  b.session.Debug_Mode = true;
  Port_Icon_Command(b.session, 3);
  ASSERT_EQ(b.session.Search_Status, 0);
  ASSERT_TRUE(b.session.main.Reset_Tbl.visible);  // no configuration window for this model
  const std::size_t mark = b.Log().size();
  b.trace.clear();

  Restore_Factory(b.session);

  EXPECT_EQ(tablet->Factory_Restores(), 1);
  EXPECT_EQ(b.session.Search_Status, 0);
  const auto lines = Log_Lines(b.Log().substr(mark));
  ASSERT_GE(lines.size(), 8u);
  EXPECT_EQ(lines[0], "");
  EXPECT_EQ(lines[1], "Restore Factory Defaults:");
  EXPECT_EQ(lines[2], "Sent: Esc%VE");
  EXPECT_EQ(lines[3], "");
  EXPECT_EQ(lines[4], "Reset Tablet:");
  EXPECT_EQ(lines[5], "Mensaro:");
  EXPECT_EQ(lines[6], "Sent: Esc%VR");
  EXPECT_EQ(lines[7], "");
  EXPECT_EQ(lines[8], "Wiggle: ");
  // After the probe: the restore's framing line, then the report's.
  const auto last_command = std::find(lines.begin(), lines.end(), "Sent: Esc%C0N81");
  ASSERT_NE(last_command, lines.end());
  EXPECT_EQ(*(last_command + 1), "Framing: 19200,n,8,2");
  EXPECT_EQ(*(last_command + 2), "Framing: 19200,n,8,2");
  EXPECT_EQ(*(last_command + 3), "");
  EXPECT_EQ(*(last_command + 4), "Found: Mensaro, Orvanta");
  EXPECT_TRUE(b.session.main.Reset_Tbl.visible);
  EXPECT_TRUE(b.session.port.PortOpen());
  EXPECT_EQ(b.session.port.Settings(), "19200,n,8,2");

  // "%VE" goes out at 19200 baud; the reset follows a quarter second, a
  // tick and two ticks later.
  const auto tx = b.Trace_Of("TX");
  ASSERT_GE(tx.size(), 2u);
  EXPECT_EQ(tx[0], "TX 1B 25 56 45 0D");
  EXPECT_EQ(tx[1], "TX 1B 25 56 52 0D");
  double t_ve = -1, t_vr = -1;
  for (const std::string& line : b.trace) {
    if (t_ve < 0 && line.find("TX 1B 25 56 45 0D") != std::string::npos) t_ve = std::strtod(line.c_str(), nullptr);
    if (t_vr < 0 && line.find("TX 1B 25 56 52 0D") != std::string::npos) t_vr = std::strtod(line.c_str(), nullptr);
  }
  EXPECT_NEAR(t_vr - t_ve, 0.25 + 0.05 + 0.10, 1e-9);
}

TEST(Refresh_System_Info_Command, ResetsTheTabletRefreshesAndBeeps) {
  Sim_Bench b;
  b.Attach_Profile(1, "dovrane4");
  Port_Icon_Command(b.session, 1);
  ASSERT_EQ(b.session.Search_Status, 0);
  int beeps = 0;
  b.front_end.beep = [&] { ++beeps; };
  const std::size_t mark = b.Log().size();

  Refresh_System_Info_Command(b.session);

  EXPECT_EQ(beeps, 1);
  const std::string log = b.Log().substr(mark);
  EXPECT_LT(log.find("\rReset Tablet:\r"), log.find("\rSystem:\r"));
  EXPECT_NE(log.find("Com 1, Available\r"), std::string::npos);
  EXPECT_FALSE(b.session.port.PortOpen());
  EXPECT_FALSE(b.session.identity.SuperSet_Format);
  EXPECT_FALSE(b.session.main.Config_Tbl.visible);
  EXPECT_TRUE(b.session.main.ErrorMsg.visible);
  EXPECT_EQ(b.session.main.ErrorMsg.text,
            "Make sure the tablet is plugged in,  powered on,  and all tablet drivers have been removed or "
            "disabled.\r\rSelect an icon above to search for a Supported Tablet (F2).");
  EXPECT_FALSE(b.session.main.Busy);
}

// Probes that only say what they would have found, to check the order.
std::vector<std::string> probe_calls;
int type5_status = -1;
void Fake_PnP(Session& s) {
  probe_calls.push_back("PnP");
  s.Search_Status = 0;
}
void Fake_PnP_Found(Session& s) {
  Fake_PnP(s);
  s.identity.PnP_Format = true;
}
void Fake_SuperSet(Session& s) {
  probe_calls.push_back("SuperSet");
  s.Search_Status = -1;
}
void Fake_SuperSet_Found(Session& s) {
  probe_calls.push_back("SuperSet");
  s.Search_Status = 0;
  s.identity.SuperSet_Format = true;
}
void Fake_KV(Session& s) {
  probe_calls.push_back("KV");
  s.Search_Status = -1;
}
void Fake_KV_Alt_Found(Session& s) {
  probe_calls.push_back("KV");
  s.Search_Status = 0;
  s.identity.KV_Alt_Format = true;
}
void Fake_UIOF(Session& s) {
  probe_calls.push_back("UIOF");
  s.Search_Status = -1;
}
void Fake_Type5(Session& s) {
  probe_calls.push_back("Type5");
  s.Search_Status = type5_status;
}
void Throwing_UIOF(Session& s) {
  probe_calls.push_back("UIOF");
  (void)s;
  throw Port_Error(Port_Error_Kind::Io_Error, "gone");
}

TEST(Search_Port, ProbesRunInOrderEachOnlyWhileNoEarlierOneRecognisedATablet) {
  const auto run = [](Probe_Table table) {
    probe_calls.clear();
    Sim_Bench b;
    b.Attach_Profile(1, "empty");
    b.session.Port_Number = 1;
    b.session.identity.PnP_Format = false;
    Search_Port(b.session, table);
    return std::make_pair(probe_calls, b.session.Search_Status);
  };
  const Probe_Table none_found{Fake_PnP, Fake_SuperSet, Fake_KV, Fake_UIOF, Fake_Type5};
  type5_status = -1;
  auto [calls, status] = run(none_found);
  EXPECT_EQ(calls, (std::vector<std::string>{"PnP", "SuperSet", "KV", "UIOF", "Type5"}));
  EXPECT_EQ(status, -1);  // the verdict of the last probe that ran
  type5_status = 0;
  EXPECT_EQ(run(none_found).second, 0);
  type5_status = -1;

  EXPECT_EQ(run({Fake_PnP_Found, Fake_SuperSet, Fake_KV, Fake_UIOF, Fake_Type5}).first,
            (std::vector<std::string>{"PnP"}));
  EXPECT_EQ(run({Fake_PnP, Fake_SuperSet_Found, Fake_KV, Fake_UIOF, Fake_Type5}).first,
            (std::vector<std::string>{"PnP", "SuperSet"}));
  EXPECT_EQ(run({Fake_PnP, Fake_SuperSet, Fake_KV_Alt_Found, Fake_UIOF, Fake_Type5}).first,
            (std::vector<std::string>{"PnP", "SuperSet", "KV"}));
  // Families not built yet are passed by; with no probe at all nothing answered.
  EXPECT_EQ(run({nullptr, Fake_SuperSet, nullptr, Fake_UIOF, nullptr}).first,
            (std::vector<std::string>{"SuperSet", "UIOF"}));
  EXPECT_EQ(run({}).second, -1);
  // A port failure escaping a probe is a port error, and the search goes on.
  auto thrown = run({Fake_PnP, Fake_SuperSet, Fake_KV, Throwing_UIOF, nullptr});
  EXPECT_EQ(thrown.second, -2);
}

TEST(Port_Icon_Command, SearchesThePortUnderThePleaseWaitWindow) {
  Sim_Bench b;
  b.Attach_Profile(8, "zephane");
  b.session.reports.Cursor_Identified = true;
  std::vector<std::pair<std::string, bool>> repaints;
  b.front_end.splash = [&] { repaints.emplace_back(b.session.splash.Caption, b.session.main.Visible); };

  Port_Icon_Command(b.session, 8);

  EXPECT_EQ(b.session.Port_Number, 8);
  EXPECT_FALSE(b.session.reports.Cursor_Identified);
  EXPECT_EQ(repaints, (std::vector<std::pair<std::string, bool>>{{"Searching Serial Port  8", false}}));
  EXPECT_EQ(b.session.identity.Model_Name, "Mensaro, Zephane");
  EXPECT_FALSE(b.session.splash.Up);
  EXPECT_TRUE(b.session.main.Visible);
  EXPECT_FALSE(b.session.main.Busy);
}

TEST(Show_Search_Animation, ModesBringUpRewindAndClose) {
  Sim_Bench b;
  Session& s = b.session;
  s.Port_Number = 5;
  int repaints = 0;
  b.front_end.splash = [&] { ++repaints; };

  Show_Search_Animation(s, 3);
  EXPECT_TRUE(s.splash.Up);
  EXPECT_FALSE(s.main.Visible);
  EXPECT_TRUE(s.main.Busy);
  EXPECT_TRUE(s.splash.Hourglass);
  EXPECT_EQ(s.splash.Caption, "Searching Serial Port  5");
  EXPECT_TRUE(s.splash.Animation_Playing);
  EXPECT_EQ(s.splash.Animation_Position, 0);
  EXPECT_EQ(repaints, 1);

  // Without a clip there is nothing to wait for.
  const double before = b.Now();
  Show_Search_Animation(s, 1);
  EXPECT_EQ(b.Now(), before);
  EXPECT_FALSE(s.splash.Up);
  EXPECT_TRUE(s.main.Visible);
  EXPECT_FALSE(s.main.Busy);
  EXPECT_FALSE(s.splash.Animation_Playing);

  Show_Search_Animation(s, 2);
  EXPECT_TRUE(s.splash.Up);
  EXPECT_FALSE(s.main.Visible);
  EXPECT_EQ(repaints, 1);

  // Other modes do nothing.
  Show_Search_Animation(s, 0);
  Show_Search_Animation(s, 5);
  EXPECT_TRUE(s.splash.Up);
}

TEST(Show_Search_Animation, WaitsWithWindowEventsForTheClipToPassItsClosingFrame) {
  Sim_Bench b;
  Session& s = b.session;
  s.splash.Clip_Loaded = true;
  int events = 0;
  b.front_end.events = [&] {
    ++events;
    s.splash.Animation_Position += 4;  // the player moves on while events run
  };
  Show_Search_Animation(s, 3);
  EXPECT_EQ(events, 0);

  // Searching again while it is up first lets the animation get far enough.
  s.splash.Animation_Position = 40;
  Show_Search_Animation(s, 4);
  EXPECT_EQ(events, 4);  // 44, 48, 52, 56: past 52
  EXPECT_EQ(s.splash.Animation_Position, 0);

  Show_Search_Animation(s, 1);
  EXPECT_EQ(events, 4 + 14);  // from 0 to 56
  EXPECT_FALSE(s.splash.Up);

  // A clip that stalls holds the program for a bounded time only.
  b.front_end.events = [&] { ++events; };
  Show_Search_Animation(s, 3);
  const double before = b.Now();
  Show_Search_Animation(s, 1);
  EXPECT_NEAR(b.Now() - before, Splash_Wait_Limit_Seconds, 1e-6);
  EXPECT_FALSE(s.splash.Up);
}

}  // namespace
}  // namespace stylomat
