#include "platform/ChildProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <map>
#include <thread>
#include <type_traits>

#include "platform/linux/ChildSpawn.h"

namespace pelvantz {
namespace {

using Milliseconds = std::chrono::milliseconds;

// The interface keeps the process id as an int so that it needs no system header.
static_assert(std::is_same_v<pid_t, int>);

// What a raised priority becomes.
constexpr int RaisedNiceValue = -10;

std::string ReasonOf(int error) {
  return error == 0 ? std::string("the program is ending.") : std::string(std::strerror(error));
}

std::vector<std::string> EnvironmentWith(const std::vector<std::string>& extra) {
  std::vector<std::string> result;
  for (const std::string& text : CurrentEnvironment()) {
    const std::string name = text.substr(0, text.find('=') + 1);
    bool overridden = false;
    for (const auto& replacement : extra) overridden |= replacement.rfind(name, 0) == 0;
    if (!overridden) result.push_back(text);
  }
  result.insert(result.end(), extra.begin(), extra.end());
  return result;
}

// -1 when the child was not ours to reap any more (someone ignores SIGCHLD).
int ReapNow(pid_t pid) {
  int status = 0;
  pid_t result;
  do {
    result = ::waitpid(pid, &status, 0);
  } while (result < 0 && errno == EINTR);
  if (result != pid) return -1;
  return WIFSIGNALED(status) ? 128 + WTERMSIG(status) : WEXITSTATUS(status);
}

// Whether the child has ended, without reaping it: as a zombie it keeps its
// pid from being given to another process until the registry reaps it.
bool HasEnded(pid_t pid) {
  siginfo_t info{};
  while (::waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOWAIT | WNOHANG) < 0) {
    if (errno != EINTR) return true;  // not our child any more: nothing to wait for
  }
  return info.si_pid != 0;
}

struct Child {
  pid_t pid;
  std::uint64_t serial;
};

// The children started here and not yet reaped. A child is reaped and
// signalled only under the lock, and only while it is here under its own
// serial, so that no signal reaches a later process given the same pid.
class Registry {
 public:
  // Starts under the lock, so that terminating all children cannot miss one being born.
  Child start(const ChildSpec& spec, const std::vector<std::string>& leftBehind) {
    const std::lock_guard lock(mutex_);
    if (startsRefused_) throw ChildStartFailure(spec.program, 0);
    const SpawnResult started = SpawnChild(spec);
    if (started.error != 0) throw ChildStartFailure(spec.program, started.error);
    live_[started.pid] = {++lastSerial_, leftBehind};
    return {started.pid, lastSerial_};
  }

  // The group leads to what the child started; a child that left its group is signalled alone.
  void signal(const Child& child, int signal) {
    const std::lock_guard lock(mutex_);
    if (!isLive(child)) return;
    if (::kill(-child.pid, signal) != 0) ::kill(child.pid, signal);
  }

  std::optional<int> reapIfEnded(const Child& child) {
    const std::lock_guard lock(mutex_);
    if (!isLive(child)) return takeSwept(child);
    if (!HasEnded(child.pid)) return std::nullopt;
    const int exitCode = ReapNow(child.pid);
    RemoveLeftBehind(live_[child.pid]);
    live_.erase(child.pid);
    return exitCode;
  }

  // A descriptor that becomes readable when the child ends (close it); -1
  // when it has been reaped or the kernel gives none.
  int endHandle(const Child& child) {
    const std::lock_guard lock(mutex_);
    if (!isLive(child)) return -1;
    return static_cast<int>(::syscall(SYS_pidfd_open, child.pid, 0));
  }

  void terminateAll(bool refuseLaterStarts) {
    const std::lock_guard lock(mutex_);
    startsRefused_ = startsRefused_ || refuseLaterStarts;
    for (const auto& [pid, entry] : live_)
      if (::kill(-pid, SIGKILL) != 0) ::kill(pid, SIGKILL);
    for (const auto& [pid, entry] : live_) {
      swept_[entry.serial] = ReapNow(pid);
      RemoveLeftBehind(entry);
    }
    live_.clear();
  }

 private:
  struct Entry {
    std::uint64_t serial = 0;
    std::vector<std::string> leftBehind;
  };

  bool isLive(const Child& child) const {
    const auto found = live_.find(child.pid);
    return found != live_.end() && found->second.serial == child.serial;
  }

  static void RemoveLeftBehind(const Entry& entry) {
    for (const std::string& file : entry.leftBehind) ::unlink(file.c_str());
  }

  // The exit code of a child reaped by terminateAll, kept for its owner.
  int takeSwept(const Child& child) {
    const auto found = swept_.find(child.serial);
    if (found == swept_.end()) return -1;
    const int exitCode = found->second;
    swept_.erase(found);
    return exitCode;
  }

