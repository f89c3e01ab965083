#include "thread_priority.h"

#include <sys/resource.h>
#include <unistd.h>

namespace app {

void lowerCurrentThreadPriority() {
  // On Linux a nice value belongs to a thread; QThread priorities have no
  // effect under the default scheduling policy.
  const id_t thread = id_t(gettid());
  setpriority(PRIO_PROCESS, thread, getpriority(PRIO_PROCESS, thread) + 1);
}

}  // namespace app
