#pragma once
// A run-time failure: an error number and its description, as the central
// error handler classifies them.
#include <cstdint>
#include <stdexcept>
#include <string>

namespace pelvantz {

namespace ErrorNumber {
constexpr int32_t InvalidProcedureCall = 5;
constexpr int32_t Overflow = 6;
constexpr int32_t TypeMismatch = 13;
constexpr int32_t ObjectNotSet = 91;
constexpr int32_t CannotCreateObject = 429;
constexpr int32_t DialogCancelled = 32755;
// Automation failures of the presentation application; kept apart from the
// handler's database family (0x80004005, 0x80040E..).
constexpr int32_t AutomationFailed = static_cast<int32_t>(0x80010105);     // call failed in server
constexpr int32_t AutomationDisconnected = static_cast<int32_t>(0x80010108); // office died
constexpr int32_t AutomationTimeout = static_cast<int32_t>(0x8001011F);     // office hung, killed
constexpr int32_t FileAccess = 75;  // path/file access error
constexpr int32_t ConverterTimeout = static_cast<int32_t>(0x800705B4);  // Ghostscript hung, stopped
}  // namespace ErrorNumber

class RuntimeFailure : public std::runtime_error {
 public:
  RuntimeFailure(int32_t number, const std::string& description)
      : std::runtime_error(description), number_(number), description_(description) {}
  int32_t number() const { return number_; }
  const std::string& description() const { return description_; }

 private:
  int32_t number_;
  std::string description_;
};

}  // namespace pelvantz
