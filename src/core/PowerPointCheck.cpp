#include "core/PowerPointCheck.h"

#include "core/Registry.h"

namespace pelvantz {

int16_t IsPowerPointInstalled(Registry& registry) {
  // The first root that holds a text decides; later roots are not read.
  for (const char* key : PowerPointInstallRoots)
    if (!RegistryValueText(registry.GetRegistryValue(RegistryRoot::LocalMachine, key, "Path")).empty()) return 1;
  return 0;
}

}  // namespace pelvantz
