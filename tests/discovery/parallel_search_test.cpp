// Search All Serial Ports with every port searched at once, against the
// sequential search on twin benches: the same result, log, window, values
// and (port by port) wire trace, in a fraction of the virtual time.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "discovery/port_search.h"
#include "serial/serial_link.h"
#include "sim/profiles.h"
#include "sim/sim_device.h"
#include "support/sim_fixture.h"

namespace stylomat {
namespace {

using test::Sim_Bench;
using Lines = std::vector<std::string>;

// Everything of a session a search may leave behind that a user or a later
// command sees: the window (labels, menus, icons), the identity, the
// report state, the framing values and the port.
std::string State_Of(Session& s) {
  std::ostringstream out;
  Main_Window_State& m = s.main;
  out << "Busy " << m.Busy << " Visible " << m.Visible << "\n";
  const std::pair<const char*, const Label_State*> labels[] = {
      {"ErrorMsg", &m.ErrorMsg}, {"Label3", &m.Label3},   {"CommPort", &m.CommPort},     {"Label4", &m.Label4},
      {"Label5", &m.Label5},     {"Tbl", &m.Tbl},         {"Label2", &m.Label2},         {"Size_lb", &m.Size_lb},
      {"Label8", &m.Label8},     {"Version_Lb", &m.Version_Lb}, {"Btn_Press", &m.Btn_Press}, {"WT_Label", &m.WT_Label},
      {"LabelOS", &m.LabelOS}};
  for (const auto& [name, label] : labels) out << name << " " << label->visible << " [" << label->text << "]\n";
  for (const Menu_State& menu : m.Menus()) {
    for (const Menu_Entry_State* e : menu.entries) {
      out << e->name << " " << e->caption << " " << e->visible << e->enabled << e->checked << "\n";
    }
  }
  for (int n = 1; n <= 8; ++n) {
    const Port_Icon_State& icon = m.Com_Btn[static_cast<std::size_t>(n)];
    out << "COM" << n << " " << icon.visible << icon.enabled << " " << icon.reason << "\n";
  }
  const Tablet_Identity& id = s.identity;
  out << "Framing " << id.Framing << " formats " << id.SuperSet_Format << id.KV_Format << id.KV_Alt_Format
      << id.UIOF_Format << id.PnP_Format << id.Type5_Format << id.Half_Resolution << "\n"
      << "Replies [" << id.Product_Reply << "] [" << id.Firmware_Reply << "] [" << id.Settings_Reply << "]\n"
      << "Model [" << id.Model_Name << "] [" << id.Size_Text << "] [" << id.Firmware_Text << "] " << id.Tablet_Width
      << " x " << id.Tablet_Height << "\n"
      << "Flags " << id.Mirolex_III_Flag << id.Dovrane_IV_VI_Flag << id.Quorral_III_Flag << id.PnP_Answered
      << id.PnP_ID_Found << id.Velliscope_V_Flag << id.Pallivant_VII_Flag << id.Velliscope_III_Flag
      << id.Lumivane_Flag << " cursors " << id.Probe_Cursor << " " << id.Type5_Cursor << "\n";
  const Report_Decoding_State& r = s.reports;
  out << "Reports [" << r.Report_Buffer << "] " << r.Current_Report.Cur_X << "," << r.Current_Report.Cur_Y << " "
      << r.Current_Report.In_Prox << " " << r.Current_Report.Cursor_Code << " " << r.Cursor_Identified << " "
      << r.Auto_Cursor << "\n";
  out << "Status " << s.Search_Status << " port " << s.Port_Number << " searched " << s.Searched_Port << " ["
      << s.Failure_Reason << "] framing " << s.Baud_Rate << s.Parity_Char << s.Data_Bits << s.Stop_Bits << " ["
      << s.Reply_Text << "] " << s.Dialog_Answer << "\n";
  out << "Port " << s.port.PortOpen() << " COM" << s.port.CommPort() << " " << s.port.Settings() << " "
      << s.port.DTREnable() << s.port.RTSEnable() << " " << s.port.InputLen() << " [" << s.port.First_Failure()
      << "]\n";
  for (int n = 1; n <= 8; ++n) out << s.Com_Available[static_cast<std::size_t>(n)];
  return out.str();
}

// One port's lines of a trace, timed from the port's first line.
Lines Port_Trace(const Sim_Bench& b, int com) {
  const std::string tag = " COM" + std::to_string(com) + " ";
  Lines out;
  double first = -1;
  for (const std::string& line : b.trace) {
    const auto at = line.find(tag);
    if (at == std::string::npos) continue;
    const double t = std::stod(line);
    if (first < 0) first = t;
    char time[32];
    std::snprintf(time, sizeof time, "%.3f", t - first);
    out.push_back(time + line.substr(at));
  }
  return out;
}

// The order in which ports' lines come in a trace (one entry per run).
Lines Trace_Port_Order(const Sim_Bench& b) {
  Lines order;
  for (const std::string& e : b.Trace_Events()) {
    const std::string com = e.substr(0, e.find(' '));
    if (order.empty() || order.back() != com) order.push_back(com);
  }
  return order;
}

// Two benches with the same tablets, the same scan and the same start: one
// for the sequential search, one for the parallel search.
struct Twin {
  explicit Twin(const std::function<void(Sim_Bench&)>& attach, bool debug = false) {
    for (Sim_Bench* b : {&seq, &par}) {
      attach(*b);
      b->session.Debug_Mode = debug;
      b->session.Port_Number = 0;
      Scan_Ports(b->session);
      b->trace.clear();
    }
  }
  // Runs both searches (something first on both, when given); returns
  // where each log stood before the searches.
  void Search(const std::function<void(Sim_Bench&)>& before = {}) {
    for (Sim_Bench* b : {&seq, &par}) {
      if (before) before(*b);
      marks.push_back(b->Log().size());
      starts.push_back(b->Now());
    }
    seq_result = Search_All_Ports(seq.session);
    par_result = Search_All_Ports_Parallel(par.session);
  }
  std::string Seq_Log() const { return seq.Log().substr(marks[0]); }
  std::string Par_Log() const { return par.Log().substr(marks[1]); }
  double Seq_Time() { return seq.Now() - starts[0]; }
  double Par_Time() { return par.Now() - starts[1]; }

