// A second process for the concurrency tests: writes COUNT keys PREFIX1 … PREFIXn into
// [SECTION] of FILE, one WriteINI each, as fast as it can. With --rewrite it is a shell that
// takes no lock: ROUNDS times it reads FILE, counts its "rounds=" line up and writes the file
// back in place, truncating it first and writing a moment later, as profile writers of its
// kind do.

#include "core/ini_access.h"

#include <QCoreApplication>
#include <QFile>
#include <QThread>

namespace {

int rewriteInPlace(const QString &file, int rounds)
{
    for (int round = 1; round <= rounds; ++round) {
        QFile device(file);
        if (!device.open(QIODevice::ReadWrite))
            return 1;
        QByteArray bytes = device.readAll();
        bytes.replace("rounds=" + QByteArray::number(round - 1),
                      "rounds=" + QByteArray::number(round));
        device.resize(0);
        QThread::msleep(300);
        device.seek(0);
        device.write(bytes);
        device.close();
        QThread::msleep(150);
    }
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    const QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() == 4 && args[1] == "--rewrite")
        return rewriteInPlace(args[2], args[3].toInt());
    for (int i = 1; args.size() == 5 && i <= args[4].toInt(); ++i) {
        if (!WriteINI(args[2], args[3] + QString::number(i), QString::number(i), args[1]))
            return 1;
    }
    return args.size() == 5 ? 0 : 2;
}
