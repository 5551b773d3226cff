#include "superset/superset_lists.h"

#include <cstdio>

namespace stylomat {

namespace {

std::string Two_Digits(int n) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "%02d", n);
  return buf;
}

// In the Dovrane III list the brand reads "KORV" where the KORV window shows
// "KORV_form".
std::string Dovrane_Text(std::string text) {
  static const std::string from = "KORV_form";
  const auto at = text.find(from);
  if (at != std::string::npos) text.replace(at, from.size(), "KORV");
  return text;
}

}  // namespace

const std::vector<std::string>& KORV_Factory_Texts() {
  static const std::vector<std::string> texts = {
    "01 9600,N,8,1 KORV_form Binary, 1000lpi Cont Max",
    "02 9600,N,8,1 KORV_form Binary, 1000lpi Cont inc",
    "03 9600,N,8,1 KORV_form Binary, 1000lpi Cont Max",
    "04 9600,N,8,1 KORV_form Binary, 1000lpi Point",
    "05 9600,N,8,2 KORV_form Binary, 1000lpi Cont 100",
    "06 9600,N,8,1  KORV_form Binary, 1000 lpi, Point",
    "07 9600,N,8,1  KORV_form Binary, 200 lpi, Cont 100  ",
    "08 9600,N,8,1  KORV_form Binary, 1000 lpi, Cont 100 ",
    "09 9600,N,8,1  KORV_form Binary, 1000 lpi, Cont 12  ",
    "10 9600,N,8,1  KORV_form Binary, 200 lpi, Cont Max  ",
    "11 9600,N,8,1  KORV_form Binary, 1000 lpi, Cont Max, Alarm  ",
    "12 9600,N,8,1  KORV_form ASCII, 1000 lpi, Point Pb, Sp, CR, LF",
    "13 9600,N,8,1  KORV_form Binary, 1000 lpi, Cont 12",
    "14 9600,N,8,1  KORV_form Binary, 200 lpi, Cont 100",
    "15 9600,N,8,2  KORV_form Binary, 200 lpi, Cont 100  ",
    "16 9600,E,7,1  KORV_form Binary, 200 lpi, Point",
    "17 9600,E,7,2  KORV_form Binary, 200 lpi, Cont Max  ",
    "18 9600,E,7,2  KORV_form Binary, 200 lpi, Cont Max  ",
    "19 9600,N,8,1  KORV_form Binary, 1000 lpi, Point    ",
    "20 1200,N,8,1  KORV_form Binary, 1000 lpi, Cont 100 ",
    "21 4800,N,8,1  KORV_form Binary, 40 lpmm, Cont 12   ",
    "22 4800,N,8,1  KORV_form Binary, 1000 lpi, Cont Max ",
    "23 2400,N,8,1  KORV_form Binary, 1000 lpi, Cont 12  ",
    "24 9600,N,8,2  KORV_form Binary, 1000 lpi, Cont Max ",
    "25 9600,N,8,2  KORV_form Binary, 1000 lpi, Cont Max",
    "26 9600,N,8,2  KORV_form Binary, 200 lpi, Point ",
    "27 9600,N,8,1  KORV_form ASCII, 40 lpmm, Point  Pb, Sp, LF",
    "28 4800,O,7,2  KORV_form ASCII, 100 lpi, Point  Sp, CR, LF",
    "29 1200,O,7,2  KORV_form ASCII, 1000 lpi, Point Pb, CR, LF",
    "30 1200,N,8,1  KORV_form Binary, 40 lpmm, Cont 12",
    "31 9600,O,7,2  KORV_form ASCII, 1000 lpi, Point Pb, CR, LF",
    "32 9600,E,7,2  KORV_form ASCII, 1000 lpi, Point Sp, CR",
    "33 2400,E,7,1  KORV_form ASCII, 100 lpi, Cont 12    Pb, Sp, CR, LF",
    "34 9600,E,7,1  KORV_form ASCII, 1000 lpi, Point Pb, Sp, CR, LF",
    "35 9600,E,7,1  KORV_form ASCII, 1000 lpi, Point Pb, Sp, CR, LF",
    "36 9600,E,7,1  KORV_form ASCII, 1000 lpi, Cont 12   Sp, CR, LF",
    "37 2400,N,8,1  KORV_form ASCII, 1000 lpi, Point Pb, Sp, CR, LF",
    "38 2400,E,7,2  KORV_form ASCII, 1000 lpi, Point Pb, Sp, CR, LF",
    "39 1200,O,7,1  KORV_form ASCII, 1000 lpi, Cont 12   Pb, CR",
    "40 1200,N,8,1  KORV_form ASCII, 1000 lpi, Point Pb, Sp, CR, LF",
    "41 9600,E,7,1  KORV_form ASCII, 1000 lpi, Point Pb, Sp, CR",
    "42 9600,N,8,1  KORV_form ASCII, 1000 lpi, Point Pb, Sp, CR, LF",
    "43 1200,E,7,1  KORV_form ASCII, 1000 lpi, Point, Alarm  Pb, Sp, CR",
    "44 9600,N,8,1  KORV_form ASCII, 1000 lpi, Cont 12, Alarm    Pb, Sp, CR, LF",
    "45 9600,N,8,2  KORV_form ASCII, 100 lpi, Point, Alarm   Pb, CR, LF",
    "46 9600,E,7,2  KORV_form Binary, 1000 lpi, Cont 100 ",
    "47 9600,O,7,2  KORV_form ASCII, 1000 lpi, Cont 100  Pb, CR",
    "48 9600,E,7,1  KORV_form ASCII, 1000 lpi, Point CR, LF",
    "49 1200,E,7,1  KORV_form ASCII, 1000 lpi, Cont 12   Pb, CR",
    "50 9600,E,8,1  KORV_form ASCII, 40 lpmm, Point, Alarm   Pb, Sp, CR, LF",
    "51 1200,N,7,2  KORV_form ASCII, 1000 lpi, Point Pb, CR, LF",
    "52 9600,E,8,1  KORV_form Binary, 1000 lpi, Cont 100, Alarm  ",
    "53 9600,N,8,1  KORV_form ASCII, 1000 lpi, Cont Max  Pb, CR  ",
    "54 9600,N,8,1  KORV_form ASCII, 1000 lpi, Cont 12   Pb, CR",
    "55 9600,O,7,2  KORV_form ASCII, 1000 lpi, Cont Max, Alarm   Pb, CR",
    "56 9600,E,7,2  KORV_form ASCII, 1000 lpi, Point Pb, Sp, CR, LF",
    "57 9600,O,7,1  KORV_form ASCII, 1000 lpi, Point Pb, Sp, CR, LF",
    "58 9600,N,8,1  KORV_form ASCII, 1000 lpi, Cont 12   Pb, CR, LF",
    "59 1200,E,7,1  KORV_form ASCII, 1000 lpi, Point, Alarm  Pb, Sp, CR",
    "60 9600,O,7,1  KORV_form ASCII, 1000 lpi, Point, Alarm  Pb",
    "61 4800,N,8,1  KORV_form ASCII, 1000 lpi, Point Pb, CR, LF",
    "62 2400,N,8,1  KORV_form ASCII, 1000 lpi, Cont 12   Pb, CR, LF",
    "63 1200,O,7,1  KORV_form ASCII, 1000 lpi, Point Pb, Sp, CR, LF",
    "64 9600,N,8,1  KORV_form ASCII, 1000 lpi, Point Pb, Sp, CR, LF",
    "65 2400,N,8,1  KORV_form Binary, 1000 lpi, Cont 100",
    "66 9600,O,7,2  KORV_form ASCII, 1000 lpi, Point Pb, Sp, CR, LF",
    "67 9600,N,8,1  KORV_form ASCII, 1000 lpi, Cont 12, Alarm    Pb, CR",
    "68 9600,O,7,2  KORV_form ASCII, 100 lpi, Point  Pb, Sp, CR, LF",
    "69 9600,E,7,1  KORV_form ASCII, 40 lpmm, Point  CR, LF",
    "70 1200,N,8,1  KORV_form ASCII, 100 lpi, Point, Max, Alarm  SP, CR",
    "71 9600,N,8,1  KORV_form Binary, 40 lpmm, Cont  Pb",
    "72 1200,O,7,2  KORV_form ASCII, 100 lpi, Point  Pb, Sp, CR, LF",
    "73 9600,N,8,1  KORV_form ASCII, 1000 lpi, Point CR, LF",
    "74 9600,N,8,1  KORV_form ASCII, 1000 lpi, Cont 100, Alarm  Pb, Sp, CR, LF",
    "75 9600,N,8,1  Mensaro ASCII 3, 1000 lpi, Point CR",
    "76 9600,N,8,1  Zelta ASCII 2, 10 lpmm, Point CR",
    "77 9600,N,8,1  Zelta ASCII 2, 10 lpmm, Cont 100 CR",
    "78 2400,N,8,1  Zelta Binary, 10 lpmm, Point",
    "79 9600,O,7,2  Zelta ASCII 1, 10 lpmm, Cont 100 LF",
    "80 9600,O,8,1  Zelta Binary, 10 lpmm, Point, Alarm",
    "81 9600,N,8,1  KORV_form ASCII, 40 lpmm, Point  Pb,CR, LF",
    "82 9600,N,8,1  KORV_form ASCII, 1000 lpi, Point, Max, Alarm Pb, Sp, CR, LF",
    "83 9600,N,8,1  KORV_form ASCII, 1000 lpi, Cont Incr Pb, Sp, CR",
    "84 Reserved",
    "85 Reserved",
    "86 9600,N,8,1  KORV_form ASCII, 1000 lpi, Point Pb, Sp",
    "87 Reserved",
    "88 Reserved",
    "89 Reserved",
    "90 User defined",
    "91 User defined",
    "92 User defined",
    "93 User defined",
    "94 User defined",
    "95 User defined",
    "96 User defined",
    "97 User defined",
  };
  return texts;
}

