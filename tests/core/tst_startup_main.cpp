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

// Records every call the start-up sequence makes, in order, as one line of text each.
class FakeConsole : public core::ConsoleWindow
{
public:
    QStringList calls;

    void setCaption(const QString &caption) override { calls << u"caption "_s + caption; }
    void hideFakeButton() override { calls << u"hide cmdFake"_s; }
    core::TwipsRect auxiliaryRectangle(bool show) override
    {
        calls << (show ? u"auxiliary shown"_s : u"auxiliary loaded"_s);
        return {100, 200, 12000, 9000};
    }
    platform::TwipsFactors twipsFactors() const override { return {12.0, 20.0}; }
    void place(const core::TwipsRect &r) override
    {
        calls << u"place %1,%2,%3,%4"_s.arg(r.left).arg(r.top).arg(r.width).arg(r.height);
    }
    int elementCount() const override { return 10; }
    void openTheme() override { calls << u"open theme "_s + programState().ThemeDir; }
    void applyBackGround() override { calls << u"background"_s; }
    void playStartupSound() override { calls << u"sound"_s; }
    void showAndRunEvents() override { calls << u"show"_s; }
    void layOut() override { calls << u"lay out"_s; }
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
    void cleanup() { m_env.reset(); }

    void runsTheStepsInOrder();
    void placesTheWindowInTheShellArea();
    void secondStartAsksTheFirstForwardAndWritesNothing();
    void exitWatchEndsOnlyOnExactlyOne_data();
    void exitWatchEndsOnlyOnExactlyOne();

private:
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
    ProgramState &state = programState();
    state = ProgramState();
    state.AppTitle = appTitle;
    state.AppName = u"Security"_s;
    store(u"Default"_s, u"ProgramDir"_s, m_programDir);
    store(u"Default"_s, u"ThemeDir"_s, u"\\Themes\\Blue\\"_s);
}

void TestStartupMain::runsTheStepsInOrder()
{
    store(u"EXIT"_s, appTitle, u"1"_s); // left over from an earlier run
    store(u"DEFAULT"_s, u"Password"_s, u" secret "_s);
    FakeConsole console;

    QCOMPARE(start(console), core::StartupResult::Started);

    QCOMPARE(console.calls,
             (QStringList{u"hide cmdFake"_s, u"caption "_s + appTitle, u"auxiliary shown"_s,
                          u"place 160,260,11880,8880"_s, u"open theme \\Themes\\Blue\\"_s,
                          u"background"_s, u"sound"_s, u"show"_s, u"lay out"_s}));
    QCOMPARE(settings::get(settings::application, u"EXIT"_s, appTitle), u"0"_s);
    const ProgramState &state = programState();
    QCOMPARE(state.ProgramDir, m_programDir);
    QCOMPARE(state.ThemeDir, u"\\Themes\\Blue\\"_s);
    QCOMPARE(state.Password, u" secret "_s);
    QCOMPARE(state.InitialControlCount, 10);
}

// The factors are 12 and 20 twips per pixel; the auxiliary window is loaded, never shown.
void TestStartupMain::placesTheWindowInTheShellArea()
{
    store(u"General"_s, u"Running"_s, u"True"_s);
    store(u"Screen"_s, u"Right"_s, u"800"_s);
    store(u"Screen"_s, u"Bottom"_s, u"600"_s);
    store(u"Screen"_s, u"Left"_s, u"0"_s);
    store(u"Screen"_s, u"Top"_s, u"0"_s);
    FakeConsole console;

    QCOMPARE(start(console), core::StartupResult::Started);

    QCOMPARE(console.calls.mid(2, 2),
             (QStringList{u"auxiliary loaded"_s, u"place 0,0,9600,12000"_s}));
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
    QCOMPARE(console.calls.size(), 2);
    QVERIFY(console.calls.at(1) != u"caption "_s + appTitle);
    QVERIFY(forward.wait(5000));
    QVERIFY(!QFile::exists(settings::filePath(settings::application)));
    QVERIFY(programState().ProgramDir.isEmpty());
}

void TestStartupMain::exitWatchEndsOnlyOnExactlyOne_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<bool>("ends");

    QTest::newRow("1") << u"1"_s << true;
    QTest::newRow("blank before 1") << u" 1"_s << false;
    QTest::newRow("01") << u"01"_s << false;
    QTest::newRow("true") << u"true"_s << false;
}

void TestStartupMain::exitWatchEndsOnlyOnExactlyOne()
{
    QFETCH(QString, stored);
    QFETCH(bool, ends);
    store(u"EXIT"_s, appTitle, stored);
    FakeConsole console;

    QCOMPARE(core::exitWatchTick(console), ends);

    QCOMPARE(console.calls,
             ends ? QStringList({u"stop exit watch"_s, u"EndProgram"_s}) : QStringList());
}

QTEST_MAIN(TestStartupMain)
#include "tst_startup_main.moc"
