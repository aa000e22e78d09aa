#include "platform/RegistryStore.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <utility>

#include "base/Text.h"
#include "platform/AtomicFile.h"

namespace pelvantz {
namespace {

constexpr const char* Header = "REGEDIT4";
constexpr size_t HexLineWidth = 76;

struct StoredValue {
  std::string name;  // "" for the default value
  uint32_t type = RegistryType::None;
  std::vector<uint8_t> data;
};

struct StoredKey {
  std::string path;
  std::vector<StoredValue> values;
};

using RegistryDocument = std::vector<StoredKey>;

// ---- names -----------------------------------------------------------------

// Registry key and value names, here and below, are matched without regard to
// (ASCII) letter case.
bool IsBelow(const std::string& path, const std::string& ancestor) {
  return path.size() > ancestor.size() && path[ancestor.size()] == '\\' &&
         EqualIgnoringAsciiCase(path.substr(0, ancestor.size()), ancestor);
}

std::optional<std::string> RootName(uint32_t root) {
  switch (root) {
    case RegistryRoot::ClassesRoot:
      return "HKEY_CLASSES_ROOT";
    case RegistryRoot::CurrentUser:
      return "HKEY_CURRENT_USER";
    case RegistryRoot::LocalMachine:
      return "HKEY_LOCAL_MACHINE";
    case RegistryRoot::Users:
      return "HKEY_USERS";
    case RegistryRoot::CurrentConfig:
      return "HKEY_CURRENT_CONFIG";
    default:
      return std::nullopt;
  }
}

bool IsRootName(const std::string& name) {
  for (uint32_t root : {RegistryRoot::ClassesRoot, RegistryRoot::CurrentUser, RegistryRoot::LocalMachine,
                        RegistryRoot::Users, RegistryRoot::CurrentConfig})
    if (EqualIgnoringAsciiCase(*RootName(root), name)) return true;
  return false;
}

// Every part between separators must be a real name.
bool IsValidKeyPath(const std::string& keyPath) {
  if (keyPath.empty()) return true;
  if (std::any_of(keyPath.begin(), keyPath.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; }))
    return false;
  return keyPath.front() != '\\' && keyPath.back() != '\\' && keyPath.find("\\\\") == std::string::npos;
}

bool IsValidStoredPath(const std::string& path) {
  const size_t separator = path.find('\\');
  return IsRootName(path.substr(0, separator)) &&
         (separator == std::string::npos || IsValidKeyPath(path.substr(separator + 1)));
}

// ---- reading the file ------------------------------------------------------

// Physical lines joined where a line ends in '\' (continued hex lists). A
// comment ending in '\' (a folder like C:\) continues nothing.
std::vector<std::string> LogicalLines(const std::string& content) {
  std::vector<std::string> lines;
  bool continued = false;
  size_t start = 0;
  while (start <= content.size()) {
    size_t end = content.find('\n', start);
    if (end == std::string::npos) end = content.size();
    std::string line = content.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    line = continued ? std::string(TrimSpacesAndTabs(line)) : line;
    const std::string trimmed(TrimSpacesAndTabs(line));
    const bool comment = !continued && trimmed.starts_with(';');
    const bool continues = !comment && !trimmed.empty() && trimmed.back() == '\\';
    if (continues) line = trimmed.substr(0, trimmed.size() - 1);
    if (continued)
      lines.back() += line;
    else
      lines.push_back(line);
    continued = continues;
    start = end + 1;
  }
  return lines;
}

// A quoted name or text from `position` (on the opening quote); moves past the closing quote.
std::optional<std::string> ParseQuoted(const std::string& line, size_t& position) {
  if (position >= line.size() || line[position] != '"') return std::nullopt;
  std::string text;
  for (++position; position < line.size(); ++position) {
    const char c = line[position];
    if (c == '"') {
      ++position;
      return text;
    }
    if (c == '\\') {
      if (++position >= line.size() || (line[position] != '\\' && line[position] != '"')) return std::nullopt;
    }
    text += line[position];
  }
  return std::nullopt;
}

std::optional<uint32_t> ParseHexNumber(const std::string& text, size_t maxDigits) {
  if (text.empty() || text.size() > maxDigits) return std::nullopt;
  if (!std::all_of(text.begin(), text.end(), [](char c) { return std::isxdigit(static_cast<unsigned char>(c)); }))
    return std::nullopt;
  return static_cast<uint32_t>(std::stoul(text, nullptr, 16));
}

std::optional<std::vector<uint8_t>> ParseHexList(const std::string& text) {
  std::vector<uint8_t> bytes;
  if (TrimSpacesAndTabs(text).empty()) return bytes;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find(',', start);
    if (end == std::string::npos) end = text.size();
    const std::optional<uint32_t> byte =
        ParseHexNumber(std::string(TrimSpacesAndTabs(text.substr(start, end - start))), 2);
    if (!byte) return std::nullopt;
    bytes.push_back(static_cast<uint8_t>(*byte));
    start = end + 1;
  }
  return bytes;
}

