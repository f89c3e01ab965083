#pragma once

namespace app {

// The scene a session starts with when the samples file holds no sample.
struct DefaultScene {
  static constexpr const char* kTitle = "Sierpinski Tetrahedron";
  static const char* const kScript;
};

}  // namespace app
