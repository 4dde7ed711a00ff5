// The console against themes nobody should ship and shared files that fail under it: it lays
// out what is valid, shows nothing but its own window and the INI messages, ends on the shell's
// request, and leaves every file as it found it, or whole when a write fails.

#include "console/frm_main.h"
#include "core/exit_watch.h"
#include "core/program_state.h"
#include "core/settings_store.h"
#include "platform/services.h"
#include "test_environment.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QDirIterator>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QListWidget>
#include <QLoggingCategory>
#include <QProcess>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QTest>

#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace {

class TestConsole : public frmMain
{
    platform::ServicesOverride m_noExit{{.endProcess = [] {}}};
};

const QSize consoleSize(400, 300);
const QString exitKey = u"KESTA Terminal - Security"_s;

QByteArray noise(int size, quint32 seed)
{
    QRandomGenerator random(seed);
    QByteArray bytes(size, Qt::Uninitialized);
    for (char &byte : bytes)
        byte = static_cast<char>(random.bounded(256));
    return bytes;
}

QByteArray keyed(const QStringList &lines)
{
    QByteArray text;
    for (int i = 0; i < lines.size(); ++i)
        text += u"%1=%2\r\n"_s.arg(i + 1, 2, 10, QLatin1Char('0')).arg(lines[i]).toUtf8();
    return text;
}

// The third-party pictures a decoder may refuse or disagree on, from the theme folder.
QStringList doubtfulPictures(const QDir &theme)
{
    const QString corpus = qEnvironmentVariable("KESTA_SOURCE_DIR") + u"/../shared/corpus/images"_s;
    QStringList paths;
    const QJsonDocument manifest = QJsonDocument::fromJson(readBytes(corpus + u"/manifest.json"_s));
    for (const QJsonValue &file : manifest[u"files"_s].toArray()) {
        if (file[u"validity"_s].toString() != u"valid"_s)
            paths << theme.relativeFilePath(corpus + u'/' + file[u"path"_s].toString());
    }
    return paths;
}

