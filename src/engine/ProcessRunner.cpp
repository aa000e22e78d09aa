#include "engine/ProcessRunner.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <memory>
#include <optional>

#include "base/RuntimeFailure.h"
#include "platform/ChildProcess.h"
#include "platform/CommandLine.h"

namespace pelvantz {

namespace {

// The child, or nothing when it could not be started.
std::unique_ptr<ChildProcess> Start(const std::string& commandLine, const std::string& directory,
                                    int32_t creationFlags) {
  const std::optional<ResolvedCommandLine> resolved = ResolveCommandLine(commandLine);
  if (!resolved) return nullptr;
  std::unique_ptr<ChildProcess> child;
  try {
    child = std::make_unique<ChildProcess>(
        ChildCommand{resolved->executable, resolved->arguments, {}, directory, {}, {}});
  } catch (const ChildStartFailure&) {
    return nullptr;
  }
  if ((creationFlags & HighPriorityClass) != 0) child->raisePriority();
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
  const std::unique_ptr<ChildProcess> child = Start(commandLine, directory, creationFlags);
  if (!child) return {};
  if (waitTime == WaitInfinite) return {true, child->wait()};
  // Any other negative time is, as an unsigned count of milliseconds, weeks.
  if (child->waitForExit(std::chrono::milliseconds(static_cast<uint32_t>(waitTime))))
    return {true, child->exitCode()};
  if (atLimit == AtLimit::Kill) {
    // The group goes with it: what it started must not run on either.
    child->kill();
    child->wait();
  } else {
    child->leaveRunning();
  }
  return {true, std::nullopt};
}

}  // namespace

int16_t RunAndWait(const std::string& commandLine, const std::string& currentDirectory, int32_t waitTime,
                   int32_t windowMode, int32_t creationFlags) {
  return StartAndWait(commandLine, currentDirectory, waitTime, windowMode, creationFlags).started ? -1 : 0;
}

std::optional<int> RunAndWaitForExitCode(const std::string& commandLine, const std::string& currentDirectory,
                                         int32_t waitTime, int32_t windowMode, int32_t creationFlags) {
  return StartAndWait(commandLine, currentDirectory, waitTime, windowMode, creationFlags).exitCode;
}

ChildRun RunWithinLimit(const std::string& commandLine, const std::string& currentDirectory,
                        std::chrono::milliseconds limit, int32_t creationFlags) {
  const auto milliseconds =
      std::clamp<std::chrono::milliseconds::rep>(limit.count(), 0, std::numeric_limits<int32_t>::max());
  const Outcome outcome = StartAndWait(commandLine, currentDirectory, static_cast<int32_t>(milliseconds), 0,
                                       creationFlags, AtLimit::Kill);
  if (!outcome.started) return {ChildRun::End::NotStarted};
  if (!outcome.exitCode) return {ChildRun::End::KilledAtLimit};
  return {ChildRun::End::Exited, *outcome.exitCode};
}

}  // namespace pelvantz
