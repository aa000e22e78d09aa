#include "platform/libreoffice/session/OfficeProfile.h"

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
// Enough for the current job's office, the one started ahead and one more.
constexpr int ProfileSlots = 3;

struct ConfigurationValue {
  std::string path;
  std::string name;
  std::string value;
};

std::vector<ConfigurationValue> OurSettings(const std::string& setupVersion) {
  const std::string scripting = "/org.openoffice.Office.Common/Security/Scripting";
  std::vector<ConfigurationValue> settings{{scripting, "MacroSecurityLevel", "3"},
                                           {scripting, "DisableMacrosExecution", "true"},
                                           {scripting, "BlockUntrustedRefererLinks", "true"}};
  if (!setupVersion.empty())
    settings.push_back({"/org.openoffice.Setup/Product", "ooSetupLastVersion", setupVersion});
  return settings;
}

std::string ItemPrefix(const ConfigurationValue& setting) {
  return "<item oor:path=\"" + setting.path + "\"><prop oor:name=\"" + setting.name + "\"";
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
std::string WithoutItemsFor(const std::string& text, const std::vector<ConfigurationValue>& settings) {
  std::istringstream lines(text);
  std::string line, kept;
  while (std::getline(lines, line)) {
    bool ours = false;
    for (const auto& setting : settings) ours |= line.find(ItemPrefix(setting)) != std::string::npos;
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

std::string SlotName(int slot) {
  return slot == 1 ? SharedProfileName : std::string(SharedProfileName) + "-" + std::to_string(slot);
}

}  // namespace

OfficeProfile::OfficeProfile(const fs::path& workFolder, const std::string& setupVersion)
    : setupVersion_(setupVersion) {
  fs::create_directories(workFolder);
  RemoveFoldersOfEndedProcesses(workFolder);
  if (!lockSlot(workFolder)) lockPrivate(workFolder);
  used_ = fs::exists(folder_ / "user");
  prepare();
}

void OfficeProfile::prepare() {
  fs::create_directories(folder_ / "user");
  PrepareProfileFile(folder_, setupVersion_);
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

// The first slot no other office holds; a lock is per opened file, so this
// also keeps apart two offices of this very process.
bool OfficeProfile::lockSlot(const fs::path& workFolder) {
  for (int slot = 1; slot <= ProfileSlots; ++slot) {
    const fs::path lockFile = workFolder / (SlotName(slot) + ".lock");
    const int descriptor = ::open(lockFile.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (descriptor < 0) throw std::runtime_error("Cannot create " + lockFile.string());
    if (::flock(descriptor, LOCK_EX | LOCK_NB) == 0) {
      lockDescriptor_ = descriptor;
      folder_ = workFolder / SlotName(slot);
      return true;
    }
    ::close(descriptor);
  }
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
  static const std::regex processFolder(std::string("(") + SharedProfileName + "|" + WorkingCopyPrefix + "|" +
                                        OfficeTemporaryPrefix + ")-([0-9]+)-[0-9]+");
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(workFolder, error)) {
    std::smatch match;
    const std::string name = entry.path().filename().string();
    if (!std::regex_match(name, match, processFolder)) continue;
    const pid_t owner = static_cast<pid_t>(std::stol(match[2]));
    if (owner != ::getpid() && ::kill(owner, 0) != 0 && errno == ESRCH) fs::remove_all(entry.path(), error);
  }
}

void PrepareProfileFile(const fs::path& profileFolder, const std::string& setupVersion) {
  const auto settings = OurSettings(setupVersion);
  const fs::path file = profileFolder / "user" / "registrymodifications.xcu";
  std::string text = fs::exists(file) ? WithoutItemsFor(ReadText(file), settings) : MinimalConfiguration();
  if (text.rfind("</oor:items>") == std::string::npos) text = MinimalConfiguration();
  std::string items;
  for (const auto& setting : settings) items += Item(setting) + "\n";
  text.insert(text.rfind("</oor:items>"), items);
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out << text;
  if (!out) throw std::runtime_error("Cannot write " + file.string());
}

// The version's value sits in the office's data layer as
// <prop oor:name="ooSetupVersion"><value>7.4</value></prop>; the schema's
// declaration of the same name carries attributes and no value.
std::string OfficeSetupVersion(const fs::path& officeProgram) {
  std::error_code error;
  const fs::path program = fs::weakly_canonical(officeProgram, error);
  if (error) return {};
  const std::string text = ReadText(program.parent_path().parent_path() / "share" / "registry" / "main.xcd");
  const std::string property = "<prop oor:name=\"ooSetupVersion\">";
  const auto found = text.find(property);
  if (found == std::string::npos) return {};
  static const std::regex value(R"(^\s*<value>([0-9A-Za-z.]+)</value>)");
  std::smatch match;
  const std::string rest = text.substr(found + property.size(), 200);
  return std::regex_search(rest, match, value) ? match[1].str() : std::string();
}

}  // namespace pelvantz::office
