#pragma once
// Matching a file name against a pattern typed by the user.
#include <string>

namespace pelvantz {

// Whether the name matches a pattern in which '*' stands for any run of
// characters and '?' for one character; every other character, '[' and '\'
// too, stands for itself.
bool MatchesWildcards(const std::string& name, const std::string& pattern);

}  // namespace pelvantz
