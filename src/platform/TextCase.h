#pragma once
#include <string>

namespace pelvantz {

// Upper-cases UTF-8 text for all of Unicode, independent of the user's locale,
// so that "Über.ppt" and "ÜBER.PPT" compare equal. Bytes that are not
// well-formed UTF-8 are kept as they are.
std::string UpperCaseText(const std::string& text);

}  // namespace pelvantz
