// The running console when the files it shares with the shell fail under it: a full disk, a
// read-only folder, a file another program replaces, a skin file that turns into a folder.
// The old content survives whole, nothing is left beside it, and the console shows the INI
// messages and nothing else. (The INI layer's own cases are in tst_ini_access.)

#include "console/frm_main.h"
#include "core/program_state.h"
#include "core/settings_store.h"
#include "platform/services.h"
#include "test_environment.h"

#include <QDir>
#include <QListWidget>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

class TestConsole : public frmMain
{
    platform::ServicesOverride m_noExit{{.endProcess = [] {}}};
};

enum class Fault
{
    FullDisk,
    ReadOnly,
    Replaced,
    SkinBecomesFolder,
};

const QByteArray terminalSkin("[DEFAULT]\r\nSound=True\r\n[GLOBAL]\r\n01=Sound: theme sounds\r\n");

// A small file system of its own, unmounted on destruction.
class SmallMount
{
public:
    explicit SmallMount(const QString &folder)
        : m_folder(folder)
    {
        QDir().mkpath(folder);
        m_mounted = QProcess::execute(u"mount"_s, {u"-t"_s, u"tmpfs"_s, u"-o"_s, u"size=64k"_s,
                                                   u"tmpfs"_s, folder}) == 0;
    }
    ~SmallMount()
    {
        if (m_mounted)
            QProcess::execute(u"umount"_s, {m_folder});
    }
    SmallMount(const SmallMount &) = delete;
    SmallMount &operator=(const SmallMount &) = delete;

    bool mounted() const { return m_mounted; }
    bool remountReadOnly() const
    {
        return QProcess::execute(u"mount"_s, {u"-o"_s, u"remount,ro"_s, m_folder}) == 0;
    }
    void fill() const
    {
        QFile filler(m_folder + u"/filler"_s);
        if (!filler.open(QIODevice::WriteOnly))
            return;
        while (filler.write(QByteArray(1024, 'x')) > 0 && filler.flush()) {
        }
    }

private:
    QString m_folder;
    bool m_mounted = false;
};

} // namespace

class TestSharedFileFaults : public QObject
{
    Q_OBJECT

private slots:
    void faultLeavesTheFileWhole_data();
    void faultLeavesTheFileWhole();
};

void TestSharedFileFaults::faultLeavesTheFileWhole_data()
{
    QTest::addColumn<Fault>("fault");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<QString>("switchLine");

    const QStringList cannotWrite{u"Error Writing Key"_s};
    QTest::newRow("full disk") << Fault::FullDisk << cannotWrite << u"  ON    : Sound"_s;
    QTest::newRow("read-only folder") << Fault::ReadOnly << cannotWrite << u"  ON    : Sound"_s;
    QTest::newRow("replaced by another program")
        << Fault::Replaced << QStringList() << u"  OFF   : Sound"_s;
    QTest::newRow("skin file becomes a folder")
        << Fault::SkinBecomesFolder << QStringList{u"Error Retrieving Key"_s}
        << u"  ON    : Sound"_s;
}

void TestSharedFileFaults::faultLeavesTheFileWhole()
{
    QFETCH(Fault, fault);
    QFETCH(QStringList, messages);
    QFETCH(QString, switchLine);

    TestEnvironment env;
    programState() = ProgramState();
    const QString program = env.path(u"program/"_s).chopped(1);
    std::unique_ptr<SmallMount> mount;
    if (fault == Fault::FullDisk || fault == Fault::ReadOnly) {
        mount = std::make_unique<SmallMount>(program);
        if (!mount->mounted())
            QSKIP("cannot mount a small file system here");
    }
    const QString theme = program + u"/Themes/Test"_s;
    QDir().mkpath(theme);
    writeBytes(theme + u"/Security.skn"_s,
               "[DEFAULT]\r\n01=secinfo,L,0,0,200,100,0,0,0,255,255,255,,\r\n"
               "02=secturn,L,0,100,200,100,0,0,0,255,255,255,,\r\n");
    writeBytes(theme + u"/terminal.skn"_s, terminalSkin);
    writeBytes(theme + u"/Shell.skn"_s, "[SECURITY]\r\n01=01 DEFAULT Start\r\n[DEFAULT]\r\n"
                                        "01=start.bmp,B,0,0,1,1,o.wav,c.wav,False,START\r\n");
    QVERIFY(settings::save(settings::application, u"Default"_s, u"ProgramDir"_s, program));
    QVERIFY(
        settings::save(settings::application, u"Default"_s, u"ThemeDir"_s, u"\\Themes\\Test\\"_s));

    TestConsole console;
    QVERIFY(console.Form_Load());
    QListWidget *protection = console.lstBox(1);
    QListWidget *switches = console.lstBox(3);
    QVERIFY(protection && switches);
    QCOMPARE(protection->count(), 2);
    QCOMPARE(switches->item(0)->text(), u"  ON    : Sound: theme sounds"_s);
    QVERIFY(env.messages.isEmpty());

    // What the file is expected to hold after the click, and what else the folder holds.
    QByteArray expected = terminalSkin;
    switch (fault) {
    case Fault::FullDisk:
        mount->fill();
        break;
    case Fault::ReadOnly:
        QVERIFY(mount->remountReadOnly());
        break;
    case Fault::Replaced: {
        // Another program writes its own version beside the file and renames it over it.
        const QByteArray theirs("; edited by the shell\n[DEFAULT]\nSound = True\nMultiple=False\n"
                                "[GLOBAL]\n01=Sound: theme sounds\n02=Multiple: overlap\n");
        writeBytes(theme + u"/terminal.new"_s, theirs);
        QVERIFY(QFile::remove(theme + u"/terminal.skn"_s));
        QVERIFY(QFile::rename(theme + u"/terminal.new"_s, theme + u"/terminal.skn"_s));
        expected = QByteArray(theirs).replace("Sound = True\n", "Sound = False\r\n");
        break;
    }
    case Fault::SkinBecomesFolder:
        QVERIFY(QFile::remove(theme + u"/Shell.skn"_s));
        QVERIFY(QDir().mkpath(theme + u"/Shell.skn/"_s));
        break;
    }
    const QStringList folder = QDir(theme).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);

    if (!messages.isEmpty())
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"cannot"_s));
    if (fault == Fault::SkinBecomesFolder)
        protection->setCurrentRow(1);
    else
        switches->setCurrentRow(0);

    QCOMPARE(env.messages, messages);
    QCOMPARE(readBytes(theme + u"/terminal.skn"_s), expected);
    QCOMPARE(QDir(theme).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), folder);
    QCOMPARE(switches->item(0)->text(), switchLine + u": theme sounds"_s);
    console.EndProgram();
}

QTEST_MAIN(TestSharedFileFaults)
#include "tst_shared_file_faults.moc"
