// The configuration windows opened from the main window as a technician
// opens them: a port icon, then Advanced Configuration.
#include "gui/config_form_window.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDialog>
#include <QLabel>
#include <QToolButton>
#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "gui/main_window.h"
#include "gui/qt_test_app.h"
#include "support/sim_fixture.h"

namespace stylomat::gui {
namespace {

struct Config_Bench {
  explicit Config_Bench(const std::string& profile, const std::string& command_line = "") {
    test::Qt_App();
    sim.Attach_Profile(2, profile);
    window = std::make_unique<Main_Window>(sim.session);
    window->End = [this](int code) { ended.push_back(code); };
    window->Start(command_line);
    EXPECT_TRUE(window->Dispatch("Com_Btn_2"));
    EXPECT_TRUE(window->Dispatch("Config_Tbl"));
  }
  Config_Form_Window* Config() { return window->Config_Window_Open(); }
  void Settle() {
    for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
  }

  test::Sim_Bench sim;
  std::unique_ptr<Main_Window> window;
  std::vector<int> ended;
};

TEST(ConfigFormWindow, SwitchBankWindowFollowsItsSwitchesAndReturnsToTheMainWindow) {
  Config_Bench b("pallivant5");
  Config_Form_Window* w = b.Config();
  ASSERT_NE(w, nullptr);
  ASSERT_NE(w->Switches(), nullptr);
  EXPECT_TRUE(w->isVisible());
  EXPECT_FALSE(b.window->isVisible());
  EXPECT_EQ(w->windowTitle().toStdString(), "Zeltavision, Pallivant V Advanced Configuration");
  EXPECT_FALSE(w->Switch_Button(Bank::swc, 6)->isEnabled()) << "absent switches are not settable";

  // Switch A3 carries the top bit of the baud rate: the box and the image
  // follow a click on it.
  const Switch_Bank_Form& form = *w->Switches();
  const int baud_before = form.Value(Setting::CmbBaud);
  w->Switch_Button(Bank::swa, 3)->click();
  EXPECT_EQ(form.Value(Setting::CmbBaud), baud_before ^ 4);
  EXPECT_EQ(w->Combo("CmbBaud")->currentIndex(), baud_before ^ 4);
  EXPECT_EQ(w->Image_Label()->text().toStdString(), "Settings image for the tablet: " + form.Switch_Image_Text());
  // A box writes its switches back.
  w->Combo("CmbBaud")->activated(1);
  EXPECT_EQ(form.Switch(Bank::swa, 1), 1);
  EXPECT_EQ(form.Switch(Bank::swa, 3), 0);
  EXPECT_TRUE(w->Switch_Button(Bank::swa, 1)->isChecked());

  EXPECT_TRUE(w->Dispatch("Close_Window"));
  b.Settle();
  EXPECT_EQ(b.Config(), nullptr);
  EXPECT_TRUE(b.window->isVisible());
  EXPECT_EQ(b.sim.session.main.Tbl.text, "Zeltavision, Pallivant V") << "the port was searched again";
  EXPECT_TRUE(b.ended.empty());
}

TEST(ConfigFormWindow, BatchLineWritesTheSwitchesWithoutShowingTheWindowAndEnds) {
  // Answered No: the switches are written all the same, and the program
  // ends whatever the answer.
  Config_Bench b("velliscope3", "/s100111001000010000000");
  b.Settle();
  EXPECT_EQ(b.ended, std::vector<int>{0});
  ASSERT_EQ(b.sim.prompter.asked.size(), 1u);
  EXPECT_EQ(b.sim.prompter.asked[0].title, "Warning!");
  EXPECT_FALSE(b.sim.session.Keep_Settings_On_Exit);
  const auto tx = b.sim.Trace_Of("TX");
  EXPECT_EQ(std::count_if(tx.begin(), tx.end(), [](const std::string& t) { return t.rfind("TX 1B 25 5F 5F 73", 0) == 0; }),
            1)
      << "one settings image written";
  EXPECT_TRUE(b.Config() == nullptr || !b.Config()->isVisible()) << "nothing of the window is shown";
}

TEST(ConfigFormWindow, KorvWindowReadsTheTabletAndItsCloseBoxEndsTheProgram) {
  Config_Bench b("quorral3");
  Config_Form_Window* w = b.Config();
  ASSERT_NE(w, nullptr);
  ASSERT_NE(w->SuperSets(), nullptr);
  EXPECT_EQ(w->windowTitle().toStdString(), "KORV, Quorral III Advanced Configuration");
  EXPECT_EQ(w->Action("Read_User")->text().toStdString(), "Read &User Settings (90-98)");
  EXPECT_FALSE(w->Please_Wait()->isVisible()) << "the loading read is over";
  QComboBox* supersets = w->Combo("CmbSuperSet");
  EXPECT_EQ(supersets->count(), 100);
  EXPECT_EQ(supersets->currentIndex(), 0);
  EXPECT_FALSE(w->Action("Save_User")->isEnabled());

  // Choosing a user SuperSet offers to save it; its boxes show its record.
  supersets->activated(95);
  EXPECT_TRUE(w->Action("Save_User")->isEnabled());
  EXPECT_EQ(w->Combo("CmbBaud")->currentText().toStdString(), w->SuperSets()->List(SuperSet_Box::CmbBaud).Text());

  EXPECT_TRUE(w->Dispatch("Show_About"));
  ASSERT_NE(w->About_Box(), nullptr);
  EXPECT_EQ(w->About_Box()->findChild<QLabel*>("lblDescription")->text().toStdString(),
            "Setup Program for the KORV, Quorral III Digitizer.");

  w->close();  // the close box
  b.Settle();
  EXPECT_EQ(b.ended, std::vector<int>{0});
  EXPECT_FALSE(b.sim.session.identity.Quorral_III_Flag);
}

TEST(ConfigFormWindow, MirolexAndDovraneWindowsOfferTheirSavesAfterTheReadAndBoxesFollowEachOther) {
  const struct {
    const char* profile;
    const char* title;
    const char* close_caption;
    bool plug_n_play;
  } cases[] = {
      {"dovrane3", "KORV Mensaro, Dovrane III Advanced Configuration", "&Close", false},
      {"mirolex2", "KORV Mensaro, Mirolex II Advanced Configuration", "&Close Window", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.profile);
    Config_Bench b(c.profile);
    Config_Form_Window* w = b.Config();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->windowTitle().toStdString(), c.title);
    EXPECT_EQ(w->Action("Close_Window")->text().toStdString(), c.close_caption);
    EXPECT_EQ(w->Check("Chk_PnP") != nullptr, c.plug_n_play);
    for (const char* save : {"CmdChange", "CmdSavePon", "CmdSaveUser"}) {
      EXPECT_TRUE(w->Action(save)->isEnabled()) << save << " after the loading read";
    }
    // Choosing a Zeltavision format moves the emulation and shows the
    // decimal-point box in place of the KORV ones.
    QComboBox* format = w->Combo("CmbFormat");
    format->activated(7);
    EXPECT_EQ(w->Combo("CmbEmu")->currentIndex(), 2);
    EXPECT_FALSE(w->Check("Chkdp")->isHidden());
    EXPECT_TRUE(w->Check("Chksp")->isHidden());
    // The power-up entry is editable: its row holds the new choice.
    EXPECT_EQ(w->Combo("CmbSuperSet")->currentIndex(), 0);
    EXPECT_EQ(w->SuperSets()->Table()[0][2] & 0x47, 0x42) << "Zeltavision emulation, binary format bit";
  }
}

}  // namespace
}  // namespace stylomat::gui
