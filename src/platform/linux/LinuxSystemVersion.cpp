#include "platform/linux/LinuxSystemVersion.h"

namespace pelvantz {

bool LinuxSystemVersion::query(OsVersionInfo&) { return false; }

}  // namespace pelvantz
