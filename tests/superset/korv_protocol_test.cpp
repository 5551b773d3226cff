// Reading, writing, selecting, saving and restoring SuperSets on a KORV
// tablet: bytes and pauses on the wire, what the form shows afterwards,
// the questions, the failure paths.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "serial/serial_link.h"
#include "sim/korv_command_state.h"
#include "superset/factory_tables.h"
#include "superset/korv_protocol.h"
#include "superset/superset_form.h"
#include "support/sim_fixture.h"

namespace stylomat {
namespace {

using test::Sim_Bench;

// A tablet that answers a read of nn with a scripted reply, or not at all.
class Scripted_Korv : public Sim_Device {
 public:
  Scripted_Korv() : Sim_Device(*Parse_Framing("9600,N,8,1")) {}
  void On_Byte(Sim_Link& link, unsigned char byte) override {
    if (byte == 0x01 || byte == 0x1B) {
      line_.clear();
      return;
    }
    if (byte != '\r') {
      line_ += static_cast<char>(byte);
      return;
    }
    const auto it = replies.find(line_);
    if (it != replies.end()) link.Send(it->second);
    line_.clear();
  }
  std::map<std::string, std::string> replies;  // "05" -> reply

 private:
  std::string line_;
};

// Answers from a script, then with the fallback; remembers every question.
class Queue_Prompter : public Prompter {
 public:
  Answer Ask(const Question& q) override {
    asked.push_back(q);
    if (q.buttons == Buttons::OK) return Answer::OK;
    if (next < script.size()) return script[next++];
    return fallback;
  }
  std::vector<Answer> script;
  std::size_t next = 0;
  Answer fallback = Answer::No;
  std::vector<Question> asked;
};

struct Korv_Bench {
  // quorral: the session's Quorral_III_Flag (and a tablet keeping 99).
  explicit Korv_Bench(bool quorral, KORV_Command_Options options = {}, Sim_Faults faults = {})
      : session(b.clock, b.ports, prompter) {
    options.reserve_99 = quorral;
    Type5_Tablet_Profile profile;
    profile.version = "J5 V3.02";
    profile.make_handler = [options] { return Make_KORV_Command_State(options); };
    auto device = std::make_unique<Type5_Tablet>(profile);
    state = dynamic_cast<KORV_Command_State*>(device->Handler());
    b.Attach(1, std::move(device), faults);
    Start(quorral);
  }
  explicit Korv_Bench(std::unique_ptr<Scripted_Korv> device) : session(b.clock, b.ports, prompter) {
    b.Attach(1, std::move(device));
    Start(false);
  }

  void Start(bool quorral) {
    session.port.Set_Trace(&b.wire_trace);
    session.Set_Front_End(&front_end);
    session.identity.Quorral_III_Flag = quorral;
    session.App_Dir = std::string(STYLOMAT_SOURCE_DIR) + "/data";
    session.Port_Number = 1;
    Open_Port(session, "9600,N,8,1");
    form = std::make_unique<SuperSet_Form>(session, Config_Window::KORV_form);
    form->Select_SuperSet(0);
    korv = std::make_unique<KORV_Protocol>(*form);
    b.trace.clear();
  }

  // The bytes written, one string of hex per write, without time stamps.
  std::vector<std::string> Writes() const {
    std::vector<std::string> out;
    for (const std::string& e : b.Trace_Of("TX")) out.push_back(e.substr(3));
    return out;
  }
  // Each write with the time it went out: "0.025 01".
  std::vector<std::string> Timed_Writes() const {
    std::vector<std::string> out;
    for (const std::string& line : b.trace)
      if (line.find(" TX ") != std::string::npos)
        out.push_back(line.substr(0, line.find(' ')) + line.substr(line.find(" TX ") + 3));
    return out;
  }
  std::vector<Question>& Asked() { return prompter.asked; }
  // Each question as "[title] text".
  std::vector<std::string> Questions() const {
    std::vector<std::string> out;
    for (const Question& q : prompter.asked) out.push_back("[" + q.title + "] " + q.text);
    return out;
  }
  std::string Log() const { return session.log.Text(); }