std::vector<uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

std::optional<StoredValue> ParseData(std::string name, const std::string& data) {
  StoredValue value;
  value.name = std::move(name);
  if (!data.empty() && data.front() == '"') {
    size_t position = 0;
    const std::optional<std::string> text = ParseQuoted(data, position);
    if (!text || !TrimSpacesAndTabs(data.substr(position)).empty()) return std::nullopt;
    value.type = RegistryType::String;
    value.data = Bytes(*text);
    value.data.push_back(0);  // as regedit imports a plain string
    return value;
  }
  if (data.starts_with("dword:")) {
    const std::optional<uint32_t> number = ParseHexNumber(data.substr(6), 8);
    if (!number) return std::nullopt;
    value.type = RegistryType::Dword;
    for (int shift = 0; shift < 32; shift += 8) value.data.push_back(static_cast<uint8_t>(*number >> shift));
    return value;
  }
  std::optional<uint32_t> type;
  size_t listStart = 0;
  if (data.starts_with("hex:")) {
    type = RegistryType::Binary;
    listStart = 4;
  } else if (data.starts_with("hex(")) {
    const size_t close = data.find("):");
    if (close == std::string::npos) return std::nullopt;
    type = ParseHexNumber(data.substr(4, close - 4), 8);
    listStart = close + 2;
  }
  if (!type) return std::nullopt;
  std::optional<std::vector<uint8_t>> bytes = ParseHexList(data.substr(listStart));
  if (!bytes) return std::nullopt;
  value.type = *type;
  value.data = std::move(*bytes);
  return value;
}

std::optional<StoredValue> ParseValueLine(const std::string& line) {
  size_t position = 0;
  std::string name;
  if (line.front() == '@') {
    position = 1;
  } else {
    std::optional<std::string> quoted = ParseQuoted(line, position);
    if (!quoted) return std::nullopt;
    name = std::move(*quoted);
  }
  const std::string rest(TrimSpacesAndTabs(line.substr(position)));
  if (rest.empty() || rest.front() != '=') return std::nullopt;
  return ParseData(std::move(name), std::string(TrimSpacesAndTabs(rest.substr(1))));
}

StoredKey* FindKey(RegistryDocument& document, const std::string& path) {
  for (StoredKey& key : document)
    if (EqualIgnoringAsciiCase(key.path, path)) return &key;
  return nullptr;
}

StoredKey& FindOrAddKey(RegistryDocument& document, const std::string& path) {
  if (StoredKey* key = FindKey(document, path)) return *key;
  document.push_back(StoredKey{path, {}});
  return document.back();
}

void PutValue(StoredKey& key, StoredValue value) {
  for (StoredValue& existing : key.values)
    if (EqualIgnoringAsciiCase(existing.name, value.name)) {
      existing = std::move(value);
      return;
    }
  key.values.push_back(std::move(value));
}

// How a line that breaks the format is met: reading skips it (one bad line must
// not hide every good one), writing refuses the file, whose rendering would drop it.
enum class BadLines { Skip, Refuse };

void ReportSkipped(const std::string& filePath, size_t lineIndex, const std::string& line) {
  std::fprintf(stderr, "%s: line %zu is not in the registry format and is ignored: %s\n", filePath.c_str(),
               lineIndex + 1, line.c_str());
}

