// The console as a screen reader user meets it: a private accessibility bus, the console read
// through it as Orca reads it (names, roles, the focus), and one protected command worked with
// the keyboard alone.

#include "console_session.h"

#include <QRegularExpression>
#include <QTest>

#include <optional>

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
    QVERIFY2(m_bus.waitForStarted(5000), "dbus-daemon does not start");
    while (!m_bus.canReadLine() && m_bus.waitForReadyRead(5000)) {
    }
    QVERIFY2(m_bus.canReadLine(), "dbus-daemon gives no address");
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
    QStringList arguments{qEnvironmentVariable("KESTA_ATSPI_READER"),
                          QString::number(m_session.console().processId())};
    if (focusOnly)
        arguments << u"focus"_s;
    reader.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    // Debian's own Python, which python3-pyatspi installs into.
    startChild(reader, u"/usr/bin/python3"_s, arguments, m_busEnvironment);
    m_session.x().finish(reader, 30000);
    return QString::fromUtf8(reader.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
}

bool TestE2eAccess::waitForFocus(const QString &role, const QString &name)
{
    const QString wanted = role + u'\t' + name + u"\tfocusable focused"_s;
    QStringList focused;
    const bool seen =
        m_session.x().waitFor([&] { return (focused = read(true)).contains(wanted); }, 10000);
    if (!seen)
        qWarning("focused: %s", qPrintable(focused.join(u" | "_s)));
    return seen;
}

void TestE2eAccess::protectByKeyboardWithAScreenReader()
{
    XSession &x = m_session.x();
    QVERIFY(m_session.openConsole());

    // Every command button of the theme is a push button named after what it does, that the
    // keyboard reaches; the lists, the labels and the theme preview speak too.
    const QStringList elements = read();
    const QStringList commands{u"Change password"_s,
                               u"Change command"_s,
                               u"Protect"_s,
                               u"Change click sound"_s,
                               u"Change mouse-over sound"_s,
                               u"Change voice command"_s,
                               u"Restore defaults"_s,
                               u"Use theme"_s,
                               u"Quit"_s};
    for (const QString &name : commands)
        QVERIFY2(elements.contains(u"push button\t"_s + name + u"\tfocusable"_s), qPrintable(name));
    for (const QString &element :
         {u"list\tButtons\tfocusable"_s, u"list\tThemes\tfocusable"_s, u"image\tDefault\t"_s})
        QVERIFY2(elements.contains(element), qPrintable(element));
    QVERIFY(elements.filter(QRegularExpression(u"^list item\tDESKTOP"_s)).size() > 0);

    // The Terminal launcher's line, chosen by keyboard, then Protect, then the password.
    // The console taking the keyboard puts the focus on the first element in layout order.
    QVERIFY(x.focus(m_session.consoleWindow()));
    QVERIFY(waitForFocus(u"list"_s, u"Buttons"_s));
    QVERIFY(x.key(u"Down"_s));
    QVERIFY(x.key(u"Return"_s));
    QVERIFY(waitForFocus(u"push button"_s, u"Change password"_s));
    QVERIFY(x.key(u"Tab"_s));
    QVERIFY(x.key(u"Tab"_s));
    QVERIFY(waitForFocus(u"push button"_s, u"Protect"_s));
    QVERIFY(x.key(u"Return"_s));
    QVERIFY(!x.waitForWindow(ConsoleSession::InputTitle, 5000).isEmpty());
    QVERIFY(waitForFocus(u"password text"_s, QString()));
    const QStringList dialog = read();
    for (const QString &element :
         {u"dialog\tKESTA Terminal - Input\t"_s, u"push button\tOK\tfocusable"_s,
          u"push button\tCancel\tfocusable"_s})
        QVERIFY2(dialog.contains(element), qPrintable(element));
    QVERIFY(x.type(ConsoleSession::Password));
    QVERIFY(x.key(u"Return"_s));

    std::optional<QString> line;
    QVERIFY(x.waitFor(
        [&] {
            return (line = m_session.iniGet(u"DESKTOP.ini"_s, u"DESKTOP"_s, u"01"_s)).has_value();
        },
        8000));
    QCOMPARE(line->section(u',', 8, 8), u"true"_s);
}

QTEST_GUILESS_MAIN(TestE2eAccess)
#include "tst_e2e_access.moc"
