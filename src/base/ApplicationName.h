#pragma once
// The program's name as the user meets it: in titles and in the PDFs it writes.
#include <string_view>

namespace pelvantz {

constexpr const char* ProductName = "Pelvantz";
constexpr const char* ApplicationTitle = "Pelvantz - Powerpoint to PDF Converter";
static_assert(std::string_view(ApplicationTitle).starts_with(ProductName));

}  // namespace pelvantz
