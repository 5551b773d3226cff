// The main window's labels and icons follow the facts the lower layers
// record, from one place.
#include "core/main_window_facts.h"

#include <gtest/gtest.h>

#include "core/session.h"
#include "reports/report_decoders.h"
#include "serial/serial_link.h"
#include "support/sim_fixture.h"

namespace stylomat {
namespace {

TEST(Show_Facts, LabelsAndIconsFollowTheRecordedFacts) {
  test::Sim_Bench b;
  Session& s = b.session;
  b.Attach_Profile(2, "empty");
  b.Attach_Profile(7, "empty");
  s.Port_Number = 0;
  Scan_Ports(s);
  for (int com = 1; com <= 8; ++com) EXPECT_EQ(s.main.Com_Btn[com].visible, com == 2 || com == 7) << com;

  s.identity.Model_Name = "KORV Mensaro, Dovrane IV";
  s.identity.Size_Text = "12 x 12";
  s.identity.Firmware_Text = "DVIV 2.10";
  s.Searched_Port = 7;
  s.Facts_Changed();
  EXPECT_EQ(s.main.Tbl.text, "KORV Mensaro, Dovrane IV");
  EXPECT_EQ(s.main.Size_lb.text, "12 x 12");
  EXPECT_EQ(s.main.Version_Lb.text, "DVIV 2.10");
  EXPECT_EQ(s.main.CommPort.text, "7");

  // A KV report in proximity lights the lamp once the decoder's change is
  // recorded; the labels shown do not change the revision again.
  s.reports.Report_Buffer = std::string("\x83\x68\x07\x50\x0F", 5);
  ASSERT_TRUE(Decode_KV_Report(s.reports).proximity);
  const auto before = s.main.revision;
  s.Facts_Changed();
  EXPECT_TRUE(s.main.LabelProx_Filled);
  EXPECT_EQ(s.main.revision, before + 1);
  s.Facts_Changed();
  EXPECT_EQ(s.main.revision, before + 1);
}

}  // namespace
}  // namespace stylomat
