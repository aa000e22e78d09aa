#include "support/OfficeProcesses.h"

#include "support/TestFiles.h"

namespace pelvantz::testing {

namespace fs = std::filesystem;

std::vector<pid_t> OfficeProcessesUsing(const fs::path& folder) {
  std::vector<pid_t> pids;
  for (const auto& entry : fs::directory_iterator("/proc")) {
    const std::string name = entry.path().filename().string();
    if (name.find_first_not_of("0123456789") != std::string::npos) continue;
    const std::string commandLine = ReadFile(entry.path() / "cmdline");
    if (commandLine.find("soffice.bin") != std::string::npos &&
        commandLine.find(folder.string()) != std::string::npos)
      pids.push_back(std::stoi(name));
  }
  return pids;
}

std::string OfficeProfileOf(pid_t pid) {
  const std::string commandLine = ReadFile(fs::path("/proc") / std::to_string(pid) / "cmdline");
  const std::string option = "-env:UserInstallation=file://";
  const auto at = commandLine.find(option);
  if (at == std::string::npos) return {};
  const auto end = commandLine.find('\0', at);
  return commandLine.substr(at + option.size(), end == std::string::npos ? end : end - at - option.size());
}

}  // namespace pelvantz::testing
