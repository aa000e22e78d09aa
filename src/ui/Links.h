#pragma once
#include <string>

#include "platform/Shell.h"

namespace pelvantz {

// The vendor's web site; a placeholder host until the real one is known.
constexpr const char* VendorSite = "https://www.pelvantz.example";

void cmdHomeLink_Click(Shell& shell);
void cmdContactUs_Click(Shell& shell);
void cmdHelp_Click(Shell& shell, const std::string& applicationFolder);

}  // namespace pelvantz
