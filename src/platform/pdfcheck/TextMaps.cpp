#include <qpdf/QPDF.hh>
#include <qpdf/QPDFWriter.hh>

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "platform/PdfTextMaps.h"

namespace pelvantz {

namespace {

constexpr char16_t FirstPrivateUse = 0xE000;
constexpr char16_t LastPrivateUse = 0xF8FF;
// A range of codes onto a long destination gets one stand-in a code; a longer
// run than a font of one-byte codes has is no map we rewrite.
constexpr uint32_t LongestRewrittenRange = 256;

// One mapping of a ToUnicode map: a code (bfchar) or a range of codes
// (bfrange) onto a destination, or onto an array of destinations.
struct MapEntry {
  bool range = false;
  std::string low, high;                // the codes' hex digits; high only in a range
  std::vector<std::u16string> targets;  // one, or one per code for an array
  bool array = false;
};

// A map cut into the text before its first mapping section, the mappings,
// and the text after its last one.
struct ParsedMap {
  std::string before;
  std::vector<MapEntry> entries;
  std::string after;
};

std::string HexDigitsOf(std::string_view hex) {
  std::string digits;
  for (char c : hex)
    if (std::isxdigit(static_cast<unsigned char>(c))) digits += static_cast<char>(std::toupper(c));
  return digits;
}

uint32_t CodeOf(const std::string& digits) { return static_cast<uint32_t>(std::stoul(digits, nullptr, 16)); }

// UTF-16 units of a hex string; a lone byte counts as one unit.
std::u16string UnitsOf(const std::string& digits) {
  std::u16string units;
  const size_t width = digits.size() <= 2 ? 2 : 4;
  for (size_t at = 0; at + width <= digits.size(); at += width)
    units += static_cast<char16_t>(std::stoul(digits.substr(at, width), nullptr, 16));
  return units;
}

std::string HexOf(const std::u16string& units) {
  std::string hex = "<";
  char unit[5];
  for (char16_t u : units) {
    std::snprintf(unit, sizeof unit, "%04X", static_cast<unsigned>(u));
    hex += unit;
  }
  return hex + ">";
}

std::string CodeHex(uint32_t code, size_t digits) {
  char text[16];
  std::snprintf(text, sizeof text, "%0*X", static_cast<int>(digits), static_cast<unsigned>(code));
  return text;
}

bool IsBracket(const std::string& token) { return token == "[" || token == "]"; }

// The hex strings and arrays of one section, as tokens: "<...>", "[", "]";
// nothing when a hex string is not closed.
std::optional<std::vector<std::string>> Tokens(std::string_view section) {
  std::vector<std::string> tokens;
  for (size_t at = 0; at < section.size(); ++at) {
    const char c = section[at];
    if (c == '[' || c == ']') tokens.emplace_back(1, c);
    if (c != '<') continue;
    const size_t close = section.find('>', at);
    if (close == std::string_view::npos) return std::nullopt;
    tokens.push_back(HexDigitsOf(section.substr(at + 1, close - at - 1)));
    at = close;
  }
  return tokens;
}

// False for a section that is cut short, misplaces a bracket or gives a range
// that runs backwards.
bool ParseSection(std::string_view section, bool range, std::vector<MapEntry>& entries) {
  const auto parsed = Tokens(section);
  if (!parsed) return false;
  const std::vector<std::string>& tokens = *parsed;
  for (size_t at = 0; at < tokens.size();) {
    MapEntry entry;
    entry.range = range;
    entry.low = tokens[at++];
    if (range) {
      if (at >= tokens.size()) return false;
      entry.high = tokens[at++];
    }
    if (at >= tokens.size()) return false;
    if (tokens[at] == "[") {
      entry.array = true;
      for (++at; at < tokens.size() && tokens[at] != "]"; ++at) entry.targets.push_back(UnitsOf(tokens[at]));
      if (at++ >= tokens.size()) return false;
    } else if (IsBracket(tokens[at])) {
      return false;
    } else {
      entry.targets.push_back(UnitsOf(tokens[at++]));
    }
    if (IsBracket(entry.low) || IsBracket(entry.high)) return false;
    if (range && CodeOf(entry.high) < CodeOf(entry.low)) return false;
    entries.push_back(entry);
  }
  return true;
}

// Cuts "N beginbfchar ... endbfchar" and "N beginbfrange ... endbfrange"
// sections out of the map (a map without any has no entries); nothing when a
// section is not whole.
std::optional<ParsedMap> ParseMap(const std::string& text) {
  ParsedMap map;
  size_t end = 0;
  bool first = true;
  for (;;) {
    const size_t chars = text.find("beginbfchar", end);
    const size_t ranges = text.find("beginbfrange", end);
    const size_t begin = std::min(chars, ranges);
    if (begin == std::string::npos) break;
    const bool range = begin == ranges;
    // The section's count stands before its keyword.
    size_t start = text.find_last_not_of(" \t\r\n", begin - 1);
    start = text.find_last_not_of("0123456789", start);
    start = start == std::string::npos ? 0 : start + 1;
    if (first) map.before = text.substr(0, start);
    first = false;
    const std::string closing = range ? "endbfrange" : "endbfchar";
    const size_t body = begin + (range ? 12 : 11);
    const size_t close = text.find(closing, body);
    if (close == std::string::npos) return std::nullopt;
    if (!ParseSection(std::string_view(text).substr(body, close - body), range, map.entries)) return std::nullopt;
    end = close + closing.size();
  }
  if (first) map.before = text;  // no mappings at all
  map.after = first ? std::string() : text.substr(end);
  return map;
}

std::string SectionsOf(const std::vector<MapEntry>& entries, bool range) {
  std::vector<std::string> lines;
  for (const MapEntry& entry : entries) {
    if (entry.range != range) continue;
    std::string line = "<" + entry.low + ">";
    if (range) line += " <" + entry.high + ">";
    if (entry.array) {
      line += " [";
      for (const auto& target : entry.targets) line += HexOf(target);
      line += "]";
    } else {
      line += " " + HexOf(entry.targets.front());
    }
    lines.push_back(line);
  }
  std::string text;
  const char* keyword = range ? "bfrange" : "bfchar";
  // A section holds at most 100 entries.
  for (size_t at = 0; at < lines.size(); at += 100) {
    const size_t count = std::min<size_t>(100, lines.size() - at);
    text += std::to_string(count) + " begin" + keyword + "\n";
    for (size_t i = at; i < at + count; ++i) text += lines[i] + "\n";
    text += std::string("end") + keyword + "\n";
  }
  return text;
}

std::string WriteMap(const ParsedMap& map) {
  return map.before + SectionsOf(map.entries, false) + SectionsOf(map.entries, true) + map.after;
}

uint32_t RangeLength(const MapEntry& entry) {
  return entry.range ? CodeOf(entry.high) - CodeOf(entry.low) + 1 : 1;
}

bool IsLong(const std::u16string& units) { return units.size() > 1; }

// Every ToUnicode map of the file, to look at and perhaps replace.
void ForEachTextMap(QPDF& pdf, const std::function<void(QPDFObjectHandle&)>& visit) {
  for (QPDFObjectHandle object : pdf.getAllObjects()) {
    if (!object.isDictionary() || !object.getKey("/Type").isNameAndEquals("/Font")) continue;
    QPDFObjectHandle map = object.getKey("/ToUnicode");
    if (map.isStream()) visit(map);
  }
}

std::string TextOf(QPDFObjectHandle& stream) {
  const auto data = stream.getStreamData(qpdf_dl_generalized);
  return {reinterpret_cast<const char*>(data->getBuffer()), data->getSize()};
}

// Writes the document over its file through a temporary file beside it,
// leaving every stream as it was but those replaced.
bool WriteOver(QPDF& pdf, const std::string& path) {
  const std::string temporary = path + ".maps";
  QPDFWriter writer(pdf, temporary.c_str());
  writer.setStreamDataMode(qpdf_s_preserve);
  writer.write();
  std::error_code error;
  std::filesystem::rename(temporary, path, error);
  if (error) std::filesystem::remove(temporary, error);
  return !error;
}

// The private-use characters the maps give single codes already.
std::set<char16_t> PrivateUseTaken(const std::vector<ParsedMap>& maps) {
  std::set<char16_t> taken;
  for (const ParsedMap& map : maps)
    for (const MapEntry& entry : map.entries)
      for (const auto& target : entry.targets) {
        if (IsLong(target) || target.empty()) continue;
        const uint32_t run = entry.array ? 1 : RangeLength(entry);
        for (uint32_t i = 0; i < run && target[0] + i <= LastPrivateUse; ++i)
          if (target[0] + i >= FirstPrivateUse) taken.insert(static_cast<char16_t>(target[0] + i));
      }
  return taken;
}

class StandInAllocator {
 public:
  explicit StandInAllocator(std::set<char16_t> taken) : taken_(std::move(taken)) {}

