#include "core/program_state.h"
#include "dialog_fixture.h"
#include "dialogs/frm_select.h"
#include "platform/screen_metrics.h"
#include "skin_fixture.h"
#include "test_environment.h"

#include <QDir>
#include <QFile>
#include <QStorageInfo>
#include <QTest>

class TestFrmSelect : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void loadsItsSkin();
    void pointsTheListsAtTheProgram_data();
    void pointsTheListsAtTheProgram();
    void listsAndOtherCommand();
    void driveThatCannotBeReadLeavesTheLists();
    void closes_data();
    void closes();

private:
    void writeSkin(const QString &third = {});
    QString programDir() const { return m_env->root() + "/Prog Dir"; }

    std::unique_ptr<TestEnvironment> m_env;
    std::unique_ptr<ThemeFixture> m_theme;
    std::unique_ptr<RecordingSoundOutput> m_sound;
};

void TestFrmSelect::init()
{
    m_env = std::make_unique<TestEnvironment>();
    m_theme = std::make_unique<ThemeFixture>(m_env->root(), "Test");
    m_sound = std::make_unique<RecordingSoundOutput>();
    writeBytes(m_theme->themeFolder() + "/select.bmp", cutCornerBackground(440, 300, 20));
    writeButtonFiles(*m_theme);
    writeBytes(m_env->path("Prog Dir/tool.sh"), "#!/bin/sh\n");
    writeBytes(m_env->path("Prog Dir/other.txt"), "");
    writeBytes(m_env->path("Prog Dir/sub/inner.txt"), "");
    m_theme->writeFile("Terminal.skn", {"[STARTUP]", "Animated=False"});
    programState().DialogText = '"' + programDir() + "/tool.sh\" -x";
}

void TestFrmSelect::cleanup()
{
    m_sound.reset();
    m_theme.reset();
    m_env.reset();
}

void TestFrmSelect::writeSkin(const QString &third)
{
    QStringList lines = {
        "[SELECT]",
        "BackGround=select.bmp",
        "MaskColor=255,0,255",
        "Drivelist=10,10,200,26,,,,,,,,",
        "Dirlist=10,40,200,150,,,,,,,,",
        "Filelist=220,10,200,180,,,,,,,,",
        "InputBox=10,200,410,26,,,,,,,,",
        "ArgBox=10,230,300,26,,,,,,,,",
        "01=ok.bmp,B,320,260,50,30,,click,False,OK",
        "02=quit.bmp,B,380,260,50,30,,click,False,QUIT",
    };
    if (!third.isEmpty())
        lines << "03=tool.bmp,B,10,260,50,30,,click,False," + third;
    m_theme->writeFile("Security.skn", lines);
}

void TestFrmSelect::loadsItsSkin()
{
    writeSkin();
    frmSelect dialog(m_theme->theme());
    dialog.Form_Load();

    QCOMPARE(dialog.Drive1->geometry(), QRect(10, 10, 200, 26));
    QCOMPARE(dialog.Dir1->geometry(), QRect(10, 40, 200, 150));
    QCOMPARE(dialog.File1->geometry(), QRect(220, 10, 200, 180));
    QCOMPARE(dialog.txtSel->geometry(), QRect(10, 200, 410, 26));
    QCOMPARE(dialog.txtSel2->geometry(), QRect(10, 230, 300, 26));

    QCOMPARE(dialog.Drive1->currentText(), QStorageInfo(programDir()).rootPath());
    QCOMPARE(programState().DialogText, '"' + programDir() + "/tool.sh\" -x");

    QCOMPARE(dialog.buttonTable().count, 2);
    QCOMPARE(dialog.size(), QSize(440, 300));
    QVERIFY(!dialog.mask().contains(QPoint(439, 299)));
    QVERIFY(dialog.mask().contains(QPoint(220, 150)));
    const QSize screen = platform::screenSizePixels();
    QCOMPARE(dialog.pos(), QPoint((screen.width() - 440) / 2, (screen.height() - 300) / 2));
}

