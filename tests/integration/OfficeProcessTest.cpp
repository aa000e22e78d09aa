// The office process and the watchdog over plain programs standing in for the office.
#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <stdexcept>

#include "platform/libreoffice/OfficeProcess.h"
#include "platform/libreoffice/Watchdog.h"

namespace pelvantz::office {
namespace {
using namespace std::chrono_literals;

TEST(OfficeProcessTest, ReportsExitCodesAndPassesTheEnvironment) {
  struct Case {
    const char* script;
    int exitCode;
  };
  const Case cases[] = {
      {"exit 81", 81},
      {"test \"$SAL_DISABLE_CUPS\" = 1 && test \"$SAL_PSPRINT\" = /some/folder", 0},
      {"test -t 1 || exit 7", 7},  // standard output is not a terminal but /dev/null
  };
  for (const auto& testCase : cases) {
    SCOPED_TRACE(testCase.script);
    OfficeProcess process("/bin/sh", {"-c", testCase.script}, {"SAL_DISABLE_CUPS=1", "SAL_PSPRINT=/some/folder"});
    ASSERT_TRUE(process.waitForExit(30s));
    EXPECT_EQ(process.exitCode(), testCase.exitCode);
  }
}

TEST(OfficeProcessTest, AProgramThatCannotStartThrows) {
  EXPECT_THROW(OfficeProcess("/nonexistent/soffice.bin", {}, {}), std::runtime_error);
}

TEST(OfficeProcessTest, TerminateEndsEvenAProcessThatIgnoresSigterm) {
  OfficeProcess process("/bin/sh", {"-c", "trap '' TERM; while :; do sleep 0.1; done"}, {});
  EXPECT_TRUE(process.running());
  process.terminate(300ms);
  EXPECT_EQ(process.exitCode(), 128 + SIGKILL);
}

TEST(OfficeProcessTest, WatchdogKillsOnlyWhenTheLimitPasses) {
  OfficeProcess process("/bin/sleep", {"60"}, {});
  {
    Watchdog disarmedInTime(process, 60s);
  }
  EXPECT_TRUE(process.running());
  {
    Watchdog watchdog(process, 1s);
    EXPECT_TRUE(process.waitForExit(30s));
    EXPECT_TRUE(watchdog.fired());
  }
  EXPECT_EQ(process.exitCode(), 128 + SIGKILL);
}

TEST(OfficeProcessTest, KillAllEndsEveryLiveProcess) {
  OfficeProcess first("/bin/sleep", {"60"}, {});
  OfficeProcess second("/bin/sleep", {"60"}, {});
  KillAllOfficeProcesses();
  EXPECT_TRUE(first.waitForExit(30s));
  EXPECT_TRUE(second.waitForExit(30s));
  EXPECT_EQ(first.exitCode(), 128 + SIGKILL);
}

}  // namespace
}  // namespace pelvantz::office
