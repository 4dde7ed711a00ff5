#include "core/program_state.h"
#include "dialog_fixture.h"
#include "dialogs/frm_select.h"
#include "platform/screen_metrics.h"
#include "skin/image_button.h"
#include "skin_fixture.h"
#include "test_environment.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QStorageInfo>
#include <QTest>

namespace {

const QStringList Boxes = {
    "Drivelist=10,10,200,26,1,2,3,4,5,6,DejaVu Sans,10",
    "Dirlist=10,40,200,150,7,8,9,10,11,12,DejaVu Sans,10",
    "Filelist=220,10,200,180,13,14,15,16,17,18,DejaVu Sans,10",
    "InputBox=10,200,410,26,19,20,21,22,23,24,DejaVu Sans Mono,11",
    "ArgBox=10,230,300,26,25,26,27,28,29,30,DejaVu Sans Mono,12",
};

void clickButton(frmSelect &dialog, int index)
{
    ImageButton *button = dialog.imgBut(index);
    QVERIFY(button);
    QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
}

} // namespace

class TestFrmSelect : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void loadsItsSkinAndPointsTheListsAtTheProgram();
    void missingKeysLeaveAPlainWorkingDialog();
    void pointsTheListsAtTheProgram_data();
    void pointsTheListsAtTheProgram();
    void listHandlers();
    void driveThatCannotBeReadLeavesTheLists();
    void accepts_data();
    void accepts();
    void cancels_data();
    void cancels();
    void otherCommandStartsAProgramAndStaysOpen();

private:
    void writeSkin(bool withKeys, const QString &third = {});
    QString programDir() const { return m_env->root() + "/Prog Dir"; }

    std::unique_ptr<TestEnvironment> m_env;
    std::unique_ptr<ThemeFixture> m_theme;
    std::unique_ptr<RecordingSound> m_sound;
};

void TestFrmSelect::init()
{
    m_env = std::make_unique<TestEnvironment>();
    m_theme = std::make_unique<ThemeFixture>(m_env->root(), "Test");
    m_sound = std::make_unique<RecordingSound>();
    writeBytes(m_theme->themeFolder() + "/select.bmp", cutCornerBackground(440, 300, 20));
    writeBytes(m_theme->themeFolder() + "/click.wav", "RIFF");
    for (const char *name : {"ok.bmp", "quit.bmp", "tool.bmp"})
        m_theme->writePicture(name, 8, 8);
    writeBytes(m_env->path("Prog Dir/tool.sh"), "#!/bin/sh\n");
    writeBytes(m_env->path("Prog Dir/other.txt"), "");
    writeBytes(m_env->path("Prog Dir/sub/inner.txt"), "");
    m_theme->writeFile("Terminal.skn", {"[STARTUP]", "Animated=False", "AnimDelay=0"});
}

void TestFrmSelect::cleanup()
{
    m_sound.reset();
    m_theme.reset();
    m_env.reset();
}

void TestFrmSelect::writeSkin(bool withKeys, const QString &third)
{
    QStringList lines = {"[SELECT]"};
    if (withKeys)
        lines << "BackGround=select.bmp"
              << "MaskColor=255,0,255" << Boxes;
    lines << "01=ok.bmp,B,320,260,50,30,,click,False,OK"
          << "02=quit.bmp,B,380,260,50,30,,click,False,QUIT";
    if (!third.isEmpty())
        lines << "03=tool.bmp,B,10,260,50,30,,click,False," + third;
    m_theme->writeFile("Security.skn", lines);
}

void TestFrmSelect::loadsItsSkinAndPointsTheListsAtTheProgram()
{
    writeSkin(true);
    const QString line = '"' + programDir() + "/tool.sh\" -x";
    programState().DialogText = line;
    frmSelect dialog;
    dialog.Form_Load();

    QCOMPARE(dialog.windowTitle(), QString("KESTA Terminal - Select"));
    QCOMPARE(dialog.Drive1->geometry(), QRect(10, 10, 200, 26));
    QCOMPARE(dialog.Dir1->geometry(), QRect(10, 40, 200, 150));
    QCOMPARE(dialog.File1->geometry(), QRect(220, 10, 200, 180));
    QCOMPARE(dialog.txtSel->geometry(), QRect(10, 200, 410, 26));
    QCOMPARE(dialog.txtSel2->geometry(), QRect(10, 230, 300, 26));
    QCOMPARE(dialog.Dir1->palette().color(QPalette::Base), QColor(7, 8, 9));

    QCOMPARE(dialog.txtSel->text(), programDir() + "/tool.sh");
    QCOMPARE(dialog.txtSel2->text(), QString("-x"));
    QCOMPARE(dialog.Dir1->path(), programDir());
    QCOMPARE(dialog.File1->currentItem()->text(), QString("tool.sh"));
    QCOMPARE(dialog.Drive1->currentText(), QStorageInfo(programDir()).rootPath());
    QCOMPARE(programState().DialogText, line); // loading leaves the caller's line

    QCOMPARE(dialog.buttonTable().count, 2);
    QCOMPARE(dialog.size(), QSize(440, 300));
    QVERIFY(!dialog.mask().contains(QPoint(439, 299)));
    QVERIFY(dialog.mask().contains(QPoint(220, 150)));
    const QSize screen = platform::screenSizePixels();
    QCOMPARE(dialog.pos(), QPoint((screen.width() - 440) / 2, (screen.height() - 300) / 2));
}

