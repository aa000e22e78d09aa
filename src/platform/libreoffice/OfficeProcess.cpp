#include "platform/libreoffice/OfficeProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <set>
#include <stdexcept>
#include <thread>

extern char** environ;

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
  for (char** entry = environ; entry && *entry; ++entry) {
    const std::string text(*entry);
    const std::string name = text.substr(0, text.find('=') + 1);
    bool overridden = false;
    for (const auto& replacement : extra) overridden |= replacement.rfind(name, 0) == 0;
    if (!overridden) result.push_back(text);
  }
  result.insert(result.end(), extra.begin(), extra.end());
  return result;
}

std::vector<char*> Pointers(std::vector<std::string>& texts) {
  std::vector<char*> pointers;
  for (auto& text : texts) pointers.push_back(text.data());
  pointers.push_back(nullptr);
  return pointers;
}

class SpawnSettings {
 public:
  explicit SpawnSettings(int inheritedDescriptor) {
    posix_spawn_file_actions_init(&actions_);
    posix_spawnattr_init(&attributes_);
    posix_spawn_file_actions_addopen(&actions_, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions_, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions_, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    // None of our other descriptors (sockets, pipes) may live on in the office.
    if (inheritedDescriptor >= 0)
      posix_spawn_file_actions_adddup2(&actions_, inheritedDescriptor, InheritedAs);
    posix_spawn_file_actions_addclosefrom_np(&actions_, InheritedAs + (inheritedDescriptor >= 0 ? 1 : 0));
    // Own group: a terminal's Ctrl+C is ours to handle, and the group can be killed as one.
    posix_spawnattr_setpgroup(&attributes_, 0);
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGTERM);
    sigaddset(&defaults, SIGINT);
    sigaddset(&defaults, SIGPIPE);
    posix_spawnattr_setsigdefault(&attributes_, &defaults);
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigmask(&attributes_, &none);
    posix_spawnattr_setflags(&attributes_,
                             POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
  }
  ~SpawnSettings() {
    posix_spawn_file_actions_destroy(&actions_);
    posix_spawnattr_destroy(&attributes_);
  }
  SpawnSettings(const SpawnSettings&) = delete;
  SpawnSettings& operator=(const SpawnSettings&) = delete;
  const posix_spawn_file_actions_t* actions() const { return &actions_; }
  const posix_spawnattr_t* attributes() const { return &attributes_; }

 private:
  posix_spawn_file_actions_t actions_;
  posix_spawnattr_t attributes_;
};

}  // namespace

OfficeProcess::OfficeProcess(const std::string& program, const std::vector<std::string>& arguments,
                             const std::vector<std::string>& extraEnvironment, int inheritedDescriptor) {
  std::vector<std::string> argv{program};
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  std::vector<std::string> envp = EnvironmentWith(extraEnvironment);
  auto argvPointers = Pointers(argv);
  auto envPointers = Pointers(envp);
  SpawnSettings settings(inheritedDescriptor);
  std::lock_guard lock(RegistryMutex());  // no exit-time kill may miss a process being born
  if (startsRefused) throw std::runtime_error("Cannot start " + program + ": the program is ending.");
  const int error = posix_spawn(&pid_, program.c_str(), settings.actions(), settings.attributes(),
                                argvPointers.data(), envPointers.data());
  if (error != 0) {
    pid_ = -1;
    throw std::runtime_error("Cannot start " + program + ": " + std::strerror(error));
  }
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
