#pragma once
#include <string>

namespace pelvantz {

// Hands a document (file path or URL) to the desktop's default application.
// Asynchronous; whether the open succeeded is not reported.
class Shell {
 public:
  virtual ~Shell() = default;
  virtual void open(const std::string& target) = 0;
};

}  // namespace pelvantz
