#include "base/Text.h"

#include <algorithm>

namespace pelvantz {
namespace {

constexpr std::string_view SpacesAndTabs = " \t";

}  // namespace

bool IsSpaceOrTab(char c) { return c == ' ' || c == '\t'; }

bool IsAllSpaces(std::string_view text) { return text.find_first_not_of(' ') == std::string_view::npos; }

bool IsAllSpacesOrTabs(std::string_view text) {
  return text.find_first_not_of(SpacesAndTabs) == std::string_view::npos;
}

std::string_view TrimSpacesAndTabs(std::string_view text) {
  return TrimTrailingSpacesAndTabs(TrimLeadingSpacesAndTabs(text));
}

std::string_view TrimLeadingSpacesAndTabs(std::string_view text) {
  const size_t first = text.find_first_not_of(SpacesAndTabs);
  return first == std::string_view::npos ? std::string_view() : text.substr(first);
}

std::string_view TrimTrailingSpacesAndTabs(std::string_view text) {
  const size_t last = text.find_last_not_of(SpacesAndTabs);
  return last == std::string_view::npos ? std::string_view() : text.substr(0, last + 1);
}

std::string AsciiLower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](char c) { return AsciiLower(c); });
  return text;
}

std::string AsciiUpper(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](char c) { return AsciiUpper(c); });
  return text;
}

bool EqualIgnoringAsciiCase(std::string_view left, std::string_view right) {
  return std::equal(left.begin(), left.end(), right.begin(), right.end(),
                    [](char a, char b) { return AsciiLower(a) == AsciiLower(b); });
}

bool EndsWithIgnoringAsciiCase(std::string_view text, std::string_view ending) {
  return text.size() >= ending.size() && EqualIgnoringAsciiCase(text.substr(text.size() - ending.size()), ending);
}

}  // namespace pelvantz
