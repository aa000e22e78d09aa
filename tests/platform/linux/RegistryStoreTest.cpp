#include "platform/RegistryStore.h"

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

constexpr uint32_t LocalMachine = 0x80000002u;
constexpr uint32_t AllAccess = 0x3F;
using Bytes = std::vector<uint8_t>;

struct Read {
  int32_t status;
  uint32_t type = 0;
  Bytes data;
};

Read ReadValue(RegistryStore& store, const std::string& keyPath, const std::string& name) {
  RegistryHandle key = NullRegistryHandle;
  store.openKey(LocalMachine, keyPath, RegistryAccess::QueryValue, key);
  Read read{0, 0, {}};
  uint32_t size = 0;
  read.status = store.queryValue(key, name, read.type, nullptr, size);
  if (read.status == RegistryStatus::Success) {
    read.data.resize(size + 1);
    read.status = store.queryValue(key, name, read.type, read.data.data(), size);
    read.data.resize(size);
  }
  store.closeKey(key);
  return read;
}

class RegistryStoreTest : public ::testing::Test {
 protected:
  testing::TempFolder folder;
  std::filesystem::path file = RegistryStore::PathIn(folder.str());
  RegistryStore store{file.string()};
};

TEST_F(RegistryStoreTest, ReadsEveryValueFormOfAHandWrittenFile) {
  WriteFile(file,
            "REGEDIT4\r\n\r\n; written by hand, paths as in C:\\\r\n"
            "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Test]\r\n"
            "\"Text\"=\"C:\\\\Program Files\\\\\\\"gs\\\"\"\r\n"
            "@=\"default\"\r\n"
            "\"Count\"=dword:0000000a\r\n"
            "\"Raw\"=hex:de,ad\r\n"
            "\"Exact\"=hex(1):41,42\r\n"
            "\"Continued\"=hex(2):25,41,\\\r\n   25,00\r\n"
            "\"Empty\"=hex(7):\r\n"
            "[hkey_local_machine\\software\\test]\r\n"
            "\"count\"=dword:FFFFFFFF\r\n");
  const struct {
    const char* name;
    int32_t status;
    uint32_t type;
    Bytes data;
  } rows[] = {
      {"Text", 0, 1, {'C', ':', '\\', 'P', 'r', 'o',  'g', 'r', 'a', 'm', ' ',
                      'F', 'i', 'l',  'e', 's', '\\', '"', 'g', 's', '"', 0}},
      {"", 0, 1, {'d', 'e', 'f', 'a', 'u', 'l', 't', 0}},
      {"COUNT", 0, 4, {0xff, 0xff, 0xff, 0xff}},  // the later section merges; the last value wins
      {"Raw", 0, 3, {0xde, 0xad}},
      {"Exact", 0, 1, {'A', 'B'}},
      {"Continued", 0, 2, {'%', 'A', '%', 0}},
      {"Empty", 0, 7, {}},
      {"Missing", RegistryStatus::FileNotFound, 0, {}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const Read read = ReadValue(store, "Software\\Test", row.name);
    EXPECT_EQ(read.status, row.status);
    EXPECT_EQ(read.type, row.type);
    EXPECT_EQ(read.data, row.data);
  }
}

TEST_F(RegistryStoreTest, FilesWithoutTheHeaderHoldNothingAndAreNeverOverwritten) {
  const char* damaged[] = {
      "",
      "REGEDIT5\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Test]\n\"A\"=\"x\"\n",
      "\"A\"=\"x\"\nREGEDIT4\n",
  };
  for (const char* content : damaged) {
    SCOPED_TRACE(content);
    WriteFile(file, content);
    RegistryHandle key = NullRegistryHandle;
    EXPECT_EQ(store.openKey(LocalMachine, "SOFTWARE\\Test", AllAccess, key), RegistryStatus::BadDatabase);
    EXPECT_EQ(key, NullRegistryHandle);
    EXPECT_EQ(store.createKey(LocalMachine, "SOFTWARE\\Other", AllAccess, key), RegistryStatus::BadDatabase);
    EXPECT_EQ(ReadFile(file), content);
  }
}

// One bad line must not hide the rest (start-up would then blame a missing
// install root): reads skip it, and a write, whose rendering would drop it,
// is refused so that nothing of the file is lost.
TEST_F(RegistryStoreTest, AMalformedLineIsSkippedOnReadingAndTheFileIsNeverOverwritten) {
  const std::string good = "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Good]\n\"Path\"=\"/opt/office\"\n";
  const struct {
    const char* bad;
    int32_t testKeyStatus;  // opening SOFTWARE\Test
  } rows[] = {
      {"\"A\"=\"x\"\n", 2},                                           // value before any key
      {"[HKEY_LOCAL_MACHINE\\SOFTWARE\\Test]\n\"A\"=\"x\n", 0},       // unterminated text
      {"[HKEY_LOCAL_MACHINE\\SOFTWARE\\Test]\n\"A\"=\"x\\n\"\n", 0},  // unknown escape
      {"[HKEY_LOCAL_MACHINE\\SOFTWARE\\Test]\n\"A\"=hex:4g\n", 0},
      {"[HKEY_LOCAL_MACHINE\\SOFTWARE\\Test]\n\"A\"=dword:123456789\n", 0},
      {"[HKEY_LOCAL_MACHINE\\SOFTWARE\\Test]\ngarbage\n", 0},
      {"[HKEY_NOWHERE\\SOFTWARE\\Test]\n\"A\"=\"x\"\n", 2},
      {"[HKEY_LOCAL_MACHINE\\SOFTWARE\\Test\n\"A\"=\"x\"\n", 2},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.bad);
    const std::string content = "REGEDIT4\n" + std::string(row.bad) + good;
    WriteFile(file, content);
    const Read read = ReadValue(store, "SOFTWARE\\Good", "Path");
    EXPECT_EQ(read.status, RegistryStatus::Success);
    EXPECT_EQ(std::string(read.data.begin(), read.data.end()), std::string("/opt/office") + '\0');
    RegistryHandle key = NullRegistryHandle;
    EXPECT_EQ(store.openKey(LocalMachine, "SOFTWARE\\Test", AllAccess, key), row.testKeyStatus);
    store.closeKey(key);
    // The bad value itself is not read as anything.
    if (row.testKeyStatus == 0) {
      EXPECT_EQ(ReadValue(store, "SOFTWARE\\Test", "A").status, 2);
    }
    EXPECT_EQ(store.createKey(LocalMachine, "SOFTWARE\\Other", AllAccess, key), RegistryStatus::BadDatabase);
    EXPECT_EQ(ReadFile(file), content);
  }
}

