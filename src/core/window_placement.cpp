#include "core/window_placement.h"

#include "core/number_text.h"

#include <algorithm>
#include <cmath>

namespace core {
namespace {

// A factor the screen could not give sensibly would turn every rectangle into nonsense; the
// factor of the common 96 DPI screen is the safe stand-in.
double usable(double factor)
{
    return std::isfinite(factor) && factor > 0.0 ? factor : 15.0;
}

// A stored pixel coordinate, or the fallback when the text is absent or holds no number. A
// number too long for a double is no coordinate either.
double storedPixels(const std::optional<QString> &text, double fallback)
{
    if (!text)
        return fallback;
    const LeadingNumber number = leadingNumber(*text);
    return number.found && std::isfinite(number.value) ? number.value : fallback;
}

} // namespace

bool shellIsRunning(const std::optional<QString> &running)
{
    return running && toBoolean(*running).value_or(false);
}

TwipsRect placeInShellArea(const StoredScreenArea &stored, const TwipsRect &auxiliary,
                           platform::TwipsFactors factors, double devicePixelRatio)
{
    const double tx = usable(factors.x);
    const double ty = usable(factors.y);
    const double ratio =
        std::isfinite(devicePixelRatio) && devicePixelRatio > 0.0 ? devicePixelRatio : 1.0;
    // A stored edge in device pixels, or the fallback (already the console's pixels).
    const auto edge = [ratio](const std::optional<QString> &text, double fallback) {
        return text ? storedPixels(text, fallback * ratio) / ratio : fallback;
    };
    TwipsRect rect;
    rect.left = edge(stored.left, auxiliary.left / tx) * tx;
    rect.top = edge(stored.top, auxiliary.top / ty) * ty;
    const double right = edge(stored.right, (rect.left + auxiliary.width) / tx) * tx;
    const double bottom = edge(stored.bottom, (rect.top + auxiliary.height) / ty) * ty;
    // Right and Bottom are edges: a shell that stores them left of or above the other edge
    // gives an empty console rather than a negative size the window system cannot take.
    rect.width = std::max(right - rect.left, 0.0);
    rect.height = std::max(bottom - rect.top, 0.0);
    return rect;
}

TwipsRect placeInsideAuxiliary(const TwipsRect &auxiliary)
{
    constexpr double margin = 60.0;
    return {auxiliary.left + margin, auxiliary.top + margin,
            std::max(auxiliary.width - 2 * margin, 0.0),
            std::max(auxiliary.height - 2 * margin, 0.0)};
}

QRect pixelsFromTwips(const TwipsRect &twips, platform::TwipsFactors factors)
{
    const double tx = usable(factors.x);
    const double ty = usable(factors.y);
    return QRect(roundHalfEven(twips.left / tx), roundHalfEven(twips.top / ty),
                 std::max(roundHalfEven(twips.width / tx), 0),
                 std::max(roundHalfEven(twips.height / ty), 0));
}

TwipsRect twipsFromPixels(const QRect &pixels, platform::TwipsFactors factors)
{
    const double tx = usable(factors.x);
    const double ty = usable(factors.y);
    return {pixels.x() * tx, pixels.y() * ty, pixels.width() * tx, pixels.height() * ty};
}

QString skinNameForScreen(const QString &appName, double screenWidthTwips, double twipsPerPixelX)
{
    const double pixels = screenWidthTwips / usable(twipsPerPixelX);
    // 15 significant digits, and none after the point for a whole number: "1024", not
    // "1024.0", because the result names a file.
    return appName + QString::number(pixels, 'g', 15);
}

} // namespace core
