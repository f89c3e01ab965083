#include "build_random_state.h"

#include <cstdlib>
#include <ctime>

namespace app {

engine::RandomState chooseBuildRandomState(engine::FrameBuffer& fb) {
  const bool zooms = fb.zoomRequested && fb.valid && !fb.depth.empty();
  const bool resized =
      fb.hasImage() && fb.width != fb.requestedWidth && fb.height != fb.requestedHeight;
  if (zooms || resized) fb.randomState = fb.savedRandomState;
  return fb.randomState;
}

void stirProcessRandom() {
  std::srand(unsigned(std::time(nullptr)));
  const int n = std::rand() % 32768;
  if (n == 0) return;
  for (int i = 1; std::rand() > i; ++i) {
  }
}

}  // namespace app
