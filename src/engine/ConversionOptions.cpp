#include "engine/ConversionOptions.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <clocale>
#include <cmath>
#include <cstddef>
#include <cstdlib>
#include <limits>
#include <string_view>

#include <locale.h>

#include "base/RuntimeFailure.h"
#include "platform/PresentationApp.h"

namespace pelvantz {

namespace {

struct Mapping {
  std::string_view text;
  int32_t value;
};

// Table order decides; the first equal entry wins.
constexpr std::array<Mapping, 9> OutputTypes{{
    {"SLIDES", PrintOutput::Slides},
    {"OUTLINE", PrintOutput::Outline},
    {"NOTES", PrintOutput::NotesPages},
    {"1 SLIDE HANDOUTS", PrintOutput::OneSlideHandouts},
    {"2 SLIDE HANDOUTS", PrintOutput::TwoSlideHandouts},
    {"3 SLIDE HANDOUTS", PrintOutput::ThreeSlideHandouts},
    {"4 SLIDE HANDOUTS", PrintOutput::FourSlideHandouts},
    {"6 SLIDE HANDOUTS", PrintOutput::SixSlideHandouts},
    {"9 SLIDE HANDOUTS", PrintOutput::NineSlideHandouts},
}};

// "Invoice" stands for the ledger size.
constexpr std::array<Mapping, 6> PaperSizes{{
    {"A3", SlideSizeType::A3Paper},
    {"A4", SlideSizeType::A4Paper},
    {"35MM", SlideSizeType::Slides35Mm},
    {"Letter", SlideSizeType::LetterPaper},
    {"Invoice", SlideSizeType::Ledger},
    {"Banner", SlideSizeType::Banner},
}};

std::optional<int32_t> Lookup(std::string_view text, const auto& table) {
  for (const Mapping& entry : table) {
    if (entry.text == text) return entry.value;
  }
  return std::nullopt;
}

// ASCII letters only: the table's literals are ASCII, and the window's list
// offers nothing else.
std::string AsciiUpper(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; });
  return text;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

// Advances over digits and tells how many there were.
std::size_t SkipDigits(std::string_view text, std::size_t& at) {
  const std::size_t start = at;
  while (at < text.size() && IsDigit(text[at])) ++at;
  return at - start;
}

// [sign] digits [. digits] [e [sign] digits], at least one mantissa digit.
bool IsNumberSyntax(std::string_view text) {
  std::size_t at = 0;
  if (at < text.size() && (text[at] == '+' || text[at] == '-')) ++at;
  std::size_t mantissaDigits = SkipDigits(text, at);
  if (at < text.size() && text[at] == '.') {
    ++at;
    mantissaDigits += SkipDigits(text, at);
  }
  if (mantissaDigits == 0) return false;
  if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
    ++at;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) ++at;
    if (SkipDigits(text, at) == 0) return false;
  }
  return at == text.size();
}

// Ties go to the even neighbour, as the run-time's integer conversion does.
double RoundHalfToEven(double value) {
  const double below = std::floor(value);
  const double fraction = value - below;
  if (fraction < 0.5) return below;
  if (fraction > 0.5) return below + 1;
  return std::fmod(below, 2.0) == 0.0 ? below : below + 1;
}

struct ParsedNumber {
  enum class Kind { Value, NotANumber, TooLarge };
  Kind kind;
  double value;
};

// The C locale's "." whatever the user's locale is (the program's window sets
// the user's locale for the whole process).
locale_t CLocale() {
  static const locale_t locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
  return locale;
}

ParsedNumber ParseNumber(const std::string& text) {
  const std::string number(TrimBlanks(text));
  if (!IsNumberSyntax(number)) return {ParsedNumber::Kind::NotANumber, 0};
  errno = 0;
  const double value = strtod_l(number.c_str(), nullptr, CLocale());
  // Out of range: huge means too large; a tiny result is as near to 0 as it gets.
  if (errno == ERANGE && std::fabs(value) == HUGE_VAL) return {ParsedNumber::Kind::TooLarge, value};
  return {ParsedNumber::Kind::Value, value};
}

}  // namespace

std::optional<int32_t> MapOutputType(const std::string& outputType) {
  return Lookup(AsciiUpper(outputType), OutputTypes);
}

std::optional<int32_t> MapPaperSize(const std::string& paperSize) { return Lookup(paperSize, PaperSizes); }

int32_t MapSlideOrientation(bool landscape) { return landscape ? Orientation::Landscape : Orientation::Portrait; }

int32_t MapFlag(bool flag) { return flag ? Flag::On : Flag::Off; }

int32_t PageNumberFromText(const std::string& text) {
  const ParsedNumber parsed = ParseNumber(text);
  if (parsed.kind == ParsedNumber::Kind::NotANumber) {
    throw RuntimeFailure(ErrorNumber::TypeMismatch, "Type mismatch");
  }
  const double rounded = RoundHalfToEven(parsed.value);
  if (parsed.kind == ParsedNumber::Kind::TooLarge || rounded < std::numeric_limits<int32_t>::min() ||
      rounded > std::numeric_limits<int32_t>::max()) {
    throw RuntimeFailure(ErrorNumber::Overflow, "Overflow");
  }
  return static_cast<int32_t>(rounded);
}

PrintRange MapPrintRange(const ConversionOptions& options) {
  if (options.AllPages) return {-1, -1};
  return {PageNumberFromText(options.FromText), PageNumberFromText(options.ToText)};
}

}  // namespace pelvantz
