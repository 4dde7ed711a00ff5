#include "skin/last_input.h"

#include <QCoreApplication>
#include <QEvent>

namespace skin {
namespace {

class LastInput : public QObject
{
public:
    using QObject::QObject;

    bool keyboard = false;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::KeyPress:
            keyboard = true;
            break;
        case QEvent::MouseButtonPress:
        case QEvent::TouchBegin:
            keyboard = false;
            break;
        default:
            break;
        }
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

bool lastInputWasKeyboard()
{
    static LastInput *watcher = [] {
        auto *created = new LastInput(QCoreApplication::instance());
        QCoreApplication::instance()->installEventFilter(created);
        return created;
    }();
    return watcher->keyboard;
}

} // namespace skin
