#pragma once

namespace app {

// The scene a new session starts with while no samples file is installed.
struct DefaultScene {
  static constexpr const char* kTitle = "Sierpinski Tetrahedron";
  static const char* const kScript;
};

}  // namespace app
