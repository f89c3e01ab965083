#include "default_scene.h"

namespace app {

const char* const DefaultScene::kScript =
    "// Sierpinski tetrahedron: four half-size copies of itself,\r\n"
    "// one at each corner.\r\n"
    "set T = translate(0.5, 0.5, 0.5) scale(0.5) T\r\n"
    "      + translate(-0.5, -0.5, 0.5) scale(0.5) T\r\n"
    "      + translate(-0.5, 0.5, -0.5) scale(0.5) T\r\n"
    "      + translate(0.5, -0.5, -0.5) scale(0.5) T;\r\n"
    "build T;\r\n"
    "\r\n"
    "camera position(2.2, 1.6, -3.4) vertical(0, 1, 0);\r\n"
    "light position(-4, 6, -8) color(1);\r\n"
    "ambient(0.25);\r\n";

}  // namespace app
