#include "core/console_window.h"
#include "core/exit_watch.h"
#include "core/program_state.h"
#include "core/settings_store.h"
#include "core/startup_main.h"
#include "core/window_placement.h"
#include "platform/single_instance.h"
#include "test_environment.h"

#include <QTest>

namespace {

const QString appTitle = "KESTA Terminal - Security";

// Records what of the start-up matters to the shell: the title, the place, the end.
class FakeConsole : public core::ConsoleWindow
{
public:
    QStringList calls;

    void setCaption(const QString &caption) override { calls << "caption " + caption; }
    void hideFakeButton() override {}
    core::TwipsRect auxiliaryRectangle() override { return {100, 200, 12000, 9000}; }
    platform::TwipsFactors twipsFactors() const override { return {12.0, 20.0}; }
    void place(const core::TwipsRect &r) override
    {
        calls << QString("place %1,%2,%3,%4").arg(r.left).arg(r.top).arg(r.width).arg(r.height);
    }
    int elementCount() const override { return 10; }
    void openTheme() override {}
    void applyBackGround() override {}
    void playStartupSound() override {}
    void showAndRunEvents() override {}
    void layOut() override {}
    void startExitWatch() override {}
    void stopExitWatch() override { calls << "stop exit watch"; }
    void EndProgram() override { calls << "EndProgram"; }
};

void store(const QString &section, const QString &key, const QString &value)
{
    QVERIFY(settings::save(settings::application, section, key, value));
}

core::StartupResult start(FakeConsole &console)
{
    platform::SingleInstance instance("test-console");
    return core::StartupMain(console, instance);
}

} // namespace

class TestStartupMain : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void startsWhereTheShellSays_data();
    void startsWhereTheShellSays();
    void exitWatchEndsOnlyOnExactlyOne();
    void scaledScreenAreaIsInDevicePixels();

private:
    std::optional<TestEnvironment> m_env;
};

void TestStartupMain::init()
{
    m_env.emplace();
    programState() = ProgramState();
    programState().AppTitle = appTitle;
    programState().AppName = "Security";
}

void TestStartupMain::startsWhereTheShellSays_data()
{
    // The factors are 12 and 20 twips per pixel; the auxiliary window is 100,200,12000,9000.
    // The shell area as stored (Left, Top, Right, Bottom; "-": absent) counts only while the
    // shell runs; the default right edge is the left edge plus the auxiliary window's width.
    addTextRows({"running", "screen", "place"}, "tables/start_placement.txt");
}

void TestStartupMain::startsWhereTheShellSays()
{
    QFETCH(QString, running);
    QFETCH(QString, screen);
    QFETCH(QString, place);
    store("Default", "ProgramDir", "/opt/kesta");
    store("Default", "ThemeDir", "\\Themes\\Blue\\");
    store("EXIT", appTitle, "1"); // left over from an earlier run
    const QStringList edges{"Left", "Top", "Right", "Bottom"};
    for (int i = 0; i < 4; ++i) {
        if (screen.section(',', i, i) != "-")
            store("Screen", edges[i], screen.section(',', i, i));
    }
    if (running != "-")
        store("General", "Running", running);
    FakeConsole console;

    QCOMPARE(start(console), core::StartupResult::Started);

    QCOMPARE(console.calls, QStringList({"caption " + appTitle, place}));
    QCOMPARE(settings::get(settings::application, "EXIT", appTitle), "0");
    const ProgramState &state = programState();
    QCOMPARE(state.ProgramDir + state.ThemeDir, "/opt/kesta\\Themes\\Blue\\");
}

void TestStartupMain::exitWatchEndsOnlyOnExactlyOne()
{
    for (const QString stored : {"1", " 1", "01", "true"}) {
        store("EXIT", appTitle, stored);
        FakeConsole console;
        QCOMPARE(core::actOnExitRequest(console), stored == "1");
        QCOMPARE(console.calls,
                 stored == "1" ? QStringList({"stop exit watch", "EndProgram"}) : QStringList());
    }
}

void TestStartupMain::scaledScreenAreaIsInDevicePixels()
{
    // The shell stores its area in device pixels, two to each of the console's pixels here.
    const core::TwipsRect placed = core::placeInShellArea(
        {"0", "100", "2560", "1600"}, {150, 300, 15000, 9000}, {15.0, 15.0}, 2.0);
    QCOMPARE(placed, (core::TwipsRect{0, 750, 19200, 11250}));
}

QTEST_MAIN(TestStartupMain)
#include "tst_startup_main.moc"
