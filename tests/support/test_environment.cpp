#include "test_environment.h"

#include "platform/native_path.h"
#include "platform/profile_lock.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTest>
#include <QThread>

#include <pwd.h>

TestEnvironment::TestEnvironment()
{
    QVERIFY2(m_dir.isValid(), "no temporary folder");
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(path(QStringLiteral("config"))));
    const QString runtime = path(QStringLiteral("runtime"));
    QDir().mkpath(runtime);
    QFile::setPermissions(runtime,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
}

TestEnvironment::~TestEnvironment()
{
    QDirIterator files(root(), QDir::Files | QDir::Hidden | QDir::System,
                       QDirIterator::Subdirectories);
    while (files.hasNext())
        QFile::remove(platform::ProfileLock::pathFor(platform::resolvedFile(files.next()).path));
}

QString TestEnvironment::path(const QString &relative) const
{
    const QString full = m_dir.filePath(relative);
    QDir().mkpath(QFileInfo(full).absolutePath());
    return full;
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly | QIODevice::Truncate), qPrintable(path));
    file.write(bytes);
}

QByteArray readBytes(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

QString testData(const QString &relative)
{
    return qEnvironmentVariable("KESTA_SOURCE_DIR") + QStringLiteral("/tests/data/") + relative;
}

void copyTestData(const QString &relative, const QString &to)
{
    QDirIterator files(testData(relative), QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QString from = files.next(), copy = to + from.mid(testData(relative).size());
        QDir().mkpath(QFileInfo(copy).absolutePath());
        writeBytes(copy, readBytes(from));
    }
}

void compareWithGolden(const QByteArray &actual, const QString &golden)
{
    if (qEnvironmentVariableIsSet("KESTA_UPDATE_GOLDEN"))
        writeBytes(golden, actual);
    QCOMPARE(actual.split('\n'), readBytes(golden).split('\n'));
}

QString otherUser()
{
    const QString name = QStringLiteral("kesta-test");
    // Test runs beside each other may both find the user missing; one of them adds him.
    for (int attempt = 0; !::getpwnam("kesta-test") && attempt < 10; ++attempt) {
        QProcess::execute(QStringLiteral("useradd"), {QStringLiteral("--create-home"), name});
        QThread::msleep(100);
    }
    return ::getpwnam("kesta-test") ? name : QString();
}

void addTextRows(const QStringList &columns, const QString &table)
{
    static QByteArrayList names; // QTest keeps the pointers
    for (const QString &column : columns)
        QTest::addColumn<QString>((names << column.toLatin1()).last().constData());
    for (const QString &row : QString(readBytes(testData(table))).split('\n')) {
        if (row.isEmpty() || row.startsWith('#'))
            continue;
        const QStringList fields = row.split(QStringLiteral(" | "));
        QTestData &data = QTest::newRow(qPrintable(fields[0]));
        for (const QString &field : fields.mid(1))
            data << QString(field)
                        .replace(QStringLiteral("\\n"), QStringLiteral("\n"))
                        .replace(QStringLiteral("\\r"), QStringLiteral("\r"))
                        .replace(QStringLiteral("\\t"), QStringLiteral("\t"));
    }
}

// What identifies every entry below folder: a file's SHA-256, a link's target, else its kind.
// A pipe is never opened: it would block.
QStringList folderRecord(const QString &folder)
{
    QStringList record;
    QDirIterator entries(folder,
                         QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                         QDirIterator::Subdirectories);
    while (entries.hasNext()) {
        const QString path = entries.next();
        const QFileInfo info = entries.fileInfo();
        record << path + ' ' +
                      (info.isSymLink() ? info.symLinkTarget()
                       : info.isFile()  ? QString(QCryptographicHash::hash(
                                                      readBytes(path), QCryptographicHash::Sha256)
                                                      .toHex())
                                        : QString(info.isDir() ? "folder" : "special"));
    }
    record.sort();
    return record;
}
