// Our factory table files: generated from the SuperSet list texts, shipped
// in data/, and each record decoding to what its list text says.
#include "superset/factory_tables.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>

#include "core/session.h"
#include "superset/superset_form.h"
#include "superset/superset_lists.h"
#include "superset/table_files.h"

namespace stylomat {
namespace {

using B = SuperSet_Box;
constexpr Config_Window All_Windows[] = {Config_Window::KORV_form, Config_Window::Mirolex2,
                                           Config_Window::Dovrane3};

std::string Shipped(const char* name) {
  std::ifstream f(std::string(STYLOMAT_SOURCE_DIR) + "/data/" + name, std::ios::binary);
  std::stringstream ss;
  ss << f.rdbuf();
  return ss.str();
}

std::vector<std::string> All_Entries(Config_Window w) {
  SuperSet_List_Flags flags;
  flags.OEM_Mode = true;
  return SuperSet_Entries(w, flags);
}

// What the boxes must show for a description, written independently of the
// encoder: texts, not indexes.
std::string Expected_Format(const Factory_Description& d) {
  if (d.family == "KORV") return d.binary ? "KORV BINARY" : "KORV ASCII ";
  if (d.family == "Mensaro") return d.binary ? "Mensaro BINARY" : "Mensaro 9100 " + std::to_string(d.ascii_variant);
  if (d.binary) return "Zeltavision UIOF BINARY";
  return d.ascii_variant == 2 ? "Zeltavision ID ASCII" : "Zeltavision UIOF ASCII ";
}

std::string Expected_Rate(const Factory_Description& d) {
  if (d.rate_max || d.rate == 200) return "100 pps";
  if (d.rate != 0) return std::to_string(d.rate) + " pps";
  return d.mode == "Point" ? "12 pps" : "100 pps";
}

std::string Expected_Parity(const Factory_Description& d) {
  if (d.parity == 'O') return "Odd ";
  if (d.parity == 'E') return "Even";
  return "None";
}

std::string Expected_Mode(const Factory_Description& d) {
  const std::map<std::string, std::string> modes = {{"Point", "Point"},
                                                    {"Line", "Line"},
                                                    {"Cont", "Continuous"},
                                                    {"Line Incr", "Line increment"},
                                                    {"Cont Incr", "Cont increment"}};
  const auto it = modes.find(d.mode);
  return it == modes.end() ? "?" : it->second;
}

TEST(FactoryTables, ShippedFilesMatchTheListTexts) {
  for (auto w : All_Windows) {
    EXPECT_EQ(Shipped(Table_File_Name(w)), Factory_Table_Text(w))
        << Table_File_Name(w) << " is out of date: run stylomat-cli superset tables --out data";
  }
}

TEST(FactoryTables, EveryListTextIsUnderstood) {
  for (auto w : All_Windows) {
    const auto entries = All_Entries(w);
    int described = 0;
    for (std::size_t n = 0; n < entries.size(); ++n) {
      const auto reading = Read_Factory_Text(entries[n], w);
      EXPECT_NE(reading.kind, Factory_Text_Kind::Unreadable) << entries[n] << ": " << reading.problem;
      if (reading.kind == Factory_Text_Kind::Described) ++described;
    }
    EXPECT_EQ(described, w == Config_Window::Mirolex2 ? 55 : 84) << Config_Window_Name(w);
  }
  EXPECT_EQ(Read_Factory_Text("12 9600,N,8,1 KORV ASCII, 1000 lpi, Point Foo", Config_Window::KORV_form).kind,
            Factory_Text_Kind::Unreadable);
  EXPECT_EQ(Read_Factory_Text("12 9600,X,8,1 KORV ASCII, 1000 lpi, Point", Config_Window::KORV_form).kind,
            Factory_Text_Kind::Unreadable);
  EXPECT_EQ(Read_Factory_Text("12 9600,N,8,1 KORV ASCII, 4000 lpi, Point", Config_Window::KORV_form).kind,
            Factory_Text_Kind::Unreadable);
}

TEST(FactoryTables, EveryFactoryRecordDecodesToItsText) {
  for (auto w : All_Windows) {
    Virtual_Clock clock;
    Port_Directory ports;
    Fixed_Prompter prompter;
    Session s(clock, ports, prompter);
    s.OEM_Mode = true;
    s.App_Dir = std::string(STYLOMAT_SOURCE_DIR) + "/data";
    SuperSet_Form form(s, w);
    const auto r = w == Config_Window::KORV_form ? Read_KORV_Data_File(s, form.Table()) : TABLES(form);
    ASSERT_TRUE(r.ok) << r.message;
    if (w == Config_Window::KORV_form) {
      // The KORV window takes only its user rows from the file; the factory
      // records 1 to 89 are checked through the same reader.
      const auto all = Read_Table_File(s, s.App_Dir + "/" + KORV_Table_File, {101, 0, 89}, form.Table());
      ASSERT_TRUE(all.ok) << all.message;
    }
    const auto entries = form.List(B::CmbSuperSet).items;
    for (std::size_t n = 1; n < entries.size(); ++n) {
      const auto reading = Read_Factory_Text(entries[n], w);
      if (reading.kind != Factory_Text_Kind::Described) continue;
      const Factory_Description& d = reading.description;
      const SuperSet_Record record = form.Table()[n];
      form.Select_SuperSet(static_cast<int>(n));
      SCOPED_TRACE(std::string(Config_Window_Name(w)) + " \"" + entries[n] + "\" " + Record_Text(record));
      EXPECT_EQ(form.List(B::CmbBaud).Text(), d.baud);
      EXPECT_EQ(form.List(B::CmbParity).Text(), Expected_Parity(d));
      EXPECT_EQ(form.List(B::Cmbdatabits).Text(), std::to_string(d.data_bits));
      EXPECT_EQ(form.List(B::CmbStopBits).Text(), std::to_string(d.stop_bits));
      EXPECT_EQ(form.List(B::CmbEmu).Text(), d.family == "Zelta" ? "Zeltavision" : d.family);
      EXPECT_EQ(form.List(B::CmbFormat).Text(), Expected_Format(d));
      EXPECT_EQ(form.List(B::CmbRes).Text(), d.resolution);
      EXPECT_EQ(form.List(B::CmbMode).Text(), Expected_Mode(d));
      EXPECT_EQ(form.List(B::CmbDataRate).Text(), Expected_Rate(d));
      EXPECT_EQ(form.Check(B::ChkCR).value, d.carriage_return ? 1 : 0);
      EXPECT_EQ(form.Check(B::ChkLF).value, d.line_feed ? 1 : 0);
      EXPECT_EQ(form.Check(B::Chksp).value, d.space ? 1 : 0);
      EXPECT_EQ(form.Check(B::Chkdp).value, d.decimal_point ? 1 : 0);
      EXPECT_EQ(form.Check(B::ChkButtons).value, d.buttons ? 1 : 0);
      EXPECT_EQ(form.Check(B::ChkAlarm).value, d.alarm ? 1 : 0);
      // Factory records are written the way the window writes: an edited
      // copy that changes nothing is the same record.
      form.Table()[90] = record;
      form.Select_SuperSet(90);
      EXPECT_EQ(form.Table()[90], record);
    }
  }
}

// A few records as literals (the decoding test above reads them through the
// form), and the choices for the entries whose text says nothing.
TEST(FactoryTables, SampleRecordsAndOpenEntryChoices) {
  using W = Config_Window;
  EXPECT_EQ(Record_Text(Factory_Record(W::KORV_form, 75)), "82,40,11,10");  // Mensaro 9100 3, CR
  EXPECT_EQ(Record_Text(Factory_Record(W::KORV_form, 79)), "52,92,02,80");  // Zelta ASCII 1, LF in bit 7
  EXPECT_EQ(Record_Text(Factory_Record(W::KORV_form, 1)), "82,52,40,00");   // Cont Max
  EXPECT_EQ(Record_Text(Factory_Record(W::Mirolex2, 7)), "82,92,C0,00");    // 100 lpmm in the Mirolex list
  EXPECT_EQ(Record_Text(Factory_Record(W::Mirolex2, 55)), "52,12,90,01");   // 200 pps -> 100 pps
  EXPECT_EQ(Record_Text(Factory_Record(W::Mirolex2, 60)), "82,12,40,00");   // Reserved
  EXPECT_EQ(Record_Text(Factory_Record(W::KORV_form, 0)), "82,52,40,00");   // Power On setting
  EXPECT_EQ(Record_Text(Factory_Record(W::KORV_form, 95)), "82,52,40,00");  // User defined
  EXPECT_EQ(Record_Text(Factory_Record(W::Dovrane3, 100)), "82,52,40,00");  // Tempory Custom setting
  EXPECT_EQ(Record_Text(Factory_Record(W::Dovrane3, 101)), "82,52,45,00");  // emulation 5, "Special: Zividozi"
  EXPECT_EQ(Record_Text(Factory_Record(W::Dovrane3, 102)), "82,52,46,00");  // emulation 6, "Special: Reriza"
  EXPECT_EQ(Record_Text(Factory_Record(W::Dovrane3, 103)), "82,52,14,04");
  EXPECT_EQ(Record_Text(Factory_Record(W::Dovrane3, 104)), "82,52,14,0C");
}

}  // namespace
}  // namespace stylomat
