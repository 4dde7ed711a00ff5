// The console's command line, and its theme preview following the theme's files.

#include "app/program_options.h"
#include "app/theme_preview.h"
#include "console/frm_main.h"
#include "core/program_state.h"
#include "core/settings_store.h"
#include "skin/image_button.h"
#include "test_environment.h"

#include <QProcess>
#include <QSaveFile>
#include <QSignalSpy>
#include <QTest>

using app::Invocation;

namespace {

// The console's button whose screen reader name is name.
ImageButton *button(frmMain &console, const QString &name)
{
    for (int i : console.imgBut.indexes()) {
        if (i > 0 && console.imgBut(i)->accessibleName() == name)
            return console.imgBut(i);
    }
    return nullptr;
}

// A copy of the demo theme in the program folder of env, for a preview to follow; empty when
// the copy failed.
QString previewedDemo(const TestEnvironment &env)
{
    const QString theme = env.path("program/Themes/Preview");
    const QString demo = qEnvironmentVariable("KESTA_SOURCE_DIR") + "/demo/Themes/Default";
    return QProcess::execute("cp", {"-rT", demo, theme}) == 0 ? theme : QString();
}

// What the console shows that the theme decides, one line each.
QStringList shown(frmMain &console)
{
    const ProgramState &state = programState();
    QStringList lines{
        console.palette().color(QPalette::Window).name(),
        QString("animated %1 %2").arg(state.Animated).arg(state.AnimDelay),
        QString("theme picture %1 %2").arg(state.ThemePictureIndex).arg(state.ThemeName)};
    for (int i : console.imgBut.indexes()) {
        if (const ImageButton *shownButton = i > 0 ? console.imgBut(i) : nullptr)
            lines << QString("%1 %2,%3").arg(i).arg(shownButton->x()).arg(shownButton->y());
    }
    return lines;
}

// A console whose progressive build is seen: each pause counted.
class CountingConsole : public frmMain
{
public:
    int pauses = 0;
    void buildPause(int milliseconds) override
    {
        ++pauses;
        frmMain::buildPause(milliseconds);
    }
};

} // namespace

class TestApp : public QObject
{
    Q_OBJECT

private slots:
    void consoleArguments_data()
    {
        addTextRows({"arguments", "action", "text"}, "tables/console_arguments.txt");
    }
    void consoleArguments();
    void previewFollowsItsThemeAndWritesNothing();
    void previewShowsWhatAFreshStartShows_data();
    void previewShowsWhatAFreshStartShows();
};

void TestApp::consoleArguments()
{
    QFETCH(QString, arguments);
    QFETCH(QString, action);
    QFETCH(QString, text);
    const QStringList actions{"Run", "PrintHelp", "PrintVersion", "Refuse"};
    const Invocation invocation =
        app::parseConsoleArguments(arguments == "-" ? QStringList() : arguments.split(' '));
    QCOMPARE(actions.value(invocation.action), action);
    QVERIFY2(text == "-" ? invocation.text.isEmpty()
                         : invocation.text.startsWith(text.replace("VERSION", app::version())),
             qPrintable(invocation.text));
}

