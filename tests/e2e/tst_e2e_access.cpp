// The console as a screen reader user meets it: read over a private accessibility bus (names,
// roles, the focus), and one protected command worked with the keyboard alone.

#include "console_session.h"

#include <QFile>
#include <QRegularExpression>
#include <QTest>

using namespace Qt::StringLiterals;

class TestE2eAccess : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void protectByKeyboardWithAScreenReader();

private:
    // The reader's lines ("role<TAB>name<TAB>states"), or only the focused one's.
    QStringList read(bool focusOnly = false);
    bool waitForFocus(const QString &role, const QString &name);
    // Each line of tests/data/e2e/file is a pattern that one element matches whole.
    bool readsAsIn(const QString &file);

    ConsoleSession m_session;
    QProcess m_bus;
    QProcessEnvironment m_busEnvironment;
};

void TestE2eAccess::initTestCase()
{
    if (!m_session.start())
        QSKIP(qPrintable(u"no end-to-end world here: "_s + m_session.error()));
    // A session bus of the test's own; it starts the accessibility bus when first asked.
    m_busEnvironment = m_session.x().clientEnvironment();
    startChild(m_bus, u"dbus-daemon"_s, {u"--session"_s, u"--nofork"_s, u"--print-address=1"_s},
               m_busEnvironment);
    QVERIFY2(m_bus.waitForReadyRead(5000) && m_bus.canReadLine(), "dbus-daemon gives no address");
    const QString address = QString::fromUtf8(m_bus.readLine()).trimmed();
    m_busEnvironment.insert(u"DBUS_SESSION_BUS_ADDRESS"_s, address);
    m_session.addConsoleVariable(u"DBUS_SESSION_BUS_ADDRESS"_s, address);
    m_session.addConsoleVariable(u"QT_LINUX_ACCESSIBILITY_ALWAYS_ON"_s, u"1"_s);
}

void TestE2eAccess::cleanupTestCase()
{
    m_session.stopConsole();
    stopChild(m_bus);
}

QStringList TestE2eAccess::read(bool focusOnly)
{
    QProcess reader;
    reader.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    // Debian's own Python, which python3-pyatspi installs into.
    startChild(reader, u"/usr/bin/python3"_s,
               {qEnvironmentVariable("KESTA_ATSPI_READER"),
                QString::number(m_session.console().processId()), focusOnly ? u"focus"_s : u""_s},
               m_busEnvironment);
    m_session.x().finish(reader, 30000);
    return QString::fromUtf8(reader.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
}

bool TestE2eAccess::waitForFocus(const QString &role, const QString &name)
{
    const QString wanted = role + u'\t' + name + u"\tfocusable focused"_s;
    QStringList focused;
    if (m_session.x().waitFor([&] { return (focused = read(true)).contains(wanted); }, 10000))
        return true;
    qWarning("focused: %s, not %s", qPrintable(focused.join(u" | "_s)), qPrintable(wanted));
    return false;
}

bool TestE2eAccess::readsAsIn(const QString &file)
{
    QFile expected(qEnvironmentVariable("KESTA_SOURCE_DIR") + u"/tests/data/e2e/"_s + file);
    const QStringList elements = read();
    bool all = expected.open(QIODevice::ReadOnly);
    for (const QByteArray &line : expected.readAll().split('\n')) {
        if (!line.isEmpty() && elements.indexOf(QRegularExpression(QString::fromUtf8(line))) < 0) {
            qWarning("no element %s", line.constData());
            all = false;
        }
    }
    return all;
}

void TestE2eAccess::protectByKeyboardWithAScreenReader()
{
    XSession &x = m_session.x();
    QVERIFY(m_session.openConsole());
    // Every command button is a push button named after what it does, that the keyboard reaches;
    // the lists, the labels and the theme preview speak too.
    QVERIFY(readsAsIn(u"reader_console.txt"_s));

    // The Terminal launcher's line, chosen by keyboard, then Protect, then the password. The
    // console taking the keyboard puts the focus on the first element in layout order.
    QVERIFY(x.focus(m_session.consoleWindow()));
    QVERIFY(waitForFocus(u"list"_s, u"Buttons"_s));
    QVERIFY(x.key(u"Down"_s) && x.key(u"Return"_s));
    QVERIFY(waitForFocus(u"push button"_s, u"Change password"_s));
    QVERIFY(x.key(u"Tab"_s) && x.key(u"Tab"_s));
    QVERIFY(waitForFocus(u"push button"_s, u"Protect"_s));
    QVERIFY(x.key(u"Return"_s));
    QVERIFY(!x.waitForWindow(ConsoleSession::InputTitle, 5000).isEmpty());
    QVERIFY(waitForFocus(u"password text"_s, QString()));
    QVERIFY(readsAsIn(u"reader_input.txt"_s));
    QVERIFY(x.type(ConsoleSession::Password) && x.key(u"Return"_s));

    QString line;
    QVERIFY(x.waitFor(
        [&] {
            line = m_session.iniGet(u"DESKTOP.ini"_s, u"DESKTOP"_s, u"01"_s).value_or(QString());
            return line.section(u',', 8, 8) == u"true"_s;
        },
        8000));
}

QTEST_GUILESS_MAIN(TestE2eAccess)
#include "tst_e2e_access.moc"
