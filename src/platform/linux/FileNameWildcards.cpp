#include "platform/FileNameWildcards.h"

#include <fnmatch.h>

namespace pelvantz {
namespace {

// The system's matcher also knows bracket classes; "[[]" is its literal '['.
std::string WithLiteralBrackets(const std::string& pattern) {
  std::string literal;
  for (char c : pattern) literal += (c == '[') ? std::string("[[]") : std::string(1, c);
  return literal;
}

}  // namespace

bool MatchesWildcards(const std::string& name, const std::string& pattern) {
  return ::fnmatch(WithLiteralBrackets(pattern).c_str(), name.c_str(), FNM_NOESCAPE) == 0;
}

}  // namespace pelvantz
