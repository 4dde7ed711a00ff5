#pragma once

#include "platform/screen_metrics.h"

#include <QRect>
#include <QString>

#include <optional>

// Where the console opens, as pure functions of the stored texts and the screen's twips
// factors. A window rectangle is in twips; the shell stores its area in pixels.
namespace core {

struct TwipsRect
{
    double left = 0.0;
    double top = 0.0;
    double width = 0.0;
    double height = 0.0;

    friend bool operator==(const TwipsRect &, const TwipsRect &) = default;
};

// The stored texts of settings section "Screen" (std::nullopt: the key is absent). Each is
// a pixel coordinate of the screen; Right and Bottom are edges, not sizes.
struct StoredScreenArea
{
    std::optional<QString> left;
    std::optional<QString> top;
    std::optional<QString> right;
    std::optional<QString> bottom;
};

// True when the stored "Running" text converts to true (see core::toBoolean); an absent text
// or one that does not convert counts as false.
[[nodiscard]] bool shellIsRunning(const std::optional<QString> &running);

// The console's rectangle when the shell runs: the stored area, each edge taken as a pixel
// number by the leading-number rule and multiplied by its twips factor. An absent edge, or one
// whose text holds no number, defaults to the auxiliary window's: left and top its own, right
// = left + its width, bottom = top + its height (so an absent right keeps its width from the
// left actually used). A width or height that comes out negative is 0. The shell stores its
// area in the screen's device pixels; on a scaled screen each stored edge is divided by the
// screen's devicePixelRatio into the pixels the console is placed in.
[[nodiscard]] TwipsRect placeInShellArea(const StoredScreenArea &stored, const TwipsRect &auxiliary,
                                         platform::TwipsFactors factors,
                                         double devicePixelRatio = 1.0);

// The console's rectangle when the shell does not run: the maximised auxiliary window's area
// less 60 twips on every side (never below 0 wide or high).
[[nodiscard]] TwipsRect placeInsideAuxiliary(const TwipsRect &auxiliary);

// The rectangle in pixels (each value divided by its factor, rounded half to even, sizes
// never below 0), for handing to the window system.
[[nodiscard]] QRect pixelsFromTwips(const TwipsRect &twips, platform::TwipsFactors factors);

// The twips rectangle of a pixel rectangle.
[[nodiscard]] TwipsRect twipsFromPixels(const QRect &pixels, platform::TwipsFactors factors);

// The screen-width skin name: appName followed by the screen width in pixels (its width in
// twips divided by the horizontal factor, written as a number: "Security1024").
[[nodiscard]] QString skinNameForScreen(const QString &appName, double screenWidthTwips,
                                        double twipsPerPixelX);

} // namespace core
