#pragma once
// SETTINGS.INI and the in-memory settings of the run.
#include <cstdint>
#include <string>

#include "base/ApplicationName.h"
#include "platform/Dialogs.h"

namespace pelvantz {

class ErrorHandler;

struct AppSettings {
  std::string RecentFolder;
  std::string RecentOutputFolder;
  int16_t Launch = 1;
  std::string PageRange = "1";
  int16_t ConvertPageFrom = 0;
};

constexpr const char* SettingsSection = "SETTINGS";

class SettingsStore {
 public:
  SettingsStore(std::string applicationFolder, Dialogs& dialogs, ErrorHandler& errors);

  // False after "Initialization file is missing." (the installed file beside
  // the program). When this user cannot write the application folder, the
  // settings are then read and written in the user's own copy
  // ($XDG_CONFIG_HOME/pelvantz/SETTINGS.INI), made from the installed one.
  bool OpenSettingsFile();
  bool ReadSetting(const std::string& section, const std::string& key);
  bool WriteSetting(const std::string& section, const std::string& key, const std::string& value);
  void LoadSettings();  // fills settings()

  const std::string& LastSettingValue() const { return lastSettingValue_; }
  const std::string& SettingsFilePath() const { return settingsFilePath_; }
  AppSettings& settings() { return settings_; }

 private:
  std::string applicationFolder_;
  Dialogs& dialogs_;
  ErrorHandler& errors_;
  std::string settingsFilePath_;
  std::string lastSettingValue_;
  AppSettings settings_;
};

}  // namespace pelvantz
