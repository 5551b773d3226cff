// Decoding a record must show what the record says whatever the boxes
// showed before (the emulation and format boxes set each other while a
// record is loaded), and an editable row must be stored back in the form's
// own encoding of those boxes.  Checked over many random record pairs
// against the bit layout written out independently here.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "core/session.h"
#include "superset/superset_form.h"

namespace stylomat {
namespace {

using B = SuperSet_Box;

// The boxes in the order of Shown(): list indexes, then check values.
constexpr B Order[] = {B::CmbBaud, B::CmbParity, B::Cmbdatabits, B::CmbStopBits, B::CmbMode, B::CmbDataRate,
                       B::CmbRes,  B::CmbEmu,    B::CmbFormat,   B::ChkCR,       B::ChkLF,   B::ChkButtons,
                       B::Chksp,   B::CHKORG,    B::Chkdp,       B::ChkAlarm};

std::vector<int> Expected_Boxes(const SuperSet_Record& r, bool oem) {
  const int b0 = r[0], b1 = r[1], b2 = r[2], b3 = r[3];
  int parity = (b0 / 16) & 3;
  if (parity == 3) parity = 2;
  int mode = b1 & 7;
  if (mode >= 5) mode = 0;
  int res = b1 / 32;
  if (res >= 7) res = 0;
  int emu = b2 & 7;
  if (emu > 3 && !oem) emu &= 3;
  const int base = ((b2 / 64) & 1) ^ 1;
  int format = base;
  if (emu == 1) format = base + 2 + ((b3 / 8) & 3);
  if (emu == 2 || emu == 6) format = base + 7 + ((b2 / 8) & 1);
  const int lf = (b3 & (128 | 32 | 4)) != 0 ? 1 : 0;
  return {b0 & 7,         parity,          (b0 / 128) & 1, (b0 / 64) & 1,  mode,           (b1 / 8) & 3,
          res,            emu,             format,         (b2 / 16) & 1,  lf,             b3 & 1,
          (b3 / 2) & 1,   (b2 / 32) & 1,   (b3 / 64) & 1,  (b2 / 128) & 1};
}

std::vector<int> Shown(const SuperSet_Form& f) {
  std::vector<int> v;
  for (B box : Order) v.push_back(Is_List_Box(box) ? f.List(box).index : f.Check(box).value);
  return v;
}

SuperSet_Record Expected_Encoding(const SuperSet_Record& r, const std::vector<int>& e) {
  const int emu = e[7], format = e[8];
  int b0 = e[0] + (r[0] & 8) + 16 * e[1] + 128 * e[2] + 64 * e[3];
  if (e[1] == 2) b0 += 16;
  const int b1 = e[4] + 8 * e[5] + 32 * e[6];
  int b2 = emu + 16 * e[9] + 32 * e[13] + 128 * e[15];
  int b3 = e[11] + 2 * e[12] + 64 * e[14];
  if (e[10]) b3 += emu == 1 ? 32 : (emu == 2 || emu == 6) ? 128 : 4;
  if (format == 0 || format == 2 || format == 7) b2 += 64;
  if (format >= 3 && format <= 6) b3 += 8 * (format - 3);
  if (format == 9) b2 += 8;
  return {static_cast<std::uint8_t>(b0), static_cast<std::uint8_t>(b1), static_cast<std::uint8_t>(b2),
          static_cast<std::uint8_t>(b3)};
}

TEST(SuperSetFormReview, AnyRecordDecodesAlikeAfterAnyOtherAndEditableRowsReencode) {
  std::mt19937 rng(20240611);
  for (bool oem : {false, true}) {
    Virtual_Clock clock;
    Port_Directory ports;
    Fixed_Prompter prompter;
    Session s{clock, ports, prompter};
    s.OEM_Mode = oem;
    SuperSet_Form f(s, Config_Window::KORV_form);
    int failures = 0;
    for (int trial = 0; trial < 4000 && failures < 3; ++trial) {
      SuperSet_Record before{}, record{};
      for (auto& x : before) x = static_cast<std::uint8_t>(rng());
      for (auto& x : record) x = static_cast<std::uint8_t>(rng());
      f.Table()[5] = before;
      f.Table()[6] = record;
      f.Table()[90] = record;
      f.Select_SuperSet(5);
      f.Select_SuperSet(6);  // factory rows: shown, never re-encoded
      const std::vector<int> want = Expected_Boxes(record, oem);
      const int emu = want[7];
      const bool zelta = emu == 2 || emu == 6, mensaro = emu == 1;
      bool ok = Shown(f) == want && f.Table()[6] == record && f.Check(B::Chkdp).visible == zelta &&
                f.Check(B::Chksp).visible == (!zelta && !mensaro) &&
                f.Check(B::ChkButtons).visible == (!zelta && !mensaro);
      f.Select_SuperSet(90);  // a user row is stored back as the boxes encode it
      ok = ok && Shown(f) == want && f.Table()[90] == Expected_Encoding(record, want);
      if (!ok) {
        ++failures;
        ADD_FAILURE() << "OEM " << oem << ": " << Record_Text(record) << " after " << Record_Text(before)
                      << " stored as " << Record_Text(f.Table()[90]);
      }
    }
  }
}

}  // namespace
}  // namespace stylomat