// Nothing when the header is missing, or when a line breaks the format and `bad` refuses.
std::optional<RegistryDocument> ParseDocument(std::string content, const std::string& filePath, BadLines bad) {
  if (content.starts_with("\xEF\xBB\xBF")) content.erase(0, 3);  // editors may add a UTF-8 mark
  const std::vector<std::string> lines = LogicalLines(content);
  if (TrimSpacesAndTabs(lines.front()) != Header) return std::nullopt;
  RegistryDocument document;
  StoredKey* current = nullptr;
  bool inBadKey = false;  // the values under a header that was skipped are skipped with it
  for (size_t index = 1; index < lines.size(); ++index) {
    const std::string line(TrimSpacesAndTabs(lines[index]));
    if (line.empty() || line.front() == ';') continue;
    if (line.front() == '[') {
      const std::string path = line.substr(1, line.size() - 2);
      inBadKey = line.back() != ']' || !IsValidStoredPath(path);
      if (inBadKey) {
        if (bad == BadLines::Refuse) return std::nullopt;
        ReportSkipped(filePath, index, line);
        current = nullptr;
        continue;
      }
      current = &FindOrAddKey(document, path);
      continue;
    }
    std::optional<StoredValue> value =
        (line.front() == '"' || line.front() == '@') ? ParseValueLine(line) : std::nullopt;
    if (!value || !current) {
      if (bad == BadLines::Refuse) return std::nullopt;
      if (!inBadKey) ReportSkipped(filePath, index, line);
      continue;
    }
    PutValue(*current, std::move(*value));
  }
  return document;
}

// ---- writing the file ------------------------------------------------------

std::string Quoted(const std::string& text) {
  std::string quoted = "\"";
  for (char c : text) {
    if (c == '\\' || c == '"') quoted += '\\';
    quoted += c;
  }
  return quoted + '"';
}

// Plain text form only for what reads back to exactly the same bytes.
bool IsPlainString(const StoredValue& value) {
  if (value.type != RegistryType::String || value.data.empty() || value.data.back() != 0) return false;
  return std::none_of(value.data.begin(), value.data.end() - 1, [](uint8_t byte) { return byte < 0x20; });
}

std::string HexList(std::string line, const std::vector<uint8_t>& data) {
  std::string text;
  char digits[4];
  for (size_t index = 0; index < data.size(); ++index) {
    std::snprintf(digits, sizeof digits, "%02x", data[index]);
    line += digits;
    if (index + 1 == data.size()) break;
    line += ',';
    if (line.size() >= HexLineWidth) {
      text += line + "\\\n";
      line = "  ";
    }
  }
  return text + line;
}

std::string RenderValue(const StoredValue& value) {
  std::string line = (value.name.empty() ? std::string("@") : Quoted(value.name)) + "=";
  if (IsPlainString(value)) return line + Quoted(std::string(value.data.begin(), value.data.end() - 1));
  if (value.type == RegistryType::Dword && value.data.size() == 4) {
    char number[16];
    std::snprintf(number, sizeof number, "dword:%02x%02x%02x%02x", value.data[3], value.data[2], value.data[1],
                  value.data[0]);
    return line + number;
  }
  if (value.type == RegistryType::Binary) return HexList(line + "hex:", value.data);
  char type[24];
  std::snprintf(type, sizeof type, "hex(%x):", value.type);
  return HexList(line + type, value.data);
}

std::string RenderDocument(const RegistryDocument& document) {
  std::string content = std::string(Header) + "\n";
  for (const StoredKey& key : document) {
    content += "\n[" + key.path + "]\n";
    for (const StoredValue& value : key.values) content += RenderValue(value) + "\n";
  }
  return content;
}

// ---- the store file --------------------------------------------------------

// A missing file is an empty store; an unreadable or damaged one gives nothing.
std::optional<RegistryDocument> LoadDocument(const std::string& filePath, BadLines bad) {
  std::error_code error;
  if (!std::filesystem::exists(filePath, error) && !error) return RegistryDocument{};
  std::string content;
  if (!ReadWholeFile(filePath, content)) return std::nullopt;
  return ParseDocument(content, filePath, bad);
}

bool KeyExists(const RegistryDocument& document, const std::string& path) {
  if (path.find('\\') == std::string::npos) return true;  // a root key
  return std::any_of(document.begin(), document.end(), [&](const StoredKey& key) {
    return EqualIgnoringAsciiCase(key.path, path) || IsBelow(key.path, path);
  });
}

std::string FullPath(const std::string& rootName, const std::string& keyPath) {
  return keyPath.empty() ? rootName : rootName + "\\" + keyPath;
}

}  // namespace

std::string RegistryStore::PathIn(const std::string& applicationFolder) {
  return (std::filesystem::path(applicationFolder) / DefaultFileName).string();
}

RegistryStore::RegistryStore(std::string filePath) : filePath_(std::move(filePath)) {}

