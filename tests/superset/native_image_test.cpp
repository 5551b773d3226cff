#include "superset/native_image.h"

#include <gtest/gtest.h>

#include <string>

namespace stylomat {
namespace {

TEST(Native_Image, TextIsSevenHexPairsAndFieldsAreReadAtFixedPositions) {
  EXPECT_EQ(Image_Text({0xCE, 0x1F, 0x4d, 0xab, 0x06, 0xFF, 0x0c}), "CE,1F,4D,AB,06,FF,0C");
  EXPECT_EQ(Image_Text({}), "00,00,00,00,00,00,00");
  EXPECT_EQ(Parse_Image_Text("43,49,46,61,06,10,80\r\n"), (Native_Image{0x43, 0x49, 0x46, 0x61, 0x06, 0x10, 0x80}));
  EXPECT_EQ(Parse_Image_Text("ce,1f,4D,aB,00,0c,23"), (Native_Image{0xCE, 0x1F, 0x4D, 0xAB, 0x00, 0x0C, 0x23}));
  // The separators are not looked at: only the positions count.
  EXPECT_EQ(Parse_Image_Text("01;02 03x04-05.06/07"), (Native_Image{1, 2, 3, 4, 5, 6, 7}));
  // A field that is not two hexadecimal digits reads as 0, and so does a
  // missing one; a 19-character reply cuts the seventh field to one digit.
  EXPECT_EQ(Parse_Image_Text("4G,x1, 5,+1,-1,0x,FF"), (Native_Image{0, 0, 0, 0, 0, 0, 0xFF}));
  EXPECT_EQ(Image_Field(std::string("C6\0D7", 5), 0), 0xC6);
  EXPECT_EQ(Image_Field(std::string("C6,\0D", 5), 1), 0);
  EXPECT_EQ(Image_Field("C6,D7,4C,61,02,00,20", 7), 0);  // there is no eighth field
  EXPECT_EQ(Parse_Image_Text(""), Native_Image{});
  EXPECT_EQ(Parse_Image_Text("C6,D7,4C"), (Native_Image{0xC6, 0xD7, 0x4C, 0, 0, 0, 0}));
  EXPECT_EQ(Parse_Image_Text("C6,D7,4C,61,02,00,2"), (Native_Image{0xC6, 0xD7, 0x4C, 0x61, 0x02, 0x00, 0}));
  // A short reply still translates: everything missing reads as zero.
  EXPECT_EQ(Image_To_SuperSet(std::string_view("40,77")), Image_To_SuperSet(Native_Image{0x40, 0x77, 0, 0, 0, 0, 0}));
}

TEST(Native_Image, EncodingTablesForModesResolutionsAndEmulations) {
  // Mode codes in byte 1: modes 5 to 7 go out as mode 1.
  const int mode_code[8] = {0x40, 0x80, 0xC0, 0xB0, 0xF0, 0x80, 0x80, 0x80};
  for (int m = 0; m < 8; ++m) EXPECT_EQ(SuperSet_To_Image({0, static_cast<std::uint8_t>(m), 0, 0})[0], mode_code[m]);
  // Resolutions 6 and 7 have no code.
  const int res_code[8] = {0, 64, 96, 128, 192, 224, 0, 0};
  for (int r = 0; r < 8; ++r) {
    EXPECT_EQ(SuperSet_To_Image({0, static_cast<std::uint8_t>(r * 32), 0x40, 0})[1], res_code[r] + 24) << r;
  }
  // Emulation families in byte 7.
  EXPECT_EQ(SuperSet_To_Image({0, 0, 0x04, 0})[6], 192);
  EXPECT_EQ(SuperSet_To_Image({0, 0, 0x45, 0})[6], 144);
  EXPECT_EQ(SuperSet_To_Image({0, 0, 0x06, 0})[6], 36);
  EXPECT_EQ(SuperSet_To_Image({0, 0, 0x03, 0})[6], 0);  // emulation 3: nothing added
  EXPECT_EQ(SuperSet_To_Image({0, 0, 0x04, 0x08})[4], 0x04 | 0x40);
  // Byte 4 is always 0x61.
  for (int b = 0; b < 256; b += 17) EXPECT_EQ(SuperSet_To_Image({0, 0, static_cast<std::uint8_t>(b), 0xFF})[3], 0x61);

  // Decoding: the special emulations and the folding of unknown codes.
  EXPECT_EQ(Image_To_SuperSet(Native_Image{0x40, 0, 0, 0x61, 0x40, 0x00, 0xC0})[2] & 7, 4);
  EXPECT_EQ(Image_To_SuperSet(Native_Image{0x40, 0, 0, 0x61, 0x40, 0x00, 0xC0})[3] & 0x08, 0x08);
  EXPECT_EQ(Image_To_SuperSet(Native_Image{0x40, 0, 0, 0x61, 0x40, 0x00, 0x80})[3] & 0x08, 0);
  EXPECT_EQ(Image_To_SuperSet(Native_Image{0x40, 0, 0, 0x61, 0, 0, 0x24})[2] & 7, 6);
  EXPECT_EQ(Image_To_SuperSet(Native_Image{0x40, 0x02, 0, 0x61, 0, 0, 0x20})[2] & 0x4F, 0x0A);  // ID ASCII
  for (int t : {0x40, 0x60, 0x80, 0xA0, 0xE0}) {
    EXPECT_EQ(Image_To_SuperSet(Native_Image{0x40, 0, 0, 0x61, 0, 0, static_cast<std::uint8_t>(t)})[2] & 7, 0) << t;
  }
  const int mode_of[16] = {1, 1, 1, 1, 0, 0, 0, 0, 1, 3, 3, 3, 2, 4, 4, 4};
  const int rate_of[8] = {0, 1, 2, 3, 0, 0, 2, 2};
  for (int i1 = 0; i1 < 256; ++i1) {
    const SuperSet_Bytes r = Image_To_SuperSet(Native_Image{static_cast<std::uint8_t>(i1), 0, 0, 0, 0, 0, 0});
    EXPECT_EQ(r[1] & 7, mode_of[i1 >> 4]) << i1;
    EXPECT_EQ((r[1] >> 3) & 3, rate_of[i1 & 7]) << i1;
  }
  const int res_of[8] = {0, 0, 1, 2, 3, 3, 4, 5};
  for (int i2 = 0; i2 < 256; i2 += 32) {
    EXPECT_EQ(Image_To_SuperSet(Native_Image{0, static_cast<std::uint8_t>(i2), 0, 0, 0, 0, 0})[1] >> 5,
              res_of[i2 / 32]);
  }
}

TEST(Native_Image, ZeltavisionUiofAsciiDecimalPointComesBackInverted) {
  // The tablet takes the decimal point of "Zeltavision UIOF ASCII " as
  // written, but reports it inverted: the translation keeps that.
  const SuperSet_Bytes with_dp{0xC2, 0x20, 0x02, 0x40};
  const Native_Image image = SuperSet_To_Image(with_dp);
  EXPECT_EQ(image[5] & 0x04, 0x04);
  EXPECT_EQ(Image_To_SuperSet(image)[3] & 0x40, 0x00);
  // The other Zeltavision formats round-trip it.
  for (std::uint8_t b2 : {std::uint8_t{0x42}, std::uint8_t{0x0A}}) {
    const SuperSet_Bytes r{0xC2, 0x20, b2, 0x40};
    EXPECT_EQ(Image_To_SuperSet(SuperSet_To_Image(r))[3] & 0x40, 0x40) << int(b2);
  }
}

TEST(Native_Image, SpaceOptionNeverTurnsTheStopBitsOver) {
  // A record keeps its space bit when the emulation moves to Zeltavision;
  // the Zeltavision ASCII formats must still send its stop bits as they are.
  for (std::uint8_t b2 : {std::uint8_t{0x02}, std::uint8_t{0x0A}}) {
    for (std::uint8_t b0 : {std::uint8_t{0x82}, std::uint8_t{0xC2}}) {
      const SuperSet_Bytes record{b0, 0x20, b2, 0x02};
      const Native_Image image = SuperSet_To_Image(record);
      EXPECT_EQ((image[5] >> 4) & 1, (b0 >> 6) & 1) << int(b0) << "/" << int(b2);
      EXPECT_EQ(image[5] & 0x08, 0x08);
      EXPECT_EQ(image[5] & 0xE0, 0);
      EXPECT_EQ(Image_To_SuperSet(image)[0], b0);
    }
  }
}

// The settings of the three standard emulation groups survive a trip
// through the tablet's image text.
struct Group_Case {
  std::uint8_t b2;  // emulation and format bits
  std::uint8_t b3;  // options as the record holds them
  std::uint8_t expected_b3;
};

std::vector<Group_Case> Group_Cases() {
  std::vector<Group_Case> cases;
  for (int opts = 0; opts < 16; ++opts) {
    const int buttons = opts & 1, space = (opts >> 1) & 1, lf = (opts >> 2) & 1, dp = (opts >> 3) & 1;
    // KORV: "KORV BINARY" (A) and "KORV ASCII ".
    for (int a : {0, 1}) {
      const int b3 = buttons | space << 1 | lf << 2 | dp << 6;
      cases.push_back({static_cast<std::uint8_t>(a << 6), static_cast<std::uint8_t>(b3),
                       static_cast<std::uint8_t>(buttons | space << 1 | lf << 2)});
    }
    // Mensaro: "Mensaro BINARY" (A, C = 0) and the four 9100 formats.
    for (int f = 2; f <= 6; ++f) {
      const int c = f == 2 ? 0 : f - 3;
      const int b2 = 1 | (f == 2 ? 64 : 0);
      const int b3 = buttons | space << 1 | c << 3 | lf << 5;
      cases.push_back({static_cast<std::uint8_t>(b2), static_cast<std::uint8_t>(b3),
                       static_cast<std::uint8_t>(c << 3 | lf << 5)});
    }
    // Zeltavision: UIOF BINARY (A), UIOF ASCII (none), ID ASCII (B).
    for (int f = 7; f <= 9; ++f) {
      const int b2 = 2 | (f == 7 ? 64 : 0) | (f == 9 ? 8 : 0);
      const int b3 = space << 1 | dp << 6 | lf << 7;
      const int dp_back = f == 8 ? 1 - dp : dp;
      cases.push_back({static_cast<std::uint8_t>(b2), static_cast<std::uint8_t>(b3),
                       static_cast<std::uint8_t>(dp_back << 6 | lf << 7)});
    }
  }
  return cases;
}

TEST(Native_Image, StandardRecordsRoundTripThroughTheImageText) {
  const std::vector<Group_Case> cases = Group_Cases();
  std::vector<std::uint8_t> b0s;
  for (int b0 = 0; b0 < 256; ++b0) {
    if (b0 & 8) continue;                 // not carried by the image
    if (((b0 >> 4) & 3) == 2) continue;  // parity is written as 0, 1 or 3
    b0s.push_back(static_cast<std::uint8_t>(b0));
  }
  std::vector<std::uint8_t> b1s;
  for (int mode = 0; mode <= 4; ++mode) {
    for (int rate = 0; rate <= 3; ++rate) {
      for (int res = 0; res <= 5; ++res) b1s.push_back(static_cast<std::uint8_t>(mode | rate << 3 | res << 5));
    }
  }
  int checked = 0;
  for (std::size_t i = 0; i < cases.size(); ++i) {
    for (int extra = 0; extra < 4; ++extra) {  // carriage return, alarm
      const std::uint8_t b2 = static_cast<std::uint8_t>(cases[i].b2 | (extra & 1) << 4 | (extra >> 1) << 7);
      // Cross every case with every framing and every mode word, in turn.
      for (std::size_t j = 0; j < b0s.size(); ++j) {
        const SuperSet_Bytes r{b0s[j], b1s[(i + j) % b1s.size()], b2, cases[i].b3};
        const SuperSet_Bytes back = Image_To_SuperSet(Image_Text(SuperSet_To_Image(r)));
        ASSERT_EQ(back, (SuperSet_Bytes{r[0], r[1], b2, cases[i].expected_b3}))
            << Image_Text(SuperSet_To_Image(r)) << " case " << i;
        ++checked;
      }
      for (std::size_t j = 0; j < b1s.size(); ++j) {
        const SuperSet_Bytes r{b0s[(i * 7 + j) % b0s.size()], b1s[j], b2, cases[i].b3};
        const SuperSet_Bytes back = Image_To_SuperSet(Image_Text(SuperSet_To_Image(r)));
        ASSERT_EQ(back, (SuperSet_Bytes{r[0], r[1], b2, cases[i].expected_b3})) << "case " << i;
        ++checked;
      }
    }
  }
  EXPECT_GT(checked, 50000);
}

}  // namespace
}  // namespace stylomat
