#include "platform/pointer_source.h"

#include <QApplication>
#include <QCursor>

namespace platform {

namespace {

class SystemPointerSource final : public PointerSource
{
public:
    QPoint position() const override { return QCursor::pos(); }
    QWidget *widgetAt(QPoint screenPoint) const override
    {
        return QApplication::widgetAt(screenPoint);
    }
};

PointerSource *installedSource = nullptr;

} // namespace

PointerSource &pointerSource()
{
    static SystemPointerSource system;
    return installedSource ? *installedSource : system;
}

PointerSource *setPointerSource(PointerSource *source)
{
    PointerSource *previous = installedSource;
    installedSource = source;
    return previous;
}

} // namespace platform
