#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>

#include "startup/SplashClock.h"

namespace pelvantz {
namespace {

template <typename Condition>
bool RunEventLoopUntil(Condition done) {
  QDeadlineTimer limit(20000);
  while (!done() && !limit.hasExpired()) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  return done();
}

TEST(SplashClockTest, TickThatStopsItsOwnTimerRunsOnce) {
  QtSplashClock clock;
  int onceTicks = 0;
  int steadyTicks = 0;
  SplashClock::TimerId once = 0;
  once = clock.start(1, [&] {
    ++onceTicks;
    clock.stop(once);
  });
  clock.start(1, [&] { ++steadyTicks; });
  // The steady timer ticking on shows the event loop ran well past the first tick.
  ASSERT_TRUE(RunEventLoopUntil([&] { return steadyTicks >= 5; }));
  EXPECT_EQ(onceTicks, 1);
}

}  // namespace
}  // namespace pelvantz