const std::vector<std::string>& Mirolex_Factory_Texts() {
  static const std::vector<std::string> texts = {
    "01 9600,N,8,1 KORV Binary, 1000 lpi, Cont, 100",
    "02 9600,N,8,1 KORV Binary, 1000 lpi, Cont, 12",
    "03 9600,N,8,1 KORV ASCII, 1000 lpi, Point, Alarm  PB, SP, CR, LF",
    "04 4800,N,8,1 KORV ASCII, 1000 lpi, Point, Alarm  PB, CR, LF",
    "05 9600,N,8,1 KORV Binary, 2000 lpi, Cont, 100, Alarm",
    "06 9600,N,8,1 KORV Binary, 4000 lpi, Cont, 100, Alarm",
    "07 9600,N,8,1 KORV Binary, 100 lpm, Cont, 100, Alarm",
    "08 9600,N,8,1 KORV ASCII, 1000 lpi, Cont, 50, Alarm  PB, SP, CR, LF",
    "09 9600,N,8,1 KORV ASCII, 1000 lpi, Line, 50, Alarm  PB, SP, CR, LF",
    "10 9600,N,8,1 KORV ASCII, 1000 lpi, Line Incr, 50, Alarm PB, SP, CR, LF",
    "11 9600,N,8,1 KORV ASCII, 1000 lpi, Cont Incr, 50, Alarm PB, SP, CR, LF",
    "12 9600,N,8,1 KORV ASCII, 2000 lpi, Point, Alarm  PB, SP, CR, LF",
    "13 9600,N,8,1 KORV ASCII, 2000 lpi, Cont, 50, Alarm  PB, SP, CR, LF",
    "14 9600,N,8,1 KORV ASCII, 4000 lpi, Point, Alarm  PB, SP, CR, LF",
    "15 9600,N,8,1 KORV ASCII, 4000 lpi, Cont, 50, Alarm  PB, SP, CR, LF",
    "16 9600,N,8,1 KORV ASCII, 100 lpmm, Point, Alarm  PB, SP, CR, LF",
    "17 9600,N,8,1 KORV ASCII, 100 lpmm, Cont 50, Alarm  PB, SP, CR, LF",
    "18 9600,N,8,1 Mensaro ASCII 1, 1000 lpi, Point, Alarm",
    "19 9600,N,8,1 Mensaro ASCII 1, 1000 lpi, Line, 50, Alarm",
    "20 9600,N,8,1 Mensaro ASCII 1, 1000 lpi, Cont, 50, Alarm",
    "21 9600,N,8,1 Mensaro ASCII 1, 1000 lpi, Line Incr, 50, Alarm",
    "22 9600,N,8,1 Mensaro ASCII 1, 1000 lpi, Cont Incr, 50, Alarm",
    "23 9600,N,8,1 Mensaro ASCII 2, 1000 lpi, Point, Alarm",
    "24 9600,N,8,1 Mensaro ASCII 2, 1000 lpi, Line, 50, Alarm",
    "25 9600,N,8,1 Mensaro ASCII 2, 1000 lpi, Cont, 50, Alarm",
    "26 9600,N,8,1 Mensaro ASCII 3, 1000 lpi, Point, Alarm",
    "27 9600,N,8,1 Mensaro ASCII 3, 1000 lpi, Line, 50, Alarm",
    "28 9600,N,8,1 Mensaro ASCII 3, 1000 lpi, Cont, 50, Alarm",
    "29 9600,N,8,1 Mensaro ASCII 4, 1000 lpi, Point, Alarm",
    "30 9600,N,8,1 Mensaro ASCII 4, 1000 lpi, Line, 50, Alarm",
    "31 9600,N,8,1 Mensaro ASCII 4, 1000 lpi, Cont, 50, Alarm",
    "32 9600,N,8,1 Mensaro ASCII 4, 1000 lpi, Line Incr, 50, Alarm",
    "33 9600,N,8,1 Mensaro ASCII 4, 1000 lpi, Cont Incr, 50, Alarm",
    "34 9600,N,8,1 Mensaro ASCII 4, 2000 lpi, Point, Alarm",
    "35 9600,N,8,1 Mensaro ASCII 4, 2000 lpi, Cont, 50, Alarm",
    "36 9600,N,8,1 Mensaro ASCII 4, 4000 lpi, Point, Alarm",
    "37 9600,N,8,1 Mensaro ASCII 4, 4000 lpi, Cont, 50, Alarm",
    "38 9600,N,8,1 Mensaro ASCII 4, 100 lpmm, Point, Alarm",
    "39 9600,N,8,1 Mensaro ASCII 4,100 lpmm,Cont 50, Alarm",
    "40 9600,N,8,1 Zelta Binary, 1000 lpi, Cont, 100, Alarm",
    "41 9600,N,8,1 Zelta Binary, 2000 lpi, Cont, 100, Alarm",
    "42 9600,N,8,1 Zelta Binary, 4000 lpi, Cont, 100, Alarm",
    "43 9600,N,8,1 Zelta Binary, 100 lpmm, Cont,100, Alarm",
    "44 9600,N,8,1 Zelta ASCII, 1000 lpi, Point, Alarm  DP, CR, LF",
    "45 9600,N,8,1 Zelta ASCII, 1000 lpi, Line, 50, Alarm  DP, CR, LF",
    "46 9600,N,8,1 Zelta ASCII, 1000 lpi, Cont, 50, Alarm  DP, CR, LF",
    "47 9600,N,8,1 Zelta ASCII, 1000 lpi, Line Incr,50,Alarm DP, CR, LF",
    "48 9600,N,8,1 Zelta ASCII, 1000 lpi, Cont Incr,50,Alarm DP, CR, LF",
    "49 9600,N,8,1 Zelta ASCII, 40 lpmm, Point, Alarm  DP, CR, LF",
    "50 9600,N,8,1 Zelta ASCII, 40 lpmm, Cont, 50, Alarm  DP, CR, LF",
    "51 9600,N,8,1 Zelta ASCII, 2000 lpi, Cont, 50, Alarm  CR, LF",
    "52 9600,N,8,1 Zelta ASCII, 4000 lpi, Cont, 50, Alarm  CR, LF",
    "53 9600,N,8,1 KORV ASCII, 1000 lpi, Cont, 100, Alarm  Pb, Sp, CR, LF",
    "54 9600,N,8,1 KORV ASCII, 40 lpmm, Point   Pb, CR, LF",
    "55 9600,O,7,2 KORV ASCII, 1000 lpi, Cont, 200, Alarm  Pb, CR",
  };
  return texts;
}

