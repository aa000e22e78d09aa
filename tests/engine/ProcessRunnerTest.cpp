#include "engine/ProcessRunner.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <unistd.h>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "base/RuntimeFailure.h"
#include "support/ProcessWatch.h"
#include "support/TempFolder.h"
#include "support/TestFiles.h"

namespace pelvantz {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using testing::AppearsWithin;
using testing::GoneWithin;
using testing::PidWrittenTo;
using testing::ProcessState;
using testing::ReadFile;
using testing::TempFolder;

constexpr int32_t Hidden = 0;

void WriteExecutable(const fs::path& path, const std::string& content) {
  std::ofstream(path) << content;
  fs::permissions(path, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec);
}

// A shell command that records its process id in pid.txt and then sleeps.
const std::string SleeperLine = "/bin/sh -c \"echo $$ > pid.tmp && mv pid.tmp pid.txt && exec sleep 5\"";

TEST(ProcessRunnerTest, TellsWhetherTheChildCouldBeStarted) {
  TempFolder folder;
  std::ofstream(folder.path() / "plain.txt") << "not a program\n";
  WriteExecutable(folder.path() / "noshebang", "true\n");  // only a shell would run it
  struct Case {
    std::string line;
    std::string directory;
    int16_t result;
  };
  const std::vector<Case> cases = {
      {"/nonexistent/program -x", folder.str(), 0},
      {"no-such-program-anywhere", folder.str(), 0},
      {(folder.path() / "plain.txt").string(), folder.str(), 0},
      {(folder.path() / "noshebang").string(), folder.str(), 0},
      {"/bin/true", (folder.path() / "no such folder").string(), 0},
      {"/bin/true", (folder.path() / "plain.txt").string(), 0},
      {"/bin/sh -c \"exit 3\"", folder.str(), -1},
      {"/bin/sh -c \"kill -9 $$\"", folder.str(), -1},
      {"/bin/true", "", -1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(RunAndWait(c.line, c.directory, WaitInfinite, Hidden, HighPriorityClass), c.result)
        << c.line << " in " << c.directory;
  }
}

TEST(ProcessRunnerTest, ReportsHowTheChildEnded) {
  TempFolder folder;
  struct Case {
    std::string line;
    std::optional<int> exitCode;
  };
  const std::vector<Case> cases = {
      {"/bin/sh -c \"exit 3\"", 3},
      {"/bin/true", 0},
      {"/bin/sh -c \"kill -9 $$\"", 128 + SIGKILL},
      {"/nonexistent/program", std::nullopt},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(RunAndWaitForExitCode(c.line, folder.str(), WaitInfinite, Hidden, 0), c.exitCode) << c.line;
  }
}

TEST(ProcessRunnerTest, RunsAnUnquotedProgramPathWithBlanksInTheGivenDirectory) {
  TempFolder folder;
  const fs::path tools = folder.path() / "my tools";
  const fs::path work = folder.path() / "work dir";
  fs::create_directories(tools);
  fs::create_directories(work);
  WriteExecutable(tools / "record", "#!/bin/sh\npwd > out.tmp\necho \"$1|$2\" >> out.tmp\nmv out.tmp out.txt\n");

  const std::string line = (tools / "record").string() + " \"first arg\" a\\\"b";
  EXPECT_EQ(RunAndWaitForExitCode(line, work.string(), WaitInfinite, Hidden, HighPriorityClass), 0);

  EXPECT_EQ(ReadFile(work / "out.txt"), fs::canonical(work).string() + "\nfirst arg|a\"b\n");
}

TEST(ProcessRunnerTest, ChildStdoutGoesNowhereAndStdinIsEmpty) {
  TempFolder folder;
  // The shell's own descriptors, read before any redirection of its own.
  EXPECT_EQ(RunAndWaitForExitCode(
                "/bin/sh -c \"cat > in.txt; fds=$(readlink /proc/$$/fd/0 /proc/$$/fd/1 /proc/$$/fd/2); "
                "echo $fds > fd.txt\"",
                folder.str(), WaitInfinite, Hidden, 0),
            0);
  EXPECT_EQ(ReadFile(folder.path() / "in.txt"), "");
  EXPECT_EQ(ReadFile(folder.path() / "fd.txt"), "/dev/null /dev/null /dev/null\n");
}

TEST(ProcessRunnerTest, ALongerChildOutlivesTheWaitAndIsReapedWhenItEnds) {
  for (const int32_t waitTime : {0, 200}) {
    SCOPED_TRACE(waitTime);
    TempFolder folder;
    EXPECT_EQ(RunAndWaitForExitCode(SleeperLine, folder.str(), waitTime, Hidden, 0), std::nullopt);
    const pid_t pid = PidWrittenTo(folder.path() / "pid.txt");
    ASSERT_GT(pid, 0);

    const char running = ProcessState(pid);
    EXPECT_TRUE(running == 'S' || running == 'R') << "state " << running;
    kill(pid, SIGKILL);
    EXPECT_TRUE(GoneWithin(pid, std::chrono::seconds(5))) << "left as state " << ProcessState(pid);
  }
}

TEST(ProcessRunnerTest, WithinALimitTheChildExitsOrIsKilledWithWhatItStarted) {
  TempFolder folder;
  EXPECT_EQ(RunWithinLimit("/nonexistent/program", folder.str(), 1s, 0).end, ChildRun::End::NotStarted);
  const ChildRun exited = RunWithinLimit("/bin/sh -c \"exit 4\"", folder.str(), 30s, HighPriorityClass);
  EXPECT_EQ(exited.end, ChildRun::End::Exited);
  EXPECT_EQ(exited.exitCode, 4);

  const auto before = std::chrono::steady_clock::now();
  const ChildRun stopped = RunWithinLimit(
      "/bin/sh -c \"sleep 60 & echo $! > pid.tmp && mv pid.tmp pid.txt; wait\"", folder.str(), 500ms, 0);
  EXPECT_EQ(stopped.end, ChildRun::End::KilledAtLimit);
  EXPECT_LT(std::chrono::steady_clock::now() - before, 10s);
  const pid_t grandchild = PidWrittenTo(folder.path() / "pid.txt");
  ASSERT_GT(grandchild, 0);
  std::this_thread::sleep_for(100ms);
  const char state = ProcessState(grandchild);
  EXPECT_TRUE(state == 0 || state == 'Z') << "grandchild in state " << state;
}

TEST(ProcessRunnerTest, RaisesThePriorityWhereAllowed) {
  TempFolder folder;
  const std::string line =
      "/bin/sh -c \"while [ ! -e go ]; do sleep 0.01; done; cat /proc/$$/stat > stat.tmp && mv stat.tmp "
      "stat.txt\"";
  ASSERT_EQ(RunAndWait(line, folder.str(), 0, Hidden, HighPriorityClass), -1);
  std::ofstream(folder.path() / "go") << "";
  ASSERT_TRUE(AppearsWithin(folder.path() / "stat.txt", std::chrono::seconds(5)));

  const std::string stat = ReadFile(folder.path() / "stat.txt");
  std::istringstream fields(stat.substr(stat.rfind(')') + 2));
  std::vector<std::string> values{std::istream_iterator<std::string>(fields), {}};
  ASSERT_GT(values.size(), 16u);
  const int nice = std::stoi(values[16]);  // field 19 of /proc/<pid>/stat
  if (geteuid() == 0) {
    EXPECT_LT(nice, 0);
  } else {
    EXPECT_EQ(nice, getpriority(PRIO_PROCESS, 0));  // not allowed: started all the same
  }
}

TEST(ProcessRunnerTest, AWindowModeBeyondSixteenBitsFailsBeforeStarting) {
  TempFolder folder;
  const std::string line = "/bin/sh -c \"touch ran.txt\"";
  for (const int32_t mode : {32768, -32769, 70000}) {
    try {
      RunAndWait(line, folder.str(), WaitInfinite, mode, HighPriorityClass);
      ADD_FAILURE() << "no failure for window mode " << mode;
    } catch (const RuntimeFailure& failure) {
      EXPECT_EQ(failure.number(), ErrorNumber::Overflow);
    }
  }
  EXPECT_FALSE(fs::exists(folder.path() / "ran.txt"));
  EXPECT_EQ(RunAndWait(line, folder.str(), WaitInfinite, 32767, 0), -1);
  EXPECT_TRUE(fs::exists(folder.path() / "ran.txt"));
}

}  // namespace
}  // namespace pelvantz