  // The first of `count` free consecutive characters, each given the target
  // with its last unit counted up; nothing when there is no such run left.
  std::optional<char16_t> take(const std::u16string& target, uint32_t count, TextMapStandIns& standIns) {
    for (uint32_t first = next_; first + count - 1 <= LastPrivateUse; ++first) {
      bool free = true;
      for (uint32_t i = 0; i < count && free; ++i) free = !taken_.count(static_cast<char16_t>(first + i));
      if (!free) continue;
      for (uint32_t i = 0; i < count; ++i) {
        std::u16string original = target;
        original.back() = static_cast<char16_t>(original.back() + i);
        standIns.originals[static_cast<char16_t>(first + i)] = original;
        taken_.insert(static_cast<char16_t>(first + i));
      }
      next_ = first + count;
      return static_cast<char16_t>(first);
    }
    return std::nullopt;
  }

 private:
  std::set<char16_t> taken_;
  uint32_t next_ = FirstPrivateUse;
};

// Gives the entry's long targets stand-ins; false when none are left.
bool StandIn(MapEntry& entry, StandInAllocator& allocator, TextMapStandIns& standIns) {
  for (auto& target : entry.targets) {
    if (!IsLong(target)) continue;
    const uint32_t count = entry.array ? 1 : RangeLength(entry);
    if (count > LongestRewrittenRange) return false;
    const auto standIn = allocator.take(target, count, standIns);
    if (!standIn) return false;
    target = std::u16string(1, *standIn);
  }
  return true;
}

bool HasLongTarget(const ParsedMap& map) {
  for (const MapEntry& entry : map.entries)
    for (const auto& target : entry.targets)
      if (IsLong(target)) return true;
  return false;
}

// Whether some code of the entry maps to a stand-in, without spelling the
// entry's codes out: a range may hold thousands.
bool MapsToAStandIn(const MapEntry& entry, const TextMapStandIns& standIns) {
  for (const auto& target : entry.targets) {
    if (target.size() != 1) continue;
    const uint32_t last = target[0] + (entry.array ? 0 : RangeLength(entry) - 1);
    const auto standIn = standIns.originals.lower_bound(target[0]);
    if (standIn != standIns.originals.end() && standIn->first <= last) return true;
  }
  return false;
}

// The entry as single codes with their targets, stand-ins replaced by what
// they stand for; nothing when it holds none.
std::optional<std::vector<MapEntry>> Restored(const MapEntry& entry, const TextMapStandIns& standIns) {
  if (!MapsToAStandIn(entry, standIns)) return std::nullopt;
  const uint32_t low = CodeOf(entry.low);
  const uint32_t count = RangeLength(entry);
  std::vector<MapEntry> codes;
  for (uint32_t i = 0; i < count; ++i) {
    std::u16string target =
        entry.array ? (i < entry.targets.size() ? entry.targets[i] : std::u16string()) : entry.targets.front();
    if (target.empty()) continue;
    if (!entry.array) target.back() = static_cast<char16_t>(target.back() + i);
    if (target.size() == 1) {
      const auto original = standIns.originals.find(target[0]);
      if (original != standIns.originals.end()) target = original->second;
    }
    codes.push_back({false, CodeHex(low + i, entry.low.size()), {}, {target}, false});
  }
  return codes;
}

}  // namespace

std::optional<TextMapStandIns> StandInForLongTextMapEntries(const std::string& pdfPath) {
  try {
    QPDF pdf;
    pdf.setSuppressWarnings(true);
    pdf.processFile(pdfPath.c_str());
    std::vector<QPDFObjectHandle> streams;
    std::vector<ParsedMap> maps;
    bool unreadable = false;
    ForEachTextMap(pdf, [&](QPDFObjectHandle& stream) {
      const auto map = ParseMap(TextOf(stream));
      unreadable |= !map;
      if (!map) return;
      streams.push_back(stream);
      maps.push_back(*map);
    });
    // A map this cannot read may hold long entries it could not replace.
    if (unreadable) return std::nullopt;
    TextMapStandIns standIns;
    StandInAllocator allocator(PrivateUseTaken(maps));
    for (size_t i = 0; i < maps.size(); ++i) {
      if (!HasLongTarget(maps[i])) continue;
      for (MapEntry& entry : maps[i].entries)
        if (!StandIn(entry, allocator, standIns)) return std::nullopt;
      streams[i].replaceStreamData(WriteMap(maps[i]), QPDFObjectHandle::newNull(), QPDFObjectHandle::newNull());
    }
    if (!standIns.empty() && !WriteOver(pdf, pdfPath)) return std::nullopt;
    return standIns;
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

bool RestoreLongTextMapEntries(const std::string& pdfPath, const TextMapStandIns& standIns) {
  if (standIns.empty()) return true;
  try {
    QPDF pdf;
    pdf.setSuppressWarnings(true);
    pdf.processFile(pdfPath.c_str());
    bool changed = false;
    ForEachTextMap(pdf, [&](QPDFObjectHandle& stream) {
      auto map = ParseMap(TextOf(stream));
      if (!map) return;
      std::vector<MapEntry> entries;
      bool mapChanged = false;
      for (const MapEntry& entry : map->entries) {
        const auto restored = Restored(entry, standIns);
        mapChanged |= restored.has_value();
        if (restored) {
          entries.insert(entries.end(), restored->begin(), restored->end());
        } else {
          entries.push_back(entry);
        }
      }
      if (!mapChanged) return;
      map->entries = entries;
      stream.replaceStreamData(WriteMap(*map), QPDFObjectHandle::newNull(), QPDFObjectHandle::newNull());
      changed = true;
    });
    return !changed || WriteOver(pdf, pdfPath);
  } catch (const std::exception&) {
    return false;
  }
}

}  // namespace pelvantz