void TestFrmSelect::missingKeysLeaveAPlainWorkingDialog()
{
    writeSkin(false);
    programState().DialogText = "tool -v";
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("rectangular"));
    ModalScript script([](QWidget &shown) {
        auto &dialog = static_cast<frmSelect &>(shown);
        QCOMPARE(dialog.size(), QSize(640, 480));
        QVERIFY(dialog.mask().isEmpty());
        QCOMPARE(dialog.txtSel->geometry(), QRect(16, 368, 608, 26));
        QCOMPARE(dialog.txtSel->text(), QString("tool"));
        QCOMPARE(dialog.txtSel2->text(), QString("-v"));
        QTest::keyClicks(dialog.txtSel2, " -w");
        clickButton(dialog, 1);
    });
    showSelectDialog();
    QVERIFY(script.ran);
    QCOMPARE(programState().DialogText, QString("tool -v -w"));
}

void TestFrmSelect::pointsTheListsAtTheProgram_data()
{
    QTest::addColumn<QString>("line");     // ROOT stands for the test's folder
    QTest::addColumn<QString>("program");  // txtSel after loading
    QTest::addColumn<QString>("folder");   // Dir1; empty: where it was before
    QTest::addColumn<QString>("selected"); // the file selected in File1

    QTest::newRow("folder in other letter case") << "\"ROOT/PROG DIR/tool.sh\""
                                                 << "ROOT/Prog Dir/tool.sh"
                                                 << "ROOT/Prog Dir"
                                                 << "tool.sh";
    QTest::newRow("stored form with backslashes") << "\"ROOT\\Prog Dir\\tool.sh\" -a"
                                                  << "ROOT/Prog Dir/tool.sh"
                                                  << "ROOT/Prog Dir"
                                                  << "tool.sh";
    QTest::newRow("file name in other letter case selects nothing") << "\"ROOT/Prog Dir/TOOL.SH\""
                                                                    << "ROOT/Prog Dir/TOOL.SH"
                                                                    << "ROOT/Prog Dir"
                                                                    << "";
    // The lists stay in the sub-folder, which has a file of that name: it is not the program.
    QTest::newRow("folder that does not exist") << "ROOT/Missing/inner.txt -a"
                                                << "ROOT/Missing/inner.txt"
                                                << "ROOT/Prog Dir/sub"
                                                << "";
    QTest::newRow("unquoted path with a blank is cut at the blank") << "ROOT/Prog Dir/tool.sh"
                                                                    << "ROOT/Prog"
                                                                    << ""
                                                                    << "";
    QTest::newRow("program without a folder") << "tool.sh -a"
                                              << "tool.sh"
                                              << ""
                                              << "";
    QTest::newRow("empty program") << " -a"
                                   << ""
                                   << ""
                                   << "";
}

void TestFrmSelect::pointsTheListsAtTheProgram()
{
    QFETCH(QString, line);
    QFETCH(QString, program);
    QFETCH(QString, folder);
    QFETCH(QString, selected);
    QString root = m_env->root();
    if (line.contains('\\'))
        root.replace('/', '\\');
    programState().DialogText = line.replace("ROOT", root);
    program.replace("ROOT", m_env->root());
    folder.replace("ROOT", m_env->root());

    writeSkin(true);
    // Where the lists stand before loading: the tool folder's sub-folder.
    QVERIFY(QDir::setCurrent(programDir() + "/sub"));
    frmSelect dialog;
    QCOMPARE(dialog.Dir1->path(), programDir() + "/sub");
    dialog.Form_Load();
    QDir::setCurrent(QDir::tempPath());

    QCOMPARE(dialog.txtSel->text(), program);
    if (!folder.isEmpty())
        QCOMPARE(dialog.Dir1->path(), folder);
    QVERIFY(QFileInfo(dialog.Dir1->path()).isDir());
    QCOMPARE(dialog.File1->path(), dialog.Dir1->path());
    const QListWidgetItem *current = dialog.File1->currentItem();
    QCOMPARE(current ? current->text() : QString(), selected);
}

