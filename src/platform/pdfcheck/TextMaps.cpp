#include <qpdf/QPDF.hh>

#include <cctype>
#include <exception>
#include <string>
#include <string_view>
#include <tuple>

#include "platform/PdfTextMaps.h"

namespace pelvantz {

namespace {

// Hex digits between < and >, white space aside.
size_t HexDigits(std::string_view text, size_t open, size_t close) {
  size_t digits = 0;
  for (size_t at = open + 1; at < close; ++at)
    digits += std::isxdigit(static_cast<unsigned char>(text[at])) ? 1 : 0;
  return digits;
}

// In a bfchar section every second string is a destination; in a bfrange
// section every third, or every string of an array in its place.
bool SectionHasLongDestination(std::string_view section, int stringsPerEntry) {
  int position = 0;
  bool inArray = false;
  for (size_t at = 0; at < section.size(); ++at) {
    if (section[at] == '[') inArray = true;
    if (section[at] == ']') {
      inArray = false;
      position = 0;
    }
    if (section[at] != '<') continue;
    const size_t close = section.find('>', at);
    if (close == std::string_view::npos) return false;
    const bool destination = inArray || position == stringsPerEntry - 1;
    if (destination && HexDigits(section, at, close) > 4) return true;
    if (!inArray) position = (position + 1) % stringsPerEntry;
    at = close;
  }
  return false;
}

bool CMapHasLongDestination(std::string_view cmap) {
  for (const auto& [begin, end, strings] :
       {std::tuple{"beginbfchar", "endbfchar", 2}, std::tuple{"beginbfrange", "endbfrange", 3}}) {
    for (size_t at = cmap.find(begin); at != std::string_view::npos; at = cmap.find(begin, at)) {
      const size_t start = at + std::string_view(begin).size();
      const size_t stop = cmap.find(end, start);
      if (stop == std::string_view::npos) break;
      if (SectionHasLongDestination(cmap.substr(start, stop - start), strings)) return true;
      at = stop;
    }
  }
  return false;
}

}  // namespace

bool MapsAGlyphToSeveralUnits(const std::string& pdfPath) {
  try {
    QPDF pdf;
    pdf.setSuppressWarnings(true);
    pdf.processFile(pdfPath.c_str());
    for (QPDFObjectHandle object : pdf.getAllObjects()) {
      if (!object.isDictionary() || !object.getKey("/Type").isNameAndEquals("/Font")) continue;
      QPDFObjectHandle map = object.getKey("/ToUnicode");
      if (!map.isStream()) continue;
      const auto data = map.getStreamData(qpdf_dl_generalized);
      if (CMapHasLongDestination({reinterpret_cast<const char*>(data->getBuffer()), data->getSize()})) return true;
    }
  } catch (const std::exception&) {
  }
  return false;
}

}  // namespace pelvantz
