// The console against themes nobody should ship: it lays out what is valid, shows nothing but its
// own window, ends on the shell's request, and leaves every file as it found it.

#include "console/frm_main.h"
#include "core/exit_watch.h"
#include "core/settings_store.h"
#include "platform/services.h"
#include "test_environment.h"

#include <QApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLoggingCategory>
#include <QTest>

#include <sys/stat.h>

namespace {

const QString exitKey = "KESTA Terminal - Security";

QByteArray keyed(const QStringList &lines)
{
    QByteArray text;
    for (int i = 0; i < lines.size(); ++i)
        text += QString("%1=%2\r\n").arg(i + 1, 2, 10, QChar('0')).arg(lines[i]).toUtf8();
    return text;
}

// The files of tests/data/hostile/Hostile, and what cannot be checked in: folders, pipes and
// links where pictures and sounds should be, skins with lines of 40,000 characters, a protection
// list of 10,000 entries, and the third-party pictures a decoder may refuse or disagree on as
// background, button and animation. The last two lines, at the highest keys, are what the probes
// see: green at the top left, blue at the bottom right.
void writeHostileTheme(const QString &theme)
{
    copyTestData("hostile/Hostile", theme);
    const QString longText(40000, 'x');
    for (const QString name : {"folder.bmp", "folder.gif"})
        QDir(theme).mkdir(name);
    for (const QString name : {"pipe.bmp", "pipe.gif", "pipe.wav"})
        ::mkfifo(QFile::encodeName(theme + '/' + name).constData(), 0644);
    QFile::link("nowhere.bmp", theme + "/dangling.bmp");
    QFile::link("loop", theme + "/loop");
    QStringList layout = QString(readBytes(testData("hostile/layout.txt"))).split('\n');
    layout.removeLast();
    const QString corpus = qEnvironmentVariable("KESTA_SOURCE_DIR") + "/../shared/corpus/images/";
    const QJsonDocument manifest = QJsonDocument::fromJson(readBytes(corpus + "manifest.json"));
    for (const QJsonValue &file : manifest["files"].toArray()) {
        const QString picture = QDir(theme).relativeFilePath(corpus + file["path"].toString());
        if (file["validity"].toString() != "valid")
            layout << picture + ",P,0,0,100%,100%" << picture + ",A,0,0,100%,100%"
                   << picture + ",B,0,0,-1,-1,zero,missing,False,NOTHING";
    }
    layout << "green.bmp,P,0,0,40,40"
           << "blue.bmp,B,-40,-40,-1,-1,binary,pipe,False,LONG";
    writeBytes(
        theme + "/Security.skn",
        QByteArray("[DEFAULT]\r\nBackGround=-1,99999999999999999999,abc\r\nStartupSound=pipe\r\n"
                   "changepassword=LONG\r\n" +
                   keyed(layout) + "[DEFAULT\r\n01=x\r\n")
            .replace("LONG", longText.toUtf8()));
    QStringList entries;
    for (int i = 1; i <= 10000; ++i)
        entries << QString("%1 DEFAULT Button %1").arg(i % 150 + 1);
    writeBytes(theme + "/Shell.skn",
               "[SECURITY]\r\n" + keyed(entries) + "[DEFAULT]\r\n" + keyed(entries));
    writeBytes(theme + "/terminal.skn",
               "[DEFAULT]\r\nAnimated=maybe\r\nAnimDelay=-9e99\r\nSound=" + QByteArray(40000, '1') +
                   "\r\n[GLOBAL]\r\n" + keyed(entries));
}

} // namespace

class TestHostileTheme : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLoggingCategory::setFilterRules("kesta.*=false"); } // each skip
    void init();
    void consoleSurvivesTheTheme();

private:
    std::optional<TestEnvironment> m_env;
    QString m_program;
    platform::ServicesOverride m_noExit{{.endProcess = [] {}}};
};

void TestHostileTheme::init()
{
    programState() = ProgramState();
    // Sounds find no server: decoded all the same, then silence.
    qputenv("PULSE_SERVER", "unix:/nonexistent");
    m_env.emplace();
    m_program = m_env->path("program/").chopped(1);
    const QStringList stored{"Default", "ProgramDir", m_program, "General", "Running", "True",
                             "Screen",  "Right",      "400",     "Screen",  "Bottom",  "300",
                             "Screen",  "Left",       "0",       "Screen",  "Top",     "0",
                             "EXIT",    exitKey,      "0"};
    for (int i = 0; i < stored.size(); i += 3)
        QVERIFY(settings::save(settings::application, stored[i], stored[i + 1], stored[i + 2]));
}

void TestHostileTheme::consoleSurvivesTheTheme()
{
    writeHostileTheme(m_program + "/Themes/Hostile");
    // A theme folder beside it that is a link loop.
    QFile::link("Loop", m_program + "/Themes/Loop");
    QVERIFY(settings::save(settings::application, "Default", "ThemeDir", "\\Themes\\Hostile\\"));
    QVERIFY(settings::save(settings::application, "DEFAULT", "Password", QString(40000, 'p')));
    const QByteArray storeBefore = readBytes(settings::filePath(settings::application));
    const QStringList filesBefore = folderRecord(m_program);

    frmMain console;
    QVERIFY(console.Form_Load());
    const QImage shown = console.grab().toImage();
    QCOMPARE(shown.pixelColor(20, 20), QColor(Qt::green));
    QCOMPARE(shown.pixelColor(400 - 20, 300 - 20), QColor(Qt::blue));
    const QWidgetList windows = QApplication::topLevelWidgets();
    QCOMPARE(std::count_if(windows.begin(), windows.end(), std::mem_fn(&QWidget::isVisible)), 1);
    QVERIFY(m_env->messages.isEmpty());

    QVERIFY(settings::save(settings::application, "EXIT", exitKey, "1"));
    QVERIFY(core::actOnExitRequest(console));
    QCOMPARE(folderRecord(m_program), filesBefore);
    QVERIFY(settings::save(settings::application, "EXIT", exitKey, "0"));
    QCOMPARE(readBytes(settings::filePath(settings::application)), storeBefore);
}

QTEST_MAIN(TestHostileTheme)
#include "tst_hostile_theme.moc"
