#include "core/SettingsStore.h"

#include <charconv>
#include <filesystem>
#include <optional>
#include <utility>

#include "core/ErrorHandler.h"
#include "platform/ApplicationFolder.h"
#include "platform/AtomicFile.h"
#include "platform/FileNameWildcards.h"
#include "platform/FilePermissions.h"
#include "platform/ProfileFile.h"
#include "platform/UserFolder.h"

namespace pelvantz {
namespace {

namespace fs = std::filesystem;

constexpr const char* SettingsFileName = "SETTINGS.INI";
constexpr size_t ValueBufferSize = 255;  // a value reads back as at most 254 characters

bool HasWildcard(const std::string& name) { return name.find_first_of("*?") != std::string::npos; }

// The directory-listing existence test: a file or folder of that name, or,
// when the last part holds wildcards, any entry of the folder matching it.
// A path that cannot be examined names nothing.
bool ListingFindsEntry(const std::string& path) {
  const fs::path candidate(path);
  const std::string name = candidate.filename().string();
  std::error_code error;
  if (!HasWildcard(name)) return fs::exists(candidate, error);
  const fs::path folder = candidate.has_parent_path() ? candidate.parent_path() : fs::path(".");
  for (fs::directory_iterator entry(folder, error), end; !error && entry != end; entry.increment(error))
    if (MatchesWildcards(entry->path().filename().string(), name)) return true;
  return false;
}

// "OPENFILE" holds a whole number that fits the 16-bit field; anything else gives nothing.
std::optional<int16_t> WholeNumber16(const std::string& text) {
  const char* first = text.data();
  const char* last = first + text.size();
  if (first != last && *first == '+') ++first;
  int16_t number = 0;
  const auto [end, error] = std::from_chars(first, last, number);
  if (first == last || error != std::errc() || end != last) return std::nullopt;
  return number;
}

std::string WithoutLeadingBlanks(const std::string& text) {
  const size_t first = text.find_first_not_of(' ');
  return first == std::string::npos ? std::string() : text.substr(first);
}

// The settings file this user reads and writes: the installed one when the
// application folder can be written; else the user's own copy, made from the
// installed one on first use. Without such a copy the installed file is read
// and writes fail, as they always did there.
std::string UsersSettingsFile(const std::string& applicationFolder, const std::string& installed) {
  if (IsWritableFolder(applicationFolder)) return installed;
  const std::string own = UserFolderOf(UserFiles::Config);
  if (own.empty() || !IsWritableFolder(own)) return installed;
  const std::string copy = own + PathSeparator + SettingsFileName;
  std::string content;
  std::error_code error;
  if (!fs::exists(copy, error) && !(ReadWholeFile(installed, content) && ReplaceFileAtomically(copy, content)))
    return installed;
  return fs::is_regular_file(copy, error) && MayRead(copy) ? copy : installed;
}

}  // namespace

SettingsStore::SettingsStore(std::string applicationFolder, Dialogs& dialogs, ErrorHandler& errors)
    : applicationFolder_(std::move(applicationFolder)), dialogs_(dialogs), errors_(errors) {}

bool SettingsStore::OpenSettingsFile() {
  bool found = false;
  const bool completed =
      RunSteps(errors_, "ModMain : OpenDatabase",
               {[&] { settingsFilePath_ = applicationFolder_ + PathSeparator + SettingsFileName; },
                // A folder, a device or a file this user may not read is as good as missing.
                [&] { found = IsReadableRegularFile(settingsFilePath_); },
                [&] {
                  if (!found)
                    dialogs_.showMessage("Initialization file is missing.", MessageIcon::Critical,
                                         MessageButtons::Ok, ApplicationTitle);
                },
                [&] {
                  if (found) settingsFilePath_ = UsersSettingsFile(applicationFolder_, settingsFilePath_);
                }});
  return completed && found;
}

bool SettingsStore::ReadSetting(const std::string& section, const std::string& key) {
  // The profile read trims the value; blanks kept inside quotes are dropped
  // at the front only, as the value's terminator protects those at the end.
  lastSettingValue_ =
      WithoutLeadingBlanks(ProfileFile(settingsFilePath_).getString(section, key, "", ValueBufferSize));
  return !lastSettingValue_.empty();
}

bool SettingsStore::WriteSetting(const std::string& section, const std::string& key, const std::string& value) {
  return ProfileFile(settingsFilePath_).writeString(section, key, value);
}

void SettingsStore::LoadSettings() {
  settings_.ConvertPageFrom = 0;
  const bool hasPath = ReadSetting(SettingsSection, "PATH");
  settings_.RecentFolder =
      hasPath && ListingFindsEntry(lastSettingValue_) ? lastSettingValue_ : applicationFolder_;
  if (ReadSetting(SettingsSection, "OUTPUTPATH"))
    settings_.RecentOutputFolder = ListingFindsEntry(lastSettingValue_) ? lastSettingValue_ : applicationFolder_;
  settings_.Launch = ReadSetting(SettingsSection, "OPENFILE") ? WholeNumber16(lastSettingValue_).value_or(1) : 1;
  settings_.PageRange = std::string("1");  // a plain literal here trips a false -Wrestrict in GCC 12
}

}  // namespace pelvantz