  Sim_Bench seq;
  Sim_Bench par;
  std::vector<std::size_t> marks;
  std::vector<double> starts;
  int seq_result = -1;
  int par_result = -1;
};

// The virtual time a search of a port with this tablet takes alone.
double Search_Time(const std::string& profile) {
  Sim_Bench b;
  b.Attach_Profile(1, profile);
  b.session.Port_Number = 1;
  Search_Port(b.session);
  return b.Now();
}

void Three_Ports(Sim_Bench& b) {
  b.Attach_Profile(3, "empty");
  b.Attach_Profile(5, "dovrane4");
  b.Attach_Profile(7, "kv");
}

TEST(Search_All_Ports_Parallel, FindsTheSequentialSearchsTabletWithItsLogWindowAndTraces) {
  for (const bool debug : {false, true}) {
    SCOPED_TRACE(debug ? "debug log" : "plain log");
    Twin t(Three_Ports, debug);
    t.Search();

    EXPECT_EQ(t.seq_result, 5);
    EXPECT_EQ(t.par_result, 5);
    // The sequential search's log, byte for byte, then the one line on
    // the port searched only because the search ran in parallel.
    EXPECT_EQ(t.Par_Log(), t.Seq_Log() + "Also probed in parallel: COM7\r");
    EXPECT_EQ(State_Of(t.par.session), State_Of(t.seq.session));
    // Port by port the same exchange at the same pace; the lines come
    // grouped in port order, the extra port's last.
    for (int com : {3, 5}) {
      SCOPED_TRACE(com);
      EXPECT_EQ(Port_Trace(t.par, com), Port_Trace(t.seq, com));
    }
    EXPECT_EQ(Trace_Port_Order(t.par), (Lines{"COM3", "COM5", "COM7"}));
    // The KV tablet on COM7 was found at 3.362 s and waited; when COM3
    // came up empty at 4.162 s it was reset as a search resets a tablet
    // before searching again, and its port closed.
    const Lines com7 = Port_Trace(t.par, 7);
    ASSERT_GE(com7.size(), 3u);
    EXPECT_EQ(com7.front(), "0.000 COM7 OPEN 1200,M,7,2");
    EXPECT_EQ(Lines(com7.end() - 2, com7.end()), (Lines{"4.212 COM7 TX 00", "4.262 COM7 CLOSE"}));
    EXPECT_TRUE(t.par.session.Parallel_Log.Text().starts_with(
        "\rAlso probed in parallel, outside the search's result: COM7\r\rSearching Serial Port 7:\r\r"
        "Plug-N-Play\r"))
        << t.par.session.Parallel_Log.Text();
    EXPECT_NE(t.par.session.Parallel_Log.Text().find("\rReset Tablet:\r"), std::string::npos);
    // Only the tablet's port is open.
    for (int com : {3, 5, 7}) {
      EXPECT_EQ(t.par.ports.Find(com)->backend->Is_Open(), com == 5) << com;
    }
    EXPECT_TRUE(t.par.session.port.PortOpen());
    EXPECT_EQ(t.par.session.port.CommPort(), 5);
    // COM3's search and COM5's one after the other, or side by side with
    // COM7's reset of two ticks after them.
    EXPECT_NEAR(t.Seq_Time(), Search_Time("empty") + Search_Time("dovrane4"), 1e-9);
    EXPECT_NEAR(t.Par_Time(), Search_Time("empty") + 2 * Tick_Seconds, 1e-9);
  }
}

// COM1's tablet ends the search while the later ports are at every stage:
// COM3 and COM8 still probing, COM5's and COM7's tablets found and waiting.
TEST(Search_All_Ports_Parallel, LetsGoOfTheLaterPortsTheSameWayEveryTime) {
  Lines first;
  for (int run = 0; run < 4; ++run) {
    SCOPED_TRACE(run);
    Sim_Bench b;
    Three_Ports(b);
    b.Attach_Profile(1, "pallivant7");
    b.Attach_Profile(8, "quorral");
    b.session.Port_Number = 0;
    Scan_Ports(b.session);
    b.trace.clear();
    ASSERT_EQ(Search_All_Ports_Parallel(b.session), 1);
    EXPECT_TRUE(b.Log().ends_with("Also probed in parallel: COM3, COM5, COM7, COM8\r"));
    for (int com : {1, 3, 5, 7, 8}) EXPECT_EQ(b.ports.Find(com)->backend->Is_Open(), com == 1) << com;
    // The SuperSet tablet on COM5 is told to reset, at the framing its
    // search left it at, before its port closes.
    const Lines com5 = Port_Trace(b, 5);
    EXPECT_EQ(com5[com5.size() - 3].substr(6), "COM5 OPEN 19200,n,8,2");
    EXPECT_EQ(com5[com5.size() - 2].substr(6), "COM5 TX 1B 25 56 52 0D");
    EXPECT_EQ(com5.back().substr(6), "COM5 CLOSE");
    if (run == 0) {
      first = b.trace;
    } else {
      EXPECT_EQ(b.trace, first);
    }
  }
}

// A search that follows another leaves the values earlier ports' probes
// wrote where the tablet's own probes write none: the parallel search's
// replay on the main session keeps them exactly so.
TEST(Search_All_Ports_Parallel, LeavesWhatEarlierPortsProbesLeftAsTheSequentialSearchDoes) {
  Twin t([](Sim_Bench& b) {
    b.Attach_Profile(1, "empty");
    b.Attach_Profile(2, "dovrane4");
    b.Attach_Profile(6, "kv");
  });
  // The KV tablet found first, from its icon: its port is open and the KV
  // framing is on record when Search All Serial Ports starts.
  t.Search([](Sim_Bench& b) { Port_Icon_Command(b.session, 6); });

  EXPECT_EQ(t.par_result, 2);
  EXPECT_EQ(t.Par_Log(), t.Seq_Log() + "Also probed in parallel: COM6\r");
  EXPECT_TRUE(t.Par_Log().starts_with("\rReset Tablet:\r\rSearching Serial Port 1:\r\rPlug-N-Play\r"));
  EXPECT_EQ(State_Of(t.par.session), State_Of(t.seq.session));
  // COM1's Type-5 probe wrote the framing last; the SuperSet probe that
  // found the tablet on COM2 writes none.
  EXPECT_EQ(t.par.session.Parity_Char, "N");
  EXPECT_EQ(t.par.session.Stop_Bits, 1);
  EXPECT_EQ(Port_Trace(t.par, 2), Port_Trace(t.seq, 2));
}

TEST(Search_All_Ports_Parallel, ABusyPortAndAVanishingPortFailAloneAsInTheSequentialSearch) {
  Twin t([](Sim_Bench& b) {
    b.Attach_Profile(2, "busy");
    Sim_Faults vanishing;
    vanishing.vanish_at = 1.0;  // in the middle of the Plug-and-Play handshake
    b.Attach(4, Find_Sim_Profile("dovrane6")->make(), vanishing);
    b.Attach_Profile(6, "dovrane4");
    b.Attach_Profile(8, "empty");
  });
  // The busy port was free when the ports were scanned.
  t.seq.session.Com_Available[2] = t.par.session.Com_Available[2] = true;
  t.Search();

  EXPECT_EQ(t.seq_result, 6);
  EXPECT_EQ(t.par_result, 6);
  // Each failure with its refresh of the system information, in port
  // order, as the sequential search writes them.
  EXPECT_EQ(t.Par_Log(), t.Seq_Log() + "Also probed in parallel: COM8\r");
  const std::string log = t.Par_Log();
  const std::size_t busy = log.find("Com 2, Comport Error, Refreshing System Info\r"
                                    "Com 2, the port is in use by another application\r");
  const std::size_t gone = log.find("Com 4, Comport Error, Refreshing System Info\rCom 4, the serial device stopped");
  const std::size_t found = log.find("Found: KORV Mensaro, Dovrane IV\r");
  EXPECT_LT(busy, gone);
  EXPECT_LT(gone, found);
  EXPECT_NE(found, std::string::npos);
  EXPECT_EQ(State_Of(t.par.session), State_Of(t.seq.session));
  EXPECT_FALSE(t.par.session.Com_Available[2]);
  EXPECT_FALSE(t.par.session.Com_Available[4]);
  EXPECT_EQ(t.par.Trace_Of("HANGUP").size(), 1u);
  EXPECT_EQ(Port_Trace(t.par, 6).back().substr(6), "COM6 OPEN 19200,n,8,2");
  EXPECT_TRUE(t.par.session.port.PortOpen());
  EXPECT_EQ(t.par.session.port.CommPort(), 6);
}

TEST(Search_All_Ports_Parallel, EightEmptyPortsTakeOnePortsTime) {
  const double one_port = Search_Time("empty");
  ASSERT_GT(one_port, 4.0);

  Twin t([](Sim_Bench& b) {
    for (int com = 1; com <= 8; ++com) b.Attach_Profile(com, "empty");
  });
  t.Search();

  EXPECT_EQ(t.par_result, 0);
  EXPECT_NEAR(t.Seq_Time(), 8 * one_port, 1e-9);
  EXPECT_NEAR(t.Par_Time(), one_port, 1e-9);
  // All eight sections, nothing searched beyond the sequential search.
  EXPECT_EQ(t.Par_Log(), t.Seq_Log());
  EXPECT_EQ(State_Of(t.par.session), State_Of(t.seq.session));
  EXPECT_EQ(t.par.session.Parallel_Log.Text(), "");
  for (int com = 1; com <= 8; ++com) EXPECT_FALSE(t.par.ports.Find(com)->backend->Is_Open()) << com;
}

TEST(Search_All_Ports_Parallel, AsksAPortsQuestionOnlyWhenTheSequentialSearchWould) {
  // The older KV tablet on COM2 asks to be power-cycled; the answer decides
  // between it and the tablet on COM4.
  for (const bool power_cycled : {false, true}) {
    SCOPED_TRACE(power_cycled);
    Twin t([](Sim_Bench& b) {
      b.Attach_Profile(2, "kv-obsolete");
      b.Attach_Profile(4, "dovrane4");
    });
    t.seq.prompter.Set_Positive(power_cycled);
    t.par.prompter.Set_Positive(power_cycled);
    t.Search();
    EXPECT_EQ(t.par_result, power_cycled ? 2 : 4);
    EXPECT_EQ(t.par.prompter.asked.size(), 1u);
    EXPECT_EQ(t.Par_Log(), t.Seq_Log() + (power_cycled ? "Also probed in parallel: COM4\r" : ""));
    EXPECT_EQ(State_Of(t.par.session), State_Of(t.seq.session));
  }
  // With the tablet on COM1 found first, nobody is asked about COM3's.
  Twin t([](Sim_Bench& b) {
    b.Attach_Profile(1, "dovrane4");
    b.Attach_Profile(3, "kv-obsolete");
  });
  t.Search();
  EXPECT_EQ(t.par_result, 1);
  EXPECT_TRUE(t.seq.prompter.asked.empty());
  EXPECT_TRUE(t.par.prompter.asked.empty());
  EXPECT_EQ(t.Par_Log(), t.Seq_Log() + "Also probed in parallel: COM3\r");
}

// A probe that tells the tablet what the previous port answered: its
// exchange depends on an earlier port, which a port's own thread cannot
// know.  The replay sees the difference and takes the port's own result.
void Echo_Probe(Session& s) {
  Open_Port(s, "9600,n,8,1");
  s.port.Output(s.Reply_Text.empty() ? "?" : s.Reply_Text);
  s.Reply_Text = "COM" + std::to_string(s.Port_Number);
  Close_Port(s);
}

TEST(Search_All_Ports_Parallel, TakesAPortsOwnResultWhenItsExchangeDependsOnAnEarlierPort) {
  Twin t([](Sim_Bench& b) {
    b.Attach_Profile(1, "empty");
    b.Attach_Profile(2, "empty");
  });
  const Probe_Table echo{Echo_Probe};
  for (Sim_Bench* b : {&t.seq, &t.par}) t.marks.push_back(b->Log().size());
  EXPECT_EQ(Search_All_Ports(t.seq.session, echo), 0);
  EXPECT_EQ(Search_All_Ports_Parallel(t.par.session, echo), 0);

  EXPECT_EQ(t.seq.Trace_Of("TX"), (Lines{"TX 3F", "TX 43 4F 4D 31"}));
  EXPECT_EQ(t.par.Trace_Of("TX"), (Lines{"TX 3F", "TX 3F"}));
  EXPECT_EQ(t.par.session.Parallel_Log.Text(),
            "COM2: the result of its own search is taken (the replayed search left its recording: call 4, Write, "
            "with other arguments)\r");
  EXPECT_EQ(t.Par_Log(), t.Seq_Log());
  EXPECT_EQ(t.par.session.Reply_Text, "COM2");
}

}  // namespace
}  // namespace stylomat
