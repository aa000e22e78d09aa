#pragma once
// One running soffice.bin: started without a shell, ended for sure.
#include <sys/types.h>

#include <chrono>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace pelvantz::office {

class OfficeProcess {
 public:
  // Starts the program with the arguments and extra environment entries
  // ("NAME=value"); its standard streams go to /dev/null, and of our other
  // descriptors only the inherited ones reach it, as descriptors 3, 4, ...
  // Throws std::runtime_error with the reason when it cannot be started.
  OfficeProcess(const std::string& program, const std::vector<std::string>& arguments,
                const std::vector<std::string>& extraEnvironment, const std::vector<int>& inheritedDescriptors = {});
  // Ends the process if it still runs.
  ~OfficeProcess();
  OfficeProcess(const OfficeProcess&) = delete;
  OfficeProcess& operator=(const OfficeProcess&) = delete;

  pid_t pid() const { return pid_; }
  // The exit code (128 + signal when killed) once the process has ended,
  // reaping it; nothing while it runs.
  std::optional<int> exitCode();
  bool running() { return !exitCode().has_value(); }
  // Waits up to the limit for the process to end by itself.
  bool waitForExit(std::chrono::milliseconds limit);
  // SIGKILL now, from any thread; the process is reaped later by its owner.
  void kill();
  // SIGTERM, then SIGKILL after the grace period; returns once the process is reaped.
  void terminate(std::chrono::milliseconds grace);

 private:
  void reap(int status);

  pid_t pid_ = -1;
  std::mutex mutex_;
  bool reaped_ = false;
  int exitCode_ = 0;
};

// Kills every office process started by this program that has not been reaped.
// With `refuseLaterStarts` no office starts any more (later starts throw), so
// that one being started on another thread cannot outlive an ending program.
void KillAllOfficeProcesses(bool refuseLaterStarts = false);

}  // namespace pelvantz::office