std::vector<std::string> SuperSet_Entries(Config_Window window, const SuperSet_List_Flags& flags) {
  std::vector<std::string> entries;
  entries.reserve(105);
  entries.push_back("Power On setting");
  switch (window) {
    case Config_Window::KORV_form:
      for (const auto& text : KORV_Factory_Texts()) entries.push_back(text);
      entries.push_back(flags.Quorral_III_Flag ? "98 Reserved" : "98 User defined");
      entries.push_back("99 Reserved");
      break;
    case Config_Window::Dovrane3:
      for (const auto& text : KORV_Factory_Texts()) entries.push_back(Dovrane_Text(text));
      entries.push_back("98 User defined");
      entries.push_back(flags.Dovrane_IV_VI_Flag ? "99 Reserved" : "99 User defined");
      entries.push_back("Tempory Custom setting");
      if (flags.OEM_Mode) {
        entries.push_back("101 *Special: Zivid Ozi");
        entries.push_back("102 *Special: reriza");
        entries.push_back("103 *Special: Rerodezizo, Inc. w/o menu");
        entries.push_back("104 *Special: Rerodezizo, Inc. with menu");
      }
      break;
    case Config_Window::Mirolex2:
      for (const auto& text : Mirolex_Factory_Texts()) entries.push_back(text);
      for (int n = 56; n <= 89; ++n) entries.push_back(Two_Digits(n) + " Reserved");
      for (int n = 90; n <= 97; ++n) entries.push_back(Two_Digits(n) + " User defined");
      entries.push_back("98 User defined");
      entries.push_back(flags.Mirolex_III_Flag ? "99 Reserved" : "99 User defined");
      entries.push_back("Tempory Custom setting");
      break;
    case Config_Window::Pv5:
    case Config_Window::VSIII: break;  // switch-bank windows have no SuperSet list
  }
  return entries;
}

