#pragma once

#include <QString>

namespace app {

// The status bar's reading of the world point under the mouse, from the
// scene's "(x,y,z)": "x 1.112  y 0.402  z -0.064". Any other text (the
// point at infinity) is shown as it is.
QString statusPointText(const QString& point);

}  // namespace app