  std::mutex mutex_;
  std::map<pid_t, Entry> live_;
  std::map<std::uint64_t, int> swept_;
  std::uint64_t lastSerial_ = 0;
  bool startsRefused_ = false;
};

Registry& Children();

// The program's own ends call TerminateChildProcesses; this covers an exit()
// from elsewhere (a library giving up on the display, say). A forked copy of
// the program that calls exit() must not kill its parent's children.
pid_t registryOwner = -1;
void TerminateAtExit() {
  if (::getpid() == registryOwner) Children().terminateAll(true);
}

Registry& Children() {
  // Never destroyed: children may be reaped after main returns.
  static Registry* const registry = [] {
    registryOwner = ::getpid();
    std::atexit(TerminateAtExit);
    return new Registry;
  }();
  return *registry;
}

// Blocks until the child may have ended or `limit` (nothing: no limit) has passed.
void AwaitEnd(const Child& child, std::optional<Milliseconds> limit) {
  const int handle = Children().endHandle(child);
  if (handle < 0) {
    // No handle: poll in short steps (the waits are for processes that run for seconds).
    std::this_thread::sleep_for(std::min(limit.value_or(Milliseconds(20)), Milliseconds(20)));
    return;
  }
  pollfd ended{handle, POLLIN, 0};
  const int timeout = limit ? static_cast<int>(std::clamp<Milliseconds::rep>(limit->count(), 0, INT_MAX)) : -1;
  ::poll(&ended, 1, timeout);
  ::close(handle);
}

}  // namespace

ChildStartFailure::ChildStartFailure(const std::string& program, int error)
    : std::runtime_error("Cannot start " + program + ": " + ReasonOf(error)), error_(error) {}

ChildProcess::ChildProcess(const ChildCommand& command) {
  ChildSpec spec{command.program,
                 command.arguments,
                 EnvironmentWith(command.extraEnvironment),
                 command.directory,
                 command.inheritedDescriptors,
                 command.standardOutput};
  // A group of its own: a terminal's Ctrl+C is ours to handle, and killing the
  // group reaches whatever the child started.
  spec.ownProcessGroup = true;
  const Child child = Children().start(spec, command.leftBehind);
  pid_ = child.pid;
  serial_ = child.serial;
}

ChildProcess::~ChildProcess() {
  if (!leftRunning_) terminate(DefaultGrace);
}

std::optional<int> ChildProcess::exitCode() {
  const std::lock_guard lock(mutex_);
  if (!exitCode_) exitCode_ = Children().reapIfEnded({pid_, serial_});
  return exitCode_;
}

bool ChildProcess::waitForExit(Milliseconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (!exitCode()) {
    const auto left = std::chrono::ceil<Milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left <= Milliseconds::zero()) return false;
    AwaitEnd({pid_, serial_}, left);
  }
  return true;
}

int ChildProcess::wait() {
  while (!exitCode()) AwaitEnd({pid_, serial_}, std::nullopt);
  return *exitCode();
}

void ChildProcess::raisePriority() { ::setpriority(PRIO_PROCESS, static_cast<id_t>(pid_), RaisedNiceValue); }

void ChildProcess::kill() { Children().signal({pid_, serial_}, SIGKILL); }

void ChildProcess::terminate(Milliseconds grace) {
  if (exitCode()) return;
  Children().signal({pid_, serial_}, SIGTERM);
  if (waitForExit(grace)) return;
  kill();
  wait();
}

void ChildProcess::leaveRunning() {
  leftRunning_ = true;
  if (exitCode()) return;
  // Reaped when it ends, so that it never lingers as a zombie.
  std::thread([child = Child{pid_, serial_}] {
    while (!Children().reapIfEnded(child)) AwaitEnd(child, std::nullopt);
  }).detach();
}

namespace {

constexpr size_t MaximumOutput = 64 * 1024;

// Reads the pipe until its writers are gone or the limit passes, keeping the
// start; the rest is read too, so that a talkative child is never blocked.
std::string ReadUntilClosed(int descriptor, std::chrono::steady_clock::time_point deadline) {
  std::string output;
  char buffer[4096];
  for (;;) {
    const auto left = std::chrono::ceil<Milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left <= Milliseconds::zero()) break;
    pollfd readable{descriptor, POLLIN, 0};
    const int ready = ::poll(&readable, 1, static_cast<int>(std::min<Milliseconds::rep>(left.count(), INT_MAX)));
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) break;
    const ssize_t got = ::read(descriptor, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    output.append(buffer, std::min(static_cast<size_t>(got), MaximumOutput - output.size()));
  }
  return output;
}

}  // namespace

std::optional<std::string> OutputOf(ChildCommand command, Milliseconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  int pipe[2];
  if (::pipe2(pipe, O_CLOEXEC) != 0) return std::nullopt;
  command.standardOutput = pipe[1];
  std::optional<ChildProcess> child;
  try {
    child.emplace(command);
  } catch (const ChildStartFailure&) {
    ::close(pipe[0]);
    ::close(pipe[1]);
    return std::nullopt;
  }
  ::close(pipe[1]);
  const std::string output = ReadUntilClosed(pipe[0], deadline);
  ::close(pipe[0]);
  const auto left = std::chrono::ceil<Milliseconds>(deadline - std::chrono::steady_clock::now());
  if (!child->waitForExit(std::max(left, Milliseconds::zero()))) return std::nullopt;
  if (child->exitCode() != 0) return std::nullopt;
  return output;
}

void TerminateChildProcesses(bool refuseLaterStarts) { Children().terminateAll(refuseLaterStarts); }

}  // namespace pelvantz
