#include "core/settings_store.h"
#include "platform/single_instance.h"
#include "test_environment.h"

#include <QDir>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>

#include <algorithm>
#include <memory>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

const QString exitKey = u"KESTA Terminal - Security"_s;

QString consoleBinary()
{
    return qEnvironmentVariable("KESTA_BIN_DIR") + u"/kesta-security"_s;
}

std::unique_ptr<QProcess> startConsole(const QString &folder)
{
    auto process = std::make_unique<QProcess>();
    process->setWorkingDirectory(folder);
    process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process->start(consoleBinary(), {});
    return process;
}

} // namespace

class TestSingleInstance : public QObject
{
    Q_OBJECT

private slots:
    void laterClaimAsksTheHolderForward();
    void lockOfADeadProcessIsTakenOver();
    void tenStartsAtOnceLeaveOneConsole();
};

void TestSingleInstance::laterClaimAsksTheHolderForward()
{
    TestEnvironment env;
    platform::SingleInstance first(u"guard"_s);
    platform::SingleInstance second(u"guard"_s);
    QSignalSpy forward(&first, &platform::SingleInstance::activationRequested);

    QVERIFY(first.claim());
    QVERIFY(!second.claim());
    QVERIFY(second.activateRunning());
    QVERIFY(forward.wait(5000));

    first.release();
    QVERIFY(second.claim());
}

void TestSingleInstance::lockOfADeadProcessIsTakenOver()
{
    TestEnvironment env;
    QProcess finished;
    finished.start(u"true"_s, {});
    QVERIFY(finished.waitForStarted());
    const qint64 deadPid = finished.processId();
    QVERIFY(finished.waitForFinished());
    const QString lockPath = QDir(QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation))
                                 .filePath(u"guard.lock"_s);
    writeBytes(lockPath, QByteArray::number(deadPid) + "\n" +
                             QCoreApplication::applicationName().toUtf8() + "\n" +
                             QSysInfo::machineHostName().toUtf8() + "\n");

    platform::SingleInstance guard(u"guard"_s);
    QVERIFY(guard.claim());
}

void TestSingleInstance::tenStartsAtOnceLeaveOneConsole()
{
    TestEnvironment env;
    std::vector<std::unique_ptr<QProcess>> consoles;
    for (int i = 0; i < 10; ++i)
        consoles.push_back(startConsole(env.root()));
    const auto ended = [&consoles] {
        return std::count_if(consoles.cbegin(), consoles.cend(), [](const auto &process) {
            return process->state() == QProcess::NotRunning;
        });
    };

    QTRY_COMPARE_WITH_TIMEOUT(ended(), 9, 20000);
    for (const auto &process : consoles) {
        if (process->state() == QProcess::NotRunning) {
            QCOMPARE(process->exitStatus(), QProcess::NormalExit);
            QCOMPARE(process->exitCode(), 0);
        }
    }

    // One more start, once the survivor has settled, ends at once and writes nothing; the
    // survivor is a console that stays.
    QTRY_COMPARE_WITH_TIMEOUT(settings::get(settings::application, u"EXIT"_s, exitKey), u"0"_s,
                              10000);
    const QByteArray storeBefore = readBytes(settings::filePath(settings::application));
    consoles.push_back(startConsole(env.root()));
    QVERIFY(consoles.back()->waitForFinished(10000));
    QCOMPARE(consoles.back()->exitCode(), 0);
    QCOMPARE(readBytes(settings::filePath(settings::application)), storeBefore);
    QCOMPARE(ended(), 10);

    QVERIFY(settings::save(settings::application, u"EXIT"_s, exitKey, u"1"_s));
    QTRY_COMPARE_WITH_TIMEOUT(ended(), 11, 10000);
}

QTEST_MAIN(TestSingleInstance)
#include "tst_single_instance.moc"
