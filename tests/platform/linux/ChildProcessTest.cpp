// The child-process primitive over plain programs (sh, sleep).
#include "platform/ChildProcess.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "support/ProcessWatch.h"
#include "support/TempFolder.h"
#include "support/TestFiles.h"

namespace pelvantz {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using testing::GoneWithin;
using testing::PidWrittenTo;
using testing::ProcessState;
using testing::ReadFile;
using testing::TempFolder;
using testing::WriteFile;

ChildCommand Shell(const std::string& script, const std::string& directory = "") {
  return {"/bin/sh", {"sh", "-c", script}, {}, directory, {}, {}};
}

// A shell that records its process id in pid.txt in the directory, then sleeps.
ChildCommand Sleeper(const TempFolder& folder) {
  return Shell("echo $$ > pid.tmp && mv pid.tmp pid.txt && exec sleep 60", folder.str());
}

TEST(ChildProcessTest, ReportsExitCodesAndPassesTheEnvironment) {
  ::setenv("PELVANTZ_CHILD_TEST_OURS", "kept", 1);
  ::setenv("PELVANTZ_CHILD_TEST_REPLACED", "old", 1);
  const struct {
    const char* script;
    int exitCode;
  } cases[] = {
      {"exit 81", 81},
      {"true", 0},
      {"kill -9 $$", 128 + SIGKILL},
      {"test \"$SAL_PSPRINT\" = /some/folder && test \"$PELVANTZ_CHILD_TEST_OURS\" = kept", 0},
      {"test \"$PELVANTZ_CHILD_TEST_REPLACED\" = new || exit 9", 0},
      {"test -t 1 || exit 7", 7},  // standard output is not a terminal but /dev/null
  };
  for (const auto& testCase : cases) {
    SCOPED_TRACE(testCase.script);
    ChildCommand command = Shell(testCase.script);
    command.extraEnvironment = {"SAL_PSPRINT=/some/folder", "PELVANTZ_CHILD_TEST_REPLACED=new"};
    ChildProcess child(command);
    EXPECT_EQ(child.wait(), testCase.exitCode);
    EXPECT_EQ(child.exitCode(), testCase.exitCode);
  }
}

TEST(ChildProcessTest, StreamsGoToDevNullAndOnlyTheInheritedDescriptorsReachTheChild) {
  TempFolder folder;
  const fs::path lockFile = folder.path() / "lock";
  const int inherited = ::open(lockFile.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  const int other = ::open(lockFile.c_str(), O_RDONLY);  // no close-on-exec, and still not passed on
  ASSERT_GE(inherited, 0);
  ASSERT_GE(other, 0);
  // The shell's own descriptors, read before any redirection of its own.
  const std::string script =
      "cat > in.txt; fds=$(readlink /proc/$$/fd/0 /proc/$$/fd/1 /proc/$$/fd/2); echo $fds > fd.txt; "
      "test \"$(readlink /proc/$$/fd/3)\" = \"$0\" || exit 3; test -e /proc/$$/fd/4 && exit 4; "
      "test -e /proc/$$/fd/" +
      std::to_string(other) + " && exit 5; exit 0";
  ChildCommand command{"/bin/sh", {"sh", "-c", script, lockFile.string()}, {}, folder.str(), {inherited}, {}};
  ChildProcess child(command);
  ::close(inherited);
  ::close(other);
  EXPECT_EQ(child.wait(), 0);
  EXPECT_EQ(ReadFile(folder.path() / "in.txt"), "");
  EXPECT_EQ(ReadFile(folder.path() / "fd.txt"), "/dev/null /dev/null /dev/null\n");
}

// Only standard output is read: input and errors stay on /dev/null. A child
// that fails, cannot start or still runs at the limit (a clean exit after 60 s
// would have given its output) gives nothing.
TEST(ChildProcessTest, OutputOfGivesWhatACleanRunWroteOnItsStandardOutput) {
  const struct {
    const char* name;
    ChildCommand command;
    std::optional<std::string> expected;
  } cases[] = {
      {"several writes", Shell("printf '10.00'; echo .0; echo noise >&2; cat"), "10.00.0\n"},
      {"more than is kept", Shell("head -c 70000 /dev/zero | tr '\\0' x"), std::string(64 * 1024, 'x')},
      {"a failing run", Shell("echo 1.2; exit 1"), std::nullopt},
      {"a run past the limit", Shell("echo 1.2; exec sleep 60"), std::nullopt},
      {"no such program", {"/nonexistent/gs", {"gs"}, {}, "", {}, {}}, std::nullopt},
  };
  for (const auto& testCase : cases) {
    SCOPED_TRACE(testCase.name);
    EXPECT_EQ(OutputOf(testCase.command, 2s), testCase.expected);
  }
}

TEST(ChildProcessTest, RunsInTheGivenDirectory) {
  TempFolder folder;
  const fs::path work = folder.path() / "work dir";
  fs::create_directories(work);
  ChildProcess child(Shell("pwd > out.tmp && mv out.tmp out.txt", work.string()));
  EXPECT_EQ(child.wait(), 0);
  EXPECT_EQ(ReadFile(work / "out.txt"), fs::canonical(work).string() + "\n");
}

TEST(ChildProcessTest, AChildThatCannotStartThrowsWithTheReason) {
  TempFolder folder;
  WriteFile(folder.path() / "plain.txt", "not a program\n");
  WriteFile(folder.path() / "noshebang", "true\n");  // only a shell would run it
  fs::permissions(folder.path() / "noshebang", fs::perms::owner_all);
  const struct {
    std::string program;
    std::string directory;
    int error;
  } cases[] = {
      {"/nonexistent/program", "", ENOENT},
      {(folder.path() / "plain.txt").string(), "", EACCES},
      {(folder.path() / "noshebang").string(), "", ENOEXEC},
      {"/bin/true", (folder.path() / "no such folder").string(), ENOENT},
      {"/bin/true", (folder.path() / "plain.txt").string(), ENOTDIR},
  };
  for (const auto& testCase : cases) {
    SCOPED_TRACE(testCase.program + " in " + testCase.directory);
    try {
      ChildProcess child({testCase.program, {testCase.program}, {}, testCase.directory, {}, {}});
      ADD_FAILURE() << "started";
    } catch (const ChildStartFailure& failure) {
      EXPECT_EQ(failure.error(), testCase.error);
      EXPECT_EQ(std::string(failure.what()).rfind("Cannot start " + testCase.program + ": ", 0), 0u);
    }
  }
}

TEST(ChildProcessTest, WaitingGivesUpAtTheLimitAndKillingEndsTheWholeGroup) {
  TempFolder folder;
  // The shell starts a grandchild and waits for it.
  ChildProcess child(Shell("sleep 60 & echo $! > pid.tmp && mv pid.tmp pid.txt; wait", folder.str()));
  const pid_t grandchild = PidWrittenTo(folder.path() / "pid.txt");
  ASSERT_GT(grandchild, 0);

  const auto before = std::chrono::steady_clock::now();
  EXPECT_FALSE(child.waitForExit(200ms));
  EXPECT_GE(std::chrono::steady_clock::now() - before, 200ms);
  EXPECT_TRUE(child.running());

  child.kill();
  EXPECT_EQ(child.wait(), 128 + SIGKILL);
  // Orphaned, the grandchild is reaped by whoever adopts it; it must not run on.
  std::this_thread::sleep_for(100ms);
  const char state = ProcessState(grandchild);
  EXPECT_TRUE(state == 0 || state == 'Z') << "grandchild in state " << state;
}

TEST(ChildProcessTest, TerminateEndsEvenAChildThatIgnoresSigterm) {
  TempFolder folder;
  ChildProcess child(
      Shell("trap '' TERM; echo $$ > pid.tmp && mv pid.tmp pid.txt; while :; do sleep 0.1; done", folder.str()));
  ASSERT_GT(PidWrittenTo(folder.path() / "pid.txt"), 0);
  child.terminate(300ms);
  EXPECT_EQ(child.exitCode(), 128 + SIGKILL);
}

TEST(ChildProcessTest, AKillFromAnotherThreadEndsTheOwnersWait) {
  ChildProcess child({"/bin/sleep", {"sleep", "60"}, {}, "", {}, {}});
  std::thread killer([&child] {
    std::this_thread::sleep_for(100ms);
    child.kill();
  });
  EXPECT_EQ(child.wait(), 128 + SIGKILL);
  killer.join();
  child.kill();  // once reaped, its pid is no longer ours to signal: nothing happens
}

TEST(ChildProcessTest, AChildLeftRunningIsReapedWhenItEnds) {
  TempFolder folder;
  pid_t pid = -1;
  {
    ChildProcess child(Sleeper(folder));
    pid = PidWrittenTo(folder.path() / "pid.txt");
    child.leaveRunning();
  }
  ASSERT_GT(pid, 0);
  const char running = ProcessState(pid);
  EXPECT_TRUE(running == 'S' || running == 'R') << "state " << running;
  ::kill(pid, SIGKILL);
  EXPECT_TRUE(GoneWithin(pid, 5s)) << "left as state " << ProcessState(pid);
}

TEST(ChildProcessTest, TerminatingChildrenKillsAndReapsEveryLiveOne) {
  TempFolder first;
  TempFolder second;
  ChildProcess owned(Sleeper(first));
  const pid_t one = PidWrittenTo(first.path() / "pid.txt");
  pid_t two = -1;
  {
    ChildProcess leftRunning(Sleeper(second));
    two = PidWrittenTo(second.path() / "pid.txt");
    leftRunning.leaveRunning();
  }
  ASSERT_NE(ProcessState(one), 0);
  ASSERT_NE(ProcessState(two), 0);

  TerminateChildProcesses();

  EXPECT_EQ(ProcessState(one), 0);
  EXPECT_EQ(ProcessState(two), 0);
  EXPECT_EQ(owned.exitCode(), 128 + SIGKILL);
}

// Started on another thread while the program ends, a child is either killed
// with the others or refused; no child starts after the end.
void EndWhileAnotherThreadStartsChildren() {
  std::vector<std::unique_ptr<ChildProcess>> started;
  bool refused = false;
  std::thread starter([&] {
    const auto giveUp = std::chrono::steady_clock::now() + 5s;
    try {
      while (std::chrono::steady_clock::now() < giveUp)
        started.push_back(
            std::make_unique<ChildProcess>(ChildCommand{"/bin/sleep", {"sleep", "60"}, {}, "", {}, {}}));
    } catch (const ChildStartFailure& failure) {
      refused = failure.error() == 0;
    }
  });
  std::this_thread::sleep_for(100ms);
  TerminateChildProcesses(true);
  starter.join();
  int ended = 0;
  for (const auto& child : started) ended += child->exitCode() == 128 + SIGKILL;
  std::_Exit(refused && !started.empty() && ended == static_cast<int>(started.size()) ? 0 : 1);
}

TEST(ChildProcessTest, AfterTheEndNoChildStartsAndNoneBeingBornIsMissed) {
  // In a fresh process of its own: starts stay refused for the rest of it.
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(EndWhileAnotherThreadStartsChildren(), ::testing::ExitedWithCode(0), "");
}

// A library's exit() ends the program past its own way out; its children go
// with it, and so does what they started (which the kernel would leave running).
void ExitLeavingAChildRunning(const fs::path& folder) {
  ChildProcess child(Shell("sleep 60 & echo $! > pid.tmp && mv pid.tmp pid.txt; wait", folder.string()));
  PidWrittenTo(folder / "pid.txt");
  child.leaveRunning();
  std::exit(0);
}

TEST(ChildProcessTest, AnExitFromAnywhereEndsEveryChild) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  TempFolder folder;
  // The death test runs this body again in a fresh process, which must use the first one's folder.
  ::setenv("PELVANTZ_EXIT_TEST_FOLDER", folder.str().c_str(), 0);
  const fs::path shared = std::getenv("PELVANTZ_EXIT_TEST_FOLDER");
  EXPECT_EXIT(ExitLeavingAChildRunning(shared), ::testing::ExitedWithCode(0), "");
  const pid_t grandchild = PidWrittenTo(shared / "pid.txt");
  ASSERT_GT(grandchild, 0);
  // Adopted by whoever reaps orphans here; it must not run on.
  std::this_thread::sleep_for(100ms);
  const char state = ProcessState(grandchild);
  EXPECT_TRUE(state == 0 || state == 'Z') << "grandchild left in state " << state;
  ::unsetenv("PELVANTZ_EXIT_TEST_FOLDER");
}

// A file the child would remove in an orderly end (an office's socket) goes
// once the child has ended, by itself, by terminate or at the program's end.
TEST(ChildProcessTest, WhatAChildLeavesBehindGoesWhenItEnds) {
  TempFolder folder;
  const fs::path socket = folder.path() / "socket";
  const struct {
    const char* name;
    const char* script;
    std::function<void(ChildProcess&)> end;
  } cases[] = {
      {"ends by itself", "exit 0", [](ChildProcess& child) { child.wait(); }},
      {"terminated", "sleep 60", [](ChildProcess& child) { child.terminate(100ms); }},
      {"killed at the program's end", "sleep 60", [](ChildProcess&) { TerminateChildProcesses(); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ChildCommand command = Shell(std::string("touch socket; ") + c.script, folder.str());
    command.leftBehind = {socket.string()};
    ChildProcess child(command);
    for (int wait = 0; wait < 200 && !fs::exists(socket); ++wait) std::this_thread::sleep_for(10ms);
    ASSERT_TRUE(fs::exists(socket));
    c.end(child);
    EXPECT_TRUE(child.exitCode().has_value());
    EXPECT_FALSE(fs::exists(socket));
  }
}

}  // namespace
}  // namespace pelvantz
