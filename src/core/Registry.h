#pragma once
// The registry access layer, over the substitute store (platform/RegistryStore).
#include <cstdint>
#include <string>
#include <variant>

#include "platform/RegistryStore.h"

namespace pelvantz {

// Roots, value types and access bits are the store's (platform/RegistryStore.h).
// Query, set, create sub-key, enumerate, notify, create link.
constexpr uint32_t KEY_WRITE_ACCESS_ = 0x3F;
// Read status of a value whose type the layer does not understand.
constexpr int32_t UnsupportedRegistryType = -1;

// Empty, text (keeping a stored terminating NUL) or a 32-bit integer.
using RegistryValue = std::variant<std::monostate, std::string, int32_t>;
// "" for empty, the decimal digits for an integer.
std::string RegistryValueText(const RegistryValue& value);

class Registry {
 public:
  explicit Registry(RegistryStore& store);
  RegistryValue GetRegistryValue(uint32_t root, const std::string& keyPath, const std::string& valueName);
  int32_t SetRegistryValue(uint32_t root, const std::string& keyPath, const std::string& valueName,
                           const RegistryValue& value, uint32_t type);
  void CreateRegistryKey(uint32_t root, const std::string& keyPath);
  // The same on a key that is already open (the null handle fails).
  int32_t ReadOpenKeyValue(RegistryHandle key, const std::string& valueName, RegistryValue& value);
  int32_t WriteOpenKeyValue(RegistryHandle key, const std::string& valueName, uint32_t type,
                            const RegistryValue& value);

 private:
  RegistryStore& store_;
};

}  // namespace pelvantz
