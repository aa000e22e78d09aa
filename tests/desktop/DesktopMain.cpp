// The window tests' own entry: a private X display with a window manager, and
// a Qt application on it.
#include <gtest/gtest.h>

#include <QApplication>
#include <memory>

#include "VirtualDesktop.h"

int main(int argc, char* argv[]) {
  ::testing::InitGoogleTest(&argc, argv);
  // Listing the tests needs no display.
  if (GTEST_FLAG_GET(list_tests)) return RUN_ALL_TESTS();
  const pelvantz::testing::VirtualDesktop desktop;
  qputenv("QT_QPA_PLATFORM", "xcb");
  QApplication application(argc, argv);
  return RUN_ALL_TESTS();
}
