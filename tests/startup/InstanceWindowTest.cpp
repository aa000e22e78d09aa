// Running-copy detection between real processes: this test program and
// copies of it started as a second instance.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QWidget>
#include <filesystem>

#include "InstanceCopy.h"
#include "platform/qt/QtInstanceWindow.h"
#include "support/TempFolder.h"

namespace pelvantz {
namespace {

using testing::NextLine;
using testing::StartCopy;

// Lets the event loop run until `done` holds or a generous limit passes.
template <typename Condition>
bool ProcessEventsUntil(Condition done) {
  QDeadlineTimer limit(20000);
  while (!done() && !limit.hasExpired()) QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
  return done();
}

class InstanceWindowTest : public ::testing::Test {
 protected:
  QString socketPath() const { return QString::fromStdString(folder.str() + "/instance"); }
  testing::TempFolder folder;
};

TEST_F(InstanceWindowTest, LaterCopyBringsTheRunningCopyToTheFront) {
  QtInstanceWindow running(socketPath());
  int activations = 0;
  running.onActivationRequest([&] { ++activations; });
  ASSERT_FALSE(running.activateRunningCopy()) << "the first copy finds nobody";

  for (int copyNumber = 1; copyNumber <= 2; ++copyNumber) {
    auto later = StartCopy(testing::InstanceCopyOption, socketPath());
    EXPECT_EQ(NextLine(*later), "found");
    EXPECT_TRUE(later->waitForFinished());
    EXPECT_TRUE(ProcessEventsUntil([&] { return activations == copyNumber; }));
  }
}

TEST_F(InstanceWindowTest, SocketLeftByACrashedCopyIsTakenOver) {
  auto crashed = StartCopy(testing::CrashingCopyOption, socketPath());
  ASSERT_EQ(NextLine(*crashed), "claimed");
  ASSERT_TRUE(crashed->waitForFinished());
  ASSERT_EQ(crashed->exitStatus(), QProcess::CrashExit);
  ASSERT_TRUE(std::filesystem::exists(socketPath().toStdString()));

  QtInstanceWindow running(socketPath());
  int activations = 0;
  running.onActivationRequest([&] { ++activations; });
  EXPECT_FALSE(running.activateRunningCopy());
  auto later = StartCopy(testing::InstanceCopyOption, socketPath());
  EXPECT_EQ(NextLine(*later), "found");
  EXPECT_TRUE(ProcessEventsUntil([&] { return activations == 1; }));
}

TEST_F(InstanceWindowTest, OfTwoCopiesStartingTogetherExactlyOneClaims) {
  for (int round = 0; round < 5; ++round) {
    const QString socket = socketPath() + QString::number(round);
    auto first = StartCopy(testing::InstanceCopyOption, socket);
    auto second = StartCopy(testing::InstanceCopyOption, socket);
    QStringList answers{NextLine(*first), NextLine(*second)};
    answers.sort();
    EXPECT_EQ(answers, (QStringList{"claimed", "found"})) << "round " << round;
  }
}

TEST_F(InstanceWindowTest, ReleasedCopyIsNoLongerFound) {
  QtInstanceWindow running(socketPath());
  ASSERT_FALSE(running.activateRunningCopy());
  running.release();
  auto later = StartCopy(testing::InstanceCopyOption, socketPath());
  EXPECT_EQ(NextLine(*later), "claimed");
}

TEST_F(InstanceWindowTest, BringToFrontRestoresAMinimisedWindow) {
  QWidget window;
  window.showMinimized();
  ASSERT_TRUE(window.isMinimized());
  BringToFront(window);
  EXPECT_FALSE(window.isMinimized());
  EXPECT_TRUE(window.isVisible());
}

}  // namespace
}  // namespace pelvantz
