#include "core/console_window.h"
#include "core/exit_watch.h"
#include "core/program_state.h"
#include "core/settings_store.h"
#include "core/startup_main.h"
#include "platform/single_instance.h"
#include "test_environment.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QString appTitle = u"KESTA Terminal - Security"_s;

QString describe(const core::TwipsRect &r)
{
    return u"%1,%2,%3,%4"_s.arg(r.left).arg(r.top).arg(r.width).arg(r.height);
}

// Records every call the start-up sequence makes, in order, as one line of text each.
class FakeConsole : public core::ConsoleWindow
{
public:
    QStringList calls;
    platform::TwipsFactors factors{12.0, 20.0};
    double screenWidth = 1024 * 12.0;
    core::TwipsRect auxiliary{100, 200, 12000, 9000};
    int elements = 10;

    void setCaption(const QString &caption) override { calls << u"caption "_s + caption; }
    void hideFakeButton() override { calls << u"hide cmdFake"_s; }
    core::TwipsRect auxiliaryRectangle(bool show) override
    {
        calls << (show ? u"auxiliary shown"_s : u"auxiliary loaded"_s);
        return auxiliary;
    }
    platform::TwipsFactors twipsFactors() const override { return factors; }
    double screenWidthTwips() const override { return screenWidth; }
    void place(const core::TwipsRect &rectangle) override
    {
        calls << u"place "_s + describe(rectangle);
    }
    int elementCount() const override { return elements; }
    void setBackGround(const QString &value) override { calls << u"background "_s + value; }
    void playStartupSound(const QString &name) override { calls << u"sound "_s + name; }
    void showAndRunEvents() override { calls << u"show"_s; }
    void layOut(const QString &skinFile) override { calls << u"lay out "_s + skinFile; }
    void stopExitWatch() override { calls << u"stop exit watch"_s; }
    void EndProgram() override { calls << u"EndProgram"_s; }
};

void store(const QString &section, const QString &key, const QString &value)
{
    QVERIFY(settings::save(settings::application, section, key, value));
}

} // namespace

class TestStartupMain : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void runsTheStepsInOrder();
    void placesTheWindow_data();
    void placesTheWindow();
    void choosesTheScreenWidthSkinOnlyWithBackGround_data();
    void choosesTheScreenWidthSkinOnlyWithBackGround();
    void readsTheShellSwitches_data();
    void readsTheShellSwitches();
    void secondStartAsksTheFirstForwardAndWritesNothing();
    void exitWatchEndsOnlyOnExactlyOne_data();
    void exitWatchEndsOnlyOnExactlyOne();

private:
    void writeTheme(const QString &name, const QStringList &lines);
    core::StartupResult start(FakeConsole &console);

    std::unique_ptr<TestEnvironment> m_env;
    QString m_programDir;
};

void TestStartupMain::init()
{
    m_env = std::make_unique<TestEnvironment>();
    m_programDir = m_env->path(u"Program Files/Kesta"_s);
    QDir().mkpath(m_programDir + u"/Themes/Blue"_s);
    ProgramState &state = programState();
    state = ProgramState();
    state.AppTitle = appTitle;
    state.AppName = u"Security"_s;
    store(u"Default"_s, u"ProgramDir"_s, m_programDir);
    store(u"Default"_s, u"ThemeDir"_s, u"\\Themes\\Blue\\"_s);
}

void TestStartupMain::cleanup()
{
    m_env.reset();
}

void TestStartupMain::writeTheme(const QString &name, const QStringList &lines)
{
    writeBytes(m_programDir + u"/Themes/Blue/"_s + name, lines.join(u'\n').toUtf8() + '\n');
}

core::StartupResult TestStartupMain::start(FakeConsole &console)
{
    platform::SingleInstance instance(u"test-console"_s);
    return core::StartupMain(console, instance);
}

void TestStartupMain::runsTheStepsInOrder()
{
    store(u"EXIT"_s, appTitle, u"1"_s); // left over from an earlier run
    store(u"DEFAULT"_s, u"Password"_s, u" secret "_s);
    writeTheme(u"Security.skn"_s,
               {u"[DEFAULT]"_s, u"BackGround=0,128,255"_s, u"StartupSound=startup"_s});
    FakeConsole console;

    QCOMPARE(start(console), core::StartupResult::Started);

    const QString themePath = m_programDir + u"\\Themes\\Blue\\"_s;
    QCOMPARE(console.calls, (QStringList{u"hide cmdFake"_s, u"caption "_s + appTitle,
                                         u"auxiliary shown"_s, u"place 160,260,11880,8880"_s,
                                         u"background 0,128,255"_s, u"sound startup"_s, u"show"_s,
                                         u"lay out "_s + themePath + u"Security.skn"_s}));
    QCOMPARE(settings::get(settings::application, u"EXIT"_s, appTitle), u"0"_s);
    const ProgramState &state = programState();
    QCOMPARE(state.ProgramDir, m_programDir);
    QCOMPARE(state.ThemeDir, u"\\Themes\\Blue\\"_s);
    QCOMPARE(state.Password, u" secret "_s);
    QCOMPARE(state.SkinName, u"Security"_s);
    QCOMPARE(state.InitialControlCount, 10);
}

