#include "core/ErrorHandler.h"

#include <array>
#include <filesystem>
#include <new>
#include <optional>
#include <stdexcept>
#include <utility>

#include "base/RuntimeFailure.h"

namespace pelvantz {

namespace {

enum class Message { None, ControlLimit, Database };

struct Classification {
  int32_t number;
  Message message;
  bool goOn;
};

// The numbers the handler knows. The rows answering true say the same as the
// default; they stay listed so the table reads as the complete classification.
constexpr std::array<Classification, 14> KnownErrors{{
    {ErrorNumber::DivisionByZero, Message::None, true},
    {ErrorNumber::TypeMismatch, Message::None, true},
    {ErrorNumber::InvalidUseOfNull, Message::None, true},
    {ErrorNumber::InvalidPropertyValue, Message::None, true},
    {ErrorNumber::ItemNotFound, Message::None, true},
    {ErrorNumber::AutomationTypeMismatch, Message::None, true},
    {ErrorNumber::Overflow, Message::ControlLimit, false},
    {ErrorNumber::UnspecifiedFailure, Message::Database, false},
    {ErrorNumber::DatabaseDeletedRow, Message::Database, false},
    {ErrorNumber::DatabaseNoTable, Message::Database, false},
    {ErrorNumber::DatabaseCommandErrors, Message::None, false},
    {ErrorNumber::ObjectNotSet, Message::None, false},
    {ErrorNumber::ObjectClosed, Message::None, false},
    {ErrorNumber::ComponentFailure, Message::None, false},
}};

Classification Classify(int32_t number) {
  for (const Classification& known : KnownErrors) {
    if (known.number == number) return known;
  }
  return {number, Message::None, true};
}

constexpr const char* LineBreak = "\r\n";

std::string MessageText(Message message, const std::string& description) {
  if (message == Message::ControlLimit) {
    return std::string("Error: OverFlow of Controls.") + LineBreak + "You have exceeded the control limits.";
  }
  return std::string("Following error occured while accessing database:") + LineBreak + LineBreak + description +
         LineBreak + LineBreak + "Please contact the database administrator.";
}

// The handler must answer whatever goes wrong while it resets the pointer or
// shows its message, so each such action is attempted on its own.
template <typename Action>
void Attempt(Action&& action) {
  try {
    std::forward<Action>(action)();
  } catch (...) {
  }
}

// Error numbers for standard exceptions that reach a step runner, taken from
// the run-time's own families so the handler classifies them sensibly: a bad
// argument or index is an invalid procedure call (5), exhausted memory is
// "Out of memory" (7), a file-system failure is a path/file access error (75),
// and anything else, including exceptions of no standard type, is an internal
// error (51). All of them answer "go on".
std::optional<RuntimeFailure> RunCatching(const Step& step) {
  try {
    step();
    return std::nullopt;
  } catch (const std::exception& failure) {
    return AsRuntimeFailure(failure);
  } catch (...) {
    return RuntimeFailure(ErrorNumber::InternalError, "Internal error");
  }
}

}  // namespace

ErrorHandler::ErrorHandler(Dialogs& dialogs, Cursor& cursor, std::string messageTitle)
    : dialogs_(dialogs), cursor_(cursor), messageTitle_(std::move(messageTitle)) {}

bool ErrorHandler::ReportError(int32_t number, const std::string& description, const std::string& /*tag*/) {
  Attempt([&] { cursor_.setDefault(); });
  const Classification found = Classify(number);
  if (found.message != Message::None) {
    Attempt([&] {
      dialogs_.showMessage(MessageText(found.message, description), MessageIcon::Critical, MessageButtons::Ok,
                           messageTitle_);
    });
  }
  if (!found.goOn) Attempt([&] { cursor_.setDefault(); });
  return found.goOn;
}

RuntimeFailure AsRuntimeFailure(const std::exception& failure) {
  if (const auto* known = dynamic_cast<const RuntimeFailure*>(&failure)) return *known;
  if (dynamic_cast<const std::bad_alloc*>(&failure)) return {ErrorNumber::OutOfMemory, "Out of memory"};
  if (dynamic_cast<const std::filesystem::filesystem_error*>(&failure)) {
    return {ErrorNumber::FileAccess, failure.what()};
  }
  if (dynamic_cast<const std::invalid_argument*>(&failure) || dynamic_cast<const std::out_of_range*>(&failure)) {
    return {ErrorNumber::InvalidProcedureCall, failure.what()};
  }
  return {ErrorNumber::InternalError, failure.what()};
}

bool RunSteps(ErrorHandler& handler, const std::string& tag, std::initializer_list<Step> steps) {
  for (const Step& step : steps) {
    const std::optional<RuntimeFailure> failure = RunCatching(step);
    if (failure && !handler.ReportError(failure->number(), failure->description(), tag)) {
      return false;
    }
  }
  return true;
}

void RunStepsSkippingFailures(std::initializer_list<Step> steps) {
  for (const Step& step : steps) {
    try {
      step();
    } catch (...) {
    }
  }
}

}  // namespace pelvantz
