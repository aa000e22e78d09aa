#pragma once
#include "platform/Cursor.h"

namespace pelvantz {

// The busy pointer as the application's override cursor. A pointer, not a
// stack: busy twice and default once leaves the default pointer.
// Safe to call from any thread.
class QtCursor : public Cursor {
 public:
  void setBusy() override;
  void setDefault() override;
};

}  // namespace pelvantz
