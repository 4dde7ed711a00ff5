// The real console on themes nobody should ship, on a virtual display with a private store: it
// lays out what is valid, shows no window but its own, ends within 1 s of the shell's exit
// request, and leaves every file of the program folder and the store as it found them.

#include "core/settings_store.h"
#include "hostile_theme.h"
#include "test_environment.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTest>

#include <functional>

using namespace Qt::StringLiterals;

namespace {

const QSize screenSize(1024, 768);

QString binary(const QString &name)
{
    return qEnvironmentVariable("KESTA_BIN_DIR") + u'/' + name;
}

// An Xvfb server of its own with a black root window, so that any window other than the
// console shows on the screenshot.
class VirtualDisplay
{
public:
    ~VirtualDisplay()
    {
        if (m_server.state() != QProcess::NotRunning) {
            m_server.terminate();
            m_server.waitForFinished(5000);
        }
    }

    bool start()
    {
        const QString server = QStandardPaths::findExecutable(u"Xvfb"_s);
        if (server.isEmpty())
            return false;
        // The server picks a free display itself and names it on its output, so that tests
        // started at the same time never race for one.
        m_server.start(server, {u"-displayfd"_s, u"1"_s, u"-screen"_s, u"0"_s,
                                u"%1x%2x24"_s.arg(screenSize.width()).arg(screenSize.height()),
                                u"-nolisten"_s, u"tcp"_s, u"-br"_s, u"-dpi"_s, u"96"_s});
        QByteArray number;
        while (!number.endsWith('\n') && m_server.waitForReadyRead(10000))
            number += m_server.readAllStandardOutput();
        if (number.trimmed().isEmpty())
            return false;
        m_name = u':' + QString::fromLatin1(number.trimmed());
        return true;
    }

    QProcessEnvironment environment() const
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"DISPLAY"_s, m_name);
        environment.insert(u"QT_QPA_PLATFORM"_s, u"xcb"_s);
        return environment;
    }

    QImage grab(const QString &file) const
    {
        QProcess grabber;
        grabber.setProcessEnvironment(environment());
        grabber.start(binary(u"kesta-screen-grab"_s), {file});
        grabber.waitForFinished(30000);
        return QImage(file);
    }

private:
    QProcess m_server;
    QString m_name;
};

// Processor time the process has used, in clock ticks; -1 when it is gone.
qint64 processorTime(qint64 pid)
{
    QFile stat(u"/proc/%1/stat"_s.arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray text = stat.readAll();
    // Fields after the command name, which is in parentheses and may hold blanks.
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    return fields.size() > 12 ? fields.at(11).toLongLong() + fields.at(12).toLongLong() : -1;
}

bool waitUntil(const std::function<bool()> &condition, int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > timeoutMs)
            return false;
        QTest::qWait(100);
    }
    return true;
}

QStringList strayPixels(const QImage &screen, const QRect &console)
{
    QStringList stray;
    for (int y = 0; y < screen.height(); y += 8) {
        for (int x = 0; x < screen.width(); x += 8) {
            if (!console.contains(x, y) && screen.pixelColor(x, y) != Qt::black)
                stray << u"%1,%2"_s.arg(x).arg(y);
        }
    }
    return stray;
}

} // namespace

class TestHostileTheme : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void consoleSurvivesTheTheme_data();
    void consoleSurvivesTheTheme();

private:
    VirtualDisplay m_display;
};

void TestHostileTheme::initTestCase()
{
    if (!m_display.start())
        QSKIP("no virtual display (Xvfb) here");
}

void TestHostileTheme::consoleSurvivesTheTheme_data()
{
    QTest::addColumn<int>("kind");
    QTest::newRow("hostile theme") << 0;
    QTest::newRow("binary skins") << 1;
    QTest::newRow("theme folder that is a link loop") << 2;
}