// Every number the layout reads negative, huge or no number; pictures, GIFs and sounds missing,
// empty, binary, folders, pipes, dangling links, through a link loop; lines of 40,000
// characters; and the doubtful pictures as background, button and animation. The last two lines,
// at keys beyond "99", are what the probes see: green at the top left, blue at the bottom right.
void writeHostileTheme(const QString &theme)
{
    const QString longText(40000, u'x');
    for (const auto &[name, colour] : {std::pair{u"good.bmp"_s, Qt::gray},
                                       {u"green.bmp"_s, Qt::green},
                                       {u"blue.bmp"_s, Qt::blue}}) {
        QImage image(4, 4, QImage::Format_RGB32);
        image.fill(colour);
        image.save(theme + u'/' + name, "BMP");
    }
    writeBytes(theme + u"/good.gif"_s,
               QByteArray("GIF89a\1\0\1\0\x80\0\0\xff\xff\xff\0\0\0!\xf9\4\1"
                          "\x0a\0\0\0,\0\0\0\0\1\0\1\0\0\2\2D\1\0;",
                          43));
    for (const QString &empty : {u"zero.bmp"_s, u"zero.gif"_s, u"zero.wav"_s})
        writeBytes(theme + u'/' + empty, {});
    writeBytes(theme + u"/binary.bmp"_s, "BM" + noise(5000, 5));
    writeBytes(theme + u"/binary.gif"_s, "GIF89a" + noise(5000, 6));
    writeBytes(theme + u"/binary.wav"_s, "RIFF" + noise(5000, 7));
    QDir(theme).mkdir(u"folder.bmp"_s);
    QDir(theme).mkdir(u"folder.gif"_s);
    for (const QString &pipe : {u"pipe.bmp"_s, u"pipe.gif"_s, u"pipe.wav"_s})
        ::mkfifo(QFile::encodeName(theme + u'/' + pipe).constData(), 0644);
    QFile::link(u"nowhere.bmp"_s, theme + u"/dangling.bmp"_s);
    QFile::link(u"loop"_s, theme + u"/loop"_s);

    QStringList layout{
        u"zero.bmp,P,0,0,100%,100%"_s,
        u"good.bmp,P,-99999999999,1e400,abc,-0"_s,
        u"good.bmp,P,99999999999999999999,-99999999999999999999,100000000%,-1e9%"_s,
        u"good.bmp,B,2147483647,2147483647,2147483647,2147483647,,,False,X"_s,
        u"good.bmp,B,-2147483648,-2147483648,-2147483648,-2147483648,,,False,X"_s,
        u"good.gif,A,nan,inf,-inf,0x10"_s,
        u"secinfo,L,0,0,-99999,-99999,-5,999999,abc,-1,-1,-1,"_s + longText + u",1e308"_s,
        u"seclb,T,1,1,10,10,0,0,0,255,255,255,Sans,99999999999999999999999"_s,
        u"secturn,L,x"_s,
        longText,
        u"good.bmp,Q,0,0,10,10"_s,
        u",,,,,,,,,,,,,,,,,,,"_s,
        QString(),
        u"good.bmp,P,0,0,10,10%"_s + longText,
        u"loop\\loop\\loop\\good.bmp,P,0,0,10,10"_s,
        u"themepic,P,0,0,10,10"_s,
    };
    for (const QString &file :
         {u"missing"_s, u"zero"_s, u"binary"_s, u"folder"_s, u"pipe"_s, u"dangling"_s}) {
        layout << file + u".bmp,P,0,0,10,10"_s << file + u".gif,A,0,0,10,10"_s
               << file + u".bmp,B,0,0,10,10,"_s + file + u","_s + file + u",False,NOTHING"_s;
    }
    for (const QString &picture : doubtfulPictures(QDir(theme)))
        layout << picture + u",P,0,0,100%,100%"_s << picture + u",A,0,0,100%,100%"_s
               << picture + u",B,0,0,-1,-1,zero,missing,False,NOTHING"_s;
    while (layout.size() < 100)
        layout << u"good.bmp,P,0,0,1,1"_s;
    layout << u"green.bmp,P,0,0,40,40"_s
           << u"blue.bmp,B,-40,-40,-1,-1,binary,pipe,False,"_s + longText;
    writeBytes(theme + u"/Security.skn"_s,
               "[DEFAULT]\r\nBackGround=-1,99999999999999999999,abc\r\nStartupSound=pipe\r\n"
               "changepassword=" +
                   longText.toUtf8() + "\r\n" + keyed(layout) + "[DEFAULT\r\n01=x\r\n");
    writeBytes(theme + u"/Security.ini"_s, "[DEFAULT]\r\n02=" + noise(200, 8).replace('\n', ' '));

    // A shell skin whose protection list runs to 10,000 entries, and skins nobody could read.
    QStringList entries, buttons;
    for (int i = 1; i <= 10000; ++i)
        entries << u"%1 DEFAULT Button %1"_s.arg(i % 150 + 1);
    for (int i = 1; i <= 150; ++i)
        buttons << u"good.bmp,B,0,0,1,1,o,c,%1,CMD %2"_s.arg(i % 3 ? u"True"_s : u"-1e99"_s).arg(i);
    writeBytes(theme + u"/Shell.skn"_s,
               "[SECURITY]\r\n" + keyed(entries) + "[DEFAULT]\r\n" + keyed(buttons));
    writeBytes(theme + u"/Shell.ini"_s, noise(3000, 9));
    QStringList switches;
    for (int i = 1; i <= 150; ++i)
        switches << u"Switch%1: "_s.arg(i) + QString(i * 7, u's');
    writeBytes(theme + u"/terminal.skn"_s, "[DEFAULT]\r\nAnimated=maybe\r\nAnimDelay=-9e99\r\n"
                                           "Sound=" +
                                               QByteArray(40000, '1') + "\r\n[GLOBAL]\r\n" +
                                               keyed(switches));
    writeBytes(theme + u"/Binary.skn"_s, noise(64 * 1024, 1));
    writeBytes(theme + u"/Nul.skn"_s, QByteArray("[SECURITY]\r\n01=\0 DEFAULT \0\r\n", 27));
    writeBytes(theme + u"/Wide.skn"_s,
               "\xFF\xFE[\0S\0E\0C\0U\0R\0I\0T\0Y\0]\0\r\0\n\0" + noise(501, 3));
    writeBytes(theme + u"/voicecontrol.ini"_s, noise(2048, 4));
}

// What identifies every entry below folder: a file's SHA-256, a link's target, else its kind.
QHash<QString, QString> folderRecord(const QString &folder)
{
    QHash<QString, QString> record;
    QDirIterator entries(folder,
                         QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                         QDirIterator::Subdirectories);
    while (entries.hasNext()) {
        const QString path = entries.next();
        const QFileInfo info = entries.fileInfo();
        const QByteArray hash =
            info.isFile() && !info.isSymLink()
                ? QCryptographicHash::hash(readBytes(path), QCryptographicHash::Sha256).toHex()
                : QByteArray();
        // A pipe is never opened: it would block.
        record.insert(path, info.isSymLink() ? u"link to "_s + info.symLinkTarget()
                            : info.isDir()   ? u"folder"_s
                            : info.isFile()  ? QString::fromLatin1(hash)
                                             : u"special"_s);
    }
    return record;
}

