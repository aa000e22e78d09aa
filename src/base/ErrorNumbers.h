#pragma once
// Every run-time error number the program raises or classifies, in one list:
// the run-time's own numbers keep their historical values, the automation and
// database families their HRESULTs.
#include <cstdint>

namespace pelvantz::ErrorNumber {

// The run-time's numbers.
constexpr int32_t InvalidProcedureCall = 5;
constexpr int32_t Overflow = 6;
constexpr int32_t OutOfMemory = 7;
constexpr int32_t DivisionByZero = 11;
constexpr int32_t TypeMismatch = 13;
constexpr int32_t InternalError = 51;
constexpr int32_t PermissionDenied = 70;
constexpr int32_t FileAccess = 75;  // path/file access error
constexpr int32_t PathNotFound = 76;
constexpr int32_t ObjectNotSet = 91;
constexpr int32_t InvalidUseOfNull = 94;
constexpr int32_t InvalidPropertyValue = 380;
constexpr int32_t CannotCreateObject = 429;
constexpr int32_t ItemNotFound = 3265;
constexpr int32_t ObjectClosed = 3704;
constexpr int32_t DialogCancelled = 32755;
constexpr int32_t IndexOutOfBounds = 35600;
constexpr int32_t ComponentFailure = 35773;  // a control library's failure

// The database family (the handler shows its database message for most) and
// the automation type mismatch.
constexpr int32_t UnspecifiedFailure = static_cast<int32_t>(0x80004005);
constexpr int32_t DatabaseCommandErrors = static_cast<int32_t>(0x80040E14);
constexpr int32_t DatabaseDeletedRow = static_cast<int32_t>(0x80040E23);
constexpr int32_t DatabaseNoTable = static_cast<int32_t>(0x80040E37);
constexpr int32_t AutomationTypeMismatch = static_cast<int32_t>(0x80020005);

// Automation failures of the presentation application; kept apart from the
// database family.
constexpr int32_t AutomationFailed = static_cast<int32_t>(0x80010105);        // call failed in server
constexpr int32_t AutomationDisconnected = static_cast<int32_t>(0x80010108);  // office died
constexpr int32_t AutomationTimeout = static_cast<int32_t>(0x8001011F);       // office hung, killed
constexpr int32_t ConverterTimeout = static_cast<int32_t>(0x800705B4);        // Ghostscript hung, stopped

}  // namespace pelvantz::ErrorNumber