void TestHostileTheme::consoleSurvivesTheTheme()
{
    QFETCH(int, kind);
    TestEnvironment env;
    const QString program = env.path(u"program/"_s).chopped(1);
    const QString images = qEnvironmentVariable("KESTA_SOURCE_DIR") + u"/../shared/corpus/images"_s;
    const GeneratedTheme theme = kind == 0   ? writeHostileTheme(program, images)
                                 : kind == 1 ? writeBinaryTheme(program)
                                             : writeLoopTheme(program);

    const QString app = settings::application;
    QVERIFY(settings::save(app, u"Default"_s, u"ProgramDir"_s, program));
    QVERIFY(settings::save(app, u"Default"_s, u"ThemeDir"_s, theme.themeDir));
    QVERIFY(settings::save(app, u"General"_s, u"Running"_s, u"True"_s));
    QVERIFY(settings::save(app, u"Screen"_s, u"Left"_s, u"0"_s));
    QVERIFY(settings::save(app, u"Screen"_s, u"Top"_s, u"0"_s));
    QVERIFY(settings::save(app, u"Screen"_s, u"Right"_s, QString::number(consoleWidth)));
    QVERIFY(settings::save(app, u"Screen"_s, u"Bottom"_s, QString::number(consoleHeight)));
    QVERIFY(settings::save(app, u"DEFAULT"_s, u"Password"_s, QString(40000, u'p')));
    QVERIFY(settings::save(app, u"EXIT"_s, u"KESTA Terminal - Security"_s, u"0"_s));
    const QString store = settings::filePath(app);
    const QByteArray storeBefore = readBytes(store);
    const QHash<QString, QString> filesBefore = folderRecord(program);

    QProcess console;
    console.setProcessEnvironment(m_display.environment());
    console.setWorkingDirectory(env.path(u"cwd/"_s));
    console.start(binary(u"kesta-security"_s), {});
    QVERIFY(console.waitForStarted(10000));
    const qint64 pid = console.processId();
    const auto failure = [&console] {
        return QString::fromLocal8Bit(console.readAllStandardError().right(3000));
    };

    // Laid out: every probe shows its colour.
    const QString shot = env.path(u"screen.png"_s);
    QImage screen;
    const bool laidOut = waitUntil(
        [&] {
            if (console.state() != QProcess::Running)
                return true;
            screen = m_display.grab(shot);
            if (screen.isNull())
                return false;
            for (const ColourProbe &probe : theme.probes) {
                if (screen.pixelColor(probe.at) != probe.colour)
                    return false;
            }
            return true;
        },
        60000);
    QVERIFY2(console.state() == QProcess::Running, qPrintable(failure()));
    QVERIFY2(laidOut, "the valid elements never showed");

    // Settled: the lists are filled and only timers still run.
    qint64 last = processorTime(pid);
    int quiet = 0;
    QVERIFY(waitUntil(
        [&] {
            const qint64 now = processorTime(pid);
            quiet = (now - last <= 2) ? quiet + 1 : 0;
            last = now;
            return quiet >= 5 || now < 0;
        },
        60000));
    QVERIFY2(console.state() == QProcess::Running, qPrintable(failure()));
    screen = m_display.grab(shot);
    QVERIFY(!screen.isNull());
    const QStringList stray = strayPixels(screen, QRect(0, 0, consoleWidth, consoleHeight));
    QVERIFY2(stray.isEmpty(),
             qPrintable(u"something else shows at "_s + stray.mid(0, 5).join(u' ')));

    QProcess request;
    request.start(binary(u"kesta-store"_s), {u"request-exit"_s});
    QVERIFY(request.waitForFinished(30000));
    QCOMPARE(request.exitCode(), 0);
    QElapsedTimer sinceRequest;
    sinceRequest.start();
    QVERIFY2(console.waitForFinished(1000), "the console did not end within 1 s of the request");
    QVERIFY(sinceRequest.elapsed() <= 1000);
    QCOMPARE(console.exitStatus(), QProcess::NormalExit);
    QVERIFY2(console.exitCode() == 0, qPrintable(failure()));

    QCOMPARE(folderRecord(program), filesBefore);
    QVERIFY(settings::save(app, u"EXIT"_s, u"KESTA Terminal - Security"_s, u"0"_s));
    QCOMPARE(readBytes(store), storeBefore);
}

QTEST_GUILESS_MAIN(TestHostileTheme)
#include "tst_hostile_theme.moc"