TEST_F(RegistryStoreTest, KeysOpenWhenTheyOrKeysBelowThemExist) {
  WriteFile(file, "REGEDIT4\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\GS\\Sub]\n");
  const struct {
    uint32_t root;
    const char* path;
    int32_t status;
  } rows[] = {
      {LocalMachine, "SOFTWARE\\GS\\Sub", 0}, {LocalMachine, "software\\gs", 0},
      {LocalMachine, "SOFTWARE", 0},          {LocalMachine, "", 0},
      {LocalMachine, "SOFTWARE\\G", 2},       {LocalMachine, "SOFTWARE\\GS\\Sub\\Deeper", 2},
      {0x80000001u, "SOFTWARE\\GS", 2},       {0x12345u, "SOFTWARE\\GS", 6},
      {LocalMachine, "\\SOFTWARE", 161},      {LocalMachine, "SOFTWARE\\\\GS", 161},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.path);
    RegistryHandle key = NullRegistryHandle;
    EXPECT_EQ(store.openKey(row.root, row.path, RegistryAccess::QueryValue, key), row.status);
    EXPECT_EQ(key != NullRegistryHandle, row.status == 0);
    EXPECT_EQ(store.closeKey(key), row.status == 0 ? RegistryStatus::Success : RegistryStatus::InvalidHandle);
  }
}

