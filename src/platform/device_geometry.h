#pragma once

#include <QRect>

class QWidget;

namespace platform {

// Where part of widget (local, in the widget's pixels) lies on the screen in the screen's own
// device pixels, the unit of assistive technology: a magnifier or a screen reader's mouse
// review points there. Qt's pixels are device-independent; on a scaled screen the two differ.
[[nodiscard]] QRect deviceRect(const QWidget &widget, const QRect &local);

// The point of widget (in its pixels) at screen device pixel `device`.
[[nodiscard]] QPoint localPoint(const QWidget &widget, QPoint device);

} // namespace platform