  Sim_Bench b;
  Queue_Prompter prompter;
  Session session;
  test::Test_Front_End front_end;
  KORV_Command_State* state = nullptr;
  std::unique_ptr<SuperSet_Form> form;
  std::unique_ptr<KORV_Protocol> korv;
};

const SuperSet_Record Mensaro = {0x32, 0x40, 0x51, 0x07};
const SuperSet_Record Mensaro_Stored = {0x32, 0x40, 0x51, 0x23};  // as the window stores it back
const std::vector<std::string> Not_Found = {"[Stylomat] Tablet not found\r"};
using Strings = std::vector<std::string>;

TEST(KorvProtocol, ReplyAfterTheLineFeedFillsTheRowAndShowsIt) {
  auto device = std::make_unique<Scripted_Korv>();
  device->replies["05"] = std::string("x\n\x32\x40\x51\x07", 6);
  Korv_Bench k(std::move(device));
  const double start = k.b.Now();
  EXPECT_EQ(k.korv->Read_SuperSets(5, 5), KORV_Result::Done);
  EXPECT_EQ(k.form->Table()[5], Mensaro) << "a factory row is shown as it came";
  EXPECT_EQ(k.form->Selected_SuperSet(), 5);
  EXPECT_EQ(k.form->List(SuperSet_Box::CmbFormat).Text(), "Mensaro BINARY");
  ASSERT_EQ(k.korv->Last_Read().size(), 1u);
  EXPECT_EQ(k.korv->Last_Read()[0].number, 5);
  EXPECT_EQ(k.korv->Last_Read()[0].record, Mensaro);
  EXPECT_TRUE(k.Asked().empty());
  EXPECT_EQ(k.Writes(), (Strings{"01", "52", "52", "0D", "30 35", "0D", "1B"}));
  EXPECT_NEAR(k.b.Now() - start, 0.075, 1e-6);
  EXPECT_EQ(k.Log(), "") << "nothing is logged with Debug_Mode off";
}

TEST(KorvProtocol, ReplyWithoutUsableRecordIsNoAnswer) {
  // LF first, LF with three bytes after it, no LF at all.
  for (const std::string& reply :
       {std::string("\n\x32\x40\x51\x07", 5), std::string("x\n\x32\x40\x51", 5), std::string("x\x32\x40\x51\x07")}) {
    auto device = std::make_unique<Scripted_Korv>();
    device->replies["05"] = reply;
    Korv_Bench k(std::move(device));
    k.form->Table()[0] = {0x82, 0x52, 0x40, 0x00};
    k.form->Table()[5] = {1, 2, 3, 4};
    k.form->Select_SuperSet(7);
    EXPECT_EQ(k.korv->Read_SuperSets(5, 5), KORV_Result::Not_Found);
    EXPECT_EQ(k.Questions(), Not_Found);
    EXPECT_EQ(k.Asked()[0].buttons, Buttons::OK);
    EXPECT_EQ(k.form->Table()[5], (SuperSet_Record{1, 2, 3, 4}));
    EXPECT_EQ(k.form->Selected_SuperSet(), 0) << "row 0 is shown";
    EXPECT_EQ(k.form->Table()[0], (SuperSet_Record{0x82, 0x52, 0x40, 0x00}));
    EXPECT_EQ(k.Writes().back(), "1B") << "the command state is still left";
    EXPECT_TRUE(k.korv->Last_Read().empty());
  }
  SuperSet_Record r{};
  EXPECT_TRUE(Parse_SuperSet_Reply(std::string("ab\r\n\x01\x02\x03\x04more\n", 13), r));
  EXPECT_EQ(r, (SuperSet_Record{1, 2, 3, 4}));
  EXPECT_FALSE(Parse_SuperSet_Reply("", r));
  EXPECT_FALSE(Parse_SuperSet_Reply("x\n", r));
}

TEST(KorvProtocol, UserReadOfTheQuorralThreeLeavesRowNinetyNineAlone) {
  Korv_Bench k(true);
  k.form->Table()[99] = {9, 9, 9, 9};
  k.state->Set_Stored(95, Mensaro);
  EXPECT_EQ(k.korv->Read_User(), KORV_Result::Done);
  EXPECT_EQ(k.form->Table()[99], (SuperSet_Record{9, 9, 9, 9}));
  for (const std::string& w : k.Writes()) EXPECT_NE(w, "39 39");
  ASSERT_EQ(k.korv->Last_Read().size(), 9u);
  EXPECT_EQ(k.korv->Last_Read().front().number, 98);
  EXPECT_EQ(k.korv->Last_Read().back().number, 90);
  EXPECT_EQ(k.form->Selected_SuperSet(), 90);
  EXPECT_EQ(k.korv->Last_Read()[3].record, Mensaro);
  EXPECT_EQ(k.form->Table()[95], Mensaro_Stored);
  EXPECT_FALSE(k.korv->Activity().Hourglass);
  EXPECT_FALSE(k.korv->Activity().Busy);
  EXPECT_EQ(k.Log(), "");
}

TEST(KorvProtocol, DebugModeLogsReplyAndRecord) {
  Korv_Bench k(false);
  k.session.Debug_Mode = true;
  k.state->Set_Stored(0, {0x22, 0x40, 0x51, 0x07});
  EXPECT_EQ(k.korv->Read_SuperSets(0, 0), KORV_Result::Done);
  // The reply as it came, the record, then the form's decode of the row
  // (entry 0 was shown already) and its cascade storing the row re-encoded
  // (parity bits 2 become 3).
  EXPECT_EQ(k.Log(),
            "S00\r\n\x22\x40\x51\x07\r\n> \r22,40,51,07  0\r22 40 51 07   0\r"
            "02 00 00 00 0\r32 00 00 00 0\r32 40 00 00 0\r32 40 01 00 0\r32 40 01 00 0\r32 40 11 00 0\r"
            "32 40 11 20 0\r32 40 11 21 0\r32 40 11 23 0\r32 40 51 23 0\r");
  EXPECT_EQ(k.form->Table()[0], Mensaro_Stored);
}
TEST(KorvProtocol, FullReadCountsDownAndTakesItsPauses) {
  Korv_Bench k(false);
  std::vector<std::string> progress;
  k.korv->On_Activity = [&] {
    const auto& p = k.korv->Activity().Please_Wait.Wait_Progress;
    if (progress.empty() || progress.back() != p) progress.push_back(p);
  };
  const double start = k.b.Now();
  EXPECT_EQ(k.korv->Read_All(), KORV_Result::Done);
  EXPECT_GE(k.b.Now() - start, 7.5 - 1e-6);
  EXPECT_LT(k.b.Now() - start, 7.6);
  Strings count_down = {""};  // the empty text before the read, then " 99" .. " 0"
  for (int n = 99; n >= 0; --n) count_down.push_back(Decimal_With_Blank(n));
  EXPECT_EQ(progress, count_down);
  for (int n = 1; n <= 89; ++n) EXPECT_EQ(k.form->Table()[n], Factory_Record(Config_Window::KORV_form, n)) << n;
  EXPECT_EQ(k.form->Selected_SuperSet(), 0);
  EXPECT_EQ(k.korv->Last_Read().size(), 100u);
  EXPECT_FALSE(k.korv->Activity().Please_Wait.Shown);
  EXPECT_EQ(k.korv->Activity().Please_Wait.Wait_Text, "Reading Tablet Settings");
  // One 0x01 at the start and one ESC at the end.
  const auto w = k.Writes();
  EXPECT_EQ(std::count(w.begin(), w.end(), "01"), 1);
  EXPECT_EQ(w.front(), "01");
  EXPECT_EQ(w.back(), "1B");
}

TEST(KorvProtocol, TabletThatStopsAnsweringMidReadIsReportedOnce) {
  KORV_Command_Options stall;
  stall.stall_after_reads = 30;
  Korv_Bench k(false, stall);
  k.form->Table()[69] = {6, 9, 6, 9};
  EXPECT_EQ(k.korv->Read_All(), KORV_Result::Not_Found);
  EXPECT_EQ(k.Questions(), Not_Found);
  EXPECT_EQ(k.korv->Last_Read().size(), 30u);
  EXPECT_EQ(k.form->Table()[70], Factory_Record(Config_Window::KORV_form, 70));
  EXPECT_EQ(k.form->Table()[69], (SuperSet_Record{6, 9, 6, 9}));
  EXPECT_EQ(k.form->Selected_SuperSet(), 0);
  EXPECT_EQ(k.Writes().back(), "1B");
  EXPECT_EQ(k.korv->Activity().Please_Wait.Wait_Progress, " 69");
  EXPECT_FALSE(k.korv->Activity().Please_Wait.Shown);
}

TEST(KorvProtocol, WriteSendsItsBytesInOrderWithItsPausesAndReadsBack) {
  Korv_Bench k(false);
  k.form->Table()[95] = Mensaro;
  EXPECT_EQ(k.korv->Write_SuperSet(95, 95), KORV_Result::Done);
  // ESC; "za" CR; the record; "LS" CR, the number, CR; ESC; then the read-back.
  EXPECT_EQ(k.Timed_Writes(),
            (Strings{"0.000 1B", "0.025 01", "0.025 7A", "0.025 61", "0.025 0D", "0.050 32", "0.050 40", "0.050 51",
                     "0.050 07", "0.125 01", "0.125 4C", "0.125 53", "0.125 0D", "0.150 39 35", "0.175 0D",
                     "0.250 1B", "0.750 01", "0.750 52", "0.750 52", "0.750 0D", "0.770 39 35", "0.770 0D",
                     "0.825 1B"}));
  EXPECT_NEAR(k.b.Now(), 0.825, 1e-6);
  EXPECT_EQ(k.state->Stored(95), Mensaro);
  EXPECT_EQ(k.form->Selected_SuperSet(), 95);
  EXPECT_EQ(k.form->Table()[95], Mensaro_Stored);
  EXPECT_TRUE(k.form->Save_User_Enabled());

  // Only 00 and 90 to 99 are written; anything else sends nothing.
  k.b.trace.clear();
  for (const auto& [n, r] : {std::pair{50, 50}, {89, 89}, {100, 100}, {-1, 0}, {95, 111}, {95, -1}})
    EXPECT_EQ(k.korv->Write_SuperSet(n, r), KORV_Result::Refused) << n << " " << r;
  EXPECT_TRUE(k.b.trace.empty());
  EXPECT_TRUE(k.Asked().empty());
}

TEST(KorvProtocol, SelectCommandAndItsStartUpForm) {
  Korv_Bench k(false);
  EXPECT_EQ(k.korv->Select_SuperSet(7), KORV_Result::Done);
  EXPECT_EQ(k.Timed_Writes(), (Strings{"0.000 01", "0.000 45", "0.000 53", "0.000 0D", "0.025 30 37", "0.050 1B"}));
  k.b.clock.Advance(0.1);
  EXPECT_EQ(k.state->Power_Up_SuperSet(), 7);

  k.b.trace.clear();
  EXPECT_EQ(k.korv->Select_SuperSet_At_Start(12), KORV_Result::Done);
  EXPECT_EQ(k.Timed_Writes(), (Strings{"0.150 1B", "0.175 01 45 53 0D", "0.200 31 32", "0.225 1B"}));
  k.b.clock.Advance(0.1);
  EXPECT_EQ(k.state->Power_Up_SuperSet(), 12);

  k.b.trace.clear();
  EXPECT_EQ(k.korv->Select_SuperSet(100), KORV_Result::Refused);
  EXPECT_EQ(k.korv->Select_SuperSet_At_Start(123), KORV_Result::Refused);
  EXPECT_TRUE(k.b.trace.empty());
}

std::vector<std::string> Stored_Numbers(const Korv_Bench& k) {
  // The number after each "LS" CR.
  std::vector<std::string> out;
  const auto w = k.Writes();
  for (std::size_t i = 0; i + 4 < w.size(); ++i)
    if (w[i] == "01" && w[i + 1] == "4C" && w[i + 2] == "53" && w[i + 3] == "0D") out.push_back(w[i + 4]);
  return out;
}

TEST(KorvProtocol, SaveAllUserOnTheQuorralThreeWritesNinetyEightDown) {
  Korv_Bench k(true);
  k.prompter.fallback = Answer::Yes;
  for (int n = 90; n <= 99; ++n) k.form->Table()[n] = {0x82, 0x52, 0x40, static_cast<std::uint8_t>(n - 90)};
  EXPECT_EQ(k.korv->Save_All_User(), KORV_Result::Done);
  EXPECT_EQ(
      k.Questions(),
      Strings{"[Save User Settings] This will overwrite All User Defined SuperSets.\r\n\r\nDo you want to continue?"});
  EXPECT_EQ(Stored_Numbers(k),
            (Strings{"39 38", "39 37", "39 36", "39 35", "39 34", "39 33", "39 32", "39 31", "39 30"}));
  for (int n = 90; n <= 98; ++n)
    EXPECT_EQ(k.state->Stored(n), (SuperSet_Record{0x82, 0x52, 0x40, static_cast<std::uint8_t>(n - 90)})) << n;
  EXPECT_EQ(k.state->Stores(), 9);
  EXPECT_EQ(k.korv->Last_Read().size(), 9u) << "every write is read back";
  EXPECT_EQ(k.session.Dialog_Answer, Dialog_Yes);
}

TEST(KorvProtocol, AnsweredNoNothingGoesOut) {
  for (auto op : {&KORV_Protocol::Save_All_User, &KORV_Protocol::Save_Power_Up, &KORV_Protocol::Save_User}) {
    Korv_Bench no(true);
    no.form->Select_SuperSet(93);
    no.b.trace.clear();
    EXPECT_EQ(((*no.korv).*op)(), KORV_Result::Declined);
    EXPECT_TRUE(no.b.trace.empty());
    EXPECT_EQ(no.Asked().size(), 1u);
    EXPECT_FALSE(no.session.End_Requested);
  }
}

TEST(KorvProtocol, SavePowerUpWritesTheSelectedEntryIntoTheLastUserSuperSetAndEnds) {
  Korv_Bench k(true);
  k.prompter.fallback = Answer::Yes;
  int end_calls = 0;
  k.front_end.end = [&] { ++end_calls; };
  ASSERT_EQ(k.korv->Read_SuperSets(5, 5), KORV_Result::Done);
  k.b.trace.clear();
  EXPECT_EQ(k.korv->Save_Power_Up(), KORV_Result::Done);
  EXPECT_EQ(k.Questions(), Strings{"[Save Power-Up Settings & Exit] This will overwrite the tablets Power-Up settings "
                                    "and set them active.\r\n\r\nThe Stylomat will then Exit!\r\n\r\n\r\nDo you "
                                    "want to continue?"});
  EXPECT_EQ(Stored_Numbers(k), (Strings{"39 38"}));
  const auto w = k.Writes();
  ASSERT_GE(w.size(), 6u);
  EXPECT_EQ(Strings(w.end() - 6, w.end()), (Strings{"01", "45", "53", "0D", "39 38", "1B"}));
  k.b.clock.Advance(0.1);
  const SuperSet_Record five = Factory_Record(Config_Window::KORV_form, 5);
  EXPECT_EQ(k.state->Stored(98), five);
  EXPECT_EQ(k.state->Power_Up_SuperSet(), 98);
  EXPECT_EQ(k.state->Stored(0), five);
  EXPECT_TRUE(k.session.End_Requested);
  EXPECT_EQ(end_calls, 1);
}

TEST(KorvProtocol, SaveUserAsksWithTheEntryNumberAndWritesOnlyUserEntries) {
  Korv_Bench k(true);
  k.prompter.fallback = Answer::Yes;
  k.form->Select_SuperSet(93);
  EXPECT_EQ(k.korv->Save_User(), KORV_Result::Done);
  EXPECT_EQ(Stored_Numbers(k), (Strings{"39 33"}));

  // 99 on the Quorral III and a factory entry: asked, nothing written.
  for (int n : {99, 12}) {
    k.b.trace.clear();
    k.form->Select_SuperSet(n);
    EXPECT_EQ(k.korv->Save_User(), KORV_Result::Refused) << n;
    EXPECT_TRUE(k.b.trace.empty()) << n;
  }
  const std::string ask = "[Save User Settings] This will overwrite User Defined SuperSet 'S";
  const std::string end = "'.\r\n\r\nDo you want to continue?";
  EXPECT_EQ(k.Questions(), (Strings{ask + "93" + end, ask + "99" + end, ask + "12" + end}));
}

TEST(KorvProtocol, RestoreDefaultsAnsweredNoThenYesRestoresOnlyUserSuperSets) {
  Korv_Bench k(false);
  for (int n = 90; n <= 99; ++n) k.state->Set_Stored(n, Mensaro);
  k.prompter.script = {Answer::No, Answer::Yes};
  EXPECT_EQ(k.korv->Restore_Defaults(), KORV_Result::Done);
  EXPECT_EQ(k.Questions(), (Strings{"[Restore Factory Power-Up Settings] This will restore the Factory Power-Up "
                                     "settings and set them active.\r\n\r\n\r\nDo you want to continue?",
                                     "[Restore Factory Default User Settings] This will restore the Factory Default "
                                     "Settings for All User Defined SuperSets.\r\n\r\nDo you want to continue?"}));
  const auto w = k.Writes();
  for (std::size_t i = 0; i + 2 < w.size(); ++i) EXPECT_FALSE(w[i] == "45" && w[i + 1] == "53") << "no ES";
  EXPECT_EQ(Stored_Numbers(k),
            (Strings{"39 39", "39 38", "39 37", "39 36", "39 35", "39 34", "39 33", "39 32", "39 31", "39 30"}));
  // Our factory file holds 82,52,40,00 for every user SuperSet.
  for (int n = 90; n <= 99; ++n) EXPECT_EQ(k.state->Stored(n), (SuperSet_Record{0x82, 0x52, 0x40, 0x00})) << n;
  EXPECT_EQ(k.state->Power_Up_SuperSet(), 1);

  // Yes then No: only the factory power-up SuperSet, entry 0 shown.
  Korv_Bench p(false);
  p.state->Set_Stored(98, Mensaro);
  ASSERT_EQ(p.korv->Select_SuperSet(98), KORV_Result::Done);
  p.form->Select_SuperSet(40);
  p.b.trace.clear();
  p.prompter.script = {Answer::Yes, Answer::No};
  EXPECT_EQ(p.korv->Restore_Defaults(), KORV_Result::Done);
  EXPECT_EQ(p.Writes(), (Strings{"01", "45", "53", "0D", "30 31", "1B"}));
  p.b.clock.Advance(0.1);
  EXPECT_EQ(p.state->Power_Up_SuperSet(), 1);
  EXPECT_EQ(p.state->Stored(98), Mensaro);
  EXPECT_EQ(p.form->Selected_SuperSet(), 0);
}

TEST(KorvProtocol, RestoreWithoutTheFactoryFileWritesNothing) {
  Korv_Bench k(false);
  k.session.App_Dir = "/nonexistent-stylomat-dir";
  k.prompter.script = {Answer::No, Answer::Yes};
  for (int row = 90; row <= 99; ++row) k.form->Table()[row] = Mensaro;
  EXPECT_EQ(k.korv->Restore_Defaults(), KORV_Result::Refused);
  // The window keeps the user SuperSets it showed: nothing is zeroed that a
  // later save could write to the tablet.
  for (int row = 90; row <= 99; ++row) EXPECT_EQ(k.form->Table()[row], Mensaro) << row;
  ASSERT_EQ(k.Asked().size(), 3u);
  EXPECT_EQ(k.Questions()[2],
            "[Stylomat] The SuperSet table file \"/nonexistent-stylomat-dir/korvsstable.dat\" could not be read.\r\n"
            "The factory SuperSets of this window are left empty.");
  EXPECT_TRUE(k.b.trace.empty());
  EXPECT_FALSE(k.korv->Activity().Hourglass);
}

TEST(KorvProtocol, InputOutputErrorDuringAWriteIsPassedOverWithoutRetry) {
  Sim_Faults faults;
  faults.vanish_at = 0.1;  // the adapter is pulled while the record goes out
  Korv_Bench k(false, {}, faults);
  k.form->Table()[95] = Mensaro;
  k.session.Dialog_Answer = 3;
  EXPECT_EQ(k.korv->Write_SuperSet(95, 95), KORV_Result::Not_Found);
  // No "ERROR" question: only the read-back's "Tablet not found".
  EXPECT_EQ(k.Questions(), Not_Found);
  EXPECT_EQ(k.session.Dialog_Answer, 0);
  EXPECT_EQ(k.state->Stores(), 0);
  EXPECT_FALSE(k.session.End_Requested);
  // Every step ran once: the sequence still took all its pauses.
  EXPECT_NEAR(k.b.Now(), 0.825, 1e-6);
  EXPECT_FALSE(k.korv->Activity().Busy);

  // A read on its own meets the same error: the missing reply is no answer.
  k.prompter.asked.clear();
  k.form->Table()[40] = {4, 0, 4, 0};
  EXPECT_EQ(k.korv->Read_SuperSets(40, 45), KORV_Result::Not_Found);
  EXPECT_EQ(k.Questions(), Not_Found);
  EXPECT_EQ(k.form->Table()[40], (SuperSet_Record{4, 0, 4, 0}));
  EXPECT_EQ(k.form->Selected_SuperSet(), 0);
}

TEST(KorvProtocol, OtherPortErrorsAskAndNoEndsTheProgram) {
  Korv_Bench k(false);
  Close_Port(k.session);
  k.b.trace.clear();
  int end_calls = 0;
  k.front_end.end = [&] { ++end_calls; };
  k.prompter.script = {Answer::Yes, Answer::No};
  EXPECT_EQ(k.korv->Write_SuperSet(90, 90), KORV_Result::Ended);
  const std::string error = "[ERROR] Error  8012 found\rthe port is not open\r Do you want to continue?\r";
  EXPECT_EQ(k.Questions(), (Strings{error, error}));
  EXPECT_EQ(k.Asked()[0].buttons, Buttons::Yes_No);
  EXPECT_EQ(k.session.Dialog_Answer, Dialog_No);
  EXPECT_TRUE(k.session.End_Requested);
  EXPECT_EQ(end_calls, 1);
  // The first Yes went on with the next step (after its pause); the No
  // stopped everything at once.
  EXPECT_NEAR(k.b.Now(), 0.025, 1e-6);

  // Yes to every question: each failed step is asked about once; the
  // read-back finds no tablet before its closing ESC fails too.
  Korv_Bench y(false);
  Close_Port(y.session);
  y.prompter.fallback = Answer::Yes;
  EXPECT_EQ(y.korv->Write_SuperSet(90, 90), KORV_Result::Not_Found);
  Strings asked(18 + 8, error);  // write steps, read-back steps
  asked.push_back(Not_Found[0]);
  asked.push_back(error);
  EXPECT_EQ(y.Questions(), asked);
  EXPECT_FALSE(y.session.End_Requested);
}

TEST(KorvProtocol, SecondOperationCannotStartWhileOneRuns) {
  Korv_Bench k(false);
  k.prompter.fallback = Answer::Yes;
  std::vector<KORV_Result> inner;
  std::size_t writes_before = 0;
  k.front_end.events = [&] {
    if (!inner.empty()) return;
    writes_before = k.Writes().size();
    inner.push_back(k.korv->Read_SuperSets(0, 99));
    inner.push_back(k.korv->Write_SuperSet(95, 95));
    inner.push_back(k.korv->Select_SuperSet(3));
    inner.push_back(k.korv->Save_All_User());
    inner.push_back(k.korv->Restore_Defaults());
    EXPECT_EQ(k.Writes().size(), writes_before);
  };
  EXPECT_EQ(k.korv->Read_SuperSets(90, 91), KORV_Result::Done);
  EXPECT_EQ(inner, std::vector<KORV_Result>(5, KORV_Result::Busy));
  EXPECT_TRUE(k.Asked().empty());
  EXPECT_FALSE(k.korv->Activity().Busy);
  // Once it has ended, the next one runs.
  k.front_end.events = nullptr;
  EXPECT_EQ(k.korv->Read_SuperSets(5, 5), KORV_Result::Done);
}

}  // namespace
}  // namespace stylomat
