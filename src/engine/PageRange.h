#pragma once
// The page-range fields: the locale-aware numeric test and the keystroke
// filters of the From and To fields.
#include <string>

namespace pelvantz {

// The user's number conventions, as UTF-8 texts.
struct NumberFormat {
  std::string decimalSeparator = ".";
  std::string groupSeparator = ",";
  std::string negativeSign = "-";
  std::string positiveSign = "+";
};

// An optional sign, digits with optional group separators and at most one
// decimal separator, an optional exponent; blanks around are allowed.
// An empty text is not numeric.
bool IsNumeric(const std::string& text, const NumberFormat& format);

constexpr int PageFieldMaxLength = 3;
constexpr char32_t BackspaceKey = 8;

// Keystroke filters: true lets the typed character `key` through to a field
// that currently holds `fieldText`.
bool txtFrom_KeyPress(const std::string& fieldText, char32_t key);
bool txtTo_KeyPress(const std::string& fieldText, char32_t key, const NumberFormat& format);

}  // namespace pelvantz
