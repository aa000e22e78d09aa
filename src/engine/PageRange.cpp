#include "engine/PageRange.h"

#include <cmath>
#include <limits>
#include <locale>
#include <optional>
#include <sstream>
#include <string_view>

#include "base/RuntimeFailure.h"
#include "base/Text.h"

namespace pelvantz {
namespace {

bool IsDigit(char32_t key) { return key >= U'0' && key <= U'9'; }

// Reads the text left to right; each take* consumes what it recognises.
class NumberScanner {
 public:
  NumberScanner(std::string_view text, const NumberFormat& format) : rest_(text), format_(format) {}

  bool scan() {
    skipBlanks();
    takeSign();
    if (!takeMantissa()) return false;
    if (!takeExponent()) return false;
    skipBlanks();
    return rest_.empty();
  }

 private:
  bool take(std::string_view token) {
    if (token.empty() || !rest_.starts_with(token)) return false;
    rest_.remove_prefix(token.size());
    return true;
  }
  bool takeDigit() {
    if (rest_.empty() || !IsDigit(static_cast<unsigned char>(rest_.front()))) return false;
    rest_.remove_prefix(1);
    return true;
  }
  void skipBlanks() {
    while (take(" ") || take("\t")) {
    }
  }
  // The user's signs first; the ASCII ones are understood in any case.
  void takeSign() {
    if (!take(format_.negativeSign) && !take(format_.positiveSign)) {
      if (!take("-")) take("+");
    }
  }
  // Digits, group separators after the first digit, one decimal separator.
  bool takeMantissa() {
    bool digits = false;
    while (takeDigit() || (digits && take(format_.groupSeparator))) digits = true;
    if (take(format_.decimalSeparator)) {
      while (takeDigit()) digits = true;
    }
    return digits;
  }
  bool takeExponent() {
    if (!take("e") && !take("E")) return true;
    if (!take("-")) take("+");
    bool digits = false;
    while (takeDigit()) digits = true;
    return digits;
  }

  std::string_view rest_;
  const NumberFormat& format_;
};

// The value of a number in the C locale's syntax, read in the classic locale
// whatever the user's is; nothing when it is too large for a double (one too
// close to 0 reads as 0).
std::optional<double> ValueOf(std::string_view number) {
  std::istringstream in{std::string(number)};
  in.imbue(std::locale::classic());
  double value = 0;
  in >> value;
  if (in.fail()) return std::nullopt;
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

bool IsNumeric(const std::string& text, const NumberFormat& format) { return NumberScanner(text, format).scan(); }

int32_t PageNumberFromText(const std::string& text) {
  if (!IsNumeric(text, ConversionNumberFormat)) throw RuntimeFailure(ErrorNumber::TypeMismatch, "Type mismatch");
  if (const std::optional<double> value = ValueOf(TrimSpacesAndTabs(text))) {
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
