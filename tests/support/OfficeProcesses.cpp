#include "support/OfficeProcesses.h"

#include <unistd.h>

#include <algorithm>
#include <functional>

#include "support/ProcessWatch.h"

namespace pelvantz::testing {

namespace fs = std::filesystem;

namespace {

// Every other process whose raw command line (NUL between arguments) the test accepts.
std::vector<std::pair<pid_t, std::string>> ProcessesWhere(const std::function<bool(const std::string&)>& accept) {
  std::vector<std::pair<pid_t, std::string>> found;
  for (const auto& entry : fs::directory_iterator("/proc")) {
    const std::string name = entry.path().filename().string();
    if (name.find_first_not_of("0123456789") != std::string::npos) continue;
    const pid_t pid = std::stoi(name);
    if (pid == ::getpid()) continue;
    std::string commandLine = ProcFileOf(pid, "cmdline");
    if (!commandLine.empty() && accept(commandLine)) found.emplace_back(pid, std::move(commandLine));
  }
  return found;
}

}  // namespace

std::vector<std::string> ProcessesMentioning(const std::string& text) {
  std::vector<std::string> lines;
  for (auto& [pid, commandLine] :
       ProcessesWhere([&](const std::string& line) { return line.find(text) != std::string::npos; })) {
    std::replace(commandLine.begin(), commandLine.end(), '\0', ' ');
    lines.push_back(commandLine);
  }
  return lines;
}

std::vector<pid_t> OfficeProcessesUsing(const fs::path& folder) {
  std::vector<pid_t> pids;
  for (const auto& [pid, commandLine] : ProcessesWhere([&](const std::string& line) {
         return line.find("soffice.bin") != std::string::npos && line.find(folder.string()) != std::string::npos;
       }))
    pids.push_back(pid);
  return pids;
}

std::string OfficeProfileOf(pid_t pid) {
  const std::string commandLine = ProcFileOf(pid, "cmdline");
  const std::string option = "-env:UserInstallation=file://";
  const auto at = commandLine.find(option);
  if (at == std::string::npos) return {};
  const auto end = commandLine.find('\0', at);
  return commandLine.substr(at + option.size(), end == std::string::npos ? end : end - at - option.size());
}

}  // namespace pelvantz::testing
