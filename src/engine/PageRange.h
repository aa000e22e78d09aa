#pragma once
// The page range: one number grammar for the page fields, read with the
// user's conventions when a run is checked and with the conversion's own when
// the office is given its page numbers; the keystroke filters of the fields;
// the range the print step asks for. The range is checked against the deck
// (layout::ResolveRange) on the office side, the only side that counts slides.
#include <cstdint>
#include <string>

#include "engine/ConversionOptions.h"

namespace pelvantz {

// The number conventions a text is read with, as UTF-8 texts. An empty
// separator is one the conventions do not have.
struct NumberFormat {
  std::string decimalSeparator = ".";
  std::string groupSeparator = ",";
  std::string negativeSign = "-";
  std::string positiveSign = "+";
};

// The conversion's own conventions, whatever the user's locale: "." for the
// decimal point and no digit-group separators.
inline const NumberFormat ConversionNumberFormat{".", "", "-", "+"};

// An optional sign, digits with optional group separators and at most one
// decimal separator, an optional exponent ("e5", "E-2"); blanks (space, tab)
// around are allowed. An empty text is not numeric.
bool IsNumeric(const std::string& text, const NumberFormat& format);

// A page text numeric under ConversionNumberFormat, as a 32-bit integer,
// halves to even. Throws RuntimeFailure 13 "Type mismatch" for text that is
// not such a number (empty, blank, letters) and 6 "Overflow" for a number
// outside the 32-bit range (or beyond a double, "1e400").
int32_t PageNumberFromText(const std::string& text);

struct PrintRange {
  int32_t From;
  int32_t To;
};
// -1, -1 for all pages; otherwise FromText..ToText converted (may throw).
PrintRange MapPrintRange(const ConversionOptions& options);

constexpr int PageFieldMaxLength = 3;
constexpr char32_t BackspaceKey = 8;

// Keystroke filters: true lets the typed character `key` through to a field
// that currently holds `fieldText`.
bool txtFrom_KeyPress(const std::string& fieldText, char32_t key);
bool txtTo_KeyPress(const std::string& fieldText, char32_t key, const NumberFormat& format);

}  // namespace pelvantz
