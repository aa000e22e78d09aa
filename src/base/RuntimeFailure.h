#pragma once
// A run-time failure: an error number and its description, as the central
// error handler classifies them. The numbers are listed in base/ErrorNumbers.h.
#include <cstdint>
#include <stdexcept>
#include <string>

#include "base/ErrorNumbers.h"

namespace pelvantz {

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
