#pragma once

namespace app {

class BuildJob;

// Builds that did not stop when their document closed and that the user gave
// up on. A thread cannot be killed safely, so each keeps running (its scene is
// canceled) on the memory it owns, and the process waits for them at exit.
namespace detached_builds {

// Takes over a running job; it is deleted once it has ended.
void adopt(BuildJob* job);
// Waits until every adopted job has ended.
void waitForAll();

}  // namespace detached_builds
}  // namespace app
