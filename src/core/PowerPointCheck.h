#pragma once
// Whether a PowerPoint 2000, XP or 2003 install root is recorded in the registry.
#include <cstdint>

namespace pelvantz {

class Registry;

// The install roots read, in this order, from HKEY_LOCAL_MACHINE, value "Path".
constexpr const char* PowerPointInstallRoots[] = {
    "SOFTWARE\\Microsoft\\Office\\9.0\\Powerpoint\\InstallRoot",
    "SOFTWARE\\Microsoft\\Office\\10.0\\Powerpoint\\InstallRoot",
    "SOFTWARE\\Microsoft\\Office\\11.0\\Powerpoint\\InstallRoot",
};

// 1 when a root names an existing folder (its text without NULs), else 0.
int16_t IsPowerPointInstalled(Registry& registry);

}  // namespace pelvantz
