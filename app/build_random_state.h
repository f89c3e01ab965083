#pragma once

#include "engine/frame_buffer.h"

namespace app {

// Chooses the random state a build starts from and returns it, to be saved
// when the build succeeds. A build that zooms into a selection, or that
// changes the image size in both dimensions, starts again from the state of
// the last successful build, so random scenes come out the same at the new
// size; any other build goes on from the current state.
engine::RandomState chooseBuildRandomState(engine::FrameBuffer& frameBuffer);

// Moves the C runtime's generator to a time-dependent place, so documents
// created later start with different random states.
void stirProcessRandom();

}  // namespace app
