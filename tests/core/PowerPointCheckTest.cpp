#include "core/PowerPointCheck.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <vector>

#include "core/Registry.h"
#include "support/TempFolder.h"

namespace pelvantz {
namespace {

// The real store, noting which keys the check opens.
class WatchedStore : public RegistryStore {
 public:
  using RegistryStore::RegistryStore;
  int32_t openKey(uint32_t root, const std::string& keyPath, uint32_t access, RegistryHandle& handle) override {
    opened.push_back(keyPath);
    return RegistryStore::openKey(root, keyPath, access, handle);
  }
  std::vector<std::string> opened;
};

std::string InstallRoot(const std::string& version, const std::string& valueLine) {
  return "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Office\\" + version + "\\Powerpoint\\InstallRoot]\n" +
         valueLine + "\n";
}

// The registry-file form of a folder path.
std::string Quoted(const std::filesystem::path& folder) {
  std::string text = "\"";
  for (char c : folder.string()) text += c == '\\' || c == '"' ? std::string("\\") + c : std::string(1, c);
  return text + "\"";
}

TEST(PowerPointCheckTest, TheFirstInstallRootNamingAnExistingFolderDecides) {
  testing::TempFolder office;
  const std::string installed = "\"Path\"=" + Quoted(office.path());
  const std::string removed = "\"Path\"=" + Quoted(office.path() / "removed");
  const std::string v9 = PowerPointInstallRoots[0];
  const std::string v10 = PowerPointInstallRoots[1];
  const std::string v11 = PowerPointInstallRoots[2];
  const struct {
    const char* description;
    std::string store;
    int16_t expected;
    std::vector<std::string> opened;
  } rows[] = {
      {"only 2003", InstallRoot("11.0", installed), 1, {v9, v10, v11}},
      {"2000 and 2003", InstallRoot("9.0", installed) + InstallRoot("11.0", installed), 1, {v9}},
      {"a removed 2000 before 2003",
       InstallRoot("9.0", removed) + InstallRoot("11.0", installed),
       1,
       {v9, v10, v11}},
      {"only a removed one", InstallRoot("10.0", removed), 0, {v9, v10, v11}},
      {"empty with terminator", InstallRoot("10.0", "\"Path\"=\"\""), 0, {v9, v10, v11}},
      {"empty without terminator", InstallRoot("10.0", "\"Path\"=hex(1):"), 0, {v9, v10, v11}},
      {"a number", InstallRoot("9.0", "\"Path\"=dword:00000000"), 0, {v9, v10, v11}},
      {"binary", InstallRoot("9.0", "\"Path\"=hex:43,00"), 0, {v9, v10, v11}},
      {"another value name", InstallRoot("9.0", "\"Folder\"=" + Quoted(office.path())), 0, {v9, v10, v11}},
      {"a newer version", InstallRoot("12.0", installed), 0, {v9, v10, v11}},
      {"nothing at all", "", 0, {v9, v10, v11}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.description);
    testing::TempFolder folder;
    const std::string file = RegistryStore::PathIn(folder.str());
    std::ofstream(file) << "REGEDIT4\n\n" << row.store;
    WatchedStore store(file);
    Registry registry(store);
    EXPECT_EQ(IsPowerPointInstalled(registry), row.expected);
    EXPECT_EQ(store.opened, row.opened);
  }
}

TEST(PowerPointCheckTest, AMissingStoreMeansNotInstalled) {
  testing::TempFolder folder;
  RegistryStore store(RegistryStore::PathIn(folder.str()));
  Registry registry(store);
  EXPECT_EQ(IsPowerPointInstalled(registry), 0);
}

// The store the build lays into the application folder names LibreOffice as
// the presentation program and the Ghostscript it found.
TEST(PowerPointCheckTest, TheBuiltApplicationStoreNamesLibreOfficeAndGhostscript) {
  const std::string file = RegistryStore::PathIn(PELVANTZ_TEST_APP_DIR);
  if (!std::filesystem::exists(file)) GTEST_SKIP() << "no store in " << PELVANTZ_TEST_APP_DIR;
  RegistryStore store(file);
  Registry registry(store);
  EXPECT_EQ(IsPowerPointInstalled(registry), 1);
  std::string office =
      RegistryValueText(registry.GetRegistryValue(RegistryRoot::LocalMachine, PowerPointInstallRoots[2], "Path"));
  ASSERT_TRUE(office.ends_with('\0'));
  office.pop_back();
  EXPECT_TRUE(std::filesystem::exists(std::filesystem::path(office) / "soffice.bin")) << office;
  std::string ghostscript =
      RegistryValueText(registry.GetRegistryValue(RegistryRoot::LocalMachine, "SOFTWARE\\GS", "GSPath"));
  ASSERT_TRUE(ghostscript.ends_with('\0'));
  ghostscript.pop_back();
  EXPECT_TRUE(std::filesystem::is_regular_file(ghostscript)) << ghostscript;
}

}  // namespace
}  // namespace pelvantz
