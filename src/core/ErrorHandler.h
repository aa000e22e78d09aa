#pragma once
// The central error handler and the step runner that procedures use to say
// "on failure ask the handler; go on with the next step or abandon".
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>

#include "base/RuntimeFailure.h"
#include "platform/Cursor.h"
#include "platform/Dialogs.h"

namespace pelvantz {

class ErrorHandler {
 public:
  ErrorHandler(Dialogs& dialogs, Cursor& cursor, std::string messageTitle);
  // Resets the pointer, shows the message of the error's family if it has one,
  // and answers true (go on with the next step) or false (abandon).
  bool ReportError(int32_t number, const std::string& description, const std::string& tag);

 private:
  Dialogs& dialogs_;
  Cursor& cursor_;
  std::string messageTitle_;
};

// The failure an exception stands for: a RuntimeFailure as it is; a standard
// exception as a run-time error number (bad_alloc 7 "Out of memory",
// invalid_argument/out_of_range 5, filesystem_error 75, any other 51) with its
// message as the description.
RuntimeFailure AsRuntimeFailure(const std::exception& failure);

using Step = std::function<void()>;

// Runs the steps in order. A failure thrown by a step goes to the handler under
// `tag` (other exceptions as AsRuntimeFailure maps them; one of no standard
// type as 51 "Internal error"); a true answer continues with the next step, a false one
// abandons the rest. Returns false when abandoned.
bool RunSteps(ErrorHandler& handler, const std::string& tag, std::initializer_list<Step> steps);

// Runs the steps in order, skipping silently any step that throws.
void RunStepsSkippingFailures(std::initializer_list<Step> steps);

}  // namespace pelvantz
