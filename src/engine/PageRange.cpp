#include "engine/PageRange.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <optional>
#include <string_view>
#include <system_error>

#include "base/RuntimeFailure.h"

namespace pelvantz {
namespace {

bool IsDigit(char32_t key) { return key >= U'0' && key <= U'9'; }

// A number as the scanner found it, without the conventions it was written in.
struct NumberParts {
  bool negative = false;
  std::string integerDigits;  // group separators left out
  std::string fractionDigits;
  bool negativeExponent = false;
  std::string exponentDigits;  // empty when there is no exponent
};

// Reads the text left to right; each take* consumes what it recognises.
class NumberScanner {
 public:
  NumberScanner(std::string_view text, const NumberFormat& format) : rest_(text), format_(format) {}

  std::optional<NumberParts> scan() {
    skipBlanks();
    takeSign();
    if (!takeMantissa()) return std::nullopt;
    if (!takeExponent()) return std::nullopt;
    skipBlanks();
    if (!rest_.empty()) return std::nullopt;
    return parts_;
  }

 private:
  bool take(std::string_view token) {
    if (token.empty() || !rest_.starts_with(token)) return false;
    rest_.remove_prefix(token.size());
    return true;
  }
  bool takeDigitInto(std::string& digits) {
    if (rest_.empty() || !IsDigit(static_cast<unsigned char>(rest_.front()))) return false;
    digits += rest_.front();
    rest_.remove_prefix(1);
    return true;
  }
  void skipBlanks() {
    while (take(" ") || take("\t")) {
    }
  }
  // The user's signs first; the ASCII ones are understood in any case.
  void takeSign() {
    if (take(format_.negativeSign)) {
      parts_.negative = true;
    } else if (!take(format_.positiveSign)) {
      parts_.negative = take("-");
      if (!parts_.negative) take("+");
    }
  }
  // Digits, group separators after the first digit, one decimal separator.
  bool takeMantissa() {
    std::string& whole = parts_.integerDigits;
    while (takeDigitInto(whole) || (!whole.empty() && take(format_.groupSeparator))) {
    }
    if (take(format_.decimalSeparator)) {
      while (takeDigitInto(parts_.fractionDigits)) {
      }
    }
    return !whole.empty() || !parts_.fractionDigits.empty();
  }
  bool takeExponent() {
    if (!take("e") && !take("E")) return true;
    parts_.negativeExponent = take("-");
    if (!parts_.negativeExponent) take("+");
    while (takeDigitInto(parts_.exponentDigits)) {
    }
    return !parts_.exponentDigits.empty();
  }

  std::string_view rest_;
  const NumberFormat& format_;
  NumberParts parts_;
};

std::optional<NumberParts> ScanNumber(const std::string& text, const NumberFormat& format) {
  return NumberScanner(text, format).scan();
}

// The power of ten at which the number's first significant digit stands
// (0 for 1..9, -1 for 0.1..0.9); only asked of a mantissa that is not 0.
long long LeadingDigitPower(const NumberParts& parts) {
  const std::size_t firstWhole = parts.integerDigits.find_first_not_of('0');
  if (firstWhole != std::string::npos) return static_cast<long long>(parts.integerDigits.size() - firstWhole) - 1;
  return -static_cast<long long>(parts.fractionDigits.find_first_not_of('0')) - 1;
}

// For a number no double can hold: whether it is too large rather than too
// close to 0.
bool IsBeyondDoubles(const NumberParts& parts) {
  long long exponent = 0;
  const std::string& digits = parts.exponentDigits;
  const auto read = std::from_chars(digits.data(), digits.data() + digits.size(), exponent);
  if (read.ec == std::errc::result_out_of_range) return !parts.negativeExponent;
  return (parts.negativeExponent ? -exponent : exponent) >= -LeadingDigitPower(parts);
}

// The value of a scanned number; nothing when it is too large for a double,
// 0 when it is too close to 0 for one.
std::optional<double> ValueOf(const NumberParts& parts) {
  // from_chars reads the C locale's syntax whatever the user's locale is.
  std::string text = (parts.negative ? "-" : "") + parts.integerDigits;
  if (!parts.fractionDigits.empty()) text += "." + parts.fractionDigits;
  if (!parts.exponentDigits.empty()) text += (parts.negativeExponent ? "e-" : "e") + parts.exponentDigits;
  double value = 0;
  const auto read = std::from_chars(text.data(), text.data() + text.size(), value);
  if (read.ec == std::errc::result_out_of_range) {
    if (IsBeyondDoubles(parts)) return std::nullopt;
    return 0.0;
  }
  return value;
}

// Ties go to the even neighbour, as the run-time's integer conversion does.
double RoundHalfToEven(double value) {
  const double below = std::floor(value);
  const double fraction = value - below;
  if (fraction < 0.5) return below;
  if (fraction > 0.5) return below + 1;
  return std::fmod(below, 2.0) == 0.0 ? below : below + 1;
}

bool FitsInt32(double value) {
  return value >= std::numeric_limits<int32_t>::min() && value <= std::numeric_limits<int32_t>::max();
}

// A range mark may follow something, but not another range mark.
bool AcceptsRangeMark(const std::string& text) {
  return !text.empty() && text.back() != ',' && text.back() != '-';
}

}  // namespace

bool IsNumeric(const std::string& text, const NumberFormat& format) {
  return ScanNumber(text, format).has_value();
}

int32_t PageNumberFromText(const std::string& text) {
  const std::optional<NumberParts> parts = ScanNumber(text, ConversionNumberFormat);
  if (!parts) throw RuntimeFailure(ErrorNumber::TypeMismatch, "Type mismatch");
  if (const std::optional<double> value = ValueOf(*parts)) {
    const double rounded = RoundHalfToEven(*value);
    if (FitsInt32(rounded)) return static_cast<int32_t>(rounded);
  }
  throw RuntimeFailure(ErrorNumber::Overflow, "Overflow");
}

PrintRange MapPrintRange(const ConversionOptions& options) {
  if (options.AllPages) return {-1, -1};
  return {PageNumberFromText(options.FromText), PageNumberFromText(options.ToText)};
}

bool txtFrom_KeyPress(const std::string& fieldText, char32_t key) {
  if (IsDigit(key) || key == BackspaceKey) return true;
  if (key == U',' || key == U'-') return AcceptsRangeMark(fieldText);
  return false;
}

bool txtTo_KeyPress(const std::string& fieldText, char32_t key, const NumberFormat& format) {
  if (IsDigit(key) || key == BackspaceKey || key == U'-') return true;
  return IsNumeric(fieldText, format);
}

}  // namespace pelvantz