const std::vector<std::string>& Baud_Items() {
  static const std::vector<std::string> items = {"38400", "19200", "9600", "4800", "2400", "1200", "600", "300"};
  return items;
}

const std::vector<std::string>& Parity_Items() {
  static const std::vector<std::string> items = {"None", "Odd ", "Even"};
  return items;
}

const std::vector<std::string>& Data_Bits_Items() {
  static const std::vector<std::string> items = {"7", "8"};
  return items;
}

const std::vector<std::string>& Stop_Bits_Items() {
  static const std::vector<std::string> items = {"1", "2"};
  return items;
}

const std::vector<std::string>& Format_Items() {
  static const std::vector<std::string> items = {
      "KORV BINARY",    "KORV ASCII ",    "Mensaro BINARY",          "Mensaro 9100 1",          "Mensaro 9100 2",
      "Mensaro 9100 3", "Mensaro 9100 4", "Zeltavision UIOF BINARY", "Zeltavision UIOF ASCII ", "Zeltavision ID ASCII"};
  return items;
}

const std::vector<std::string>& Mode_Items() {
  static const std::vector<std::string> items = {"Point", "Line", "Continuous", "Line increment", "Cont increment"};
  return items;
}

const std::vector<std::string>& Data_Rate_Items() {
  static const std::vector<std::string> items = {"12 pps", "50 pps", "100 pps", "25 pps"};
  return items;
}

std::vector<std::string> Resolution_Items(Config_Window window) {
  if (window == Config_Window::Mirolex2) {
    return {"1000 lpi", "2000 lpi", "4000 lpi", "40 lpmm", "100 lpmm", "150 lpmm"};
  }
  return {"100 lpi", "200 lpi", "1000 lpi", "2000 lpi", "10 lpmm", "40 lpmm", "100 lpmm"};
}

std::vector<std::string> Emulation_Items(Config_Window window, bool oem_mode) {
  std::vector<std::string> items = {"KORV", "Mensaro", "Zeltavision"};
  if (window == Config_Window::Mirolex2) return items;
  if (oem_mode) {
    for (const char* s : {"Special:", "Special: Rerodezizo", "Special: Zividozi", "Special: Reriza", "Special"}) {
      items.push_back(s);
    }
  } else {
    for (int i = 3; i <= 7; ++i) items.push_back("Special");
  }
  return items;
}

}  // namespace stylomat