int32_t RegistryStore::issueHandle(std::string path, uint32_t access, RegistryHandle& handle) {
  while (nextHandle_ == NullRegistryHandle || openKeys_.contains(nextHandle_)) ++nextHandle_;
  handle = nextHandle_++;
  openKeys_.emplace(handle, OpenKey{std::move(path), access});
  return RegistryStatus::Success;
}

int32_t RegistryStore::openKey(uint32_t root, const std::string& keyPath, uint32_t access,
                               RegistryHandle& handle) {
  handle = NullRegistryHandle;
  const std::optional<std::string> rootName = RootName(root);
  if (!rootName) return RegistryStatus::InvalidHandle;
  if (!IsValidKeyPath(keyPath)) return RegistryStatus::BadPathName;
  const std::optional<RegistryDocument> document = LoadDocument(filePath_, BadLines::Skip);
  if (!document) return RegistryStatus::BadDatabase;
  const std::string path = FullPath(*rootName, keyPath);
  if (!KeyExists(*document, path)) return RegistryStatus::FileNotFound;
  return issueHandle(path, access, handle);
}

int32_t RegistryStore::createKey(uint32_t root, const std::string& keyPath, uint32_t access,
                                 RegistryHandle& handle) {
  handle = NullRegistryHandle;
  const std::optional<std::string> rootName = RootName(root);
  if (!rootName) return RegistryStatus::InvalidHandle;
  if (!IsValidKeyPath(keyPath)) return RegistryStatus::BadPathName;
  std::optional<RegistryDocument> document = LoadDocument(filePath_, BadLines::Refuse);
  if (!document) return RegistryStatus::BadDatabase;
  const std::string path = FullPath(*rootName, keyPath);
  if (!KeyExists(*document, path)) {
    document->push_back(StoredKey{path, {}});
    if (!ReplaceFileAtomically(filePath_, RenderDocument(*document))) return RegistryStatus::WriteFault;
  }
  return issueHandle(path, access, handle);
}

int32_t RegistryStore::queryValue(RegistryHandle handle, const std::string& valueName, uint32_t& type,
                                  uint8_t* data, uint32_t& size) {
  const auto open = openKeys_.find(handle);
  if (open == openKeys_.end()) return RegistryStatus::InvalidHandle;
  if (!(open->second.access & RegistryAccess::QueryValue)) return RegistryStatus::AccessDenied;
  std::optional<RegistryDocument> document = LoadDocument(filePath_, BadLines::Skip);
  if (!document) return RegistryStatus::BadDatabase;
  const StoredKey* key = FindKey(*document, open->second.path);
  if (!key) return RegistryStatus::FileNotFound;
  const auto value = std::find_if(key->values.begin(), key->values.end(), [&](const StoredValue& stored) {
    return EqualIgnoringAsciiCase(stored.name, valueName);
  });
  if (value == key->values.end()) return RegistryStatus::FileNotFound;
  type = value->type;
  const uint32_t needed = static_cast<uint32_t>(value->data.size());
  if (data == nullptr) {
    size = needed;
    return RegistryStatus::Success;
  }
  if (size < needed) {
    size = needed;
    return RegistryStatus::MoreData;
  }
  std::copy(value->data.begin(), value->data.end(), data);
  size = needed;
  return RegistryStatus::Success;
}

int32_t RegistryStore::setValue(RegistryHandle handle, const std::string& valueName, uint32_t type,
                                const std::vector<uint8_t>& data) {
  const auto open = openKeys_.find(handle);
  if (open == openKeys_.end()) return RegistryStatus::InvalidHandle;
  if (!(open->second.access & RegistryAccess::SetValue)) return RegistryStatus::AccessDenied;
  if (std::any_of(valueName.begin(), valueName.end(), [](char c) { return c == '\n' || c == '\r'; }))
    return RegistryStatus::InvalidParameter;
  std::optional<RegistryDocument> document = LoadDocument(filePath_, BadLines::Refuse);
  if (!document) return RegistryStatus::BadDatabase;
  PutValue(FindOrAddKey(*document, open->second.path), StoredValue{valueName, type, data});
  return ReplaceFileAtomically(filePath_, RenderDocument(*document)) ? RegistryStatus::Success
                                                                     : RegistryStatus::WriteFault;
}

int32_t RegistryStore::closeKey(RegistryHandle handle) {
  return openKeys_.erase(handle) == 1 ? RegistryStatus::Success : RegistryStatus::InvalidHandle;
}

}  // namespace pelvantz
