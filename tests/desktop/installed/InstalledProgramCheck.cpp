// The installed program, as a user of the package meets it: started by its
// command on a desktop with a window manager, one deck picked with Browse and
// converted through the window, then closed. Run as an ordinary user (the
// application folder is not theirs to write) by scripts/package-check.sh:
//
//   pelvantz_installed_check COMMAND DECK PAGES
//
// COMMAND starts the program (found on PATH), DECK is a presentation the user
// may read, PAGES the number of pages its PDF must have.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>
#include <utility>

#include "base/ApplicationName.h"
#include "desktop/ProgramWindows.h"
#include "desktop/VirtualDesktop.h"
#include "support/Commands.h"
#include "support/OfficeProcesses.h"
#include "support/TempFolder.h"
#include "support/TestFiles.h"

namespace pelvantz::testing {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

struct Arguments {
  std::string command;
  fs::path deck;
  int pages = 0;
};
Arguments given;

// Where a per-user file of the program goes: under $VARIABLE, else under ~/fallback.
fs::path UserFolder(const char* variable, const char* fallback) {
  const char* set = std::getenv(variable);
  if (set != nullptr && set[0] == '/') return fs::path(set) / "pelvantz";
  return fs::path(std::getenv("HOME")) / fallback / "pelvantz";
}

// The application folder behind the command on PATH.
fs::path InstalledFolder(const std::string& command) {
  std::string found = CommandOutput("command -v " + ShellQuoted(command));
  while (!found.empty() && found.back() == '\n') found.pop_back();
  return found.empty() ? fs::path() : fs::canonical(found).parent_path();
}

bool AppearsWithin(const fs::path& file, std::chrono::seconds limit) {
  for (auto waited = 0ms; waited < limit; waited += 100ms) {
    if (fs::exists(file)) return true;
    std::this_thread::sleep_for(100ms);
  }
  return false;
}

bool NoProcessMentionsWithin(const fs::path& folder, std::chrono::seconds limit) {
  for (auto waited = 0ms; waited < limit; waited += 100ms) {
    if (ProcessesMentioning(folder.string()).empty()) return true;
    std::this_thread::sleep_for(100ms);
  }
  return false;
}

int PageCount(const fs::path& pdf) {
  const std::string pages = CommandOutput("qpdf --show-npages " + ShellQuoted(pdf.string()) + " 2>/dev/null");
  return pages.empty() ? -1 : std::atoi(pages.c_str());
}

// No viewer is started on a test desktop: xdg-open here only writes down what it was given.
fs::path RecordingOpener(const fs::path& folder) {
  const fs::path opener = folder / "xdg-open";
  std::ofstream(opener) << "#!/bin/sh\nprintf '%s\\n' \"$1\" > \"$(dirname \"$0\")/opened.tmp\"\n"
                        << "mv \"$(dirname \"$0\")/opened.tmp\" \"$(dirname \"$0\")/opened\"\n";
  fs::permissions(opener, fs::perms::owner_all);
  return folder / "opened";
}

// The program, ended at the latest when the check ends.
struct Started {
  explicit Started(pid_t started) : pid(started) {}
  ~Started() {
    if (pid > 0) ExitStatusOf(pid, 0s);
  }
  int exitStatus() { return ExitStatusOf(std::exchange(pid, -1)); }
  pid_t pid;
};

TEST(InstalledProgramCheck, AUserConvertsADeckThroughTheWindowOfTheInstalledProgram) {
  const fs::path app = InstalledFolder(given.command);
  ASSERT_FALSE(app.empty()) << given.command << " is not on PATH";
  ASSERT_NE(::access(app.c_str(), W_OK), 0) << "run this as a user who cannot write " << app;
  const std::string installedSettings = ReadFile(app / "SETTINGS.INI");
  const fs::path userSettings = UserFolder("XDG_CONFIG_HOME", ".config") / "SETTINGS.INI";
  const fs::path userWorkFolder = UserFolder("XDG_CACHE_HOME", ".cache");

  TempFolder scratch;
  const fs::path deck = scratch.path() / given.deck.filename();
  fs::copy_file(given.deck, deck);
  const fs::path pdf = fs::path(deck).replace_extension(".pdf");
  fs::create_directories(scratch.path() / "bin");
  const fs::path opened = RecordingOpener(scratch.path() / "bin");
  fs::create_directories(scratch.path() / "runtime");
  fs::permissions(scratch.path() / "runtime", fs::perms::owner_all, fs::perm_options::replace);

  Started program(
      StartProgram({given.command}, {{"XDG_RUNTIME_DIR", (scratch.path() / "runtime").string()},
                                     {"PATH", (scratch.path() / "bin").string() + ":" + std::getenv("PATH")}}));
  const std::string mainWindow = NewWindowNamed(program.pid, ApplicationTitle);
  ASSERT_FALSE(mainWindow.empty()) << "windows: " << VisibleWindowNames(program.pid);
  const std::vector<std::string> main{mainWindow};

  ClickAt(mainWindow, 589, 118);  // Browse beside the source
  const std::string dialog = NewWindowNamed(program.pid, "Select Source File", main);
  ASSERT_FALSE(dialog.empty()) << "windows: " << VisibleWindowNames(program.pid);
  // Keys go where the user's would: a key sent to one window alone
  // (xdotool's --window) arrives without its release.
  Xdotool("windowactivate --sync " + dialog + " type --delay 5 " + ShellQuoted(deck.string()));
  Xdotool("key Return");

  ClickAt(mainWindow, 509, 418);  // Convert
  ASSERT_TRUE(AppearsWithin(pdf, 300s)) << "no PDF at " << pdf << "; windows: " << VisibleWindowNames(program.pid);
  const std::string done = NewWindowNamed(program.pid, "pelvantz", main);  // the message after the PDF
  ASSERT_FALSE(done.empty()) << "windows: " << VisibleWindowNames(program.pid);
  Xdotool("windowactivate --sync " + done + " key Return");
  EXPECT_EQ(PageCount(pdf), given.pages);
  EXPECT_TRUE(AppearsWithin(opened, 30s));
  EXPECT_EQ(ReadFile(opened), pdf.string() + "\n");

  // The choice is the user's own; the installed folder stays as installed.
  EXPECT_NE(ReadFile(userSettings).find("PATH=" + deck.string()), std::string::npos)
      << userSettings << " holds: " << ReadFile(userSettings);
  EXPECT_EQ(ReadFile(app / "SETTINGS.INI"), installedSettings);
  // Work files go to the user's cache, none beside the program.
  EXPECT_TRUE(fs::is_directory(userWorkFolder)) << userWorkFolder;
  EXPECT_TRUE(fs::is_empty(app / "temp"));

  // The window takes no input until its run has ended, the office with it;
  // the window manager's close (Alt+F4) asks the same question at any time.
  EXPECT_TRUE(NoProcessMentionsWithin(userWorkFolder, 60s)) << "the run's office did not end";
  Xdotool("windowactivate --sync " + mainWindow + " key alt+F4");
  const std::string question = NewWindowNamed(program.pid, ApplicationTitle, main);
  ASSERT_FALSE(question.empty()) << "windows: " << VisibleWindowNames(program.pid);
  Xdotool("windowactivate --sync " + question + " key Return");  // Yes is the default
  EXPECT_EQ(program.exitStatus(), 0);
  EXPECT_TRUE(NoProcessMentionsWithin(userWorkFolder, 10s)) << "an office or Ghostscript outlived the program";
}

}  // namespace
}  // namespace pelvantz::testing

int main(int argc, char* argv[]) {
  ::testing::InitGoogleTest(&argc, argv);
  if (GTEST_FLAG_GET(list_tests)) return RUN_ALL_TESTS();
  if (argc != 4) {
    std::fprintf(stderr, "usage: %s COMMAND DECK PAGES\n", argv[0]);
    return 2;
  }
  pelvantz::testing::given = {argv[1], argv[2], std::atoi(argv[3])};
  const pelvantz::testing::VirtualDesktop desktop;
  return RUN_ALL_TESTS();
}
