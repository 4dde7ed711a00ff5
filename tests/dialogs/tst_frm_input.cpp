#include "core/program_state.h"
#include "dialog_fixture.h"
#include "dialogs/frm_input.h"
#include "platform/screen_metrics.h"
#include "skin_fixture.h"
#include "test_environment.h"

#include <QFile>
#include <QTest>

class TestFrmInput : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void loadsItsSkin();
    void closes_data();
    void closes();
    void passwordIsMaskedWithOrWithoutInputBox_data();
    void passwordIsMaskedWithOrWithoutInputBox();
    void otherCommandStartsAProgramAndStaysOpen();

private:
    // Terminal.skn with [INPUT] keys (InputBox unless left out), buttons OK, QUIT and `third`.
    void writeSkin(const QString &third = {}, bool withInputBox = true);

    std::unique_ptr<TestEnvironment> m_env;
    std::unique_ptr<ThemeFixture> m_theme;
    std::unique_ptr<RecordingSoundOutput> m_sound;
};

void TestFrmInput::init()
{
    m_env = std::make_unique<TestEnvironment>();
    m_theme = std::make_unique<ThemeFixture>(m_env->root(), "Test");
    m_sound = std::make_unique<RecordingSoundOutput>();
    writeBytes(m_theme->themeFolder() + "/input.bmp", cutCornerBackground(300, 160, 12));
    writeButtonFiles(*m_theme);
    programState().PasswordMode = false;
    programState().DialogText = "left over";
}

void TestFrmInput::cleanup()
{
    m_sound.reset();
    m_theme.reset();
    m_env.reset();
}

void TestFrmInput::writeSkin(const QString &third, bool withInputBox)
{
    QStringList lines = {"[INPUT]", "BackGround=input.bmp", "MaskColor=255,0,255",
                         "01=ok.bmp,B,40,110,80,30,,click,False,OK",
                         "02=quit.bmp,B,180,110,80,30,,click,False,QUIT"};
    if (withInputBox)
        lines << "InputBox=30,60,240,28,9,15,24,150,214,245,DejaVu Sans Mono,14";
    if (!third.isEmpty())
        lines << "03=tool.bmp,B,130,10,40,30,,click,False," + third;
    m_theme->writeFile("Terminal.skn", lines << "[STARTUP]"
                                             << "Animated=False");
}

void TestFrmInput::loadsItsSkin()
{
    writeSkin();
    frmInput dialog(m_theme->theme());
    dialog.Form_Load();

    QCOMPARE(programState().DialogText, QString());
    QCOMPARE(dialog.txtInput->geometry(), QRect(30, 60, 240, 28));
    QCOMPARE(dialog.buttonTable().count, 2);
    QCOMPARE(dialog.size(), QSize(300, 160));
    QVERIFY(!dialog.mask().contains(QPoint(0, 0)));
    QVERIFY(dialog.mask().contains(QPoint(150, 80)));
    const QSize screen = platform::screenSizePixels();
    QCOMPARE(dialog.pos(), QPoint((screen.width() - 300) / 2, (screen.height() - 160) / 2));
}

void TestFrmInput::closes_data()
{
    QTest::addColumn<QString>("how"); // Enter, a command of button 3, or a window manager close
    QTest::addColumn<bool>("accepted");
    QTest::newRow("Enter") << "Enter" << true;
    QTest::newRow("ok in small letters") << "ok" << true;
    QTest::newRow("quit in small letters") << "quit" << false;
    QTest::newRow("window manager") << "close" << false;
}

void TestFrmInput::closes()
{
    QFETCH(QString, how);
    QFETCH(bool, accepted);
    const bool byButton = how == "ok" || how == "quit";
    writeSkin(byButton ? how : QString());
    ModalScript script([&](QWidget &dialog) {
        auto &input = static_cast<frmInput &>(dialog);
        QTest::keyClicks(input.txtInput, "secret words");
        // Escape is no cancel: the dialog stays.
        QTest::keyClick(input.txtInput, Qt::Key_Escape);
        QVERIFY(dialog.isVisible());
        if (how == "Enter")
            QTest::keyClick(input.txtInput, Qt::Key_Return);
        else if (byButton)
            clickButton(dialog, 3);
        else
            dialog.close();
        QVERIFY(!dialog.isVisible());
    });
    showInputDialog(m_theme->theme());
    QVERIFY(script.ran);
    QCOMPARE(programState().DialogText, accepted ? QString("secret words") : QString());
    QCOMPARE(playedFiles(*m_sound), byButton ? QStringList{"click.wav"} : QStringList());
}

void TestFrmInput::passwordIsMaskedWithOrWithoutInputBox_data()
{
    QTest::addColumn<bool>("passwordMode");
    QTest::addColumn<bool>("withInputBox");
    QTest::newRow("password, placed box") << true << true;
    QTest::newRow("password, box as designed") << true << false;
    QTest::newRow("plain text") << false << true;
}

void TestFrmInput::passwordIsMaskedWithOrWithoutInputBox()
{
    QFETCH(bool, passwordMode);
    QFETCH(bool, withInputBox);
    writeSkin({}, withInputBox);
    programState().PasswordMode = passwordMode;
    ModalScript script([&](QWidget &dialog) {
        auto &input = static_cast<frmInput &>(dialog);
        QTest::keyClicks(input.txtInput, "s3cr t");
        QCOMPARE(input.txtInput->displayText(),
                 passwordMode ? QString("######") : QString("s3cr t"));
        QTest::keyClick(input.txtInput, Qt::Key_Return);
    });
    showInputDialog(m_theme->theme());
    QCOMPARE(programState().DialogText, QString("s3cr t"));
    QCOMPARE(programState().PasswordMode, passwordMode); // the dialog does not reset it
}

void TestFrmInput::otherCommandStartsAProgramAndStaysOpen()
{
    const QString started = m_env->root() + "/two words";
    writeSkin("touch \"" + started + '"');
    ModalScript script([&](QWidget &dialog) {
        clickButton(dialog, 3);
        QVERIFY(dialog.isVisible());
        QTRY_VERIFY(QFile::exists(started));
        QCOMPARE(programState().DialogText, QString());
        dialog.close();
    });
    showInputDialog(m_theme->theme());
    QVERIFY(script.ran);
    QCOMPARE(playedFiles(*m_sound), QStringList{"click.wav"});
}

QTEST_MAIN(TestFrmInput)
#include "tst_frm_input.moc"
