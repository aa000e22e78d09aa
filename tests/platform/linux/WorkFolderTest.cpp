// Where a job's work files go, in real folders.
#include "platform/WorkFolder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "support/TempFolder.h"

namespace pelvantz {
namespace {

namespace fs = std::filesystem;

// Sets an environment variable for the life of the object.
class ScopedVariable {
 public:
  ScopedVariable(const char* name, const std::string& value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    setenv(name, value.c_str(), 1);
  }
  ~ScopedVariable() {
    if (old_.empty())
      unsetenv(name_);
    else
      setenv(name_, old_.c_str(), 1);
  }

 private:
  const char* name_;
  std::string old_;
};

TEST(WorkFolderTest, AnInstallThatCannotHoldWorkFilesUsesTheUsersCache) {
  testing::TempFolder folder;
  const fs::path app = folder.path() / "app";
  const fs::path cache = folder.path() / "cache";
  fs::create_directories(app);
  const ScopedVariable xdg("XDG_CACHE_HOME", cache.string());

  EXPECT_EQ(WorkFolderOf(app.string()), (app / "temp").string());
  EXPECT_TRUE(fs::is_directory(app / "temp"));

  // A `temp` that is no folder cannot hold the work files, whoever runs the program.
  fs::remove_all(app / "temp");
  std::ofstream(app / "temp") << "not a folder";
  EXPECT_EQ(WorkFolderOf(app.string()), (cache / "pelvantz").string());
  EXPECT_TRUE(fs::is_directory(cache / "pelvantz"));

  // Nowhere to go: a clear failure rather than work files in some other place.
  std::ofstream(folder.path() / "blocked") << "not a folder either";
  const ScopedVariable blocked("XDG_CACHE_HOME", (folder.path() / "blocked").string());
  try {
    WorkFolderOf(app.string());
    ADD_FAILURE() << "a work folder was chosen";
  } catch (const WorkFolderUnavailable& failure) {
    EXPECT_THAT(failure.what(), ::testing::HasSubstr("no folder for the work files"));
  }
}

}  // namespace
}  // namespace pelvantz
