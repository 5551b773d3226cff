#include "platform/printable_text.h"

#include <gtest/gtest.h>

namespace stylomat {
namespace {

TEST(Printable_Text, EveryByteOutsidePrintableAsciiBecomesHex) {
  EXPECT_EQ(Printable_Text("KORV 1218"), "KORV 1218");
  EXPECT_EQ(Printable_Text(std::string("\x1b]0;x\x07\r\n\t\x7f\x80\xff\0A", 14)),
            "\\x1B]0;x\\x07\\x0D\\x0A\\x09\\x7F\\x80\\xFF\\x00A");
  EXPECT_EQ(Printable_Text(""), "");
  // Lines: CR, LF and CR LF each end one line; the rest as above.
  EXPECT_EQ(Printable_Lines("one\rtwo\r\nthree\nfour\x1b[2J"), "one\ntwo\nthree\nfour\\x1B[2J");
  EXPECT_EQ(Printable_Lines("\r\r"), "\n\n");
}

TEST(Printable_Text, QuotedTextKeepsBlanksAndEscapesQuotesBackslashesAndControlBytes) {
  EXPECT_EQ(Quoted_Text("KORV ASCII "), "\"KORV ASCII \"");
  EXPECT_EQ(Quoted_Text(""), "\"\"");
  EXPECT_EQ(Quoted_Text(std::string("a\"b\\c\r\n\t\x1b[2J\x7f\x9b\0", 15)),
            "\"a\\\"b\\\\c\\r\\n\\t\\x1B[2J\\x7F\\x9B\\x00\"");
}

}  // namespace
}  // namespace stylomat
