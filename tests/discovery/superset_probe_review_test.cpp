#include <gtest/gtest.h>

#include "discovery/probe_superset.h"
#include "sim/superset_tablet.h"
#include "support/sim_fixture.h"

namespace stylomat {
namespace {

using test::Sim_Bench;

// A SuperSet tablet whose size report carries the cursor-identity marker
// (a 4 Button Diamond Puck, identity 22) and two stray bytes after it.
class Marked_Size_Tablet : public SuperSet_Tablet {
 public:
  using SuperSet_Tablet::SuperSet_Tablet;

 protected:
  void On_Command(Sim_Link& link, const std::string& letters) override {
    if (letters != "%VS") {
      SuperSet_Tablet::On_Command(link, letters);
      return;
    }
    std::string report = SuperSet_Report(Profile().width, Profile().height);
    report[3] = static_cast<char>(report[3] | 0x40);  // identity marker
    report[9] = 22;
    link.Send(report + "\x01\x02");
  }
};

const SuperSet_Tablet_Profile& Dovrane4() {
  for (const SuperSet_Model_Profile& m : SuperSet_Model_Profiles())
    if (std::string(m.name) == "dovrane4") return m.tablet;
  throw std::runtime_error("no dovrane4 profile");
}

TEST(Probe_SuperSet_Review, SizeReportIsDecodedByTheReportDecoder) {
  Sim_Bench b;
  b.Attach(3, std::make_unique<Marked_Size_Tablet>(Dovrane4()));
  b.session.Port_Number = 3;
  b.session.reports.Cursor_Identified = false;

  Probe_SuperSet(b.session);

  ASSERT_EQ(b.session.Search_Status, 0);
  EXPECT_EQ(b.session.identity.Tablet_Width, 18000);
  EXPECT_EQ(b.session.identity.Tablet_Height, 12000);
  EXPECT_EQ(b.session.identity.Size_Text, "12 x 18");
  // The decoder saw the marker and took the packet off the buffer; only the
  // bytes after it stay for the next decode.
  EXPECT_TRUE(b.session.reports.Cursor_Identified);
  EXPECT_EQ(b.session.reports.Current_Report.Cur_X, 18000);
  EXPECT_EQ(b.session.reports.Current_Report.Cur_Y, 12000);
  EXPECT_EQ(b.session.reports.Report_Buffer, std::string("\x01\x02"));
}

}  // namespace
}  // namespace stylomat
