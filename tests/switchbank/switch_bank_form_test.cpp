#include "switchbank/switch_bank_form.h"
#include "switchbank/switch_protocol.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "core/session.h"
#include "platform/clock.h"
#include "platform/prompter.h"
#include "support/sim_fixture.h"

namespace stylomat {
namespace {

using test::Log_Lines;

struct Bench {
  Virtual_Clock clock;
  Port_Directory ports;
  Fixed_Prompter prompter;
  Session session{clock, ports, prompter};
};

Switch_Banks Banks_Of(const std::vector<int>& a, const std::vector<int>& b, const std::vector<int>& c) {
  Switch_Banks banks{};
  for (int n = 0; n < 8; ++n) {
    banks[0][n] = a[n];
    banks[1][n] = b[n];
    banks[2][n] = c[n];
  }
  return banks;
}

Switch_Bank_Form Factory_Form(Config_Window family) {
  Switch_Bank_Form form(family);
  form.Load_Factory_Switches();
  return form;
}

// The boxes, the image and the format code say what the switches say.
void Expect_Boxes_Match_Switches(const Switch_Bank_Form& form, const std::string& where) {
  const Derived_Settings d = Derive_Settings(form.Banks());
  std::vector<int> shown;
  for (int id = 0; id < Setting_Count; ++id) shown.push_back(form.Value(static_cast<Setting>(id)));
  // In the order of the settings: baud, parity, data, stop, res, emu, mode, format, LF, echo, prox, click.
  EXPECT_EQ(shown, (std::vector<int>{d.baud, d.parity, d.data_bits, d.stop_bits, d.resolution, d.emulation, d.mode,
                                     d.format, d.line_feed, d.echo, d.prox, d.click}))
      << where;
  EXPECT_EQ(form.Switch_Image(), Encode_Switch_Image(form.Banks(), form.Variant().image_byte7)) << where;
  EXPECT_EQ(form.Format_Code(), d.format_code) << where;
}

// Every setting as the window shows it, in the order of the settings.
std::string Summary(const Switch_Bank_Form& form) {
  std::string t;
  for (int id = 0; id < Setting_Count; ++id) t += (id ? "|" : "") + form.Shown(static_cast<Setting>(id));
  return t;
}

std::string Banks_Text(const Switch_Banks& banks) {
  std::string t;
  for (const auto& bank : banks) {
    for (int v : bank) t += static_cast<char>('0' + v);
    t += ' ';
  }
  return t;
}

TEST(Switch_Bank_Form, FactoryPatternsGiveTheListedSettingsAndImages) {
  Switch_Bank_Form vs = Factory_Form(Config_Window::VSIII);
  EXPECT_EQ(vs.Banks(), Banks_Of({1, 0, 0, 0, 0, 0, 1, 0}, {1, 1, 0, 1, 0, 1, 1, 0}, {1, 1, 0, 0, 1, 2, 2, 2}));
  EXPECT_EQ(Summary(vs),
            "9600|None|8|1|40 lpmm|MENSARO|Stream|BINARY MENSARO hi res              6 byte|off|off|off|on");
  EXPECT_EQ(vs.Value(Setting::CmbParity), 0);
  EXPECT_EQ(vs.Switch_Image_Text(), "C6,D7,4C,61,02,00,20");

  Switch_Bank_Form pv = Factory_Form(Config_Window::Pv5);
  EXPECT_EQ(pv.Banks(), Banks_Of({1, 0, 0, 1, 1, 1, 0, 0}, {1, 0, 0, 0, 0, 1, 0, 0}, {0, 0, 0, 0, 0, 2, 2, 2}));
  EXPECT_EQ(Summary(pv),
            "9600|Even|7|2|1000 lpi|WX UIOF|Prompt|BINARY WX UIOF                     8 byte|off|off|off|off");
  EXPECT_EQ(pv.Switch_Image_Text(), "CE,5F,09,61,00,14,23");
}

TEST(Switch_Bank_Form, ListsHoldTheirItemsWithOddSpellingsKept) {
  Switch_Bank_Form form(Config_Window::Pv5);
  EXPECT_EQ(form.Box(Setting::CmbParity).items, (std::vector<std::string>{"None", "None", "Odd ", "Even"}));
  EXPECT_EQ(form.Box(Setting::CmbFormat).items.size(), 16u);
  // Before the first fill nothing is selected.
  EXPECT_EQ(form.Value(Setting::CmbBaud), -1);
  EXPECT_EQ(form.Shown(Setting::CmbBaud), "");
}

TEST(Switch_Bank_Form, ModeEncodingAndPromptDecodingFromBitThree) {
  Switch_Bank_Form form = Factory_Form(Config_Window::VSIII);
  const std::uint8_t expected[4] = {0xCE, 0x46, 0x86, 0xC6};
  for (int mode = 3; mode >= 0; --mode) {
    EXPECT_EQ(form.Set_Setting(Setting::CmbMode, mode), mode == 3 ? Set_Result::Unchanged : Set_Result::Changed);
    EXPECT_EQ(form.Switch_Image()[0], expected[mode]) << mode;
    EXPECT_EQ(form.Switch(Bank::swc, 1), mode & 1);
    EXPECT_EQ(form.Switch(Bank::swc, 2), mode / 2);
  }
  // Bit 3 of reply byte 1 means "Prompt" whatever bits 6 and 7 say.
  Bench b;
  const std::pair<const char*, const char*> replies[] = {
      {"C8", "Prompt"}, {"48", "Prompt"}, {"88", "Prompt"},        {"08", "Prompt"}, {"CE", "Prompt"},
      {"06", "Prompt"}, {"46", "Point"},  {"86", "Switch Stream"}, {"C6", "Stream"}};
  for (auto [r1, mode] : replies) {
    Switch_Bank_Form f = Factory_Form(Config_Window::VSIII);
    Decode_Switch_Report(b.session, f, std::string(r1) + ",D7,4C,61,02,00,20");
    EXPECT_EQ(f.Shown(Setting::CmbMode), mode) << r1;
    Expect_Boxes_Match_Switches(f, r1);
  }
}

TEST(Switch_Bank_Form, BothNoneParitiesEncodeDifferentlyAndComeBack) {
  Switch_Bank_Form form = Factory_Form(Config_Window::Pv5);  // "Even"
  // index: swa4, swa5, image byte 3 bits 0 and 2
  const int expected[4][3] = {{0, 0, 0x04}, {1, 0, 0x05}, {0, 1, 0x00}, {1, 1, 0x01}};
  Bench b;
  for (int p : {0, 1, 2, 3, 0}) {
    form.Set_Setting(Setting::CmbParity, p);
    EXPECT_EQ(form.Switch(Bank::swa, 4), expected[p][0]) << p;
    EXPECT_EQ(form.Switch(Bank::swa, 5), expected[p][1]) << p;
    EXPECT_EQ(form.Switch_Image()[2] & 0x05, expected[p][2]) << p;
    Switch_Bank_Form reader = Factory_Form(Config_Window::Pv5);
    Decode_Switch_Report(b.session, reader, form.Switch_Image_Text());
    EXPECT_EQ(reader.Value(Setting::CmbParity), p);
  }
}

TEST(Switch_Bank_Form, ResolutionSharingSwitchB6TurnsKorvLowResIntoHiRes) {
  // From "100 lpi" the last switch of the resolution (swb4) does not change;
  // the boxes still follow the switches once the choice is done.
  for (int start_res : {0, 4}) {
    Switch_Bank_Form form = Factory_Form(Config_Window::VSIII);
    form.Set_Setting(Setting::CmbFormat, 5);  // "BINARY KORV low res"
    form.Set_Setting(Setting::CmbRes, start_res);
    ASSERT_EQ(form.Value(Setting::CmbFormat), 5);
    EXPECT_EQ(form.Switch(Bank::swb, 6), 0);
    EXPECT_EQ(form.Set_Setting(Setting::CmbRes, 2), Set_Result::Changed);  // "1000 lpi" sets swb6
    EXPECT_EQ(form.Switch(Bank::swb, 6), 1);
    EXPECT_EQ(form.Shown(Setting::CmbFormat), "BINARY KORV hi res                 6 byte") << start_res;
    EXPECT_EQ(form.Shown(Setting::CmbRes), "1000 lpi");
    EXPECT_EQ(form.Format_Code(), 23);
    EXPECT_EQ(form.Switch_Image()[1], 23 + 32 * 2);
    Expect_Boxes_Match_Switches(form, "after resolution");
  }
  // And back: low res clears swb6, which turns "1000 lpi" into "100 lpi".
  Switch_Bank_Form form = Factory_Form(Config_Window::VSIII);
  form.Set_Setting(Setting::CmbRes, 2);
  form.Set_Setting(Setting::CmbFormat, 5);
  EXPECT_EQ(form.Shown(Setting::CmbRes), "100 lpi");
  EXPECT_EQ(form.Shown(Setting::CmbFormat), "BINARY KORV low res                5 byte");
}

TEST(Switch_Bank_Form, ImageByteFourCarriesProximityAndTheKvMask) {
  Switch_Bank_Form form = Factory_Form(Config_Window::Pv5);
  const std::vector<std::tuple<int, int, int>> cases = {
      // format, always-transmit, byte 4
      {0, 0, 0x61}, {0, 1, 0x71}, {4, 0, 0x61}, {9, 1, 0x71}, {14, 0, 33}, {14, 1, 49}, {15, 0, 33}, {15, 1, 49}};
  for (auto [format, prox, byte4] : cases) {
    form.Set_Setting(Setting::CmbFormat, format);
    form.Set_Setting(Setting::ChkProx, prox);
    EXPECT_EQ(form.Switch_Image()[3], byte4) << format << "/" << prox;
  }
  EXPECT_EQ(form.Shown(Setting::CmbEmu), "KV/Corvelline");
}

// KORV emulation sets bit 7 of byte 7; KORV ASCII with space clear (swb1
// off) also marks byte 5 bit 2 and byte 6 bit 3.
TEST(Switch_Bank_Form, KorvEmulationMarksBytesFiveAndSeven) {
  Switch_Bank_Form form = Factory_Form(Config_Window::VSIII);
  form.Set_Setting(Setting::ChkBeeper, 0);
  form.Set_Setting(Setting::CmbFormat, 7);  // KORV ASCII w/o space: swb1 left as it was (1)
  EXPECT_EQ(form.Switch(Bank::swb, 1), 1);
  EXPECT_EQ(form.Switch_Image_Text(), "C6,CA,4C,61,00,04,A0");
  EXPECT_EQ(form.Set_Switch(Bank::swb, 1, 0), Set_Result::Changed);
  EXPECT_EQ(form.Switch_Image_Text(), "C6,CA,4C,61,04,0C,A0");
  form.Set_Setting(Setting::CmbFormat, 8);  // MENSARO: no marks
  EXPECT_EQ(form.Switch_Image_Text(), "C6,D7,4C,61,00,0C,20");
}

TEST(Switch_Bank_Form, DecodesTheWxUiofReplyAndLogsItOnPallivantOnly) {
  Bench b;
  Switch_Bank_Form pv = Factory_Form(Config_Window::Pv5);
  Decode_Switch_Report(b.session, pv, "CE,1F,4D,61,00,0C,23\r");
  EXPECT_EQ(Summary(pv),
            "9600|None|8|1|100 lpi|WX UIOF|Prompt|BINARY WX UIOF                     8 byte|off|off|off|off");
  EXPECT_EQ(pv.Switch_Image_Text(), "CE,1F,4D,61,00,0C,23");
  EXPECT_EQ(b.session.log.Text(), "Last: CE,5F,09,61,00,14,23\rTablet CE,1F,4D,61,00,0C,23\r");
  Expect_Boxes_Match_Switches(pv, "decoded");

  Bench quiet;
  quiet.session.Debug_Mode = true;  // the lines are not a debug matter: never on VSIII
  Switch_Bank_Form vs = Factory_Form(Config_Window::VSIII);
  Decode_Switch_Report(quiet.session, vs, "CE,1F,4D,61,00,0C,23");
  EXPECT_EQ(Summary(vs), Summary(pv));
  EXPECT_EQ(vs.Switch_Image_Text(), "CE,1F,4D,61,00,0C,20");
  EXPECT_EQ(quiet.session.log.Text(), "");
}

TEST(Switch_Bank_Form, ShortAndGarbledRepliesReadMissingFieldsAsZero) {
  Bench b;
  Switch_Bank_Form form = Factory_Form(Config_Window::Pv5);
  Decode_Switch_Report(b.session, form, "");
  // All seven fields 0: code 0 is no listed format -> format 0, emulation 0;
  // byte 3 bit 2 clear means swa5 on; byte 6 bits 2, 3 clear mean swb1, swb2 on.
  EXPECT_EQ(form.Banks(), Banks_Of({0, 0, 0, 0, 1, 0, 0, 0}, {1, 1, 0, 0, 0, 0, 0, 0}, {0, 0, 0, 0, 0, 2, 2, 2}));
  EXPECT_EQ(form.Value(Setting::CmbFormat), 0);
  EXPECT_EQ(Log_Lines(b.session.log.Text()).back(), "Tablet 00,00,00,00,00,00,00");

  // A reply cut after the third field keeps the first three: byte 5 (click)
  // and byte 6 (stop bits) read as 0, and without byte 7 it is no KORV.
  Switch_Bank_Form cut = Factory_Form(Config_Window::VSIII);
  Decode_Switch_Report(b.session, cut, "C6,D7,4C,6");
  EXPECT_EQ(Summary(cut),
            "9600|None|8|1|40 lpmm|MENSARO|Stream|BINARY MENSARO hi res              6 byte|off|off|off|off");

  // A non-hexadecimal field reads as 0, its neighbours are untouched.
  Switch_Bank_Form bad = Factory_Form(Config_Window::VSIII);
  Decode_Switch_Report(b.session, bad, "C6,D7,4C,61,0G,00,20");
  EXPECT_EQ(bad.Value(Setting::ChkBeeper), 0);
  EXPECT_EQ(bad.Shown(Setting::CmbMode), "Stream");
  Expect_Boxes_Match_Switches(bad, "garbled");

  // Format codes outside the list fall back to format 0, emulation 0.
  for (const char* r2 : {"00", "01", "08", "11", "1D", "FF"}) {
    Switch_Bank_Form f = Factory_Form(Config_Window::VSIII);
    Decode_Switch_Report(b.session, f, std::string("C6,") + r2 + ",4C,61,02,00,20");
    EXPECT_EQ(f.Value(Setting::CmbFormat), 0) << r2;  // FF: code 31 is format 0 itself
    EXPECT_EQ(f.Value(Setting::CmbEmu), 0) << r2;
  }
}

TEST(Switch_Bank_Form, RefusedAndUnchangedWritesChangeNothing) {
  Bench b;
  Switch_Bank_Form form = Factory_Form(Config_Window::Pv5);
  int calls = 0;
  form.On_Change = [&] { ++calls; };
  const std::uint64_t before = form.Revision();
  for (int n = 6; n <= 8; ++n) {  // not present on this tablet
    EXPECT_EQ(form.Set_Switch(Bank::swc, n, 1), Set_Result::Refused);
    EXPECT_EQ(form.Set_Switch(Bank::swc, n, 0), Set_Result::Refused);
  }
  EXPECT_EQ(form.Set_Switch(Bank::swa, 0, 1), Set_Result::Refused);
  EXPECT_EQ(form.Set_Switch(Bank::swa, 9, 1), Set_Result::Refused);
  EXPECT_EQ(form.Set_Switch(Bank::swa, 1, 2), Set_Result::Refused);
  EXPECT_EQ(form.Set_Setting(Setting::CmbBaud, 8), Set_Result::Refused);
  EXPECT_EQ(form.Set_Setting(Setting::ChkLF, 2), Set_Result::Refused);
  EXPECT_EQ(form.Set_Setting(Setting::CmbFormat, -1), Set_Result::Refused);
  EXPECT_EQ(form.Set_Switch(Bank::swa, 1, 1), Set_Result::Unchanged);
  EXPECT_EQ(form.Set_Setting(Setting::CmbBaud, 1), Set_Result::Unchanged);
  EXPECT_EQ(form.Set_Setting(Setting::CmbFormat, 0), Set_Result::Unchanged);  // would rewrite its switches if it ran
  EXPECT_EQ(form.Revision(), before);
  EXPECT_EQ(calls, 0);
  Decode_Switch_Report(b.session, form, "FF,FF,FF,FF,FF,FF,FF");
  for (int n = 6; n <= 8; ++n) EXPECT_EQ(form.Switch(Bank::swc, n), Switch_Absent);
}

struct Write_Event {
  Bank bank;
  int number;
  int value;
  bool held;
  bool operator==(const Write_Event&) const = default;
};

// Each switch the handler writes, seen from the form's change notices,
// with whether the recompute was held at that moment.
std::vector<Write_Event> Record_Writes(Switch_Bank_Form& form, Setting id, int value) {
  std::vector<Write_Event> events;
  Switch_Banks seen = form.Banks();
  form.On_Change = [&] {
    for (int bank = 0; bank < 3; ++bank) {
      for (int n = 1; n <= 8; ++n) {
        const Bank b = static_cast<Bank>(bank);
        if (Switch_At(seen, b, n) == form.Switch(b, n)) continue;
        events.push_back({b, n, form.Switch(b, n), form.Hold_Recompute()});
      }
    }
    seen = form.Banks();
  };
  form.Set_Setting(id, value);
  form.On_Change = nullptr;
  return events;
}

TEST(Switch_Bank_Form, SettingHandlersWriteInOrderWithTheirHoldPoints) {
  using W = Write_Event;
  const Bank a = Bank::swa, b = Bank::swb, c = Bank::swc;
  // From the Velliscope III factory pattern (baud 1, parity 0, res 6 = 110,
  // emulation 2 with format 8, mode 3).
  const struct {
    Setting id;
    int value;
    std::vector<W> writes;
  } cases[] = {
      {Setting::CmbBaud, 6, {{a, 1, 0, true}, {a, 2, 1, true}, {a, 3, 1, false}}},
      {Setting::CmbParity, 3, {{a, 5, 1, true}, {a, 4, 1, true}}},  // both held, yet the boxes follow
      {Setting::CmbRes, 1, {{b, 5, 1, true}, {b, 6, 0, true}, {b, 4, 0, false}}},
      {Setting::CmbEmu, 1, {{b, 8, 1, true}, {b, 7, 0, false}}},
      {Setting::CmbMode, 0, {{c, 1, 0, true}, {c, 2, 0, false}}},
      {Setting::Cmbdatabits, 0, {{a, 7, 0, false}}},
      {Setting::CmbStopBits, 1, {{a, 6, 1, false}}},
      {Setting::ChkLF, 1, {{b, 3, 1, false}}},
      {Setting::ChkEcho, 1, {{c, 3, 1, false}}},
      {Setting::ChkProx, 1, {{c, 4, 1, false}}},
      {Setting::ChkBeeper, 0, {{c, 5, 0, false}}},
      // A format writes its row as one held change, so no passing format may
      // rewrite switches of its own: KORV ASCII with space.
      {Setting::CmbFormat, 6, {{a, 8, 1, true}, {b, 7, 0, true}, {b, 8, 1, true}}},
  };
  for (const auto& k : cases) {
    Switch_Bank_Form form = Factory_Form(Config_Window::VSIII);
    EXPECT_EQ(Record_Writes(form, k.id, k.value), k.writes) << form.Box(k.id).name;
    EXPECT_EQ(form.Value(k.id), k.value) << form.Box(k.id).name;
    Expect_Boxes_Match_Switches(form, form.Box(k.id).name);
  }
}

TEST(Switch_Bank_Form, ChoosingAFormatAlwaysEndsOnThatFormat) {
  for (Config_Window family : {Config_Window::Pv5, Config_Window::VSIII}) {
    for (int from = 0; from < Format_Count; ++from) {
      for (int to = 0; to < Format_Count; ++to) {
        Switch_Bank_Form form = Factory_Form(family);
        form.Set_Switch(Bank::swb, 1, from % 2);  // leftovers of the ASCII variants
        form.Set_Switch(Bank::swb, 2, (from / 2) % 2);
        form.Set_Setting(Setting::CmbFormat, from);
        form.Set_Setting(Setting::CmbFormat, to);
        EXPECT_EQ(form.Value(Setting::CmbFormat), to) << from << "->" << to;
        for (const Format_Write& w : Format_Row(to)) {
          EXPECT_EQ(form.Switch(w.bank, w.number), w.value) << from << "->" << to;
        }
        Expect_Boxes_Match_Switches(form, std::to_string(from) + "->" + std::to_string(to));
      }
    }
  }
}

TEST(Switch_Bank_Form, FactoryPatternLandsExactlyFromAnyState) {
  Bench b;
  for (Config_Window family : {Config_Window::Pv5, Config_Window::VSIII}) {
    const Switch_Banks factory = Factory_Form(family).Banks();
    for (int format = 0; format < Format_Count; ++format) {
      for (int res = 0; res < 8; ++res) {
        Switch_Bank_Form form = Factory_Form(family);
        Decode_Switch_Report(b.session, form, "FF,FF,FF,FF,FF,FF,FF");
        form.Set_Setting(Setting::CmbFormat, format);
        form.Set_Setting(Setting::CmbRes, res);
        form.Load_Factory_Switches();
        EXPECT_EQ(form.Banks(), factory) << format << "/" << res;
        Expect_Boxes_Match_Switches(form, "factory");
      }
    }
  }
}

TEST(Switch_Bank_Form, HoldRecomputeStopsTheSwitchToSettingDirection) {
  Switch_Bank_Form form = Factory_Form(Config_Window::VSIII);
  const Switch_Image_Bytes before = form.Switch_Image();
  form.Set_Hold_Recompute(true);
  EXPECT_EQ(form.Set_Switch(Bank::swa, 3, 1), Set_Result::Changed);
  form.Recompute_Settings();  // does nothing while held
  EXPECT_EQ(form.Value(Setting::CmbBaud), 1);
  EXPECT_EQ(form.Switch_Image(), before);
  form.Set_Hold_Recompute(false);
  form.Recompute_Settings();
  EXPECT_EQ(form.Shown(Setting::CmbBaud), "600");  // 1 + 4
  EXPECT_EQ(form.Switch_Image_Text(), "C6,D7,6C,61,02,00,20");

  // A user's click recomputes everything at once.
  EXPECT_EQ(form.Set_Switch(Bank::swb, 8, 1), Set_Result::Changed);  // emulation 3
  EXPECT_EQ(form.Shown(Setting::CmbEmu), "KV/Corvelline");
  EXPECT_EQ(form.Shown(Setting::CmbFormat), "BINARY KV                          5 byte");
  Expect_Boxes_Match_Switches(form, "click");
}

// Every pattern reachable through the setting lists survives the tablet's
// image: decoding what encoding wrote gives the same switches, whatever the
// reading window showed before; so do the factory patterns, read by either
// family after the other's.
TEST(Switch_Bank_Form, EveryExpressiblePatternRoundTrips) {
  Bench b;
  const Config_Window families[] = {Config_Window::Pv5, Config_Window::VSIII};
  for (Config_Window writer : families) {
    for (Config_Window reader_family : families) {
      Switch_Bank_Form reader = Factory_Form(reader_family);
      Decode_Switch_Report(b.session, reader, Factory_Form(families[writer == families[0]]).Switch_Image_Text());
      Decode_Switch_Report(b.session, reader, Factory_Form(writer).Switch_Image_Text());
      EXPECT_EQ(reader.Banks(), Factory_Form(writer).Banks()) << Banks_Text(reader.Banks());
    }
  }
  const std::tuple<Setting, int, int> simple[] = {
      {Setting::CmbBaud, 1, 8},    {Setting::CmbParity, 8, 4}, {Setting::Cmbdatabits, 3, 2},
      {Setting::CmbStopBits, 5, 2}, {Setting::CmbMode, 7, 4},  {Setting::ChkLF, 11, 2},
      {Setting::ChkEcho, 13, 2},    {Setting::ChkProx, 17, 2}, {Setting::ChkBeeper, 19, 2}};
  int checked = 0;
  int deepest = 0;
  for (Config_Window family : families) {
    Switch_Bank_Form previous = Factory_Form(family);
    int k = 0;
    for (int earlier = 0; earlier < Format_Count; ++earlier) {
      for (int format = 0; format < Format_Count; ++format) {
        for (int res = 0; res < 8; ++res) {
          for (int res_first = 0; res_first < 2; ++res_first, ++k) {
            Switch_Bank_Form form = Factory_Form(family);
            form.Set_Setting(Setting::CmbFormat, earlier);
            if (res_first) form.Set_Setting(Setting::CmbRes, res);
            form.Set_Setting(Setting::CmbFormat, format);
            if (!res_first) form.Set_Setting(Setting::CmbRes, res);
            // The simple settings, each at a pace of its own.
            for (const auto& [id, step, count] : simple) form.Set_Setting(id, (k / step) % count);
            const std::string where = std::to_string(earlier) + "/" + std::to_string(format) + "/" +
                                      std::to_string(res) + "/" + std::to_string(res_first);
            Expect_Boxes_Match_Switches(form, where);
            const std::string image = form.Switch_Image_Text();

            Switch_Bank_Form fresh = Factory_Form(family);
            Decode_Switch_Report(b.session, fresh, image);
            EXPECT_EQ(fresh.Banks(), form.Banks()) << where << " " << Banks_Text(form.Banks());
            EXPECT_EQ(fresh.Switch_Image_Text(), image) << where;

            Decode_Switch_Report(b.session, previous, image);
            EXPECT_EQ(previous.Banks(), form.Banks()) << where << " after another pattern";

            Decode_Switch_Report(b.session, form, image);
            EXPECT_EQ(form.Banks(), previous.Banks()) << where << " onto itself";
            deepest = std::max({deepest, form.Deepest_Cascade(), fresh.Deepest_Cascade(), previous.Deepest_Cascade()});
            ++checked;
            if (::testing::Test::HasFailure()) return;
          }
        }
      }
    }
  }
  EXPECT_EQ(checked, 2 * 16 * 16 * 8 * 2);
  EXPECT_LT(deepest, 40);  // the cascade settles well before its guard
}

TEST(Switch_Bank_Form, FamilyNamesParseInEitherCase) {
  EXPECT_EQ(Parse_Config_Window("Pv5"), Config_Window::Pv5);
  EXPECT_EQ(Parse_Config_Window("vsiii"), Config_Window::VSIII);
  EXPECT_FALSE(Parse_Config_Window("VSII").has_value());
  EXPECT_FALSE(Parse_Config_Window("").has_value());
  EXPECT_STREQ(Variant_Of(Config_Window::Pv5).caption, "Pallivant V Advanced Configuration");
  EXPECT_STREQ(Variant_Of(Config_Window::VSIII).caption, "Velliscope III Advanced Configuration");
}

}  // namespace
}  // namespace stylomat