TEST_F(RegistryStoreTest, WrittenValuesReadBackFromANewStoreWithTheirExactBytes) {
  RegistryHandle key = NullRegistryHandle;
  ASSERT_EQ(store.createKey(LocalMachine, "SOFTWARE\\Pelvantz\\Test", AllAccess, key), 0);
  const Bytes longData(100, 0x7f);
  const struct {
    const char* name;
    uint32_t type;
    Bytes data;
    const char* line;
  } rows[] = {
      {"Plain", 1, {'a', '"', '\\', 0}, "\"Plain\"=\"a\\\"\\\\\"\n"},
      {"NoTerminator", 1, {'a', 'b'}, "\"NoTerminator\"=hex(1):61,62\n"},
      {"Line\"Break", 1, {'a', '\n', 0}, "\"Line\\\"Break\"=hex(1):61,0a,00\n"},
      {"", 1, {'d', 0}, "@=\"d\"\n"},
      {"Number", 4, {0x2a, 0, 0, 0}, "\"Number\"=dword:0000002a\n"},
      {"ShortNumber", 4, {0x2a}, "\"ShortNumber\"=hex(4):2a\n"},
      {"Binary", 3, {}, "\"Binary\"=hex:\n"},
      {"Multi", 7, {'a', 0, 0}, "\"Multi\"=hex(7):61,00,00\n"},
      {"Long", 3, longData, ",\\\n  7f,"},
  };
  for (const auto& row : rows) ASSERT_EQ(store.setValue(key, row.name, row.type, row.data), 0) << row.name;
  EXPECT_EQ(store.closeKey(key), 0);

  const std::string content = ReadFile(file);
  EXPECT_TRUE(content.starts_with("REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Pelvantz\\Test]\n")) << content;
  RegistryStore reopened(file.string());
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_NE(content.find(row.line), std::string::npos) << content;
    const Read read = ReadValue(reopened, "SOFTWARE\\Pelvantz\\Test", row.name);
    EXPECT_EQ(read.status, 0);
    EXPECT_EQ(read.type, row.type);
    EXPECT_EQ(read.data, row.data);
  }
}

TEST_F(RegistryStoreTest, HandlesEnforceAccessAndBufferSizes) {
  WriteFile(file, "REGEDIT4\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\GS]\n\"GSPath\"=\"/usr/bin/gs\"\n");
  RegistryHandle key = NullRegistryHandle;
  ASSERT_EQ(store.openKey(LocalMachine, "SOFTWARE\\GS", RegistryAccess::QueryValue, key), 0);
  EXPECT_EQ(store.setValue(key, "GSPath", 1, {'x'}), RegistryStatus::AccessDenied);
  uint32_t type = 0;
  uint8_t small[4] = {};
  uint32_t size = sizeof small;
  EXPECT_EQ(store.queryValue(key, "GSPath", type, small, size), RegistryStatus::MoreData);
  EXPECT_EQ(size, 12u);
  EXPECT_EQ(store.closeKey(key), 0);
  EXPECT_EQ(store.queryValue(key, "GSPath", type, nullptr, size), RegistryStatus::InvalidHandle);
  EXPECT_EQ(store.closeKey(NullRegistryHandle), RegistryStatus::InvalidHandle);
  EXPECT_EQ(ReadValue(store, "SOFTWARE\\GS", "GSPath").status, 0);  // the store still works
}

TEST_F(RegistryStoreTest, WritesReplaceTheFileInOneStep) {
  WriteFile(file, "REGEDIT4\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\GS]\n");
  ::chmod(file.c_str(), 0640);
  struct stat before {};
  ASSERT_EQ(::stat(file.c_str(), &before), 0);
  RegistryHandle key = NullRegistryHandle;
  ASSERT_EQ(store.openKey(LocalMachine, "SOFTWARE\\GS", AllAccess, key), 0);
  ASSERT_EQ(store.setValue(key, "GSPath", 1, {'g', 's', 0}), 0);
  store.closeKey(key);
  struct stat after {};
  ASSERT_EQ(::stat(file.c_str(), &after), 0);
  EXPECT_NE(before.st_ino, after.st_ino);  // a new file renamed over the old one
  EXPECT_EQ(after.st_mode & 07777, 0640u);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 1);  // no leftovers
}

TEST_F(RegistryStoreTest, AStoreInAMissingFolderCannotBeWritten) {
  RegistryStore nowhere((folder.path() / "missing" / RegistryStore::DefaultFileName).string());
  RegistryHandle key = NullRegistryHandle;
  EXPECT_EQ(nowhere.createKey(LocalMachine, "SOFTWARE\\GS", AllAccess, key), RegistryStatus::WriteFault);
  EXPECT_EQ(key, NullRegistryHandle);
  EXPECT_EQ(nowhere.openKey(LocalMachine, "SOFTWARE", AllAccess, key), RegistryStatus::FileNotFound);
}

}  // namespace
}  // namespace pelvantz
