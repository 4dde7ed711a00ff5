// A second process for the concurrency tests: writes COUNT keys PREFIX1 … PREFIXn into
// [SECTION] of FILE, one WriteINI each, as fast as it can.

#include "core/ini_access.h"

#include <QCoreApplication>

int main(int argc, char *argv[])
{
    const QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    for (int i = 1; args.size() == 5 && i <= args[4].toInt(); ++i) {
        if (!WriteINI(args[2], args[3] + QString::number(i), QString::number(i), args[1]))
            return 1;
    }
    return args.size() == 5 ? 0 : 2;
}
