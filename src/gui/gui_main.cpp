// stylomat: the service utility with its windows.
//
// Which device stands behind COM1..COM8 comes from the machine's serial
// ports, or from STYLOMAT_PORTS; STYLOMAT_SIMULATE puts simulated tablets
// on COM numbers (see app/port_setup.h); STYLOMAT_INPUT_RECORDING puts
// recorded tablets behind the tablet driver (app/driver_setup.h).  The command line is read as the
// program has always read it: "D" anywhere turns the debug log on, "OEM"
// anywhere OEM mode.
#include <QApplication>
#include <QScreen>
#include <QMessageBox>
#include <iostream>
#include <string>

#include "app/data_dir.h"
#include "app/driver_setup.h"
#include "app/port_hotplug.h"
#include "app/port_setup.h"
#include "core/session.h"
#include "app/startup.h"
#include "gui/main_window.h"
#include "gui/qt_prompter.h"
#include "platform/tty_monitor.h"

int main(int argc, char** argv) {
  using namespace stylomat;
  QApplication app(argc, argv);
  QApplication::setApplicationName("Stylomat");
  QApplication::setApplicationVersion(QString::fromStdString(Version_Text()));
  // The program ends through Exit or Close, never because a window went.
  QApplication::setQuitOnLastWindowClosed(false);

  Port_Setup setup = Make_Port_Setup(Port_Environment::From_Process());
  if (!setup.error.empty()) {
    std::cerr << "stylomat: " << setup.error << "\n";
    QMessageBox::critical(nullptr, "Stylomat", QString::fromStdString(setup.error));
    return 2;
  }

  Driver_Environment driver_env = Driver_Environment::From_Process(Find_Data_Dir());
  driver_env.screen = [] {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? std::pair<int, int>{screen->size().width(), screen->size().height()} : std::pair<int, int>{0, 0};
  };
  Driver_Setup driver = Make_Driver_Setup(driver_env, *setup.clock);
  if (!driver.error.empty()) {
    std::cerr << "stylomat: " << driver.error << "\n";
    QMessageBox::critical(nullptr, "Stylomat", QString::fromStdString(driver.error));
    return 2;
  }

  gui::Qt_Prompter prompter;
  Session session(*setup.clock, setup.directory, prompter);
  session.App_Dir = Find_Data_Dir();
  session.wintab.driver = driver.driver.get();

  gui::Main_Window window(session);
  prompter.Set_Parent(&window);

  // The words after the program's name (Qt's own options already taken out).
  std::string command_line;
  for (int i = 1; i < argc; ++i) {
    if (i > 1) command_line += ' ';
    command_line += argv[i];
  }
  window.Start(command_line);
  if (window.Ending()) return 0;
  Port_Follow follow;
  follow.listed = setup.listed;
  window.Follow_Port_Devices(Make_Tty_Monitor(), std::move(follow));
  return app.exec();
}
