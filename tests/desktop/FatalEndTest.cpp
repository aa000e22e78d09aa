// The built program itself, ending at each of its fatal ends: the user reads
// the message and presses Enter, and the process exits with that end's status.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <thread>

#include "DesktopWindow.h"
#include "core/ExitStatus.h"
#include "support/Commands.h"
#include "support/TempFolder.h"

namespace pelvantz::testing {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// The program's visible windows, by X window id.
std::vector<std::string> VisibleWindows(pid_t program) {
  std::vector<std::string> ids;
  std::string id;
  for (char c : CommandOutput("xdotool search --onlyvisible --pid " + std::to_string(program) + " 2>/dev/null")) {
    if (c != '\n')
      id += c;
    else if (!id.empty())
      ids.push_back(std::exchange(id, ""));
  }
  return ids;
}

// Waits for a visible window of the program other than `known`.
std::string NewWindow(pid_t program, const std::vector<std::string>& known = {}) {
  for (auto waited = 0ms; waited < 60s; waited += 100ms) {
    for (const std::string& id : VisibleWindows(program))
      if (std::find(known.begin(), known.end(), id) == known.end()) return id;
    std::this_thread::sleep_for(100ms);
  }
  return "";
}

void Xdotool(const std::string& arguments) { CommandOutput("xdotool " + arguments + " 2>/dev/null"); }

// Each copy of the program gets a runtime folder of its own, so that it finds
// no other running copy to hand over to.
pid_t StartProgram(const fs::path& app, const fs::path& runtime) {
  const pid_t child = fork();
  if (child != 0) return child;
  setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
  const std::string program = (app / "pelvantz").string();
  execl(program.c_str(), program.c_str(), nullptr);
  _exit(127);
}

int ExitStatusOf(pid_t program) {
  int status = 0;
  for (auto waited = 0ms; waited < 30s; waited += 100ms) {
    if (waitpid(program, &status, WNOHANG) == program) return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::this_thread::sleep_for(100ms);
  }
  kill(program, SIGKILL);
  waitpid(program, &status, 0);
  return -2;
}

// Types a presentation and its target and presses Convert, as a user does.
void ConvertOne(const std::string& mainWindow, const fs::path& presentation, const fs::path& target) {
  Xdotool("windowactivate --sync " + mainWindow);
  Xdotool("type --delay 5 '" + presentation.string() + "'");  // the focus starts in the source box
  Xdotool("key Tab");                                         // the target box comes next
  Xdotool("type --delay 5 '" + target.string() + "'");
  Xdotool("mousemove --window " + mainWindow + " 509 418 click 1");  // Convert
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
    const pid_t program = StartProgram(scratch.path() / "app", scratch.path() / "runtime");
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
