#pragma once
#include "platform/SystemVersion.h"

namespace pelvantz {

// Linux has no Windows version to report: the record stays as it was given
// (platform 0), which the version check classifies as "Failed".
class LinuxSystemVersion : public SystemVersion {
 public:
  bool query(OsVersionInfo& info) override;
};

}  // namespace pelvantz
