#pragma once

namespace app {

// Lowers the calling thread's scheduling priority one step below normal, so
// the interface stays responsive while a build runs. Threads it starts (the
// renderer's workers) inherit the lower priority.
void lowerCurrentThreadPriority();

}  // namespace app
