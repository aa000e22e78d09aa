#pragma once

namespace pelvantz {

// The application's mouse pointer.
class Cursor {
 public:
  virtual ~Cursor() = default;
  virtual void setBusy() = 0;
  virtual void setDefault() = 0;
};

}  // namespace pelvantz
