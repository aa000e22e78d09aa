#pragma once
#include <string>

namespace pelvantz {

// The folder that holds the running program, without a trailing separator.
// Components receive it as an argument so that tests can point them elsewhere.
std::string ApplicationFolder();

// The platform's path separator, used where paths are joined literally.
constexpr const char* PathSeparator = "/";

}  // namespace pelvantz
