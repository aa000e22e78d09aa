#include "support/ApplicationCopy.h"

#include <cstdlib>

#include "platform/RegistryStore.h"
#include "support/TestFiles.h"

namespace pelvantz::testing {

namespace fs = std::filesystem;

fs::path BuiltApplicationFolder() {
  const char* folder = std::getenv("PELVANTZ_APP_DIR");
  return folder && *folder ? folder : PELVANTZ_TEST_APP_DIR;
}

fs::path Corpus() {
  const char* corpus = std::getenv("PELVANTZ_CORPUS");
  return corpus && *corpus ? corpus : PELVANTZ_TEST_CORPUS;
}

void CopyApplicationFolder(const fs::path& folder, const std::string& ghostscript, bool withProgram) {
  fs::create_directories(folder / "temp");
  for (const auto& entry : fs::directory_iterator(BuiltApplicationFolder())) {
    const std::string name = entry.path().filename().string();
    if (name == "temp" || (name == "pelvantz" && !withProgram) || name == "pelvantz.reg") continue;
    fs::copy(entry.path(), folder / name, fs::copy_options::recursive | fs::copy_options::overwrite_existing);
  }
  // The store as the build writes it, with the Ghostscript the test wants.
  std::string store = ReadFile(RegistryStore::PathIn(BuiltApplicationFolder().string()));
  const std::string key = "\"GSPath\"=\"";
  const auto at = store.find(key);
  const auto end = store.find('"', at + key.size());
  std::string quoted;
  for (char c : ghostscript) quoted += (c == '\\' || c == '"') ? std::string("\\") + c : std::string(1, c);
  store.replace(at + key.size(), end - at - key.size(), quoted);
  WriteFile(RegistryStore::PathIn(folder.string()), store);
}

}  // namespace pelvantz::testing