void TestStartupMain::placesTheWindow_data()
{
    QTest::addColumn<QString>("running");
    QTest::addColumn<QStringList>("screen"); // Left, Top, Right, Bottom; empty: absent
    QTest::addColumn<QStringList>("calls");

    // The factors are 12 and 20 twips per pixel; the auxiliary window is 100,200,12000,9000.
    QTest::newRow("shell running gives its area in pixels")
        << u"True"_s << QStringList{u"0"_s, u"0"_s, u"800"_s, u"600"_s}
        << QStringList{u"auxiliary loaded"_s, u"place 0,0,9600,12000"_s};
    QTest::newRow("shell not running")
        << u"False"_s << QStringList{u"0"_s, u"0"_s, u"800"_s, u"600"_s}
        << QStringList{u"auxiliary shown"_s, u"place 160,260,11880,8880"_s};
    QTest::newRow("running that does not convert counts as not running")
        << u"yes"_s << QStringList{u"0"_s, u"0"_s, u"800"_s, u"600"_s}
        << QStringList{u"auxiliary shown"_s, u"place 160,260,11880,8880"_s};
}

void TestStartupMain::placesTheWindow()
{
    QFETCH(QString, running);
    QFETCH(QStringList, screen);
    QFETCH(QStringList, calls);
    store(u"General"_s, u"Running"_s, running);
    const QStringList keys{u"Left"_s, u"Top"_s, u"Right"_s, u"Bottom"_s};
    for (int i = 0; i < keys.size(); ++i) {
        if (!screen.at(i).isEmpty())
            store(u"Screen"_s, keys.at(i), screen.at(i));
    }
    FakeConsole console;

    QCOMPARE(start(console), core::StartupResult::Started);

    QCOMPARE(console.calls.mid(2, 2), calls);
}

void TestStartupMain::choosesTheScreenWidthSkinOnlyWithBackGround_data()
{
    QTest::addColumn<QStringList>("screenSkin"); // empty: no such file
    QTest::addColumn<QString>("skinName");

    QTest::newRow("with BackGround")
        << QStringList{u"[default]"_s, u"backGround=1,2,3"_s} << u"Security1024"_s;
    QTest::newRow("BackGround in another section")
        << QStringList{u"[OTHER]"_s, u"BackGround=1,2,3"_s} << u"Security"_s;
}

void TestStartupMain::choosesTheScreenWidthSkinOnlyWithBackGround()
{
    QFETCH(QStringList, screenSkin);
    QFETCH(QString, skinName);
    if (!screenSkin.isEmpty())
        writeTheme(u"Security1024.skn"_s, screenSkin);
    writeTheme(u"Security.skn"_s, {u"[DEFAULT]"_s, u"BackGround=9,9,9"_s});
    FakeConsole console;

    QCOMPARE(start(console), core::StartupResult::Started);

    QCOMPARE(programState().SkinName, skinName);
    QVERIFY(console.calls.last().endsWith(u"\\Themes\\Blue\\"_s + skinName + u".skn"_s));
}

void TestStartupMain::readsTheShellSwitches_data()
{
    QTest::addColumn<QStringList>("shellSkin");
    QTest::addColumn<bool>("animated");
    QTest::addColumn<int>("animDelay");

    // The program state starts with Animated true and AnimDelay 7.
    QTest::newRow("both set") << QStringList{u"[DEFAULT]"_s, u"Animated=False"_s,
                                             u"AnimDelay=250"_s}
                              << false << 250;
    QTest::newRow("texts that do not convert keep the values")
        << QStringList{u"[DEFAULT]"_s, u"Animated=sometimes"_s, u"AnimDelay=soon"_s} << true << 7;
    QTest::newRow("absent keys keep the values") << QStringList{u"[DEFAULT]"_s} << true << 7;
}

void TestStartupMain::readsTheShellSwitches()
{
    QFETCH(QStringList, shellSkin);
    QFETCH(bool, animated);
    QFETCH(int, animDelay);
    writeTheme(u"Terminal.skn"_s, shellSkin); // looked up as terminal.skn
    ProgramState &state = programState();
    state.Animated = true;
    state.AnimDelay = 7;
    FakeConsole console;

    QCOMPARE(start(console), core::StartupResult::Started);

    QCOMPARE(state.Animated, animated);
    QCOMPARE(state.AnimDelay, animDelay);
}

void TestStartupMain::secondStartAsksTheFirstForwardAndWritesNothing()
{
    QFile::remove(settings::filePath(settings::application));
    platform::SingleInstance running(u"test-console"_s);
    QVERIFY(running.claim());
    QSignalSpy forward(&running, &platform::SingleInstance::activationRequested);
    FakeConsole console;

    QCOMPARE(start(console), core::StartupResult::AlreadyRunning);

    QCOMPARE(console.calls.size(), 2);
    QCOMPARE(console.calls.at(0), u"hide cmdFake"_s);
    QVERIFY(console.calls.at(1) != u"caption "_s + appTitle);
    QVERIFY(forward.wait(5000));
    QVERIFY(!QFile::exists(settings::filePath(settings::application)));
    QVERIFY(programState().ProgramDir.isEmpty());
}

void TestStartupMain::exitWatchEndsOnlyOnExactlyOne_data()
{
    QTest::addColumn<QString>("stored"); // a lone "-": absent
    QTest::addColumn<bool>("ends");

    QTest::newRow("1") << u"1"_s << true;
    QTest::newRow("blank before 1") << u" 1"_s << false;
    QTest::newRow("01") << u"01"_s << false;
    QTest::newRow("true") << u"true"_s << false;
    QTest::newRow("0") << u"0"_s << false;
    QTest::newRow("absent") << u"-"_s << false;
}

void TestStartupMain::exitWatchEndsOnlyOnExactlyOne()
{
    QFETCH(QString, stored);
    QFETCH(bool, ends);
    if (stored != u"-"_s)
        store(u"EXIT"_s, appTitle, stored);
    FakeConsole console;

    QCOMPARE(core::exitWatchTick(console), ends);

    const QStringList expected =
        ends ? QStringList{u"stop exit watch"_s, u"EndProgram"_s} : QStringList{};
    QCOMPARE(console.calls, expected);
}

QTEST_MAIN(TestStartupMain)
#include "tst_startup_main.moc"