void TestFrmSelect::pointsTheListsAtTheProgram_data()
{
    QTest::addColumn<QString>("line");     // ROOT stands for the test's folder
    QTest::addColumn<QString>("folder");   // Dir1 after loading
    QTest::addColumn<QString>("selected"); // the file selected in File1

    QTest::newRow("stored form, folder in other letter case") << "\"ROOT\\PROG DIR\\tool.sh\" -a"
                                                              << "ROOT/Prog Dir"
                                                              << "tool.sh";
    QTest::newRow("file name in other letter case selects nothing") << "\"ROOT/Prog Dir/TOOL.SH\""
                                                                    << "ROOT/Prog Dir"
                                                                    << "";
    // The lists stay in the sub-folder, which has a file of that name: it is not the program.
    QTest::newRow("folder that does not exist") << "ROOT/Missing/inner.txt -a"
                                                << "ROOT/Prog Dir/sub"
                                                << "";
    QTest::newRow("program without a folder") << "inner.txt -a"
                                              << "ROOT/Prog Dir/sub"
                                              << "";
}

void TestFrmSelect::pointsTheListsAtTheProgram()
{
    QFETCH(QString, line);
    QFETCH(QString, folder);
    QFETCH(QString, selected);
    QString root = m_env->root();
    if (line.contains('\\'))
        root.replace('/', '\\');
    programState().DialogText = line.replace("ROOT", root);
    writeSkin();
    // Where the lists stand before loading: the tool folder's sub-folder.
    QVERIFY(QDir::setCurrent(programDir() + "/sub"));
    frmSelect dialog(m_theme->theme());
    dialog.Form_Load();
    QDir::setCurrent(QDir::tempPath());

    QCOMPARE(dialog.Dir1->path(), folder.replace("ROOT", m_env->root()));
    QCOMPARE(dialog.File1->path(), folder);
    const QListWidgetItem *current = dialog.File1->currentItem();
    QCOMPARE(current ? current->text() : QString(), selected);
    if (!selected.isEmpty())
        QCOMPARE(dialog.txtSel->text(), folder + '/' + selected);
}

void TestFrmSelect::listsAndOtherCommand()
{
    const QString started = m_env->root() + "/two words";
    writeSkin("touch \"" + started + '"');
    ModalScript script([&](QWidget &shown) {
        auto &dialog = static_cast<frmSelect &>(shown);
        // The keyboard chooses a file as a click does.
        QTest::keyClick(dialog.File1, Qt::Key_Up);
        QCOMPARE(dialog.txtSel->text(), programDir() + "/other.txt");
        QTest::keyClick(dialog.File1, Qt::Key_Down);
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

        // A command other than OK and QUIT is started; the dialog stays.
        clickButton(dialog, 3);
        QVERIFY(dialog.isVisible());
        QTRY_VERIFY(QFile::exists(started));
        clickButton(dialog, 1);
    });
    showSelectDialog(m_theme->theme());
    QCOMPARE(programState().DialogText, '"' + programDir() + "/sub/inner.txt\" -x");
}

void TestFrmSelect::driveThatCannotBeReadLeavesTheLists()
{
    writeSkin();
    frmSelect dialog(m_theme->theme());
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

void TestFrmSelect::closes_data()
{
    QTest::addColumn<QString>("how"); // the command of button 3, or a window manager close
    QTest::addColumn<QString>("expected");
    QTest::newRow("ok in small letters") << "ok"
                                         << "\"/opt/My Tool/run\" a  b";
    QTest::newRow("quit in small letters") << "quit"
                                           << "";
    QTest::newRow("window manager") << "close"
                                    << "";
}

void TestFrmSelect::closes()
{
    QFETCH(QString, how);
    QFETCH(QString, expected);
    const bool byButton = how != "close";
    writeSkin(byButton ? how : QString());
    ModalScript script([&](QWidget &shown) {
        auto &dialog = static_cast<frmSelect &>(shown);
        dialog.txtSel->setText("/opt/My Tool/run");
        dialog.txtSel2->setText("a  b");
        QTest::keyClick(dialog.txtSel, Qt::Key_Return); // Enter does not accept here
        QVERIFY(dialog.isVisible());
        if (byButton)
            clickButton(dialog, 3);
        else
            dialog.close();
        QVERIFY(!dialog.isVisible());
    });
    showSelectDialog(m_theme->theme());
    QVERIFY(script.ran);
    QCOMPARE(programState().DialogText, expected);
    QCOMPARE(playedFiles(*m_sound), byButton ? QStringList{"click.wav"} : QStringList());
}

QTEST_MAIN(TestFrmSelect)
#include "tst_frm_select.moc"
