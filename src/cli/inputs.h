#pragma once
// What the decoding and translating commands read: SuperSet records and
// settings images written as text, and their inputs one by one from the
// command line or from standard input.
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/output.h"
#include "serial/settings_image.h"
#include "superset/superset_record.h"

namespace stylomat::cli {

class Context;

// "32,40,51,07": exactly four fields of one or two hexadecimal digits
// (either case) joined by commas.
std::optional<SuperSet_Record> Record_Argument(std::string_view text);

// A settings image in either of its two forms:
//  - the reply as the tablet sends it: 20 characters (a CR LF after them is
//    dropped), read as the configuration windows read it (Parse_Image_Text):
//    field n is the characters 3n+1 and 3n+2, and a field that is not two
//    hexadecimal digits reads 0;
//  - one to seven fields of one or two hexadecimal digits joined by commas;
//    fields not given read 0, as for a short reply.
// Nothing for any other text.
std::optional<Native_Image> Image_Argument(std::string_view text);

// Why an input is not a record, or not an image: for the readers of
// Each_Input.
std::string Not_A_Record(const std::string& input);
std::string Not_An_Image(const std::string& input);

// The longest line of standard input taken as one input.
inline constexpr std::size_t Longest_Input_Line = 4096;

// Turns one input into its result, or says in `why` what is wrong with it.
using Input_Reader = std::function<std::optional<Doc>(const std::string& input, std::string& why)>;

// Runs `read` over the inputs of a batch command: the words given, or, when
// the only word is "-", each line of standard input (a CR before its LF
// dropped, empty lines passed over).  Results go out as they come; an input
// that is wrong is said on standard error (with its line number for
// standard input) and the others still run.  `needs` is the usage error for
// no input at all.  Exit_Ok when every input gave a result, Exit_Error
// otherwise.
int Each_Input(Context& ctx, const std::vector<std::string>& words, const std::string& needs,
               const Input_Reader& read);

}  // namespace stylomat::cli
