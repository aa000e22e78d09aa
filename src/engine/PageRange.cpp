#include "engine/PageRange.h"

#include <string_view>

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

// A range mark may follow something, but not another range mark.
bool AcceptsRangeMark(const std::string& text) {
  return !text.empty() && text.back() != ',' && text.back() != '-';
}

}  // namespace

bool IsNumeric(const std::string& text, const NumberFormat& format) { return NumberScanner(text, format).scan(); }

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
