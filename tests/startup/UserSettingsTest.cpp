// The settings of a user who may not write the application folder (a
// system-wide install): kept in the user's own copy, in a real process that
// lacks the right to write there.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

#include "SettingsUser.h"
#include "support/TempFolder.h"
#include "support/TestFiles.h"

namespace pelvantz::testing {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

// Takes the right to write away from the folder for as long as it lives.
class ReadOnlyFolder {
 public:
  explicit ReadOnlyFolder(fs::path folder) : folder_(std::move(folder)) {
    fs::permissions(folder_, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
  }
  ~ReadOnlyFolder() { fs::permissions(folder_, fs::perms::owner_write, fs::perm_options::add); }

 private:
  fs::path folder_;
};

class UserSettingsTest : public ::testing::Test {
 protected:
  UserSettingsTest() {
    fs::create_directories(app);
    fs::create_directories(root.path() / "decks");
    WriteFile(root.path() / "decks" / "talk.ppt", "deck");
    WriteFile(root.path() / "decks" / "new.ppt", "deck");
    WriteFile(installed, installedContent);
  }
  // The user's program: what it prints, a line each.
  std::vector<std::string> runAsUser(const std::string& assignment = "") {
    return RunAsSettingsUser(QString::fromStdString(app.string()), QString::fromStdString(assignment),
                             {QString::fromStdString("XDG_CONFIG_HOME=" + (root.path() / "config").string()),
                              QString::fromStdString("XDG_CACHE_HOME=" + (root.path() / "cache").string())});
  }

  TempFolder root;
  const fs::path app = root.path() / "app";
  const fs::path installed = app / "SETTINGS.INI";
  const fs::path usersCopy = root.path() / "config" / "pelvantz" / "SETTINGS.INI";
  const std::string talk = (root.path() / "decks" / "talk.ppt").string();
  const std::string newDeck = (root.path() / "decks" / "new.ppt").string();
  const std::string installedContent = "[SETTINGS]\nPATH=" + talk + "\nOPENFILE=0\n";
};

TEST_F(UserSettingsTest, ChoicesAreKeptBesideTheProgramOrWhereTheUserMayWrite) {
  const struct {
    const char* install;
    bool readOnly;
    fs::path settingsFile;
    fs::path workFolder;
  } cases[] = {
      {"writable", false, installed, app / "temp"},
      {"read-only", true, usersCopy, root.path() / "cache" / "pelvantz"},
  };
  const std::string chosen = "[SETTINGS]\nPATH=" + newDeck + "\nOPENFILE=0\n";
  for (const auto& c : cases) {
    SCOPED_TRACE(c.install);
    WriteFile(installed, installedContent);
    fs::remove_all(app / "temp");
    std::optional<ReadOnlyFolder> readOnly;
    if (c.readOnly) readOnly.emplace(app);
    const std::string file = "file " + c.settingsFile.string();
    const std::string work = "work " + c.workFolder.string();
    // The first start reads the installed settings (through the copy made of
    // them) and the choice is written where this user may write.
    EXPECT_EQ(runAsUser("PATH=" + newDeck),
              (Lines{"open 1", file, "recent " + talk, "launch 0", "written 1", work}));
    EXPECT_EQ(ReadFile(installed), c.readOnly ? installedContent : chosen);
    EXPECT_EQ(fs::exists(usersCopy), c.readOnly);
    if (c.readOnly) {
      EXPECT_EQ(ReadFile(usersCopy), chosen);
    }
    // The next start remembers the choice.
    EXPECT_EQ(runAsUser(), (Lines{"open 1", file, "recent " + newDeck, "launch 0", work}));
  }
}

TEST_F(UserSettingsTest, AReadOnlyInstallStillNeedsItsOwnSettingsFile) {
  {
    const ReadOnlyFolder readOnly(app);
    ASSERT_EQ(runAsUser().at(0), "open 1");
    ASSERT_TRUE(fs::exists(usersCopy));
  }
  fs::remove(installed);
  const ReadOnlyFolder readOnly(app);
  EXPECT_EQ(runAsUser(), (Lines{"open 0", "message Initialization file is missing."}));
}

}  // namespace
}  // namespace pelvantz::testing
