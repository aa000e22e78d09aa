#pragma once
// What a PDF's fonts say of the characters behind their glyphs.
#include <string>

namespace pelvantz {

// Whether some font's ToUnicode map gives one glyph several UTF-16 units: a
// ligature ("ffi"), or a character beyond the BMP (a surrogate pair). False
// for a file that cannot be read.
bool MapsAGlyphToSeveralUnits(const std::string& pdfPath);

}  // namespace pelvantz
