#include "discovery/port_search.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "core/search_animation.h"
#include "discovery/probe_superset.h"
#include "serial/serial_link.h"
#include "sim/profiles.h"
#include "sim/superset_tablet.h"
#include "sim/type5_tablet.h"
#include "support/sim_fixture.h"

namespace stylomat {
namespace {

using test::Log_Lines;
using test::Sim_Bench;
using Lines = std::vector<std::string>;

const std::string System_Lines = "\rSystem:\rTest Linux Version: 6.1 Build: 6.1.0-test\rNo Wintab files are present!\r";

// COM numbers that were opened, in order, without repeats in a row.
Lines Opened_Ports(const Sim_Bench& b) {
  Lines out;
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

// Scans the ports as start-up does; returns where the log stands.
std::size_t Scan_All(Sim_Bench& b) {
  b.session.Port_Number = 0;
  Scan_Ports(b.session);
  b.trace.clear();
  return b.Log().size();
}

void Expect_Window_Back(const Session& s) {
  EXPECT_FALSE(s.splash.Up);
  EXPECT_TRUE(s.main.Visible);
  EXPECT_FALSE(s.main.Busy);
}

TEST(Search_All_Ports, PassesUnavailablePortsAndStopsAfterTheLastAvailableOne) {
  Sim_Bench b;
  for (int com : {1, 2, 4, 6, 7, 8}) b.Attach_Missing(com);
  b.Attach_Profile(3, "empty");
  b.Attach_Profile(5, "empty");
  const std::size_t mark = Scan_All(b);

  EXPECT_EQ(Search_All_Ports(b.session), 0);

  EXPECT_EQ(Opened_Ports(b), (Lines{"COM3", "COM5"}));
  // With Debug_Mode off only the search, the probe headers that always
  // log and the verdict.
  EXPECT_EQ(b.Log().substr(mark),
            "\rSearching Serial Port 3:\r\rPlug-N-Play\rCom 3, No Tablet Found\r"
            "\rSearching Serial Port 5:\r\rPlug-N-Play\rCom 5, No Tablet Found\r");
  const Main_Window_State& m = b.session.main;
  EXPECT_TRUE(m.ErrorMsg.visible);
  EXPECT_EQ(
      m.ErrorMsg.text,
      "No Supported Serial Tablet Was Found On Serial Port 5!   Make sure the tablet is plugged in,  powered on,  "
      "and all tablet drivers have been removed or disabled.\r\rSelect an icon above to search for a Supported "
      "Tablet (F2).");
  EXPECT_EQ(b.session.Search_Status, -1);
  EXPECT_FALSE(b.session.port.PortOpen());
  Expect_Window_Back(b.session);
}

TEST(Search_All_Ports, StopsAtTheFirstTabletAndLogsItsFoundGroupTwice) {
  Sim_Bench b;
  b.Attach_Missing(1);
  b.Attach_Profile(2, "empty");
  b.Attach_Profile(5, "pallivant7");
  b.Attach_Profile(7, "dovrane4");
  const std::size_t mark = Scan_All(b);

  EXPECT_EQ(Search_All_Ports(b.session), 5);

  EXPECT_EQ(Opened_Ports(b), (Lines{"COM2", "COM5"}));
  const std::string found = "Found: Zeltavision, Pallivant VII\rSize: 12 x 18\rFormat: 21,04,7F,00,40,00,00\r"
                            "Firmware: PV7 V5.02\r";
  EXPECT_EQ(b.Log().substr(mark), "\rSearching Serial Port 2:\r\rPlug-N-Play\rCom 2, No Tablet Found\r"
                                  "\rSearching Serial Port 5:\r\rPlug-N-Play\rPallivant VII\r\r" +
                                      found + found);
  EXPECT_EQ(b.session.Search_Status, 0);
  EXPECT_TRUE(b.session.port.PortOpen());
  EXPECT_EQ(b.session.port.CommPort(), 5);
  EXPECT_EQ(b.session.main.CommPort.text, "5");
  // An earlier port's miss is not left on show beside the result.
  EXPECT_FALSE(b.session.main.ErrorMsg.visible);
  Expect_Window_Back(b.session);
}

TEST(Search_Port, DebugLogShowsEachProbeThenTheFramingAndTheFoundGroup) {
  Sim_Bench b;
  b.Attach_Profile(3, "dovrane4");
  b.session.Port_Number = 3;
  b.session.Debug_Mode = true;

  Search_Port(b.session);

  // The SuperSet tablet answers its Plug-and-Play identifier first.
  EXPECT_EQ(Log_Lines(b.Log()),
            (Lines{"", "Searching Serial Port 3:", "", "Plug-N-Play", "Framing: 1200,M,7,2",
                   "(\x01$MNR0303\\00000001\\PEN\\\\FD)", "Dovrane IV", "", "", "Wiggle: ", "Framing: 9600,n,8,2",
                   "Sent: Esc%__S", "Sent: Esc%__p", "From Tablet: KORV/Mensaro Dovrane IV 1218", "Sent: Esc%__V",
                   "From Tablet: DVIV V1.07", "Sent: Esc%VR6", "Sent: ESCVB1", "Sent: Esc%VS", "Sent: Esc%C0N81",
                   "Framing: 19200,n,8,2", "", "Found: KORV Mensaro, Dovrane IV", "Size: 12 x 18",
                   "Format: 43,49,46,61,06,10,80", "Firmware: DVIV V1.07"}));
  EXPECT_TRUE(b.session.identity.Dovrane_IV_VI_Flag);
  const Main_Window_State& m = b.session.main;
  EXPECT_TRUE(m.Config_Tbl.visible);
  EXPECT_FALSE(m.Reset_Tbl.visible);
  EXPECT_TRUE(m.Grid_btn.enabled);
  EXPECT_FALSE(m.ErrorMsg.visible);
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
  EXPECT_EQ(b.Log().substr(mark),
            "\rReset Tablet:\r\rSearching Serial Port 4:\r\rPlug-N-Play\rFound: KORV Mensaro, Mirolex II\r"
            "Size: 12 x 12\rFormat: 40,77,89,61,00,08,00\rFirmware: MXII V2.04\r");
  const auto& heard = tablet->Commands();
  EXPECT_EQ(std::count(heard.begin(), heard.end(), "%VR"), 1);
  EXPECT_EQ(std::count(heard.begin(), heard.end(), "%__p"), 2);
}

TEST(Search_Port, CancelledPowerCycleQuestionEndsTheSearchBeforeTheLaterProbes) {
  Sim_Bench b;
  b.Attach_Profile(1, "kv-obsolete");
  b.session.Port_Number = 1;
  Search_Port(b.session);
  EXPECT_EQ(b.session.Search_Status, -1);
  EXPECT_EQ(b.prompter.asked.size(), 1u);
  EXPECT_EQ(b.Trace_Of("OPEN"), (Lines{"OPEN 1200,M,7,2", "OPEN 9600,n,8,2", "OPEN 9600,o,8,1"}));
  EXPECT_EQ(b.Log(), "\rSearching Serial Port 1:\r\rPlug-N-Play\rCom 1, No Tablet Found\r");
}

TEST(Search_Port, BusyPortShowsThePortErrorAndRefreshesTheSystemInformation) {
  Sim_Bench b;
  b.Attach_Profile(4, "busy");
  b.Attach_Profile(6, "empty");
  Lines captions;
  b.front_end.splash = [&] { captions.push_back(b.session.splash.Caption); };
  b.session.Com_Available[4] = true;  // it was free when the ports were scanned

  Port_Icon_Command(b.session, 4);

  EXPECT_EQ(b.session.Search_Status, -2);
  // The window's text, and the reason on a line of its own.
  EXPECT_EQ(b.session.main.ErrorMsg.text,
            "Comport Error, Comport may be in use by another application.\rthe port is in use by another application");
  EXPECT_TRUE(b.session.main.ErrorMsg.visible);
  // The refresh restarts the animation as a search does, then takes its own caption.
  EXPECT_EQ(captions,
            (Lines{"Searching Serial Port  4", "Searching Serial Port  4", "Getting System Information"}));
  // The error line, then the system information and a fresh port scan.
  EXPECT_EQ(b.Log(), "\rSearching Serial Port 4:\r\rPlug-N-Play\rCom 4, Comport Error, Refreshing System Info\r"
                     "Com 4, the port is in use by another application\r" +
                         System_Lines + "Com 6, Available\r");
  EXPECT_FALSE(b.session.Com_Available[4]);
  EXPECT_TRUE(b.session.Com_Available[6]);
  // The held port keeps a greyed icon that says why.
  EXPECT_TRUE(b.session.main.Com_Btn[4].visible);
  EXPECT_FALSE(b.session.main.Com_Btn[4].enabled);
  EXPECT_EQ(b.session.main.Com_Btn[4].reason, "the port is in use by another application");
  EXPECT_EQ(b.session.Port_Number, 0);  // the scan's idle value
  EXPECT_FALSE(b.session.port.PortOpen());
  Expect_Window_Back(b.session);
}

TEST(Search_Port, DeviceVanishingInTheMiddleOfTheProbeEndsAsAPortError) {
  // Only the SuperSet probe runs, so the times fall into its steps: the
  // wake-up, the questions, the size report.  The last case uses every
  // probe and vanishes early.
  const Probe_Table superset_only{nullptr, Probe_SuperSet};
  for (const double vanish_at : {0.3, 1.0, 1.2, 0.5}) {
    SCOPED_TRACE(vanish_at);
    Sim_Bench b;
    Sim_Faults faults;
    faults.vanish_at = vanish_at;
    Attach_Tablet(b, 3, "dovrane6", faults);
    b.session.Com_Available[3] = true;

    Port_Icon_Command(b.session, 3, vanish_at == 0.5 ? Default_Probe_Table() : superset_only);

    EXPECT_EQ(b.session.Search_Status, -2);
    // The first failure is the reason, not the failed openings of the
    // probes after it.
    const std::string reason =
        "the serial device stopped responding (input/output error); the adapter may have been unplugged";
    EXPECT_EQ(b.session.main.ErrorMsg.text, Port_Error_Text() + "\r" + reason);
    EXPECT_NE(b.Log().find("Com 3, Comport Error, Refreshing System Info\rCom 3, " + reason + "\r" + System_Lines),
              std::string::npos);
    EXPECT_EQ(b.Trace_Of("HANGUP"), Lines{"HANGUP " + reason});
    EXPECT_FALSE(b.session.Com_Available[3]);
    EXPECT_FALSE(b.session.port.PortOpen());
    EXPECT_FALSE(b.session.identity.SuperSet_Format);
    EXPECT_FALSE(b.session.main.Config_Tbl.visible);
    EXPECT_LT(b.Now(), 20.0);
  }
}

// A healthy port whose tablet answers its size question with nonsense: the
// window's port-error text, and on the next line what actually went wrong.
TEST(Search_Port, GarbledSizeAnswerOnAHealthyPortSaysSoBelowThePortErrorText) {
  Sim_Bench b;
  Type5_Tablet_Profile garbled;
  garbled.version = "J5 V3.02";
  garbled.size = "SIZE1\x1b]0;x\x07";
  b.Attach(2, std::make_unique<Type5_Tablet>(garbled));
  b.session.Com_Available[2] = true;

  Port_Icon_Command(b.session, 2);

  EXPECT_EQ(b.session.Search_Status, -2);
  const std::string reason =
      "the tablet on COM2 answered its size question with \"SIZE1\\x1B]0;x\\x07\\x0D\\x0A> \", which is not a size";
  EXPECT_EQ(b.session.main.ErrorMsg.text, Port_Error_Text() + "\r" + reason);
  EXPECT_NE(b.Log().find("Com 2, Comport Error, Refreshing System Info\rCom 2, " + reason + "\r"), std::string::npos);
  EXPECT_TRUE(b.Trace_Of("HANGUP").empty());
  // The port itself is fine: the scan after the error finds it available.
  EXPECT_TRUE(b.session.Com_Available[2]);
  EXPECT_TRUE(b.session.main.Com_Btn[2].enabled);

  // The next search starts without the old reason.
  b.session.ports.Clear(2);
  b.Attach_Profile(2, "empty");
  Port_Icon_Command(b.session, 2);
  EXPECT_EQ(b.session.Search_Status, -1);
  EXPECT_EQ(b.session.Failure_Reason, "");
  EXPECT_EQ(Port_Failure_Reason(b.session), "");
}

TEST(Restore_Factory, ClosedPortShowsThePortErrorAndRefreshesTheSystemInformation) {
  Sim_Bench b;
  b.Attach_Profile(2, "dovrane3");
  b.session.Port_Number = 2;

  Restore_Factory(b.session);

  const std::string reason = "the port is not open: search it for the tablet first";
  EXPECT_EQ(b.session.main.ErrorMsg.text, Port_Error_Text() + "\r" + reason);
  EXPECT_TRUE(b.session.main.ErrorMsg.visible);
  EXPECT_EQ(b.Log(), "Com 2, Comport Error, Refreshing System Info\rCom 2, " + reason + "\r" + System_Lines +
                         "Com 2, Available\r");
  EXPECT_TRUE(b.session.Com_Available[2]);
  EXPECT_TRUE(b.Trace_Of("TX").empty());
  Expect_Window_Back(b.session);
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
  const double start = b.Now();

  Restore_Factory(b.session);

  EXPECT_EQ(tablet->Factory_Restores(), 1);
  EXPECT_EQ(b.session.Search_Status, 0);
  // After the probe: the restore's framing line, then the report's.
  EXPECT_EQ(Log_Lines(b.Log().substr(mark)),
            (Lines{"", "Restore Factory Defaults:", "Sent: Esc%VE", "", "Reset Tablet:", "Mensaro:", "Sent: Esc%VR",
                   "", "Wiggle: ", "Framing: 9600,n,8,2", "Sent: Esc%__S", "Sent: Esc%__p",
                   "From Tablet: 11050 Orvanta 1212", "Sent: Esc%__V", "From Tablet: OV V3.3", "Sent: Esc%VR6",
                   "Sent: ESCVB1", "Sent: Esc%VS", "Sent: Esc%C0N81", "Framing: 19200,n,8,2",
                   "Framing: 19200,n,8,2", "", "Found: Mensaro, Orvanta", "Size: 12 x 12",
                   "Format: 02,31,60,00,0C,00,00", "Firmware: OV V3.3"}));
  EXPECT_TRUE(b.session.main.Reset_Tbl.visible);
  EXPECT_TRUE(b.session.port.PortOpen());
  EXPECT_EQ(b.session.port.Settings(), "19200,n,8,2");
  // "%VE" goes out at 19200 baud a tick in; the reset follows a quarter
  // second, a tick and two ticks later, and the port closes a tick after it.
  const Lines expected = {"0.050 COM3 TX 1B 25 56 45 0D", "0.450 COM3 TX 1B 25 56 52 0D", "0.500 COM3 CLOSE",
                          "1.500 COM3 OPEN 9600,n,8,2"};
  ASSERT_GE(b.trace.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    const std::string& line = b.trace[i];
    EXPECT_NEAR(std::stod(line) - start, std::stod(expected[i]), 1e-6) << line;
    EXPECT_EQ(line.substr(line.find(' ')), expected[i].substr(expected[i].find(' '))) << line;
  }
}

TEST(Restore_Factory, OtherFamiliesAreResetAndProbedAgainAtTheirFraming) {
  const std::vector<std::pair<const char*, std::string>> cases = {
      {"kv", "OPEN 9600,o,8,1"}, {"uiof", "OPEN 9600,E,7,2"}, {"kv16", "OPEN 9600,E,7,2"}, {"quorral", "OPEN 9600,N,8,1"}};
  for (const auto& [profile, framing] : cases) {
    SCOPED_TRACE(profile);
    Sim_Bench b;
    b.Attach_Profile(1, profile);
    b.session.Port_Number = 1;
    Search_Port(b.session);
    ASSERT_EQ(b.session.Search_Status, 0);
    const std::string model = b.session.identity.Model_Name;
    b.trace.clear();
    Restore_Factory(b.session);
    EXPECT_EQ(b.session.Search_Status, 0);
    EXPECT_EQ(b.session.identity.Model_Name, model);
    EXPECT_EQ(b.Trace_Of("OPEN"), Lines{framing});
  }
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
  EXPECT_EQ(b.Log().substr(mark), "\rReset Tablet:\r" + System_Lines + "Com 1, Available\r");
  EXPECT_FALSE(b.session.port.PortOpen());
  EXPECT_FALSE(b.session.identity.SuperSet_Format);
  EXPECT_FALSE(b.session.main.Config_Tbl.visible);
  EXPECT_TRUE(b.session.main.ErrorMsg.visible);
  EXPECT_EQ(b.session.main.ErrorMsg.text,
            "Make sure the tablet is plugged in,  powered on,  and all tablet drivers have been removed or "
            "disabled.\r\rSelect an icon above to search for a Supported Tablet (F2).");
  EXPECT_FALSE(b.session.main.Busy);
}

// Probes that only say that they ran and what they would have found.
Lines probe_calls;
template <const char* Name, int Status, bool Tablet_Identity::*Flag = nullptr>
void Fake(Session& s) {
  probe_calls.push_back(Name);
  s.Search_Status = Status;
  if (Flag) s.identity.*Flag = true;
}
constexpr char PnP[] = "PnP", SuperSet[] = "SuperSet", KV[] = "KV", UIOF[] = "UIOF", Type5[] = "Type5";
void Throwing_UIOF(Session&) {
  probe_calls.push_back("UIOF");
  throw Port_Error(Port_Error_Kind::Io_Error, "gone");
}

TEST(Search_Port, ProbesRunInOrderEachOnlyWhileNoEarlierOneRecognisedATablet) {
  const auto run = [](Probe_Table table) {
    probe_calls.clear();
    Sim_Bench b;
    b.Attach_Profile(1, "empty");
    b.session.Port_Number = 1;
    Search_Port(b.session, table);
    return std::make_pair(probe_calls, b.session.Search_Status);
  };
  const auto none = run({Fake<PnP, 0>, Fake<SuperSet, -1>, Fake<KV, -1>, Fake<UIOF, -1>, Fake<Type5, -1>});
  EXPECT_EQ(none.first, (Lines{"PnP", "SuperSet", "KV", "UIOF", "Type5"}));
  EXPECT_EQ(none.second, -1);  // the verdict of the last probe that ran
  EXPECT_EQ(run({Fake<PnP, -1>, Fake<SuperSet, -1>, Fake<KV, -1>, Fake<UIOF, -1>, Fake<Type5, 0>}).second, 0);
  const Probe_Function rest[] = {Fake<KV, -1>, Fake<UIOF, -1>, Fake<Type5, -1>};
  EXPECT_EQ(run({Fake<PnP, 0, &Tablet_Identity::PnP_Format>, Fake<SuperSet, -1>, rest[0], rest[1], rest[2]}).first,
            (Lines{"PnP"}));
  EXPECT_EQ(run({Fake<PnP, 0>, Fake<SuperSet, 0, &Tablet_Identity::SuperSet_Format>, rest[0], rest[1], rest[2]}).first,
            (Lines{"PnP", "SuperSet"}));
  EXPECT_EQ(run({Fake<PnP, 0>, Fake<SuperSet, -1>, Fake<KV, 0, &Tablet_Identity::KV_Alt_Format>, rest[1], rest[2]})
                .first,
            (Lines{"PnP", "SuperSet", "KV"}));
  // Families not built yet are passed by; with no probe at all nothing answered.
  EXPECT_EQ(run({nullptr, Fake<SuperSet, -1>, nullptr, Fake<UIOF, -1>, nullptr}).first, (Lines{"SuperSet", "UIOF"}));
  EXPECT_EQ(run({}).second, -1);
  // A port failure escaping a probe is a port error, and the search goes on.
  EXPECT_EQ(run({Fake<PnP, 0>, Fake<SuperSet, -1>, Fake<KV, -1>, Throwing_UIOF, nullptr}),
            std::make_pair(Lines{"PnP", "SuperSet", "KV", "UIOF"}, -2));
  EXPECT_EQ(run({Fake<PnP, 0>, Fake<SuperSet, -1>, Fake<KV, -1>, Throwing_UIOF, Fake<Type5, -1>}).first.back(), "Type5");
}

// Every probe on a port where nothing answers and on a port another
// program holds, with Debug_Mode on.
TEST(Probes, SilentPortIsNotFoundAndBusyPortIsAPortError) {
  struct Case {
    const char* name;
    Probe_Function probe;
    int silent_status;  // Plug-and-Play counts an empty answer as an answer
    std::string silent_log;
    Lines silent_sent;
    double silent_seconds;
    const char* left_open_at;  // nullptr: closed
    std::string busy_log;
  };
  const Probe_Table t = Default_Probe_Table();
  const std::vector<Case> cases = {
      {"PnP", t.PnP, 0, "\rPlug-N-Play\rFraming: 1200,M,7,2\r\r", {}, 1.6, "1200,M,7,2",
       "\rPlug-N-Play\rFraming: 1200,M,7,2\r"},
      {"SuperSet", t.SuperSet, -1, "\rWiggle: \rFraming: 9600,n,8,2\rNot Found\r", {}, 0.75, "9600,n,8,2",
       "\rWiggle: \rNot Found\r"},
      {"KV", t.KV, -1, "\rZelta KV:\rFraming: 9600,o,8,1\rSent: Null\rSent: x\rFrom Tablet: \rNot Found\r",
       {"TX 00", "TX 78"}, 0.5375, nullptr, "\rZelta KV:\r"},
      {"UIOF", t.UIOF, -1,
       "\rZelta UIOF:\rFraming: 9600,E,7,2\rSent: Escg\rSent: EscZ\rSent: Escx\rNot Found\r",
       {"TX 1B 67", "TX 1B 5A", "TX 1B 78"}, 1.025, nullptr, "\rZelta UIOF:\r"},
      {"Type5", t.Type5, -1, "\rKORV Format TBL:\rFraming: 9600,N,8,1\rSent: Ctl-A\rNot Found\r",
       {"TX 1B", "TX 01 0D"}, 0.25, nullptr, "\rKORV Format TBL:\r"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Sim_Bench b;
    b.Attach_Profile(1, "empty");
    b.Attach_Profile(2, "busy");
    b.session.Port_Number = 1;
    b.session.Debug_Mode = true;
    c.probe(b.session);
    EXPECT_EQ(b.session.Search_Status, c.silent_status);
    EXPECT_EQ(b.Log(), c.silent_log);
    EXPECT_EQ(b.Trace_Of("TX"), c.silent_sent);
    EXPECT_NEAR(b.Now(), c.silent_seconds, 1e-9);
    EXPECT_EQ(b.session.port.PortOpen(), c.left_open_at != nullptr);
    if (c.left_open_at) {
      EXPECT_EQ(b.session.port.Settings(), c.left_open_at);
    }

    const std::size_t mark = b.Log().size();
    b.trace.clear();
    b.session.Port_Number = 2;
    c.probe(b.session);
    EXPECT_EQ(b.session.Search_Status, -2);
    EXPECT_EQ(b.Log().substr(mark), c.busy_log);
    EXPECT_EQ(b.Trace_Of("TX"), Lines{});
  }
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
  Expect_Window_Back(b.session);
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
  Expect_Window_Back(s);
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

TEST(Show_Search_Animation, WaitsWithWindowEventsForTheClipToReachItsClosingFrame) {
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
  const int plays = s.splash.Plays;
  Show_Search_Animation(s, 4);
  EXPECT_EQ(events, 3);  // 44, 48, 52
  EXPECT_EQ(s.splash.Animation_Position, 0);
  EXPECT_EQ(s.splash.Plays, plays + 1);  // rewound and played again

  Show_Search_Animation(s, 1);
  EXPECT_EQ(events, 3 + 13);  // from 0 to 52
  EXPECT_FALSE(s.splash.Up);

  // A clip of 20 frames ends at frame 19: the wait ends there.
  s.splash.Clip_Frames = 20;
  Show_Search_Animation(s, 3);
  events = 0;
  Show_Search_Animation(s, 1);
  EXPECT_EQ(events, 5);  // 4, 8, 12, 16, 20
  s.splash.Clip_Frames = 0;

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
