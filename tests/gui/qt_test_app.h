#pragma once
// One QApplication for the whole GUI test binary, on the offscreen
// platform unless the environment names another.
#include <QApplication>
#include <QStandardPaths>
#include <cstdlib>

namespace stylomat::test {

inline QApplication& Qt_App() {
  static QApplication* app = [] {
    if (!std::getenv("QT_QPA_PLATFORM")) ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static int argc = 1;
    static char name[] = "stylomat_gui_tests";
    static char* argv[] = {name, nullptr};
    // Settings the windows remember go to a test folder, never the user's.
    QStandardPaths::setTestModeEnabled(true);
    return new QApplication(argc, argv);
  }();
  return *app;
}

}  // namespace stylomat::test
