#pragma once
// Where the program keeps a user's own files when the application folder
// cannot hold them (a system-wide install): the work files and the settings
// follow the same rule.
#include <string>

namespace pelvantz {

enum class UserFiles { Cache, Config };

// $XDG_CACHE_HOME/pelvantz (else ~/.cache/pelvantz), or $XDG_CONFIG_HOME/pelvantz
// (else ~/.config/pelvantz); empty when neither names an absolute folder.
std::string UserFolderOf(UserFiles kind);

// Whether this user may list, create and replace files in the folder, which
// is made when missing.
bool IsWritableFolder(const std::string& folder);

}  // namespace pelvantz
