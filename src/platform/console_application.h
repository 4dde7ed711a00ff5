#pragma once

#include <QApplication>

namespace platform {

// The console's application object. It sees every event first, before any event filter: a key
// that types into a masked password field goes on to the field as the program's own event, which
// the accessibility bridge's filter leaves alone (typesIntoPasswordField). A filter of our own
// would not do: the bridge puts its filter first again whenever a screen reader starts listening.
class ConsoleApplication : public QApplication
{
    Q_OBJECT

public:
    using QApplication::QApplication;

    bool notify(QObject *receiver, QEvent *event) override;
};

} // namespace platform
