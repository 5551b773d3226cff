#pragma once
// The SuperSet table files: the factory SuperSets each configuration window
// seeds its table from.
//
// A file is plain text, one record per line: four fields separated by
// commas, each a number in hexadecimal digits (normally two, 00 to FF),
// byte 0 first, e.g. "32,40,51,07".  Blanks around a field are ignored and a
// field may be enclosed in double quotes.  A field's value is made of its
// leading hexadecimal digits (either case); conversion stops at the first
// other character and an empty field is 0.  Blank lines are skipped.
// Record k (counting from 0) goes to row k.
//
// The readers never stop the program: a missing or unreadable file, a file
// with too few records, a record with fewer than four fields or a field
// beyond FF is reported in one message naming the file; the rows such
// records would have filled are left at zero and everything else read is
// kept.
#include <string>
#include <string_view>

#include "superset/superset_record.h"

namespace stylomat {

struct Session;
class SuperSet_Form;

inline constexpr const char* KORV_Table_File = "korvsstable.dat";
inline constexpr const char* Mirolex_Table_File = "mx2sstable.dat";
inline constexpr const char* Dovrane_Table_File = "dv3sstable.dat";
const char* Table_File_Name(Config_Window window);

// How many records a window reads and which rows it fills from them.
struct Table_File_Layout {
  int records = 0;    // records 0 .. records-1 are read
  int first_row = 0;  // rows first_row .. last_row are filled
  int last_row = -1;
};
// KORV_form: 101 records, rows 90..99 (90..98 with Quorral_III_Flag).
// Mirolex2: 100 records, rows 0..99.
// Dovrane3: 101 records, rows 0..100; with OEM_Mode 105, rows 0..104.
Table_File_Layout Table_Layout(Config_Window window, bool oem_mode, bool quorral_iii);

// The value of one field; saturates at 0x10000 for long digit strings.
int Table_Field_Value(std::string_view field);

struct Table_File_Result {
  bool ok = false;           // every record was there and sound
  bool opened = false;       // the file could be read at all
  int records_found = 0;     // records present (sound or damaged), at most the layout's count
  int damaged_records = 0;   // records with fewer than four fields or a field beyond FF
  int first_damaged = -1;    // record number of the first damaged record
  int first_damaged_line = 0;
  std::string path;          // the file that was read
  std::string message;       // what the user was told; empty when ok
};

// Fills table rows from text as the layout says.  No I/O, no message.
Table_File_Result Parse_Table_Text(std::string_view text, const Table_File_Layout& layout, SuperSet_Table& table);

// Reads a table file at path into the table; on any problem tells the user
// through the session's Prompter, naming the file.
Table_File_Result Read_Table_File(Session& session, const std::string& path, const Table_File_Layout& layout,
                                  SuperSet_Table& table);

// The readers of the three windows: the file in the session's App_Dir.
Table_File_Result Read_KORV_Data_File(Session& session, SuperSet_Table& table);
Table_File_Result TABLES(Session& session, Config_Window window, SuperSet_Table& table);
// The same on a form's own table (its window picks the file).
Table_File_Result Read_KORV_Data_File(SuperSet_Form& form);
Table_File_Result TABLES(SuperSet_Form& form);

}  // namespace stylomat
