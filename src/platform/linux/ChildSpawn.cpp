#include "platform/linux/ChildSpawn.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

extern char** environ;

namespace pelvantz {
namespace {

constexpr int FirstInherited = 3;
// Above the descriptors the child sets up, so that setting them up cannot close it.
constexpr int ErrorPipeFloor = 10;
// Where inherited descriptors wait while they are put in their places.
constexpr int ParkingFloor = 64;

std::vector<char*> Pointers(const std::vector<std::string>& texts) {
  std::vector<char*> pointers;
  for (const auto& text : texts) pointers.push_back(const_cast<char*>(text.c_str()));
  pointers.push_back(nullptr);
  return pointers;
}

// Between fork and exec only async-signal-safe calls: another thread may have
// held the allocator's lock at the fork.
[[noreturn]] void Fail(int errorPipe) {
  const int error = errno;
  [[maybe_unused]] const ssize_t written = ::write(errorPipe, &error, sizeof error);
  ::_exit(127);
}

void CloseRange(unsigned first, unsigned last) {
  if (first > last) return;
  if (::syscall(SYS_close_range, first, last, 0) == 0) return;
  rlimit limit{};
  ::getrlimit(RLIMIT_NOFILE, &limit);
  const unsigned end = limit.rlim_cur < last ? static_cast<unsigned>(limit.rlim_cur) : last;
  for (unsigned descriptor = first; descriptor <= end && descriptor != ~0u; ++descriptor)
    ::close(static_cast<int>(descriptor));
}

struct PreparedChild {
  const ChildSpec& spec;
  std::vector<char*> argv;
  std::vector<char*> envp;
  pid_t parent;
  int errorPipe;
  std::vector<int> parked;  // room for the inherited descriptors, made before the fork
};

[[noreturn]] void RunChild(const PreparedChild& child) {
  ::prctl(PR_SET_PDEATHSIG, SIGKILL);
  // The parent may have died before the request above took effect.
  if (::getppid() != child.parent) ::_exit(127);
  const int errorPipe = ::fcntl(child.errorPipe, F_DUPFD_CLOEXEC, ErrorPipeFloor);
  if (errorPipe < 0) Fail(child.errorPipe);
  if (child.spec.ownProcessGroup && ::setpgid(0, 0) != 0) Fail(errorPipe);
  struct sigaction defaults {};
  defaults.sa_handler = SIG_DFL;
  for (int signal = 1; signal < NSIG; ++signal) ::sigaction(signal, &defaults, nullptr);
  sigset_t none;
  sigemptyset(&none);
  ::sigprocmask(SIG_SETMASK, &none, nullptr);
  // Parked high first, so that putting one in its place cannot overwrite another.
  std::vector<int>& parked = const_cast<std::vector<int>&>(child.parked);
  const auto& inherited = child.spec.inheritedDescriptors;
  for (size_t index = 0; index < inherited.size(); ++index)
    if ((parked[index] = ::fcntl(inherited[index], F_DUPFD, ParkingFloor)) < 0) Fail(errorPipe);
  const int output = child.spec.standardOutput;
  const int parkedOutput = output < 0 ? -1 : ::fcntl(output, F_DUPFD, ParkingFloor);
  if (output >= 0 && parkedOutput < 0) Fail(errorPipe);
  for (size_t index = 0; index < inherited.size(); ++index)
    if (::dup2(parked[index], FirstInherited + static_cast<int>(index)) < 0) Fail(errorPipe);
  const int null = ::open("/dev/null", O_RDWR);
  if (null < 0) Fail(errorPipe);
  for (int stream = 0; stream <= 2; ++stream)
    if (::dup2(stream == STDOUT_FILENO && parkedOutput >= 0 ? parkedOutput : null, stream) < 0) Fail(errorPipe);
  const unsigned firstClosed = FirstInherited + static_cast<unsigned>(child.spec.inheritedDescriptors.size());
  CloseRange(firstClosed, static_cast<unsigned>(errorPipe) - 1);
  CloseRange(static_cast<unsigned>(errorPipe) + 1, ~0u);
  if (!child.spec.directory.empty() && ::chdir(child.spec.directory.c_str()) != 0) Fail(errorPipe);
  ::execve(child.spec.program.c_str(), child.argv.data(), child.envp.data());
  Fail(errorPipe);
}

// The error the child reports before its exec, or 0 once the exec closed the pipe.
int ErrorOfStart(int errorPipe) {
  int error = 0;
  ssize_t got;
  do {
    got = ::read(errorPipe, &error, sizeof error);
  } while (got < 0 && errno == EINTR);
  return got == static_cast<ssize_t>(sizeof error) ? error : 0;
}

SpawnResult ForkAndExec(const ChildSpec& spec) {
  int errorPipe[2];
  if (::pipe2(errorPipe, O_CLOEXEC) != 0) return {-1, errno};
  if (FirstInherited + spec.inheritedDescriptors.size() > static_cast<size_t>(ErrorPipeFloor)) return {-1, EMFILE};
  const PreparedChild child{spec,
                            Pointers(spec.arguments),
                            Pointers(spec.environment),
                            ::getpid(),
                            errorPipe[1],
                            std::vector<int>(spec.inheritedDescriptors.size())};
  const pid_t pid = ::fork();
  if (pid == 0) RunChild(child);
  const int forkError = errno;
  ::close(errorPipe[1]);
  if (pid < 0) {
    ::close(errorPipe[0]);
    return {-1, forkError};
  }
  const int error = ErrorOfStart(errorPipe[0]);
  ::close(errorPipe[0]);
  if (error == 0) return {pid, 0};
  while (::waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
  }
  return {-1, error};
}

// The one thread every child is forked from. It is never ended nor destroyed,
// so that no child sees its parent thread end before the program does.
class SpawningThread {
 public:
  SpawningThread() : thread_([this] { serve(); }) { thread_.detach(); }

  SpawnResult spawn(const ChildSpec& spec) {
    const std::lock_guard caller(callers_);
    std::unique_lock lock(mutex_);
    request_ = &spec;
    wake_.notify_all();
    wake_.wait(lock, [this] { return request_ == nullptr; });
    return result_;
  }

 private:
  void serve() {
    // Signals are for the window's thread to handle, never this one.
    sigset_t all;
    sigfillset(&all);
    ::pthread_sigmask(SIG_BLOCK, &all, nullptr);
    std::unique_lock lock(mutex_);
    for (;;) {
      wake_.wait(lock, [this] { return request_ != nullptr; });
      result_ = ForkAndExec(*request_);
      request_ = nullptr;
      wake_.notify_all();
    }
  }

  std::mutex callers_;
  std::mutex mutex_;
  std::condition_variable wake_;
  const ChildSpec* request_ = nullptr;
  SpawnResult result_;
  std::thread thread_;
};

}  // namespace

SpawnResult SpawnChild(const ChildSpec& spec) {
  static SpawningThread* const spawner = new SpawningThread;
  return spawner->spawn(spec);
}

std::vector<std::string> CurrentEnvironment() {
  std::vector<std::string> entries;
  for (char** entry = environ; entry != nullptr && *entry != nullptr; ++entry) entries.emplace_back(*entry);
  return entries;
}

}  // namespace pelvantz
