#include "engine/ProcessRunner.h"

#include <algorithm>
#include <climits>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <functional>
#include <limits>
#include <map>
#include <mutex>
#include <optional>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "core/RuntimeFailure.h"
#include "platform/linux/ChildSpawn.h"
#include "platform/CommandLine.h"

namespace pelvantz {

namespace {

// What a raised priority class becomes; an unprivileged user may not raise it
// and then the child runs at the normal priority.
constexpr int RaisedNiceValue = -10;

struct Child {
  pid_t pid;
  uint64_t serial;
};

// The children started here that nobody has reaped yet. Each has a serial so a
// late reaper cannot mistake a newer child that got the same process id.
class ChildRegistry {
 public:
  // Runs the spawn (posix_spawn's result) under the lock, so that terminating
  // all children cannot miss one being born.
  std::optional<Child> start(const std::function<int(pid_t&)>& spawn) {
    const std::lock_guard lock(mutex_);
    pid_t pid = 0;
    if (spawn(pid) != 0) return std::nullopt;
    running_[pid] = ++lastSerial_;
    return Child{pid, lastSerial_};
  }

  // Reaps an ended child (which must not have been reaped yet) and forgets it;
  // nothing when it is no longer ours.
  std::optional<int> reap(pid_t pid, uint64_t serial) {
    const std::lock_guard lock(mutex_);
    const auto found = running_.find(pid);
    if (found == running_.end() || found->second != serial) return std::nullopt;
    running_.erase(found);
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
      if (errno != EINTR) return std::nullopt;
    }
    return status;
  }

  void terminateAll() {
    const std::lock_guard lock(mutex_);
    for (const auto& [pid, serial] : running_) kill(-pid, SIGKILL);
    for (const auto& [pid, serial] : running_) {
      while (waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
      }
    }
    running_.clear();
  }

 private:
  std::mutex mutex_;
  std::map<pid_t, uint64_t> running_;
  uint64_t lastSerial_ = 0;
};

ChildRegistry& Children() {
  static ChildRegistry registry;
  return registry;
}

// Whether the child has ended, without reaping it: the zombie keeps its pid
// from being reused until the registry reaps it under its lock.
bool HasEnded(pid_t pid, bool block) {
  siginfo_t info{};
  const int options = WEXITED | WNOWAIT | (block ? 0 : WNOHANG);
  while (waitid(P_PID, static_cast<id_t>(pid), &info, options) < 0) {
    if (errno != EINTR) return true;  // not our child any more: nothing to wait for
  }
  return info.si_pid != 0;
}

int ExitCodeOf(int status) {
  if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
  return WEXITSTATUS(status);
}

std::optional<int> Reap(const Child& child) {
  const std::optional<int> status = Children().reap(child.pid, child.serial);
  if (!status) return std::nullopt;
  return ExitCodeOf(*status);
}

// A child left running when the wait ran out is reaped when it ends, so it
// never lingers as a zombie.
void ReapLater(const Child& child) {
  std::thread([child] {
    HasEnded(child.pid, true);
    Children().reap(child.pid, child.serial);
  }).detach();
}

// Polls in short steps: the waits are for processes that run for seconds.
bool WaitUntilEnded(pid_t pid, uint32_t milliseconds) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
  auto pause = std::chrono::milliseconds(1);
  while (!HasEnded(pid, false)) {
    const auto now = std::chrono::steady_clock::now();
    if (now >= deadline) return false;
    std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(pause, deadline - now));
    pause = std::min(pause * 2, std::chrono::milliseconds(20));
  }
  return true;
}

std::optional<Child> Start(const std::string& commandLine, const std::string& directory,
                           int32_t creationFlags) {
  const std::optional<ResolvedCommandLine> resolved = ResolveCommandLine(commandLine);
  if (!resolved) return std::nullopt;
  ChildSpec spec{resolved->executable, resolved->arguments, CurrentEnvironment(), directory, {}};
  // A group of its own, so that stopping it at its time limit reaches what it started.
  spec.ownProcessGroup = true;
  const std::optional<Child> child = Children().start([&](pid_t& pid) {
    const SpawnResult started = SpawnChild(spec);
    pid = started.pid;
    return started.error;
  });
  if (child && (creationFlags & HighPriorityClass) != 0) {
    setpriority(PRIO_PROCESS, static_cast<id_t>(child->pid), RaisedNiceValue);
  }
  return child;
}

struct Outcome {
  bool started = false;
  std::optional<int> exitCode;  // when the child ended within the wait
};

enum class AtLimit { LeaveRunning, Kill };

Outcome StartAndWait(const std::string& commandLine, const std::string& directory, int32_t waitTime,
                     int32_t windowMode, int32_t creationFlags, AtLimit atLimit = AtLimit::LeaveRunning) {
  if (windowMode < std::numeric_limits<int16_t>::min() || windowMode > std::numeric_limits<int16_t>::max()) {
    throw RuntimeFailure(ErrorNumber::Overflow, "Overflow");
  }
  const std::optional<Child> child = Start(commandLine, directory, creationFlags);
  if (!child) return {};
  // Any other negative time is, as an unsigned count of milliseconds, weeks.
  const bool ended = waitTime == WaitInfinite ? HasEnded(child->pid, true)
                                              : WaitUntilEnded(child->pid, static_cast<uint32_t>(waitTime));
  if (ended) return {true, Reap(*child)};
  if (atLimit == AtLimit::Kill) {
    kill(-child->pid, SIGKILL);
    HasEnded(child->pid, true);
    Reap(*child);
  } else {
    ReapLater(*child);
  }
  return {true, std::nullopt};
}

}  // namespace

int16_t RunAndWait(const std::string& commandLine, const std::string& currentDirectory,
                   int32_t waitTime, int32_t windowMode, int32_t creationFlags) {
  return StartAndWait(commandLine, currentDirectory, waitTime, windowMode, creationFlags).started ? -1 : 0;
}

std::optional<int> RunAndWaitForExitCode(const std::string& commandLine,
                                         const std::string& currentDirectory, int32_t waitTime,
                                         int32_t windowMode, int32_t creationFlags) {
  return StartAndWait(commandLine, currentDirectory, waitTime, windowMode, creationFlags).exitCode;
}

ChildRun RunWithinLimit(const std::string& commandLine, const std::string& currentDirectory,
                        std::chrono::milliseconds limit, int32_t creationFlags) {
  const auto milliseconds = std::clamp<std::chrono::milliseconds::rep>(limit.count(), 0, INT32_MAX);
  const Outcome outcome = StartAndWait(commandLine, currentDirectory, static_cast<int32_t>(milliseconds), 0,
                                       creationFlags, AtLimit::Kill);
  if (!outcome.started) return {ChildRun::End::NotStarted};
  if (!outcome.exitCode) return {ChildRun::End::KilledAtLimit};
  return {ChildRun::End::Exited, *outcome.exitCode};
}

void TerminateChildProcesses() { Children().terminateAll(); }

}  // namespace pelvantz
