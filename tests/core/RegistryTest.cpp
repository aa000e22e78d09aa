#include "core/Registry.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "support/TempFolder.h"
#include "support/TestFiles.h"

namespace pelvantz {
namespace {

using testing::ReadFile;
using testing::WriteFile;

using namespace std::string_literals;

constexpr const char* TestKey = "SOFTWARE\\Pelvantz\\Test";

// "41,42,00" for the bytes of "AB" and a terminator.
std::string HexOf(const std::string& text) {
  std::string hex;
  char digits[4];
  for (unsigned char c : text) {
    std::snprintf(digits, sizeof digits, "%02x,", c);
    hex += digits;
  }
  if (!hex.empty()) hex.pop_back();
  return hex;
}

class RegistryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ::setenv("PELVANTZ_REGISTRY_TEST", "/opt/gs", 1);
    ::setenv("PELVANTZ_REGISTRY_LONG", std::string(1000, 'x').c_str(), 1);
    ::unsetenv("PELVANTZ_REGISTRY_UNSET");
  }
  void TearDown() override {
    ::unsetenv("PELVANTZ_REGISTRY_TEST");
    ::unsetenv("PELVANTZ_REGISTRY_LONG");
  }
  void WriteStore(const std::string& values) {
    WriteFile(file, "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\" + std::string(TestKey) + "]\n" + values);
  }
  RegistryValue Get(const std::string& name) {
    return registry.GetRegistryValue(RegistryRoot::LocalMachine, TestKey, name);
  }

  testing::TempFolder folder;
  std::filesystem::path file = RegistryStore::PathIn(folder.str());
  RegistryStore store{file.string()};
  Registry registry{store};
};

