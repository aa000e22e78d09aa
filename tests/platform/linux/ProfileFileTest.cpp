#include "platform/ProfileFile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "support/TempFolder.h"
#include "support/TestFiles.h"

namespace pelvantz {
namespace {

using testing::ReadFile;
using testing::WriteFile;

class ProfileFileTest : public ::testing::Test {
 protected:
  testing::TempFolder folder;
  std::filesystem::path file = folder.path() / "test.ini";
  ProfileFile profile{file.string()};
};

TEST_F(ProfileFileTest, ReadsValuesAsTheProfileCallDoes) {
  WriteFile(file,
            "; comment=not a key\r\n"
            "Orphan=before any section\r\n"
            "[ Main ]\r\n"
            "Plain=  two words  \r\n"
            "  Spaced Key  =x\r\n"
            "Double=\"  kept  \"\r\n"
            "Single='q'\r\n"
            "Mismatched=\"q'\r\n"
            "Lone=\"\r\n"
            "Empty=\r\n"
            "Plain=second wins never\r\n"
            "Equals=a=b\r\n"
            "[main]\r\n"
            "Late=in a repeated section\r\n"
            "[Other]\r\n"
            "Other=o\r\n");
  const struct {
    const char* section;
    const char* key;
    const char* fallback;
    size_t bufferSize;
    const char* expected;
  } rows[] = {
      {"MAIN", "plain", "", 255, "two words"},
      {"Main", "Spaced Key", "", 255, "x"},
      {"Main", "Double", "", 255, "  kept  "},
      {"Main", "Single", "", 255, "q"},
      {"Main", "Mismatched", "", 255, "\"q'"},
      {"Main", "Lone", "", 255, "\""},
      {"Main", "Empty", "default", 255, ""},
      {"Main", "Equals", "", 255, "a=b"},
      {"Main", "Plain", "", 4, "two"},
      {"Main", "Plain", "", 1, ""},
      {"Main", "Plain", "", 0, ""},
      {"Main", "Late", "default  ", 255, "default"},  // only the first section of a name counts
      {"Main", "Orphan", "", 255, ""},
      {"Main", "comment", "", 255, ""},
      {"Main", "Other", "", 255, ""},
      {"Other", "Other", "", 255, "o"},
      {"Missing", "Plain", "fallback", 4, "fal"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::string(row.section) + "/" + row.key);
    EXPECT_EQ(profile.getString(row.section, row.key, row.fallback, row.bufferSize), row.expected);
  }
  EXPECT_EQ(ProfileFile((folder.path() / "none.ini").string()).getString("Main", "Plain", "d", 255), "d");
}

TEST_F(ProfileFileTest, AFileStartingWithAUtf8MarkKeepsItsFirstSection) {
  WriteFile(file, "\xEF\xBB\xBF[Main]\nKey=v\n");
  EXPECT_EQ(profile.getString("Main", "Key", "", 255), "v");
  ASSERT_TRUE(profile.writeString("Main", "Key", "w"));
  EXPECT_EQ(ReadFile(file), "\xEF\xBB\xBF[Main]\nKey=w\n");
}

TEST_F(ProfileFileTest, WritesChangeOnlyTheirOwnLine) {
  const struct {
    const char* before;
    const char* section;
    const char* key;
    const char* value;
    const char* after;
  } rows[] = {
      {nullptr, "SETTINGS", "PATH", "/a b", "[SETTINGS]\nPATH=/a b\n"},
      {"; keep\n[settings]\n; inside\npath=old\nOTHER=1\n\n[Next]\nX=1\n", "SETTINGS", "PATH", " new ",
       "; keep\n[settings]\n; inside\npath= new \nOTHER=1\n\n[Next]\nX=1\n"},
      {"[SETTINGS]\nOTHER=1\n\n; about Next\n[Next]\n", "Settings", "PATH", "p",
       "[SETTINGS]\nOTHER=1\nPATH=p\n\n; about Next\n[Next]\n"},
      {"[SETTINGS]\r\nPATH=old\r\nX=1\r\n", "SETTINGS", "path", "new", "[SETTINGS]\r\nPATH=new\r\nX=1\r\n"},
      {"[SETTINGS]\r\n", "SETTINGS", "PATH", "p", "[SETTINGS]\r\nPATH=p\r\n"},
      {"[A]\nX=1", "B", "Y", "2", "[A]\nX=1\n[B]\nY=2\n"},
      {"[A]\nX=1", "A", "Y", "2", "[A]\nX=1\nY=2\n"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.after);
    std::filesystem::remove(file);
    if (row.before) WriteFile(file, row.before);
    EXPECT_TRUE(profile.writeString(row.section, row.key, row.value));
    EXPECT_EQ(ReadFile(file), row.after);
  }
}

TEST_F(ProfileFileTest, RefusesWhatWouldCorruptTheFile) {
  const std::string content = "[SETTINGS]\nPATH=old\n";
  WriteFile(file, content);
  const struct {
    const char* section;
    const char* key;
    const char* value;
  } rows[] = {
      {"SETTINGS", "PATH", "new\n[Other]\nX=1"},
      {"SETTINGS", "PATH", "a\rb"},
      {"SETTINGS", "A=B", "v"},
      {"SET]TINGS", "PATH", "v"},
      {"", "PATH", "v"},
      {"SETTINGS", " ", "v"},
      {"SETTINGS", ";PATH", "v"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.value);
    EXPECT_FALSE(profile.writeString(row.section, row.key, row.value));
    EXPECT_EQ(ReadFile(file), content);
  }
  EXPECT_FALSE(ProfileFile((folder.path() / "missing" / "x.ini").string()).writeString("A", "B", "C"));
  std::filesystem::create_directory(folder.path() / "folder.ini");
  EXPECT_FALSE(ProfileFile((folder.path() / "folder.ini").string()).writeString("A", "B", "C"));
}

// The profile call cannot write a read-only file; a rename must not get round that.
TEST_F(ProfileFileTest, LeavesAReadOnlyFileAsItIs) {
  const std::string content = "[SETTINGS]\nPATH=old\n";
  WriteFile(file, content);
  ::chmod(file.c_str(), 0444);
  const auto link = folder.path() / "link.ini";
  std::filesystem::create_symlink(file, link);
  for (const auto& path : {file, link}) {
    SCOPED_TRACE(path.string());
    EXPECT_FALSE(ProfileFile(path.string()).writeString("SETTINGS", "PATH", "new"));
    EXPECT_EQ(ReadFile(file), content);
  }
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 2);  // no leftovers
}

TEST_F(ProfileFileTest, AWriteReplacesTheFileThroughItsLink) {
  const auto target = folder.path() / "real.ini";
  WriteFile(target, "[A]\nX=1\n");
  ::chmod(target.c_str(), 0600);
  std::filesystem::create_symlink(target, file);
  struct stat before {};
  ASSERT_EQ(::stat(target.c_str(), &before), 0);
  ASSERT_TRUE(profile.writeString("A", "X", "2"));
  struct stat after {};
  ASSERT_EQ(::stat(target.c_str(), &after), 0);
  EXPECT_TRUE(std::filesystem::is_symlink(file));
  EXPECT_EQ(ReadFile(target), "[A]\nX=2\n");
  EXPECT_NE(before.st_ino, after.st_ino);  // written aside and renamed over
  EXPECT_EQ(after.st_mode & 07777, 0600u);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 2);  // no leftovers
}

}  // namespace
}  // namespace pelvantz
