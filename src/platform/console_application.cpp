#include "platform/console_application.h"

#include "platform/password_field_access.h"

namespace platform {

bool ConsoleApplication::notify(QObject *receiver, QEvent *event)
{
    if (typesIntoPasswordField(*event))
        return sendEvent(receiver, event);
    return QApplication::notify(receiver, event);
}

} // namespace platform
