#pragma once
// Small helpers the settings windows share.
#include <functional>

class QPixmap;

namespace hv {

// Scales a design-time length (96 pixels per inch) to the screen; the
// program passes its ScaleToScreen, tests a fixed factor.
using ScaleFunction = std::function<int(int length)>;

// The design length scaled to the primary screen's logical pixels per inch,
// rounded to the nearest integer; unchanged without a screen.
int ScaleToPrimaryScreen(int length);

// The program's icon at 32 x 32: the application's window icon when one is
// set, else the style's computer icon.
QPixmap ProgramIconPixmap();

} // namespace hv