void storeShell(const QString &program, const QString &themeDir)
{
    const QString app = settings::application;
    QVERIFY(settings::save(app, u"Default"_s, u"ProgramDir"_s, program));
    QVERIFY(settings::save(app, u"Default"_s, u"ThemeDir"_s, themeDir));
    QVERIFY(settings::save(app, u"General"_s, u"Running"_s, u"True"_s));
    for (const auto &[key, value] : {std::pair{u"Left"_s, 0},
                                     {u"Top"_s, 0},
                                     {u"Right"_s, consoleSize.width()},
                                     {u"Bottom"_s, consoleSize.height()}})
        QVERIFY(settings::save(app, u"Screen"_s, key, QString::number(value)));
}

} // namespace

class TestHostileTheme : public QObject
{
    Q_OBJECT

private slots:
    // Every skipped line and picture is logged: thousands of expected lines.
    void initTestCase() { QLoggingCategory::setFilterRules(u"kesta.*=false"_s); }
    void init()
    {
        programState() = ProgramState();
        // Sounds find no server: decoded all the same, then silence.
        qputenv("PULSE_SERVER", "unix:/nonexistent");
    }
    void consoleSurvivesTheTheme_data();
    void consoleSurvivesTheTheme();
    void sharedFileFaultLeavesTheFileWhole_data();
    void sharedFileFaultLeavesTheFileWhole();
};

void TestHostileTheme::consoleSurvivesTheTheme_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("hostile theme") << u"Hostile"_s;
    QTest::newRow("binary skins") << u"Binary"_s;
    QTest::newRow("theme folder that is a link loop") << u"Loop"_s;
}

void TestHostileTheme::consoleSurvivesTheTheme()
{
    QFETCH(QString, kind);
    TestEnvironment env;
    const QString program = env.path(u"program/"_s).chopped(1);
    const QString theme = program + u"/Themes/"_s + kind;
    if (kind == u"Loop") {
        QDir().mkpath(program + u"/Themes"_s);
        QFile::link(u"Loop"_s, theme);
        QFile::link(u"Loop.bmp"_s, theme + u".bmp"_s);
    } else {
        QDir().mkpath(theme);
        writeHostileTheme(theme);
    }
    if (kind == u"Binary") {
        writeBytes(theme + u"/Security.skn"_s, noise(256 * 1024, 10));
        QStringList switches;
        for (int i = 1; i <= 150; ++i)
            switches << u"Switch%1: "_s.arg(i) + QString(i * 7, u's');
        writeBytes(theme + u"/terminal.skn"_s, noise(4096, 11));
    }
    storeShell(program, u"\\Themes\\"_s + kind + u'\\');
    QVERIFY(
        settings::save(settings::application, u"DEFAULT"_s, u"Password"_s, QString(40000, u'p')));
    QVERIFY(settings::save(settings::application, u"EXIT"_s, exitKey, u"0"_s));
    const QByteArray storeBefore = readBytes(settings::filePath(settings::application));
    const QHash<QString, QString> filesBefore = folderRecord(program);

    TestConsole console;
    QVERIFY(console.Form_Load());
    if (kind == u"Hostile") {
        const QImage shown = console.grab().toImage();
        QCOMPARE(shown.pixelColor(20, 20), QColor(Qt::green));
        QCOMPARE(shown.pixelColor(consoleSize.width() - 20, consoleSize.height() - 20),
                 QColor(Qt::blue));
    }
    const QWidgetList windows = QApplication::topLevelWidgets();
    QCOMPARE(std::count_if(windows.begin(), windows.end(), std::mem_fn(&QWidget::isVisible)), 1);
    QVERIFY(env.messages.isEmpty());

    QVERIFY(settings::save(settings::application, u"EXIT"_s, exitKey, u"1"_s));
    QVERIFY(core::exitWatchTick(console));
    QCOMPARE(folderRecord(program), filesBefore);
    QVERIFY(settings::save(settings::application, u"EXIT"_s, exitKey, u"0"_s));
    QCOMPARE(readBytes(settings::filePath(settings::application)), storeBefore);
}

