#include "support/ProcessWatch.h"

#include <string>
#include <thread>

#include "support/TestFiles.h"

namespace pelvantz::testing {

namespace {

template <typename Condition>
bool HoldsWithin(std::chrono::seconds limit, Condition condition) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return true;
}

}  // namespace

std::string ProcFileOf(pid_t pid, const char* name) {
  try {
    return ReadFile(std::filesystem::path("/proc") / std::to_string(pid) / name);
  } catch (const std::ios_base::failure&) {
    return {};
  }
}

char ProcessState(pid_t pid) {
  const std::string stat = ProcFileOf(pid, "stat");
  const std::size_t afterName = stat.rfind(')');
  if (afterName == std::string::npos || afterName + 2 >= stat.size()) return 0;
  return stat[afterName + 2];
}

bool GoneWithin(pid_t pid, std::chrono::seconds limit) {
  return HoldsWithin(limit, [pid] { return ProcessState(pid) == 0; });
}

bool AppearsWithin(const std::filesystem::path& path, std::chrono::seconds limit) {
  return HoldsWithin(limit, [&path] { return std::filesystem::exists(path); });
}

pid_t PidWrittenTo(const std::filesystem::path& path) {
  if (!AppearsWithin(path, std::chrono::seconds(5))) return -1;
  return static_cast<pid_t>(std::stol(ReadFile(path)));
}

}  // namespace pelvantz::testing
