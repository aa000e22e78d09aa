// The test program's own entry: a Qt application for the windows, and the
// modes in which it runs as another copy of the program or another user.
#include <gtest/gtest.h>

#include <QApplication>
#include <cstring>

#include "InstanceCopy.h"
#include "SettingsUser.h"

int main(int argc, char* argv[]) {
  // Test discovery runs the program without the tests' environment.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  if (argc == 3 && std::strcmp(argv[1], pelvantz::testing::InstanceCopyOption) == 0) {
    return pelvantz::testing::RunInstanceCopy(QString::fromLocal8Bit(argv[2]));
  }
  if (argc == 3 && std::strcmp(argv[1], pelvantz::testing::CrashingCopyOption) == 0) {
    return pelvantz::testing::RunCrashingCopy(QString::fromLocal8Bit(argv[2]));
  }
  if (argc == 4 && std::strcmp(argv[1], pelvantz::testing::SettingsUserOption) == 0) {
    return pelvantz::testing::RunSettingsUser(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
  }
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