void TestApp::previewFollowsItsThemeAndWritesNothing()
{
    TestEnvironment env;
    const QString theme = previewedDemo(env);
    QVERIFY(!theme.isEmpty());
    const auto preview = app::previewedTheme(theme);
    QVERIFY(preview && app::beginPreview(*preview));
    frmMain console;
    QVERIFY(console.Form_Load());
    app::ThemePreview follower(console, *preview);
    const QString skin = theme + '/' + console.theme().skinName() + ".skn";
    const QStringList before = folderRecord(env.root());
    QVERIFY(button(console, "Quit"));
    const QPoint place = button(console, "Quit")->pos();

    // Replaced as an editor saves it (the new picture beside, then renamed over the old one),
    // then written in place: the new file is followed too.
    const QString quit = theme + "/btn_quit.bmp";
    const QByteArray original = readBytes(quit);
    QSaveFile replacing(quit);
    QVERIFY(replacing.open(QIODevice::WriteOnly));
    replacing.write(readBytes(theme + "/btn_theme.bmp"));
    QVERIFY(replacing.commit());
    const auto shows = [&](const QString &picture) {
        const ImageButton *shown = button(console, "Quit");
        const auto rgb = [](const QImage &image) {
            return image.convertToFormat(QImage::Format_RGB32);
        };
        return shown && rgb(shown->picture().toImage()) == rgb(QImage(theme + '/' + picture));
    };
    QTRY_VERIFY_WITH_TIMEOUT(shows("btn_theme.bmp"), 1500);
    writeBytes(quit, readBytes(theme + "/btn_password.bmp"));
    QTRY_VERIFY_WITH_TIMEOUT(shows("btn_password.bmp"), 1500);

    const QByteArray skinText = readBytes(skin);
    writeBytes(skin, QByteArray(skinText).replace(",484,168,38,tick", ",540,168,38,tick"));
    QTRY_VERIFY_WITH_TIMEOUT(
        button(console, "Quit") && button(console, "Quit")->pos() == place + QPoint(0, 56), 1500);

    // Put back, the folders are as they were: the preview wrote nothing.
    writeBytes(skin, skinText);
    writeBytes(quit, original);
    QCOMPARE(folderRecord(env.root()), before);
    QVERIFY(!QFile::exists(settings::filePath(settings::application)));
}

void TestApp::previewShowsWhatAFreshStartShows_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("demo");   // a text of the demo's file
    QTest::addColumn<QByteArray>("before"); // what it is when the preview starts
    QTest::addColumn<QByteArray>("after");  // what the edit makes of it
    const QByteArray animated = "Animated=False\r\nAnimDelay=15";
    const QByteArray colour = "BackGround=14,22,34";
    const QByteArray picture = "32=themepic,";
    QTest::newRow("a colour, then none")
        << "Security.skn" << colour << colour << QByteArray("BackGround=&HFFFFFFFF&");
    QTest::newRow("progressive build on")
        << "terminal.skn" << animated << animated << QByteArray("Animated=True\r\nAnimDelay=15");
    QTest::newRow("progressive build gone")
        << "terminal.skn" << animated << QByteArray("Animated=True\r\nAnimDelay=15")
        << QByteArray("Animation=True\r\nAnimDelay=15");
    QTest::newRow("theme picture gone")
        << "Security.skn" << picture << picture << QByteArray("32=logo.bmp,");
}

void TestApp::previewShowsWhatAFreshStartShows()
{
    QFETCH(QString, file);
    QFETCH(QByteArray, demo);
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, after);
    TestEnvironment env;
    const QString theme = previewedDemo(env);
    QVERIFY(!theme.isEmpty());
    const QString path = theme + '/' + file;
    const QByteArray text = readBytes(path);
    QVERIFY(text.contains(demo));
    writeBytes(path, QByteArray(text).replace(demo, before));
    programState() = ProgramState();
    const auto preview = app::previewedTheme(theme);
    QVERIFY(preview && app::beginPreview(*preview));
    CountingConsole console;
    QVERIFY(console.Form_Load());
    app::ThemePreview follower(console, *preview);
    QSignalSpy laidOut(&follower, &app::ThemePreview::laidOut);
    const int pausesBefore = console.pauses;

    writeBytes(path, QByteArray(readBytes(path)).replace(before, after));
    QVERIFY(laidOut.wait(5000));
    QCOMPARE(console.pauses, pausesBefore);
    const QStringList previewed = shown(console);

    programState() = ProgramState();
    frmMain fresh;
    QVERIFY(fresh.Form_Load());
    QCOMPARE(previewed, shown(fresh));
}

QTEST_MAIN(TestApp)
#include "tst_app.moc"