TEST_F(RegistryTest, ReadsTextWithItsStoredTerminatorIntegersAndNothingElse) {
  WriteStore(
      "\"WithTerminator\"=\"abc\"\n"
      "\"WithoutTerminator\"=hex(1):" +
      HexOf("abc") +
      "\n"
      "\"EmptyWithTerminator\"=\"\"\n"
      "\"Expandable\"=hex(2):" +
      HexOf("%PELVANTZ_REGISTRY_TEST%/bin/gs"s + '\0') +
      "\n"
      "\"ExpandableUnknown\"=hex(2):" +
      HexOf("%PELVANTZ_REGISTRY_UNSET%%PELVANTZ_REGISTRY_TEST%%"s + '\0') +
      "\n"
      "\"ExpandableWithoutTerminator\"=hex(2):" +
      HexOf("%PELVANTZ_REGISTRY_TEST%/gs") +
      "\n"
      "\"ExpandableLong\"=hex(2):" +
      HexOf("%PELVANTZ_REGISTRY_LONG%"s + '\0') +
      "\n"
      "\"Number\"=dword:0000000a\n"
      "\"Negative\"=dword:fffffffe\n"
      "\"ShortNumber\"=hex(4):07\n"
      "\"LongNumber\"=hex(4):01,00,00,00,00,00,00,00\n"
      "\"Binary\"=hex:61,62,00\n"
      "\"Multi\"=hex(7):61,00,62,00,00\n");
  const struct {
    const char* name;
    RegistryValue expected;
    std::string text;  // what a caller that wants text sees
  } rows[] = {
      {"WithTerminator", "abc\0"s, "abc\0"s},
      {"WithoutTerminator", "abc"s, "abc"},
      {"EmptyWithTerminator", "\0"s, "\0"s},
      {"Expandable", "/opt/gs/bin/gs\0"s, "/opt/gs/bin/gs\0"s},
      {"ExpandableUnknown", "%PELVANTZ_REGISTRY_UNSET%/opt/gs%\0"s, "%PELVANTZ_REGISTRY_UNSET%/opt/gs%\0"s},
      {"ExpandableWithoutTerminator", "/opt/gs/gs\0"s, "/opt/gs/gs\0"s},
      {"ExpandableLong", std::string(1000, 'x') + '\0', std::string(1000, 'x') + '\0'},
      {"Number", int32_t{10}, "10"},
      {"Negative", int32_t{-2}, "-2"},
      {"ShortNumber", int32_t{7}, "7"},
      {"LongNumber", std::monostate{}, ""},
      {"Binary", std::monostate{}, ""},
      {"Multi", std::monostate{}, ""},
      {"Missing", std::monostate{}, ""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const RegistryValue value = Get(row.name);
    EXPECT_EQ(value, row.expected);
    EXPECT_EQ(RegistryValueText(value), row.text);
  }
}

TEST_F(RegistryTest, AMissingKeyReadsEmptyAndItsNullHandleClosesHarmlessly) {
  EXPECT_EQ(registry.GetRegistryValue(RegistryRoot::LocalMachine, "SOFTWARE\\Missing", "Path"), RegistryValue());
  RegistryValue value = int32_t{5};
  EXPECT_NE(registry.ReadOpenKeyValue(NullRegistryHandle, "Path", value), 0);
  EXPECT_EQ(value, RegistryValue(int32_t{5}));  // left as it was
  EXPECT_EQ(store.closeKey(NullRegistryHandle), RegistryStatus::InvalidHandle);
}

TEST_F(RegistryTest, UnsupportedTypesAnswerMinusOneAndLeaveTheValue) {
  WriteStore("\"Binary\"=hex:01\n\"Multi\"=hex(7):00,00\n\"Text\"=\"t\"\n");
  RegistryHandle key = NullRegistryHandle;
  ASSERT_EQ(store.openKey(RegistryRoot::LocalMachine, TestKey, RegistryAccess::QueryValue, key), 0);
  for (const char* name : {"Binary", "Multi"}) {
    RegistryValue value = "before"s;
    EXPECT_EQ(registry.ReadOpenKeyValue(key, name, value), UnsupportedRegistryType) << name;
    EXPECT_EQ(value, RegistryValue("before"s)) << name;
  }
  RegistryValue value;
  EXPECT_EQ(registry.ReadOpenKeyValue(key, "Text", value), 0);
  EXPECT_EQ(value, RegistryValue("t\0"s));
  store.closeKey(key);
}

TEST_F(RegistryTest, WritesTextWithoutTerminatorAndIntegersAsFourBytes) {
  registry.CreateRegistryKey(RegistryRoot::LocalMachine, TestKey);
  const struct {
    const char* name;
    RegistryValue value;
    uint32_t type;
    int32_t status;
    RegistryValue readBack;
    const char* storedLine;
  } rows[] = {
      {"Text", "abc"s, RegistryType::String, 0, "abc"s, "\"Text\"=hex(1):61,62,63\n"},
      {"Digits", int32_t{42}, RegistryType::String, 0, "42"s, "\"Digits\"=hex(1):34,32\n"},
      {"Empty", std::monostate{}, RegistryType::String, 0, ""s, "\"Empty\"=hex(1):\n"},
      {"Number", int32_t{-1}, RegistryType::Dword, 0, int32_t{-1}, "\"Number\"=dword:ffffffff\n"},
      {"NumberText", "300"s, RegistryType::Dword, 0, int32_t{300}, "\"NumberText\"=dword:0000012c\n"},
      {"NotANumber", "abc"s, RegistryType::Dword, RegistryStatus::InvalidParameter, std::monostate{},
       "NotANumber"},
      {"Expandable", "%HOME%"s, RegistryType::ExpandString, 0, std::monostate{}, "Expandable"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(registry.SetRegistryValue(RegistryRoot::LocalMachine, TestKey, row.name, row.value, row.type),
              row.status);
    EXPECT_EQ(Get(row.name), row.readBack);
    const bool stored = !std::holds_alternative<std::monostate>(row.readBack);
    EXPECT_EQ(ReadFile(file).find(row.storedLine) != std::string::npos, stored) << ReadFile(file);
  }
  EXPECT_EQ(registry.SetRegistryValue(RegistryRoot::LocalMachine, "SOFTWARE\\Missing", "Text", "x"s,
                                      RegistryType::String),
            RegistryStatus::InvalidHandle);
}

TEST_F(RegistryTest, ADamagedStoreReadsEmptyAndIsLeftAlone) {
  const std::string damaged = "REGEDIT4\n[HKEY_LOCAL_MACHINE\\" + std::string(TestKey) + "]\n\"Text\"=\"abc\n";
  WriteFile(file, damaged);
  EXPECT_EQ(Get("Text"), RegistryValue());
  EXPECT_NE(registry.SetRegistryValue(RegistryRoot::LocalMachine, TestKey, "Text", "x"s, RegistryType::String), 0);
  registry.CreateRegistryKey(RegistryRoot::LocalMachine, "SOFTWARE\\Other");
  EXPECT_EQ(ReadFile(file), damaged);
}

}  // namespace
}  // namespace pelvantz
