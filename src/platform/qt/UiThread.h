#pragma once
#include <functional>

namespace pelvantz {

// Runs `work` on the application's user-interface thread and returns when it
// is done; directly when the caller is that thread. An exception thrown by
// `work` reaches the caller.
void RunOnUiThread(const std::function<void()>& work);

}  // namespace pelvantz
