#pragma once
// Whether two paths name one file, however they are spelled.
#include <string>

namespace pelvantz {

// The path made absolute with links and ".." resolved, so that two spellings
// of one file give one text, whether the file is there yet or not (a second
// hard link keeps its own). Empty for an empty path.
std::string FileKey(const std::string& path);

// True when both paths lead to the same file (hard links too), or would name
// the same new one.
bool SameFile(const std::string& left, const std::string& right);

}  // namespace pelvantz
