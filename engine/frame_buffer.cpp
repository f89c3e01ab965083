#include "frame_buffer.h"

#include <cstdlib>

namespace engine {

FrameBuffer::FrameBuffer() {
  randomState = {uint32_t(std::rand()) & 0x3FFF, uint32_t(std::rand()) & 0x3FFF,
                 uint32_t(std::rand()) & 0xFFF};
  savedRandomState = randomState;
}

}  // namespace engine
