#include "core/SettingsStore.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/ErrorHandler.h"
#include "support/Doubles.h"
#include "support/FakeDialogs.h"
#include "support/TempFolder.h"
#include "support/TestFiles.h"

namespace pelvantz {
namespace {

using testing::IdleCursor;
using testing::ReadFile;
using testing::WriteFile;

namespace fs = std::filesystem;

// "{app}" in a text stands for the application folder.
std::string InFolder(std::string text, const std::string& folder) {
  for (size_t at = text.find("{app}"); at != std::string::npos; at = text.find("{app}", at + folder.size()))
    text.replace(at, 5, folder);
  return text;
}

class SettingsTest : public ::testing::Test {
 protected:
  void WriteSettingsFile(const std::string& content) { WriteFile(iniFile, InFolder(content, app.str())); }

  testing::TempFolder app;
  fs::path iniFile = app.path() / "SETTINGS.INI";
  testing::FakeDialogs dialogs;
  IdleCursor cursor;
  ErrorHandler errors{dialogs, cursor, ""};
  SettingsStore store{app.str(), dialogs, errors};
};

TEST_F(SettingsTest, OnlyAnOrdinaryFileNamedSettingsIniOpens) {
  EXPECT_FALSE(store.OpenSettingsFile());
  EXPECT_EQ(store.SettingsFilePath(), app.str() + "/SETTINGS.INI");
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dialogs.messages[0].text, "Initialization file is missing.");
  EXPECT_EQ(dialogs.messages[0].icon, MessageIcon::Critical);
  EXPECT_EQ(dialogs.messages[0].buttons, MessageButtons::Ok);
  EXPECT_EQ(dialogs.messages[0].title, ApplicationTitle);

  WriteFile(app.path() / "settings.ini", "[SETTINGS]\n");  // file names are exact on this platform
  fs::create_directory(iniFile);
  EXPECT_FALSE(store.OpenSettingsFile());
  fs::remove(iniFile);
  fs::create_symlink(app.path() / "gone.ini", iniFile);
  EXPECT_FALSE(store.OpenSettingsFile());
  EXPECT_EQ(dialogs.messages.size(), 3u);

  fs::remove(iniFile);
  WriteFile(iniFile, "[SETTINGS]\n");
  EXPECT_TRUE(store.OpenSettingsFile());
  EXPECT_EQ(dialogs.messages.size(), 3u);
}

TEST_F(SettingsTest, LoadingFillsEveryFieldWithItsDefaults) {
  fs::create_directory(app.path() / "decks");
  WriteFile(app.path() / "decks" / "talk.ppt", "");
  WriteFile(app.path() / "out.pdf", "");
  const struct {
    const char* keys;
    const char* recentFolder;
    const char* recentOutputFolder;
    int16_t launch;
  } rows[] = {
      {"", "{app}", "", 1},
      {"OPENFILE=0", "{app}", "", 0},
      {"OPENFILE=-1", "{app}", "", -1},
      {"OPENFILE=abc", "{app}", "", 1},
      {"OPENFILE=2.5", "{app}", "", 1},
      {"OPENFILE=40000", "{app}", "", 1},
      {"OPENFILE=-32768", "{app}", "", -32768},
      {"OPENFILE=", "{app}", "", 1},
      {"PATH={app}/decks/deleted.ppt", "{app}", "", 1},
      {"PATH={app}/decks/talk.ppt", "{app}/decks/talk.ppt", "", 1},
      {"PATH={app}/decks", "{app}/decks", "", 1},
      {"PATH={app}/decks/*.ppt", "{app}/decks/*.ppt", "", 1},
      {"PATH={app}/decks/*.pdf", "{app}", "", 1},
      {"PATH=", "{app}", "", 1},
      {"path=   {app}/decks/talk.ppt   ", "{app}/decks/talk.ppt", "", 1},
      {"OUTPUTPATH={app}/out.pdf", "{app}", "{app}/out.pdf", 1},
      {"OUTPUTPATH={app}/gone/out.pdf", "{app}", "{app}", 1},
      {"OUTPUTPATH=", "{app}", "", 1},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.keys);
    WriteSettingsFile(std::string("[SETTINGS]\n") + row.keys + "\n");
    SettingsStore loaded(app.str(), dialogs, errors);
    ASSERT_TRUE(loaded.OpenSettingsFile());
    loaded.LoadSettings();
    EXPECT_EQ(loaded.settings().RecentFolder, InFolder(row.recentFolder, app.str()));
    EXPECT_EQ(loaded.settings().RecentOutputFolder, InFolder(row.recentOutputFolder, app.str()));
    EXPECT_EQ(loaded.settings().Launch, row.launch);
    EXPECT_EQ(loaded.settings().PageRange, "1");
    EXPECT_EQ(loaded.settings().ConvertPageFrom, 0);
  }
  EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(SettingsTest, ReadingTrimsCutsAndTreatsEmptyAsAbsent) {
  const std::string longValue = std::string(250, 'a') + "bcdefghij";
  WriteSettingsFile("[settings]\nBLANKS=   two words   \nEMPTY=\nQUOTED=\"  inner  \"\nLONG=" + longValue + "\n");
  ASSERT_TRUE(store.OpenSettingsFile());
  const struct {
    const char* key;
    bool found;
    std::string value;
  } rows[] = {
      {"BLANKS", true, "two words"}, {"Blanks", true, "two words"}, {"EMPTY", false, ""},
      {"MISSING", false, ""},        {"QUOTED", true, "inner  "},   {"LONG", true, longValue.substr(0, 254)},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.key);
    EXPECT_EQ(store.ReadSetting(SettingsSection, row.key), row.found);
    EXPECT_EQ(store.LastSettingValue(), row.value);
  }
}

