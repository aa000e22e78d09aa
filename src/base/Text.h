#pragma once
// Small byte-wise text helpers. Blanks are spaces and tabs (or spaces only,
// where a helper says so); case folding touches the ASCII letters only, so
// bytes beyond ASCII (UTF-8 or not) are kept as they are, whatever the locale.
// For Unicode case folding, see platform/TextCase.h.
#include <string>
#include <string_view>

namespace pelvantz {

bool IsSpaceOrTab(char c);
// True for empty text too.
bool IsAllSpaces(std::string_view text);
bool IsAllSpacesOrTabs(std::string_view text);

std::string_view TrimSpacesAndTabs(std::string_view text);
std::string_view TrimLeadingSpacesAndTabs(std::string_view text);
std::string_view TrimTrailingSpacesAndTabs(std::string_view text);

// constexpr, for tables checked at compile time.
constexpr char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
constexpr char AsciiUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }
std::string AsciiLower(std::string text);
std::string AsciiUpper(std::string text);
bool EqualIgnoringAsciiCase(std::string_view left, std::string_view right);
bool EndsWithIgnoringAsciiCase(std::string_view text, std::string_view ending);

}  // namespace pelvantz
