#pragma once

#include <QRect>
#include <QSize>

// What the console needs to know of the primary screen. Pixels are Qt's device-independent
// pixels; the stores and window positions of the shell use twips (1/1440 inch).
namespace platform {

// Twips per pixel in each direction.
struct TwipsFactors
{
    double x = 15.0;
    double y = 15.0;
};

// 1440 / logical DPI, for each direction of the primary screen (15 at 96 DPI). Without a
// screen (no GUI application yet, or none attached) the factors are 15.
[[nodiscard]] TwipsFactors twipsPerPixel();

// 1440 / dpi; 15 for a DPI that is not positive or not finite.
[[nodiscard]] double twipsPerPixelFor(double dpi);

// Device pixels per pixel of the primary screen (2 on a screen scaled to 200 %, whether by
// the desktop or by QT_SCALE_FACTOR); 1 without a screen.
[[nodiscard]] double devicePixelRatio();

// The primary screen's size in pixels; an empty size without a screen.
[[nodiscard]] QSize screenSizePixels();

// The primary screen's usable area in pixels (without panels and docks); empty without a
// screen.
[[nodiscard]] QRect usableAreaPixels();

} // namespace platform
