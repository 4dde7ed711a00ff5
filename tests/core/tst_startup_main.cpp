// The start-up sequence and the exit watch, on a stand-in console window: what the console ends
// up with, not the order of the calls that got it there.

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

// 12 and 20 twips per pixel; the auxiliary window at 100,200 is 12000 by 9000 twips.
class FakeConsole : public core::ConsoleWindow
{
public:
    QString caption, placed, background, sound, laidOut;
    bool auxiliaryShown = false, ended = false;

    void setCaption(const QString &text) override { caption = text; }
    void hideFakeButton() override {}
    core::TwipsRect auxiliaryRectangle(bool show) override
    {
        auxiliaryShown = show;
        return {100, 200, 12000, 9000};
    }
    platform::TwipsFactors twipsFactors() const override { return {12.0, 20.0}; }
    double screenWidthTwips() const override { return 1024 * 12.0; }
    void place(const core::TwipsRect &r) override
    {
        placed = u"%1,%2,%3,%4"_s.arg(r.left).arg(r.top).arg(r.width).arg(r.height);
    }
    int elementCount() const override { return 10; }
    void setBackGround(const QString &value) override { background = value; }
    void playStartupSound(const QString &name) override { sound = name; }
    void showAndRunEvents() override {}
    void layOut(const QString &skinFile) override { laidOut = skinFile; }
    void stopExitWatch() override {}
    void EndProgram() override { ended = true; }
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
    void cleanup() { m_env.reset(); }

    void startsFromTheStores();
    void placesTheWindowInTheShellArea();
    void choosesTheScreenWidthSkinOnlyWithABackGround();
    void secondStartAsksTheFirstForwardAndWritesNothing();
    void exitWatchEndsOnlyOnExactlyOne();

private:
    void writeTheme(const QString &name, const QByteArray &text)
    {
        writeBytes(m_programDir + u"/Themes/Blue/"_s + name, text);
    }
    core::StartupResult start(FakeConsole &console)
    {
        platform::SingleInstance instance(u"test-console"_s);
        return core::StartupMain(console, instance);
    }

    std::unique_ptr<TestEnvironment> m_env;
    QString m_programDir;
};

void TestStartupMain::init()
{
    m_env = std::make_unique<TestEnvironment>();
    m_programDir = m_env->path(u"Program Files/Kesta"_s);
    QDir().mkpath(m_programDir + u"/Themes/Blue"_s);
    programState() = ProgramState();
    programState().AppTitle = appTitle;
    programState().AppName = u"Security"_s;
    store(u"Default"_s, u"ProgramDir"_s, m_programDir);
    store(u"Default"_s, u"ThemeDir"_s, u"\\Themes\\Blue\\"_s);
}

void TestStartupMain::startsFromTheStores()
{
    store(u"EXIT"_s, appTitle, u"1"_s); // left over from an earlier run
    store(u"DEFAULT"_s, u"Password"_s, u" secret "_s);
    writeTheme(u"Security.skn"_s, "[DEFAULT]\nBackGround=0,128,255\nStartupSound=startup\n");
    writeTheme(u"Terminal.skn"_s, "[DEFAULT]\nAnimated=True\nAnimDelay=250\n");
    FakeConsole console;

    QCOMPARE(start(console), core::StartupResult::Started);

    QCOMPARE(settings::get(settings::application, u"EXIT"_s, appTitle), u"0"_s);
    QCOMPARE(console.caption, appTitle);
    QVERIFY(console.auxiliaryShown);
    QCOMPARE(console.placed, u"160,260,11880,8880"_s); // inside the auxiliary window
    QCOMPARE(console.background, u"0,128,255"_s);
    QCOMPARE(console.sound, u"startup"_s);
    QCOMPARE(console.laidOut, m_programDir + u"\\Themes\\Blue\\Security.skn"_s);
    const ProgramState &state = programState();
    QCOMPARE(state.ThemeDir, u"\\Themes\\Blue\\"_s);
    QCOMPARE(state.Password, u" secret "_s);
    QCOMPARE(state.InitialControlCount, 10);
    QCOMPARE(state.Animated, true);
    QCOMPARE(state.AnimDelay, 250);
}

void TestStartupMain::placesTheWindowInTheShellArea()
{
    store(u"General"_s, u"Running"_s, u"True"_s);
    for (const auto &[key, value] : {std::pair{u"Left"_s, u"0"_s},
                                     {u"Top"_s, u"0"_s},
                                     {u"Right"_s, u"800"_s},
                                     {u"Bottom"_s, u"600"_s}})
        store(u"Screen"_s, key, value);
    FakeConsole console;

    QCOMPARE(start(console), core::StartupResult::Started);

    QVERIFY(!console.auxiliaryShown);
    QCOMPARE(console.placed, u"0,0,9600,12000"_s);
}

void TestStartupMain::choosesTheScreenWidthSkinOnlyWithABackGround()
{
    writeTheme(u"Security1024.skn"_s, "[OTHER]\nBackGround=1,2,3\n");
    FakeConsole console;
    QCOMPARE(start(console), core::StartupResult::Started);
    QCOMPARE(programState().SkinName, u"Security"_s);

    writeTheme(u"Security1024.skn"_s, "[default]\nbackGround=1,2,3\n");
    QCOMPARE(start(console), core::StartupResult::Started);
    QCOMPARE(programState().SkinName, u"Security1024"_s);
    QVERIFY(console.laidOut.endsWith(u"\\Themes\\Blue\\Security1024.skn"_s));
}

void TestStartupMain::secondStartAsksTheFirstForwardAndWritesNothing()
{
    QFile::remove(settings::filePath(settings::application));
    platform::SingleInstance running(u"test-console"_s);
    QVERIFY(running.claim());
    QSignalSpy forward(&running, &platform::SingleInstance::activationRequested);
    FakeConsole console;

    QCOMPARE(start(console), core::StartupResult::AlreadyRunning);

    // Whatever looks for the running console by its title must not find this one.
    QVERIFY(console.caption != appTitle);
    QVERIFY(forward.wait(5000));
    QVERIFY(!QFile::exists(settings::filePath(settings::application)));
    QVERIFY(console.placed.isEmpty() && console.laidOut.isEmpty());
}

void TestStartupMain::exitWatchEndsOnlyOnExactlyOne()
{
    for (const auto &[stored, ends] :
         {std::pair{u"1"_s, true}, {u" 1"_s, false}, {u"01"_s, false}, {u"true"_s, false}}) {
        store(u"EXIT"_s, appTitle, stored);
        FakeConsole console;
        QCOMPARE(core::exitWatchTick(console), ends);
        QVERIFY2(console.ended == ends, qPrintable(stored));
    }
}

QTEST_MAIN(TestStartupMain)
#include "tst_startup_main.moc"
