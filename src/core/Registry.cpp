#include "core/Registry.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <exception>
#include <optional>
#include <vector>

namespace pelvantz {
namespace {

// %NAME% replaced by the environment variable's value; a reference to an
// unknown variable stays as written, and its closing '%' may open the next one.
std::string ExpandEnvironmentReferences(const std::string& text) {
  std::string result;
  size_t position = 0;
  while (position < text.size()) {
    const size_t open = text.find('%', position);
    const size_t close = open == std::string::npos ? std::string::npos : text.find('%', open + 1);
    if (close == std::string::npos) return result + text.substr(position);
    result += text.substr(position, open - position);
    const std::string name = text.substr(open + 1, close - open - 1);
    const char* setting = name.empty() ? nullptr : std::getenv(name.c_str());
    if (setting) {
      result += setting;
      position = close + 1;
    } else {
      result += text.substr(open, close - open);
      position = close;
    }
  }
  return result;
}

std::optional<int32_t> WholeNumber(const std::string& text) {
  int32_t number = 0;
  const char* first = text.data();
  const char* last = first + text.size();
  if (first != last && *first == '+') ++first;
  const auto [end, error] = std::from_chars(first, last, number);
  if (error != std::errc() || end != last || first == last) return std::nullopt;
  return number;
}

std::optional<int32_t> AsInteger(const RegistryValue& value) {
  if (const int32_t* number = std::get_if<int32_t>(&value)) return *number;
  if (const std::string* text = std::get_if<std::string>(&value)) return WholeNumber(*text);
  return 0;  // an empty value counts as 0
}

std::vector<uint8_t> LittleEndian(int32_t number) {
  const auto bits = static_cast<uint32_t>(number);
  return {static_cast<uint8_t>(bits), static_cast<uint8_t>(bits >> 8), static_cast<uint8_t>(bits >> 16),
          static_cast<uint8_t>(bits >> 24)};
}

// Reads the value's bytes into a buffer of `capacity` bytes; `data` keeps what was read.
int32_t ReadBytes(RegistryStore& store, RegistryHandle key, const std::string& valueName, uint32_t capacity,
                  std::vector<uint8_t>& data) {
  data.assign(std::max(capacity, 1u), 0);  // a real buffer even for an empty value
  uint32_t type = 0;
  uint32_t size = capacity;
  const int32_t status = store.queryValue(key, valueName, type, data.data(), size);
  if (status == RegistryStatus::Success) data.resize(size);
  return status;
}

}  // namespace

std::string RegistryValueText(const RegistryValue& value) {
  if (const std::string* text = std::get_if<std::string>(&value)) return *text;
  if (const int32_t* number = std::get_if<int32_t>(&value)) return std::to_string(*number);
  return {};
}

Registry::Registry(RegistryStore& store) : store_(store) {}

RegistryValue Registry::GetRegistryValue(uint32_t root, const std::string& keyPath, const std::string& valueName) {
  RegistryHandle key = NullRegistryHandle;
  // A failed open leaves the null handle, on which the read fails: the value stays empty.
  store_.openKey(root, keyPath, RegistryAccess::QueryValue, key);
  RegistryValue value;
  ReadOpenKeyValue(key, valueName, value);
  store_.closeKey(key);
  return value;
}

int32_t Registry::ReadOpenKeyValue(RegistryHandle key, const std::string& valueName, RegistryValue& value) {
  uint32_t type = 0;
  uint32_t size = 0;
  int32_t status = store_.queryValue(key, valueName, type, nullptr, size);
  if (status != RegistryStatus::Success) return status;
  try {
    std::vector<uint8_t> data;
    switch (type) {
      case RegistryType::String:
        // The text keeps the stored terminator, if there is one, as its last character.
        status = ReadBytes(store_, key, valueName, size, data);
        value = status == RegistryStatus::Success ? RegistryValue(std::string(data.begin(), data.end()))
                                                  : RegistryValue();
        return status;
      case RegistryType::ExpandString: {
        status = ReadBytes(store_, key, valueName, size, data);
        if (status != RegistryStatus::Success) {
          value = RegistryValue();
          return status;
        }
        // Expansion reads up to the first NUL, so text stored without a
        // terminator keeps its last character. The result is never cut: an
        // expansion longer than the raw text plus 400 characters is returned
        // whole, since a shortened path would name the wrong file.
        const std::string raw(data.begin(), std::find(data.begin(), data.end(), uint8_t{0}));
        value = ExpandEnvironmentReferences(raw) + '\0';
        return status;
      }
      case RegistryType::Dword:
        // Read into the integer's own four bytes; a longer value fails (MoreData)
        // and leaves `value` as it was.
        status = ReadBytes(store_, key, valueName, 4, data);
        if (status == RegistryStatus::Success) {
          data.resize(4, 0);
          value = static_cast<int32_t>(data[0] | (data[1] << 8) | (data[2] << 16) |
                                       (static_cast<uint32_t>(data[3]) << 24));
        }
        return status;
      default:
        return UnsupportedRegistryType;
    }
  } catch (const std::exception&) {
    return status;  // e.g. a size that no buffer can hold
  }
}

int32_t Registry::SetRegistryValue(uint32_t root, const std::string& keyPath, const std::string& valueName,
                                   const RegistryValue& value, uint32_t type) {
  RegistryHandle key = NullRegistryHandle;
  store_.openKey(root, keyPath, KEY_WRITE_ACCESS_, key);
  const int32_t status = WriteOpenKeyValue(key, valueName, type, value);
  store_.closeKey(key);
  return status;
}

int32_t Registry::WriteOpenKeyValue(RegistryHandle key, const std::string& valueName, uint32_t type,
                                    const RegistryValue& value) {
  if (type == RegistryType::String) {
    const std::string text = RegistryValueText(value);
    return store_.setValue(key, valueName, RegistryType::String, std::vector<uint8_t>(text.begin(), text.end()));
  }
  if (type == RegistryType::Dword) {
    const std::optional<int32_t> number = AsInteger(value);
    if (!number) return RegistryStatus::InvalidParameter;
    return store_.setValue(key, valueName, RegistryType::Dword, LittleEndian(*number));
  }
  return RegistryStatus::Success;  // other types are not written
}

void Registry::CreateRegistryKey(uint32_t root, const std::string& keyPath) {
  RegistryHandle key = NullRegistryHandle;
  store_.createKey(root, keyPath, KEY_WRITE_ACCESS_, key);
  store_.closeKey(key);
}

}  // namespace pelvantz
