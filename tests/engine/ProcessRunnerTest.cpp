#include "engine/ProcessRunner.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <iterator>
#include <sys/resource.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "core/RuntimeFailure.h"
#include "platform/CommandLine.h"
#include "support/TempFolder.h"
#include "support/TestFiles.h"

namespace pelvantz {
namespace {

using testing::ReadFile;

namespace fs = std::filesystem;
using testing::TempFolder;

constexpr int32_t Hidden = 0;

void WriteExecutable(const fs::path& path, const std::string& content) {
  std::ofstream(path) << content;
  fs::permissions(path, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec);
}

// Children write their files atomically (rename), so a file that exists is whole.
bool AppearsWithin(const fs::path& path, std::chrono::seconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (!fs::exists(path)) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return true;
}

// The state letter of a process ('R', 'S', 'Z', ...), or 0 once it is gone.
char ProcessState(pid_t pid) {
  const std::string stat = ReadFile("/proc/" + std::to_string(pid) + "/stat");
  const std::size_t afterName = stat.rfind(')');
  if (afterName == std::string::npos || afterName + 2 >= stat.size()) return 0;
  return stat[afterName + 2];
}

bool GoneWithin(pid_t pid, std::chrono::seconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (ProcessState(pid) != 0) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return true;
}

// A shell command that records its process id in pid.txt and then sleeps.
const std::string SleeperLine =
    "/bin/sh -c \"echo $$ > pid.tmp && mv pid.tmp pid.txt && exec sleep 5\"";

pid_t StartSleeper(const TempFolder& folder, int32_t waitTime) {
  EXPECT_EQ(RunAndWait(SleeperLine, folder.str(), waitTime, Hidden, HighPriorityClass), -1);
  EXPECT_TRUE(AppearsWithin(folder.path() / "pid.txt", std::chrono::seconds(5)));
  return static_cast<pid_t>(std::stol(ReadFile(folder.path() / "pid.txt")));
}

TEST(CommandLineTest, SplitsArgumentsByTheWindowsRules) {
  struct Case {
    std::string line;
    std::vector<std::string> arguments;
  };
  const std::vector<Case> cases = {
      {"a b  c", {"a", "b", "c"}},
      {" \ta\t b ", {"a", "b"}},
      {"", {}},
      {"   ", {}},
      {R"("a b" c)", {"a b", "c"}},
      {R"(x "" y)", {"x", "", "y"}},
      {R"(a""b)", {"ab"}},
      {R"(pre"fix mid"post)", {"prefix midpost"}},
      {R"("unterminated quote)", {"unterminated quote"}},
      {R"(a\b c\\d)", {R"(a\b)", R"(c\\d)"}},
      {R"(a\"b)", {R"(a"b)"}},                 // 1 backslash: literal quote
      {R"(a\\"b c")", {R"(a\b c)"}},           // 2: one backslash, quote groups
      {R"(a\\\"b)", {R"(a\"b)"}},              // 3: one backslash and a literal quote
      {R"(a\\\\"b c")", {R"(a\\b c)"}},        // 4: two backslashes, quote groups
      {R"("C:\dir\\" next)", {R"(C:\dir\)", "next"}},
      {R"(-sOutputFile="C:\out dir\x.pdf" -f "in.ps")", {R"(-sOutputFile=C:\out dir\x.pdf)", "-f", "in.ps"}},
      {R"(trailing\)", {R"(trailing\)"}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(SplitArguments(c.line), c.arguments) << c.line;
  }
}

TEST(CommandLineTest, FindsTheProgramOfAnUnquotedLineByItsShortestExecutablePrefix) {
  TempFolder folder;
  const fs::path tools = folder.path() / "my tools";
  fs::create_directories(tools / "sub dir");
  WriteExecutable(tools / "prog", "#!/bin/sh\n");
  WriteExecutable(tools / "sub dir" / "prog", "#!/bin/sh\n");
  std::ofstream(tools / "plain") << "not executable\n";
  const std::string base = folder.str();

  struct Case {
    std::string line;
    std::optional<std::string> executable;
    std::vector<std::string> arguments;
  };
  const std::vector<Case> cases = {
      {base + "/my tools/prog -x \"y z\"", (tools / "prog").string(),
       {base + "/my tools/prog", "-x", "y z"}},
      {"  " + base + "/my tools/sub dir/prog", (tools / "sub dir" / "prog").string(),
       {base + "/my tools/sub dir/prog"}},
      {"\"" + base + "/my tools/prog\" a\\\"b", (tools / "prog").string(),
       {base + "/my tools/prog", "a\"b"}},
      {"\"" + base + "/my tools/sub dir\" x", std::nullopt, {}},  // a folder is no program
      {base + "/my tools/plain x", std::nullopt, {}},
      {base + "/my tools/missing", std::nullopt, {}},
      {"\"\" x", std::nullopt, {}},
      {"", std::nullopt, {}},
      {"sh -c true", "/usr/bin/sh", {"sh", "-c", "true"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    const std::optional<ResolvedCommandLine> resolved = ResolveCommandLine(c.line);
    ASSERT_EQ(resolved.has_value(), c.executable.has_value());
    if (!resolved) continue;
    if (c.line.starts_with("sh ")) {
      EXPECT_EQ(fs::path(resolved->executable).filename(), "sh");  // wherever PATH has it
    } else {
      EXPECT_EQ(resolved->executable, *c.executable);
    }
    EXPECT_EQ(resolved->arguments, c.arguments);
  }

  // A shorter prefix that names a program wins, as on Windows.
  WriteExecutable(folder.path() / "my", "#!/bin/sh\n");
  const auto shorter = ResolveCommandLine(base + "/my tools/prog");
  ASSERT_TRUE(shorter.has_value());
  EXPECT_EQ(shorter->executable, (folder.path() / "my").string());
  EXPECT_EQ(shorter->arguments, (std::vector<std::string>{base + "/my", "tools/prog"}));
}

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
    ASSERT_TRUE(AppearsWithin(folder.path() / "pid.txt", std::chrono::seconds(5)));
    const pid_t pid = static_cast<pid_t>(std::stol(ReadFile(folder.path() / "pid.txt")));

    const char running = ProcessState(pid);
    EXPECT_TRUE(running == 'S' || running == 'R') << "state " << running;
    kill(pid, SIGKILL);
    EXPECT_TRUE(GoneWithin(pid, std::chrono::seconds(5))) << "left as state " << ProcessState(pid);
  }
}

TEST(ProcessRunnerTest, TerminatingChildrenLeavesNoneBehind) {
  TempFolder first;
  TempFolder second;
  const pid_t one = StartSleeper(first, 100);
  const pid_t two = StartSleeper(second, 100);
  ASSERT_NE(ProcessState(one), 0);
  ASSERT_NE(ProcessState(two), 0);

  TerminateChildProcesses();

  EXPECT_EQ(ProcessState(one), 0);
  EXPECT_EQ(ProcessState(two), 0);
}

TEST(ProcessRunnerTest, RaisesThePriorityWhereAllowed) {
  TempFolder folder;
  const std::string line =
      "/bin/sh -c \"while [ ! -e go ]; do sleep 0.01; done; cat /proc/$$/stat > stat.tmp && mv stat.tmp stat.txt\"";
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