TEST_F(SettingsTest, WritingAKeyKeepsEveryOtherLineAndReplacesTheFile) {
  const std::string before =
      "; Pelvantz settings\n[SETTINGS]\nPATH=/old/talk.ppt\n; the last target\nOUTPUTPATH=/old/talk.pdf\n"
      "OPENFILE=0\n\n[OTHER]\nPATH=untouched\n";
  WriteSettingsFile(before);
  ASSERT_TRUE(store.OpenSettingsFile());
  struct stat original {};
  ASSERT_EQ(::stat(iniFile.c_str(), &original), 0);

  EXPECT_TRUE(store.WriteSetting(SettingsSection, "PATH", "  /new/deck.ppt  "));
  EXPECT_EQ(
      ReadFile(iniFile),
      "; Pelvantz settings\n[SETTINGS]\nPATH=  /new/deck.ppt  \n; the last target\nOUTPUTPATH=/old/talk.pdf\n"
      "OPENFILE=0\n\n[OTHER]\nPATH=untouched\n");
  struct stat replaced {};
  ASSERT_EQ(::stat(iniFile.c_str(), &replaced), 0);
  EXPECT_NE(original.st_ino, replaced.st_ino);                          // written aside and renamed over
  EXPECT_EQ(std::distance(fs::directory_iterator(app.path()), {}), 1);  // nothing left beside it
  ASSERT_TRUE(store.ReadSetting(SettingsSection, "PATH"));
  EXPECT_EQ(store.LastSettingValue(), "/new/deck.ppt");

  EXPECT_FALSE(store.WriteSetting(SettingsSection, "PATH", "/a\n[SETTINGS]\nOPENFILE=1"));
  EXPECT_TRUE(store.ReadSetting(SettingsSection, "PATH"));
  EXPECT_EQ(store.LastSettingValue(), "/new/deck.ppt");
}

// A path the system refuses to examine (here a name too long for it) is a
// run-time failure for the handler, after which the file counts as missing.
TEST_F(SettingsTest, AnUnexaminablePathIsReportedAndCountsAsMissing) {
  class CountingCursor : public Cursor {
   public:
    void setBusy() override {}
    void setDefault() override { ++resets; }
    int resets = 0;
  } countingCursor;
  ErrorHandler countingErrors(dialogs, countingCursor, "");
  SettingsStore unreachable(app.str() + "/" + std::string(300, 'x'), dialogs, countingErrors);
  EXPECT_FALSE(unreachable.OpenSettingsFile());
  EXPECT_GT(countingCursor.resets, 0);
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dialogs.messages[0].text, "Initialization file is missing.");
}

TEST_F(SettingsTest, AWriteThatCannotBeStoredAnswersFalse) {
  SettingsStore homeless((app.path() / "missing").string(), dialogs, errors);
  EXPECT_FALSE(homeless.OpenSettingsFile());
  EXPECT_FALSE(homeless.WriteSetting(SettingsSection, "PATH", "/x.ppt"));
}

}  // namespace
}  // namespace pelvantz
