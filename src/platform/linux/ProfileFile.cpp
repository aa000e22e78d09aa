#include "platform/ProfileFile.h"

#include <filesystem>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "base/Text.h"
#include "platform/AtomicFile.h"

namespace pelvantz {
namespace {

constexpr std::string_view Utf8Mark = "\xEF\xBB\xBF";  // some editors start a file with it

std::string WithoutQuotes(const std::string& value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
    return value.substr(1, value.size() - 2);
  return value;
}

std::string CutToBuffer(const std::string& text, size_t bufferSize) {
  if (bufferSize == 0) return {};
  return text.substr(0, bufferSize - 1);
}

// One line of the file as written (a trailing '\r' of a CRLF file included),
// and what it means.
struct ProfileLine {
  enum class Kind { Other, Section, Key };
  std::string raw;
  Kind kind = Kind::Other;
  std::string name;   // section or key name
  std::string value;  // a key's value as written, trimmed
};

std::string WithoutCarriageReturn(const std::string& raw) {
  return (!raw.empty() && raw.back() == '\r') ? raw.substr(0, raw.size() - 1) : raw;
}

ProfileLine Classify(std::string raw) {
  ProfileLine line;
  line.raw = std::move(raw);
  std::string text(TrimSpacesAndTabs(WithoutCarriageReturn(line.raw)));
  if (text.starts_with(Utf8Mark))
    text = std::string(TrimSpacesAndTabs(text.substr(3)));  // kept in `raw`, ignored for meaning
  if (text.empty() || text.front() == ';') return line;
  if (text.front() == '[') {
    line.kind = ProfileLine::Kind::Section;
    line.name = TrimSpacesAndTabs(text.substr(1, text.find(']') - 1));
    return line;
  }
  const size_t equals = text.find('=');
  if (equals == std::string::npos) return line;
  line.kind = ProfileLine::Kind::Key;
  line.name = TrimSpacesAndTabs(text.substr(0, equals));
  line.value = TrimSpacesAndTabs(text.substr(equals + 1));
  return line;
}

struct ProfileDocument {
  std::vector<ProfileLine> lines;
  bool endsWithNewline = true;
  std::string newline = "\n";

  static ProfileDocument Parse(const std::string& content) {
    ProfileDocument document;
    size_t start = 0;
    while (start < content.size()) {
      const size_t end = content.find('\n', start);
      if (end == std::string::npos) {
        document.lines.push_back(Classify(content.substr(start)));
        document.endsWithNewline = false;
        break;
      }
      document.lines.push_back(Classify(content.substr(start, end - start)));
      start = end + 1;
    }
    if (!document.lines.empty() && document.lines.front().raw.ends_with('\r')) document.newline = "\r\n";
    return document;
  }

  std::string Render() const {
    std::string content;
    for (size_t index = 0; index < lines.size(); ++index) {
      content += lines[index].raw;
      if (index + 1 < lines.size() || endsWithNewline) content += '\n';
    }
    return content;
  }

  std::optional<size_t> FindSection(const std::string& section) const {
    for (size_t index = 0; index < lines.size(); ++index)
      if (lines[index].kind == ProfileLine::Kind::Section && EqualIgnoringAsciiCase(lines[index].name, section))
        return index;
    return std::nullopt;
  }

  // One past the section's last line.
  size_t SectionEnd(size_t header) const {
    size_t index = header + 1;
    while (index < lines.size() && lines[index].kind != ProfileLine::Kind::Section) ++index;
    return index;
  }

  std::optional<size_t> FindKey(size_t header, const std::string& key) const {
    const size_t end = SectionEnd(header);
    for (size_t index = header + 1; index < end; ++index)
      if (lines[index].kind == ProfileLine::Kind::Key && EqualIgnoringAsciiCase(lines[index].name, key))
        return index;
    return std::nullopt;
  }

  // Where a new key goes: after the section's last key, or after its header.
  size_t InsertionPoint(size_t header) const {
    size_t point = header + 1;
    const size_t end = SectionEnd(header);
    for (size_t index = header + 1; index < end; ++index)
      if (lines[index].kind == ProfileLine::Kind::Key) point = index + 1;
    return point;
  }

  // A line in the file's own line-ending style, without the '\n' that Render adds.
  std::string NewLine(const std::string& text) const { return newline == "\r\n" ? text + '\r' : text; }

  void Store(const std::string& section, const std::string& key, const std::string& value) {
    const std::optional<size_t> header = FindSection(section);
    if (!header) {
      endsWithNewline = true;
      lines.push_back(Classify(NewLine("[" + section + "]")));
      lines.push_back(Classify(NewLine(key + "=" + value)));
      return;
    }
    if (const std::optional<size_t> existing = FindKey(*header, key)) {
      // The replaced line keeps its own spelling of the key and its own line ending.
      ProfileLine& line = lines[*existing];
      const bool carriageReturn = line.raw.ends_with('\r');
      line = Classify(line.name + "=" + value + (carriageReturn ? "\r" : ""));
      return;
    }
    const size_t point = InsertionPoint(*header);
    if (point == lines.size()) endsWithNewline = true;
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(point), Classify(NewLine(key + "=" + value)));
  }
};

bool HasLineBreak(const std::string& text) { return text.find_first_of("\r\n") != std::string::npos; }

bool Storable(const std::string& section, const std::string& key, const std::string& value) {
  return !HasLineBreak(section) && !HasLineBreak(key) && !HasLineBreak(value) &&
         section.find(']') == std::string::npos && key.find('=') == std::string::npos &&
         !TrimSpacesAndTabs(section).empty() && !TrimSpacesAndTabs(key).empty() &&
         TrimSpacesAndTabs(key).front() != ';' && TrimSpacesAndTabs(key).front() != '[';
}

}  // namespace

ProfileFile::ProfileFile(std::string path) : path_(std::move(path)) {}

std::string ProfileFile::getString(const std::string& section, const std::string& key,
                                   const std::string& defaultValue, size_t bufferSize) const {
  const std::string fallback = CutToBuffer(std::string(TrimTrailingSpacesAndTabs(defaultValue)), bufferSize);
  std::string content;
  if (!ReadWholeFile(path_, content)) return fallback;
  const ProfileDocument document = ProfileDocument::Parse(content);
  const std::optional<size_t> header = document.FindSection(section);
  if (!header) return fallback;
  const std::optional<size_t> line = document.FindKey(*header, key);
  if (!line) return fallback;
  return CutToBuffer(WithoutQuotes(document.lines[*line].value), bufferSize);
}

bool ProfileFile::writeString(const std::string& section, const std::string& key, const std::string& value) {
  if (!Storable(section, key, value)) return false;
  std::string content;
  if (!ReadWholeFile(path_, content)) {
    std::error_code error;
    // An existing file that cannot be read must not be replaced by one holding only this key.
    if (std::filesystem::exists(path_, error) || error) return false;
    content.clear();
  }
  ProfileDocument document = ProfileDocument::Parse(content);
  document.Store(section, key, value);
  return ReplaceFileAtomically(path_, document.Render());
}

}  // namespace pelvantz
