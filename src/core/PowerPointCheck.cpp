#include "core/PowerPointCheck.h"

#include <algorithm>
#include <filesystem>
#include <string>

#include "core/Registry.h"

namespace pelvantz {

namespace {

// A root left behind by a removed office, or one stored empty, names no
// program: the start would succeed and every conversion fail.
bool NamesAFolder(std::string text) {
  std::erase(text, '\0');
  std::error_code error;
  return !text.empty() && std::filesystem::is_directory(text, error);
}

}  // namespace

int16_t IsPowerPointInstalled(Registry& registry) {
  // The first root that names an existing folder decides; later roots are not read.
  for (const char* key : PowerPointInstallRoots)
    if (NamesAFolder(RegistryValueText(registry.GetRegistryValue(RegistryRoot::LocalMachine, key, "Path"))))
      return 1;
  return 0;
}

}  // namespace pelvantz
