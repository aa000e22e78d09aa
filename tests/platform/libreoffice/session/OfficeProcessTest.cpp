// The office process and the watchdog over plain programs standing in for the office.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <stdexcept>
#include <thread>

#include "platform/libreoffice/session/OfficeProcess.h"
#include "platform/libreoffice/session/Watchdog.h"
#include "support/TempFolder.h"

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
    OfficeProcess process("/bin/sh", {"-c", testCase.script},
                          {"SAL_DISABLE_CUPS=1", "SAL_PSPRINT=/some/folder"});
    ASSERT_TRUE(process.waitForExit(30s));
    EXPECT_EQ(process.exitCode(), testCase.exitCode);
  }
}

TEST(OfficeProcessTest, OnlyTheInheritedDescriptorReachesTheProgram) {
  testing::TempFolder folder;
  const auto lockFile = folder.path() / "lock";
  const int inherited = ::open(lockFile.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  const int other = ::open(lockFile.c_str(), O_RDONLY);  // no close-on-exec
  ASSERT_GE(inherited, 0);
  ASSERT_GE(other, 0);
  const std::string script =
      "test \"$(readlink /proc/$$/fd/3)\" = \"$0\" && ! test -e /proc/$$/fd/4 && ! test -e /proc/$$/fd/" +
      std::to_string(other);
  OfficeProcess process("/bin/sh", {"-c", script, lockFile.string()}, {}, {inherited});
  ::close(inherited);
  ::close(other);
  ASSERT_TRUE(process.waitForExit(30s));
  EXPECT_EQ(process.exitCode(), 0);
}

TEST(OfficeProcessTest, AProgramThatCannotStartThrows) {
  EXPECT_THROW(OfficeProcess("/nonexistent/soffice.bin", {}, {}), std::runtime_error);
}

TEST(OfficeProcessTest, TerminateEndsEvenAProcessThatIgnoresSigterm) {
  testing::TempFolder folder;
  const auto ready = folder.path() / "ignoring";
  OfficeProcess process(
      "/bin/sh", {"-c", "trap '' TERM; touch \"$0\"; while :; do sleep 0.1; done", ready.string()}, {});
  for (int poll = 0; poll < 500 && !std::filesystem::exists(ready); ++poll) std::this_thread::sleep_for(20ms);
  ASSERT_TRUE(std::filesystem::exists(ready));
  process.terminate(300ms);
  EXPECT_EQ(process.exitCode(), 128 + SIGKILL);
}

TEST(OfficeProcessTest, WatchdogKillsOnlyWhenTheLimitPasses) {
  OfficeProcess process("/bin/sleep", {"60"}, {});
  { Watchdog disarmedInTime(process, 60s); }
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
