#include "platform/libreoffice/session/OfficeProcess.h"

#include <signal.h>
#include <sys/wait.h>

#include <cerrno>
#include <cstring>
#include <set>
#include <stdexcept>
#include <thread>

#include "platform/linux/ChildSpawn.h"

namespace pelvantz::office {
namespace {

std::mutex& RegistryMutex() {
  static std::mutex mutex;
  return mutex;
}

std::set<pid_t>& LiveProcesses() {
  static std::set<pid_t> pids;
  return pids;
}

// Set once the program ends; guarded by the registry mutex.
bool startsRefused = false;

void Unregister(pid_t pid) {
  std::lock_guard lock(RegistryMutex());
  LiveProcesses().erase(pid);
}

// The process leads its own group, so the group signal also reaches anything it started.
void SignalGroup(pid_t pid, int signal) {
  if (::kill(-pid, signal) != 0) ::kill(pid, signal);
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

}  // namespace

OfficeProcess::OfficeProcess(const std::string& program, const std::vector<std::string>& arguments,
                             const std::vector<std::string>& extraEnvironment, const std::vector<int>& inheritedDescriptors) {
  std::vector<std::string> argv{program};
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  ChildSpec spec{program, argv, EnvironmentWith(extraEnvironment), {}, inheritedDescriptors};
  // Own group: a terminal's Ctrl+C is ours to handle, and the group can be killed as one.
  spec.ownProcessGroup = true;
  std::lock_guard lock(RegistryMutex());  // no exit-time kill may miss a process being born
  if (startsRefused) throw std::runtime_error("Cannot start " + program + ": the program is ending.");
  const SpawnResult started = SpawnChild(spec);
  if (started.error != 0) throw std::runtime_error("Cannot start " + program + ": " + std::strerror(started.error));
  pid_ = started.pid;
  LiveProcesses().insert(pid_);
}

OfficeProcess::~OfficeProcess() { terminate(std::chrono::seconds(3)); }

std::optional<int> OfficeProcess::exitCode() {
  std::lock_guard lock(mutex_);
  if (!reaped_) {
    int status = 0;
    const pid_t result = waitpid(pid_, &status, WNOHANG);
    if (result == 0 || (result < 0 && errno != ECHILD)) return std::nullopt;
    // ECHILD: someone else reaped it (or ignores SIGCHLD); it has ended all the same.
    reap(result == pid_ ? status : -1);
  }
  return exitCode_;
}

void OfficeProcess::reap(int status) {
  reaped_ = true;
  if (status < 0)
    exitCode_ = -1;
  else
    exitCode_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  Unregister(pid_);
}

bool OfficeProcess::waitForExit(std::chrono::milliseconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (!exitCode().has_value()) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return true;
}

void OfficeProcess::kill() {
  std::lock_guard lock(mutex_);
  if (!reaped_) SignalGroup(pid_, SIGKILL);
}

void OfficeProcess::terminate(std::chrono::milliseconds grace) {
  if (pid_ <= 0 || exitCode().has_value()) return;
  {
    std::lock_guard lock(mutex_);
    if (!reaped_) SignalGroup(pid_, SIGTERM);
  }
  if (waitForExit(grace)) return;
  kill();
  std::lock_guard lock(mutex_);
  if (reaped_) return;
  int status = 0;
  pid_t result;
  do {
    result = waitpid(pid_, &status, 0);
  } while (result < 0 && errno == EINTR);
  reap(result == pid_ ? status : -1);
}

void KillAllOfficeProcesses(bool refuseLaterStarts) {
  std::lock_guard lock(RegistryMutex());
  startsRefused = startsRefused || refuseLaterStarts;
  for (pid_t pid : LiveProcesses()) SignalGroup(pid, SIGKILL);
}

}  // namespace pelvantz::office
