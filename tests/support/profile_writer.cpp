// A second process for the concurrency tests: writes COUNT keys PREFIX1 … PREFIXn into
// [SECTION] of FILE, one WriteINI each, as fast as it can.

#include "core/ini_access.h"

#include <QCoreApplication>
#include <QStringList>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 5)
        return 2;
    const QString file = args[1];
    const QString section = args[2];
    const QString prefix = args[3];
    const int count = args[4].toInt();
    for (int i = 1; i <= count; ++i) {
        if (!WriteINI(section, prefix + QString::number(i), QString::number(i), file))
            return 1;
    }
    return 0;
}
