#pragma once
#include <cstdint>
#include <string>

namespace pelvantz {

// The record GetVersionExA fills.
struct OsVersionInfo {
  uint32_t osVersionInfoSize = 148;
  uint32_t majorVersion = 0;
  uint32_t minorVersion = 0;
  uint32_t buildNumber = 0;
  uint32_t platformId = 0;
  std::string csdVersion = std::string(128, ' ');
};

class SystemVersion {
 public:
  virtual ~SystemVersion() = default;
  // Fills what the system reports; returns false (record untouched) when it cannot.
  virtual bool query(OsVersionInfo& info) = 0;
};

}  // namespace pelvantz
