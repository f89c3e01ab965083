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
    "color(1, 0.75, 0.3) specular(0.6) shininess(20);\r\n"
    "\r\n"
    "camera position(0.8, 2.6, -4.2) vertical(0, 1, 0);\r\n"
    "light position(0, 0, 0) color(1);                    // at the camera\r\n"
    "light position(-4, 4, -2) color(0.5) attachment(0);  // fixed in the scene\r\n"
    "ambient(0.2);\r\n"
    "background(0.15, 0.2, 0.35);\r\n";

}  // namespace app