void TestHostileTheme::sharedFileFaultLeavesTheFileWhole_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("switchState"); // of Sound in the switch list after the click
    QTest::newRow("full disk") << u"full"_s << u"Error Writing Key"_s << u"ON"_s;
    QTest::newRow("read-only folder") << u"read-only"_s << u"Error Writing Key"_s << u"ON"_s;
    QTest::newRow("replaced by another program") << u"replaced"_s << QString() << u"OFF"_s;
    QTest::newRow("skin file becomes a folder")
        << u"folder"_s << u"Error Retrieving Key"_s << u"ON"_s;
}

// The console's own writes when the files they go to fail: the old content survives whole,
// nothing is left beside it, the console shows the INI message and what the file holds.
void TestHostileTheme::sharedFileFaultLeavesTheFileWhole()
{
    QFETCH(QString, fault);
    QFETCH(QString, message);
    QFETCH(QString, switchState);
    TestEnvironment env;
    const QString program = env.path(u"program/"_s).chopped(1);
    const bool mounted = fault == u"full" || fault == u"read-only";
    QDir().mkpath(program);
    if (mounted && QProcess::execute(u"mount"_s, {u"-t"_s, u"tmpfs"_s, u"-o"_s, u"size=64k"_s,
                                                  u"tmpfs"_s, program}) != 0)
        QSKIP("cannot mount a small file system here");
    const auto unmount = qScopeGuard([&] {
        if (mounted)
            QProcess::execute(u"umount"_s, {program});
    });
    const QString theme = program + u"/Themes/Test"_s;
    QDir().mkpath(theme);
    const QByteArray terminal("[DEFAULT]\r\nSound=True\r\n[GLOBAL]\r\n01=Sound: theme sounds\r\n");
    writeBytes(theme + u"/Security.skn"_s,
               "[DEFAULT]\r\n01=secinfo,L,0,0,200,100,0,0,0,255,255,255,,\r\n"
               "02=secturn,L,0,100,200,100,0,0,0,255,255,255,,\r\n");
    writeBytes(theme + u"/terminal.skn"_s, terminal);
    writeBytes(theme + u"/Shell.skn"_s, "[SECURITY]\r\n01=01 DEFAULT Start\r\n[DEFAULT]\r\n"
                                        "01=start.bmp,B,0,0,1,1,o,c,False,START\r\n");
    storeShell(program, u"\\Themes\\Test\\"_s);

    TestConsole console;
    QVERIFY(console.Form_Load());
    QListWidget *protection = console.lstBox(1);
    QListWidget *switches = console.lstBox(3);
    QVERIFY(protection && switches && protection->count() == 2);
    QCOMPARE(switches->item(0)->text(), u"  ON    : Sound: theme sounds"_s);

    QByteArray expected = terminal;
    if (fault == u"full") {
        QFile filler(program + u"/filler"_s);
        QVERIFY(filler.open(QIODevice::WriteOnly));
        while (filler.write(QByteArray(1024, 'x')) > 0 && filler.flush()) {
        }
    } else if (fault == u"read-only") {
        QCOMPARE(QProcess::execute(u"mount"_s, {u"-o"_s, u"remount,ro"_s, program}), 0);
    } else if (fault == u"replaced") {
        // Another program writes its own version beside the file and renames it over it.
        expected = "; edited by the shell\n[DEFAULT]\nSound = True\nMultiple=False\n[GLOBAL]\n"
                   "01=Sound: theme sounds\n02=Multiple: overlap\n";
        writeBytes(theme + u"/terminal.new"_s, expected);
        QVERIFY(QFile::remove(theme + u"/terminal.skn"_s));
        QVERIFY(QFile::rename(theme + u"/terminal.new"_s, theme + u"/terminal.skn"_s));
        expected.replace("Sound = True\n", "Sound = False\r\n");
    } else {
        QVERIFY(QFile::remove(theme + u"/Shell.skn"_s) && QDir().mkpath(theme + u"/Shell.skn"_s));
    }
    const QStringList folder = QDir(theme).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);

    if (fault == u"folder")
        protection->setCurrentRow(1);
    else
        switches->setCurrentRow(0);

    QCOMPARE(env.messages, message.isEmpty() ? QStringList() : QStringList{message});
    QCOMPARE(readBytes(theme + u"/terminal.skn"_s), expected);
    QCOMPARE(QDir(theme).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), folder);
    QCOMPARE(switches->item(0)->text().section(u':', 0, 0).trimmed(), switchState);
    console.EndProgram();
}

QTEST_MAIN(TestHostileTheme)
#include "tst_hostile_theme.moc"
