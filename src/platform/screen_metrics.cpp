#include "platform/screen_metrics.h"

#include <QGuiApplication>
#include <QScreen>

#include <cmath>

namespace platform {
namespace {

QScreen *primaryScreen()
{
    // QGuiApplication::primaryScreen() must not be called before the application exists.
    return qobject_cast<QGuiApplication *>(QCoreApplication::instance())
               ? QGuiApplication::primaryScreen()
               : nullptr;
}

} // namespace

double twipsPerPixelFor(double dpi)
{
    constexpr double twipsPerInch = 1440.0;
    if (!std::isfinite(dpi) || dpi <= 0.0)
        return 15.0;
    return twipsPerInch / dpi;
}

TwipsFactors twipsPerPixel()
{
    const QScreen *screen = primaryScreen();
    if (!screen)
        return {};
    return {twipsPerPixelFor(screen->logicalDotsPerInchX()),
            twipsPerPixelFor(screen->logicalDotsPerInchY())};
}

double devicePixelRatio()
{
    const QScreen *screen = primaryScreen();
    return screen ? screen->devicePixelRatio() : 1.0;
}

QSize screenSizePixels()
{
    const QScreen *screen = primaryScreen();
    return screen ? screen->size() : QSize();
}

QRect usableAreaPixels()
{
    const QScreen *screen = primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

} // namespace platform
