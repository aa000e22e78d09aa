// The watchdog over a plain program standing in for the office.
#include "platform/libreoffice/session/Watchdog.h"

#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>

#include "platform/ChildProcess.h"

namespace pelvantz::office {
namespace {
using namespace std::chrono_literals;

TEST(WatchdogTest, KillsOnlyWhenTheLimitPasses) {
  ChildProcess process({"/bin/sleep", {"sleep", "60"}, {}, "", {}, {}});
  { Watchdog disarmedInTime(process, 60s); }
  EXPECT_TRUE(process.running());
  {
    Watchdog watchdog(process, 1s);
    EXPECT_TRUE(process.waitForExit(30s));
    EXPECT_TRUE(watchdog.fired());
  }
  EXPECT_EQ(process.exitCode(), 128 + SIGKILL);
}

}  // namespace
}  // namespace pelvantz::office
