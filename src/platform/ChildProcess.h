#pragma once
// One child process (the office, Ghostscript): started without a shell as the
// leader of a process group of its own, waited for with or without a limit,
// killed together with whatever it started. Every child not yet reaped is
// known to one registry, so that the program's end can kill them all; a
// child never outlives the program, even one killed with SIGKILL.
#include <chrono>
#include <cstdint>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace pelvantz {

struct ChildCommand {
  std::string program;                        // the file to execute
  std::vector<std::string> arguments;         // argv, starting with the program's name
  std::vector<std::string> extraEnvironment;  // "NAME=value" entries set over our environment
  std::string directory;                      // its current directory; empty: ours
  std::vector<int> inheritedDescriptors;      // passed on as descriptors 3, 4, ... in this order (at most 7)
  // Files the child removes when it ends in order but leaves when killed (a
  // socket it listens on): removed once it has ended, however it ended.
  std::vector<std::string> leftBehind;
  int standardOutput = -1;  // becomes its standard output; -1: /dev/null
};

// Why a child was not started; what() reads "Cannot start <program>: <reason>".
class ChildStartFailure : public std::runtime_error {
 public:
  // `error` is the errno of the step that failed, 0 when starts are refused.
  ChildStartFailure(const std::string& program, int error);
  int error() const { return error_; }

 private:
  int error_;
};

class ChildProcess {
 public:
  // Starts the child with its standard streams on /dev/null (but for the
  // output asked for) and, of our other
  // descriptors, only the inherited ones. Throws ChildStartFailure when it
  // cannot be started (no such program or folder, not executable) or when
  // the program is ending (see TerminateChildProcesses).
  explicit ChildProcess(const ChildCommand& command);
  // Ends the child if it still runs, as terminate(DefaultGrace) does.
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  static constexpr std::chrono::seconds DefaultGrace{3};

  int pid() const { return pid_; }
  // Asks the system to run the child ahead of ordinary programs; an
  // unprivileged user may not raise it, and then it runs at the normal priority.
  void raisePriority();
  // The exit code (128 + the signal's number when a signal ended it; -1 when
  // someone else reaped it) once the child has ended; nothing while it runs.
  std::optional<int> exitCode();
  bool running() { return !exitCode().has_value(); }
  // Waits up to the limit for the child to end; whether it has.
  bool waitForExit(std::chrono::milliseconds limit);
  // Waits as long as it takes; the exit code.
  int wait();
  // SIGKILL to the child's group now; safe from any thread.
  void kill();
  // SIGTERM to the group, SIGKILL after the grace period; returns once the child has ended.
  void terminate(std::chrono::milliseconds grace);
  // Lets the child run on after this object is gone; it is reaped when it
  // ends (or killed by TerminateChildProcesses).
  void leaveRunning();

 private:
  int pid_ = -1;              // the system's process id
  std::uint64_t serial_ = 0;  // tells this child from a later one given the same pid
  std::mutex mutex_;
  std::optional<int> exitCode_;
  bool leftRunning_ = false;
};

// Runs the command to its end and gives what it wrote on its standard output
// (at most 64 KiB). Nothing when it could not be started, exited with a code
// other than 0, or was still running at the limit (it is killed then).
std::optional<std::string> OutputOf(ChildCommand command, std::chrono::milliseconds limit);

// Kills every child started here that has not been reaped, each with its
// group, and reaps it. With `refuseLaterStarts` no child starts any more
// (starts throw), so that one being started on another thread cannot outlive
// the ending program. The program's ends call it; an exit() from anywhere
// else runs it too.
void TerminateChildProcesses(bool refuseLaterStarts = false);

}  // namespace pelvantz
