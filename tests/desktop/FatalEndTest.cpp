// The built program itself, ending at each of its fatal ends: the user reads
// the message and presses Enter, and the process exits with that end's status.
#include <gtest/gtest.h>

#include <fstream>

#include "DesktopWindow.h"
#include "ProgramWindows.h"
#include "core/ExitStatus.h"
#include "support/TempFolder.h"

namespace pelvantz::testing {
namespace {

namespace fs = std::filesystem;

// Each copy of the program gets a runtime folder of its own, so that it finds
// no other running copy to hand over to.
pid_t StartCopy(const fs::path& app, const fs::path& runtime) {
  return StartProgram({(app / "pelvantz").string()}, {{"XDG_RUNTIME_DIR", runtime.string()}});
}

// Types a presentation and its target and presses Convert, as a user does.
void ConvertOne(const std::string& mainWindow, const fs::path& presentation, const fs::path& target) {
  Xdotool("windowactivate --sync " + mainWindow);
  Xdotool("type --delay 5 '" + presentation.string() + "'");  // the focus starts in the source box
  Xdotool("key Tab");                                         // the target box comes next
  Xdotool("type --delay 5 '" + target.string() + "'");
  ClickAt(mainWindow, 509, 418);                              // Convert
}

TEST(FatalEndTest, EachFatalEndExitsWithItsOwnStatusAfterItsMessage) {
  const struct {
    const char* situation;
    std::function<void(const fs::path& app)> breakIt;
    bool reachesMainWindow;
    int exitStatus;
  } cases[] = {
      {"settings file missing", [](const fs::path& app) { fs::remove(app / "SETTINGS.INI"); }, false,
       ExitStatus::SettingsFileMissing},
      {"presentation application missing",
       [](const fs::path& app) {
         std::ofstream(app / "pelvantz.reg")
             << "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\GS]\n\"GSPath\"=\"/usr/bin/gs\"\n";
       },
       false, ExitStatus::PresentationAppMissing},
      {"converter missing",
       [](const fs::path& app) {
         RegistryStore store(RegistryStore::PathIn(app.string()));
         Registry(store).SetRegistryValue(RegistryRoot::LocalMachine, "SOFTWARE\\GS", "GSPath", "/nowhere/gs",
                                          RegistryType::String);
       },
       true, ExitStatus::ConverterMissing},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.situation);
    TempFolder scratch;
    CopyApplicationFolder(scratch.path() / "app", InstalledGhostscript, true);
    fs::create_directories(scratch.path() / "runtime");
    fs::permissions(scratch.path() / "runtime", fs::perms::owner_all, fs::perm_options::replace);
    c.breakIt(scratch.path() / "app");
    const pid_t program = StartCopy(scratch.path() / "app", scratch.path() / "runtime");
    std::vector<std::string> known;
    if (c.reachesMainWindow) {
      known.push_back(NewWindow(program, {}));  // the splash, then the main window
      known.push_back(NewWindow(program, known));
      ASSERT_FALSE(known.back().empty());
      ConvertOne(known.back(), Corpus() / "mscfb/test.ppt", scratch.path() / "test.pdf");
    }
    const std::string message = NewWindow(program, known);
    ASSERT_FALSE(message.empty());
    Xdotool("windowactivate --sync " + message + " key Return");
    EXPECT_EQ(ExitStatusOf(program), c.exitStatus);
  }
}

}  // namespace
}  // namespace pelvantz::testing
