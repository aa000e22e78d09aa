#include "platform/libreoffice/OfficeProfile.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <fstream>
#include <regex>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace pelvantz::office {
namespace fs = std::filesystem;
namespace {

constexpr const char* SharedProfileName = "office-profile";
constexpr const char* ScriptingPath = "/org.openoffice.Office.Common/Security/Scripting";

struct ConfigurationValue {
  const char* name;
  const char* value;
};
const ConfigurationValue MacroSettings[] = {
    {"MacroSecurityLevel", "3"},
    {"DisableMacrosExecution", "true"},
};

std::string ItemPrefix(const ConfigurationValue& setting) {
  return std::string("<item oor:path=\"") + ScriptingPath + "\"><prop oor:name=\"" + setting.name + "\"";
}

std::string Item(const ConfigurationValue& setting) {
  return ItemPrefix(setting) + " oor:op=\"fuse\"><value>" + setting.value + "</value></prop></item>";
}

std::string ReadText(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// The office writes one item per line; a line that sets one of our keys otherwise is dropped.
std::string WithoutItemsFor(const std::string& text) {
  std::istringstream lines(text);
  std::string line, kept;
  while (std::getline(lines, line)) {
    bool ours = false;
    for (const auto& setting : MacroSettings) ours |= line.find(ItemPrefix(setting)) != std::string::npos;
    if (!ours) kept += line + "\n";
  }
  return kept;
}

std::string MinimalConfiguration() {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
         "<oor:items xmlns:oor=\"http://openoffice.org/2001/registry\" "
         "xmlns:xs=\"http://www.w3.org/2001/XMLSchema\" "
         "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\">\n"
         "</oor:items>\n";
}

}  // namespace

OfficeProfile::OfficeProfile(const fs::path& workFolder) {
  fs::create_directories(workFolder);
  RemoveFoldersOfEndedProcesses(workFolder);
  if (!lockShared(workFolder)) lockPrivate(workFolder);
  used_ = fs::exists(folder_ / "user");
  prepare();
}

void OfficeProfile::prepare() {
  fs::create_directories(folder_ / "user");
  EnforceMacroSecurity(folder_);
}

void OfficeProfile::renew() {
  fs::remove_all(folder_);
  used_ = false;
  prepare();
}

OfficeProfile::~OfficeProfile() {
  if (lockDescriptor_ >= 0) ::close(lockDescriptor_);
  std::error_code ignored;
  if (removeOnRelease_) fs::remove_all(folder_, ignored);
}

bool OfficeProfile::lockShared(const fs::path& workFolder) {
  const fs::path lockFile = workFolder / (std::string(SharedProfileName) + ".lock");
  lockDescriptor_ = ::open(lockFile.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (lockDescriptor_ < 0) throw std::runtime_error("Cannot create " + lockFile.string());
  if (::flock(lockDescriptor_, LOCK_EX | LOCK_NB) == 0) {
    folder_ = workFolder / SharedProfileName;
    return true;
  }
  ::close(lockDescriptor_);
  lockDescriptor_ = -1;
  return false;
}

void OfficeProfile::lockPrivate(const fs::path& workFolder) {
  folder_ = NewProcessFolder(workFolder, SharedProfileName);
  removeOnRelease_ = true;
}

fs::path NewProcessFolder(const fs::path& workFolder, const std::string& prefix) {
  static std::atomic<int> counter{0};
  const fs::path folder =
      workFolder / (prefix + "-" + std::to_string(::getpid()) + "-" + std::to_string(++counter));
  fs::remove_all(folder);
  fs::create_directories(folder);
  return folder;
}

void RemoveFoldersOfEndedProcesses(const fs::path& workFolder) {
  static const std::regex processFolder(std::string("(") + SharedProfileName + "|" + WorkingCopyPrefix +
                                        ")-([0-9]+)-[0-9]+");
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(workFolder, error)) {
    std::smatch match;
    const std::string name = entry.path().filename().string();
    if (!std::regex_match(name, match, processFolder)) continue;
    const pid_t owner = static_cast<pid_t>(std::stol(match[2]));
    if (owner != ::getpid() && ::kill(owner, 0) != 0 && errno == ESRCH) fs::remove_all(entry.path(), error);
  }
}

void EnforceMacroSecurity(const fs::path& profileFolder) {
  const fs::path file = profileFolder / "user" / "registrymodifications.xcu";
  std::string text = fs::exists(file) ? WithoutItemsFor(ReadText(file)) : MinimalConfiguration();
  if (text.rfind("</oor:items>") == std::string::npos) text = MinimalConfiguration();
  std::string items;
  for (const auto& setting : MacroSettings) items += Item(setting) + "\n";
  text.insert(text.rfind("</oor:items>"), items);
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out << text;
  if (!out) throw std::runtime_error("Cannot write " + file.string());
}

}  // namespace pelvantz::office
