#pragma once
// What a PDF's fonts say of the characters behind their glyphs: the ToUnicode
// maps, and entries of them that some PDF readers garble on their way through.
#include <map>
#include <optional>
#include <string>

namespace pelvantz {

// Private-use characters standing in for ToUnicode destinations of several
// UTF-16 units (a ligature "ffi", a character beyond the BMP as a surrogate
// pair), each with the units it stands for.
struct TextMapStandIns {
  std::map<char16_t, std::u16string> originals;
  bool empty() const { return originals.empty(); }
};

// Gives every destination of several UTF-16 units in the file's ToUnicode maps
// a private-use character the maps do not use yet, and rewrites the file when
// there was any. Nothing when the file cannot be read or written, or its maps
// need more stand-ins than there are free characters.
std::optional<TextMapStandIns> StandInForLongTextMapEntries(const std::string& pdfPath);

// Puts the units each stand-in stands for back into the file's ToUnicode maps,
// wherever they map a code to it; rewrites the file when anything changed.
// False when the file cannot be read or written.
bool RestoreLongTextMapEntries(const std::string& pdfPath, const TextMapStandIns& standIns);

}  // namespace pelvantz
