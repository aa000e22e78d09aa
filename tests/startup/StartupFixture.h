#pragma once
// A temporary application folder with real settings and registry files, and
// the start-up services over it.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "core/ErrorHandler.h"
#include "core/Registry.h"
#include "core/SettingsStore.h"
#include "platform/Cursor.h"
#include "platform/RegistryStore.h"
#include "support/Doubles.h"
#include "support/FakeDialogs.h"
#include "support/TempFolder.h"

namespace pelvantz::testing {

class StartupFixture : public ::testing::Test {
 protected:
  std::filesystem::path path(const std::string& name) const { return appFolder.path() / name; }

  void writeSettingsFile(const std::string& content = "[SETTINGS]\nPATH=\nOUTPUTPATH=\n") {
    std::ofstream(path("SETTINGS.INI")) << content;
  }
  void recordPresentationApp() {
    std::ofstream(path("pelvantz.reg"))
        << "REGEDIT4\n\n"
           "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Office\\11.0\\Powerpoint\\InstallRoot]\n"
           "\"Path\"=\"/usr/lib/libreoffice/program\"\n";
  }

  TempFolder appFolder;
  FakeDialogs dialogs;
  IdleCursor cursor;
  ErrorHandler errors{dialogs, cursor, ApplicationTitle};
  SettingsStore settings{appFolder.str(), dialogs, errors};
  RegistryStore registryStore{RegistryStore::PathIn(appFolder.str())};
  Registry registry{registryStore};
};

}  // namespace pelvantz::testing
