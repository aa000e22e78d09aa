#pragma once
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

namespace pelvantz {

constexpr int32_t HighPriorityClass = 128;
constexpr int32_t WaitInfinite = -1;

// Starts the command line (split by the Windows rules, never through a shell)
// in the given directory (empty: ours) and waits up to waitTime ms (-1: no
// limit). -1: started and the wait is over; 0: could not be started (no such
// program, not executable, no such directory). The child reads nothing and
// writes to /dev/null; HighPriorityClass in creationFlags raises its priority
// where the user may. windowMode outside 16 bits throws RuntimeFailure 6
// "Overflow"; otherwise it changes nothing, as a child has no window here.
// A child still running when the wait runs out goes on and is reaped when it
// ends. The children are ChildProcesses: TerminateChildProcesses ends them.
int16_t RunAndWait(const std::string& commandLine, const std::string& currentDirectory, int32_t waitTime,
                   int32_t windowMode, int32_t creationFlags);

// The same start and wait, telling how the child ended: its exit code (128 +
// the signal number when a signal ended it), or nothing when it could not be
// started or was still running when the wait ran out.
std::optional<int> RunAndWaitForExitCode(const std::string& commandLine, const std::string& currentDirectory,
                                         int32_t waitTime, int32_t windowMode, int32_t creationFlags);

struct ChildRun {
  enum class End { NotStarted, Exited, KilledAtLimit };
  End end;
  int exitCode = -1;  // when it exited
};

// Starts the command line hidden (as RunAndWait does) and waits for it at most
// `limit`; a child still running then is killed with everything it started.
ChildRun RunWithinLimit(const std::string& commandLine, const std::string& currentDirectory,
                        std::chrono::milliseconds limit, int32_t creationFlags);

}  // namespace pelvantz
