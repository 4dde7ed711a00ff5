#include "platform/device_geometry.h"

#include <QScreen>
#include <QWidget>

namespace platform {
namespace {

// Qt scales a screen's contents about the screen's top left corner, which keeps its place.
QPointF screenOrigin(const QWidget &widget)
{
    const QScreen *screen = widget.screen();
    return screen ? QPointF(screen->geometry().topLeft()) : QPointF();
}

} // namespace

QRect deviceRect(const QWidget &widget, const QRect &local)
{
    const qreal ratio = widget.devicePixelRatioF();
    const QPointF origin = screenOrigin(widget);
    const QPointF global = widget.mapToGlobal(QPointF(local.topLeft()));
    return QRectF(origin + (global - origin) * ratio, QSizeF(local.size()) * ratio).toRect();
}

QPoint localPoint(const QWidget &widget, QPoint device)
{
    const qreal ratio = widget.devicePixelRatioF();
    const QPointF origin = screenOrigin(widget);
    return widget.mapFromGlobal(origin + (QPointF(device) - origin) / ratio).toPoint();
}

} // namespace platform
