#pragma once
// The registry access layer, over the substitute store (platform/RegistryStore).
#include <cstdint>
#include <string>
#include <variant>

namespace pelvantz {

class RegistryStore;

constexpr uint32_t HKEY_CLASSES_ROOT_ = 0x80000000u;
constexpr uint32_t HKEY_CURRENT_USER_ = 0x80000001u;
constexpr uint32_t HKEY_LOCAL_MACHINE_ = 0x80000002u;
constexpr uint32_t REG_SZ_ = 1;
constexpr uint32_t REG_EXPAND_SZ_ = 2;
constexpr uint32_t REG_DWORD_ = 4;

// Empty, text (keeping a stored terminating NUL) or a 32-bit integer.
using RegistryValue = std::variant<std::monostate, std::string, int32_t>;
// "" for empty, the decimal digits for an integer.
std::string RegistryValueText(const RegistryValue& value);

class Registry {
 public:
  explicit Registry(RegistryStore& store);
  RegistryValue GetRegistryValue(uint32_t root, const std::string& keyPath,
                                 const std::string& valueName);
  int32_t SetRegistryValue(uint32_t root, const std::string& keyPath, const std::string& valueName,
                           const RegistryValue& value, uint32_t type);
  void CreateRegistryKey(uint32_t root, const std::string& keyPath);

 private:
  RegistryStore& store_;
};

}  // namespace pelvantz