void TestFrmSelect::listHandlers()
{
    writeSkin(true);
    programState().DialogText = '"' + programDir() + "/tool.sh\"";
    ModalScript script([&](QWidget &shown) {
        auto &dialog = static_cast<frmSelect &>(shown);
        // A double click on a folder opens it and the file list follows.
        int sub = 0;
        while (sub < dialog.Dir1->count() && dialog.Dir1->folderAt(sub) != programDir() + "/sub")
            ++sub;
        QVERIFY(sub < dialog.Dir1->count());
        const QRect subRect = dialog.Dir1->visualItemRect(dialog.Dir1->item(sub));
        QTest::mouseClick(dialog.Dir1->viewport(), Qt::LeftButton, {}, subRect.center());
        QCOMPARE(dialog.Dir1->path(), programDir()); // a single click only selects
        QTest::mouseDClick(dialog.Dir1->viewport(), Qt::LeftButton, {}, subRect.center());
        QCOMPARE(dialog.Dir1->path(), programDir() + "/sub");
        QCOMPARE(dialog.File1->fileNames(), QStringList{"inner.txt"});
        QCOMPARE(dialog.txtSel->text(), programDir() + "/tool.sh");

        // A click on a file makes it the program.
        const QRect fileRect = dialog.File1->visualItemRect(dialog.File1->item(0));
        QTest::mouseClick(dialog.File1->viewport(), Qt::LeftButton, {}, fileRect.center());
        QCOMPARE(dialog.txtSel->text(), programDir() + "/sub/inner.txt");
        clickButton(dialog, 1);
    });
    showSelectDialog();
    QCOMPARE(programState().DialogText, '"' + programDir() + "/sub/inner.txt\"");
}

void TestFrmSelect::driveThatCannotBeReadLeavesTheLists()
{
    writeSkin(true);
    programState().DialogText = '"' + programDir() + "/tool.sh\"";
    frmSelect dialog;
    dialog.Form_Load();
    const int drive = dialog.Drive1->currentIndex();
    const QStringList files = dialog.File1->fileNames();
    dialog.Drive1->addItem(m_env->root() + "/not-mounted");
    dialog.Drive1->setCurrentIndex(dialog.Drive1->count() - 1);
    QCOMPARE(dialog.Drive1->currentIndex(), drive);
    QCOMPARE(dialog.Dir1->path(), programDir());
    QCOMPARE(dialog.File1->fileNames(), files);
    QCOMPARE(dialog.txtSel->text(), programDir() + "/tool.sh");
}

void TestFrmSelect::accepts_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<QString>("arguments");
    QTest::addColumn<QString>("expected");
    QTest::newRow("blank in the program") << "/opt/My Tool/run"
                                          << "a  b"
                                          << "\"/opt/My Tool/run\" a  b";
    QTest::newRow("arguments only") << ""
                                    << "-x"
                                    << " -x";
    QTest::newRow("both empty") << ""
                                << ""
                                << "";
}

void TestFrmSelect::accepts()
{
    QFETCH(QString, program);
    QFETCH(QString, arguments);
    QFETCH(QString, expected);
    writeSkin(true);
    programState().DialogText = "old -line";
    ModalScript script([&](QWidget &shown) {
        auto &dialog = static_cast<frmSelect &>(shown);
        dialog.txtSel->setText(program);
        dialog.txtSel2->setText(arguments);
        QTest::keyClick(dialog.txtSel, Qt::Key_Return); // Enter does not accept here
        QVERIFY(dialog.isVisible());
        clickButton(dialog, 1);
        QVERIFY(!dialog.isVisible());
    });
    showSelectDialog();
    QVERIFY(script.ran);
    QCOMPARE(programState().DialogText, expected);
    QCOMPARE(m_sound->played, QStringList{"click.wav"});
}

void TestFrmSelect::cancels_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("QUIT button") << "QUIT";
    QTest::newRow("quit in small letters") << "quit";
    QTest::newRow("window manager") << "close";
}

void TestFrmSelect::cancels()
{
    QFETCH(QString, how);
    const bool byButton = how != "close";
    writeSkin(true, byButton ? how : QString());
    programState().DialogText = "old -line";
    ModalScript script([&](QWidget &shown) {
        auto &dialog = static_cast<frmSelect &>(shown);
        dialog.txtSel2->setText("-edited");
        if (byButton)
            clickButton(dialog, 3);
        else
            dialog.close();
        QVERIFY(!dialog.isVisible());
    });
    showSelectDialog();
    QVERIFY(script.ran);
    QCOMPARE(programState().DialogText, QString());
}

void TestFrmSelect::otherCommandStartsAProgramAndStaysOpen()
{
    const QString recorder = writeRecorder(m_env->root());
    writeSkin(true, '"' + recorder + "\" --help");
    programState().DialogText = "old -line";
    ModalScript script([&](QWidget &shown) {
        auto &dialog = static_cast<frmSelect &>(shown);
        clickButton(dialog, 3);
        QVERIFY(dialog.isVisible());
        QTRY_VERIFY(QFile::exists(recordFile(m_env->root())));
        clickButton(dialog, 1);
    });
    showSelectDialog();
    QCOMPARE(readBytes(recordFile(m_env->root())), QByteArray("--help\n"));
    QCOMPARE(programState().DialogText, QString("old -line"));
}

QTEST_MAIN(TestFrmSelect)
#include "tst_frm_select.moc"
