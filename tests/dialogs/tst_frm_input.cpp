#include "core/program_state.h"
#include "dialog_fixture.h"
#include "dialogs/frm_input.h"
#include "platform/screen_metrics.h"
#include "skin/image_button.h"
#include "skin_fixture.h"
#include "test_environment.h"

#include <QFile>
#include <QRegularExpression>
#include <QTest>

namespace {

constexpr auto InputBox = "InputBox=30,60,240,28,9,15,24,150,214,245,DejaVu Sans Mono,14";

// Clicks imgBut member `index` of the dialog.
void clickButton(QWidget &dialog, int index)
{
    ImageButton *button = static_cast<frmInput &>(dialog).imgBut(index);
    QVERIFY(button);
    QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
}

} // namespace

class TestFrmInput : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void loadsItsSkin();
    void missingKeysLeaveAPlainWorkingDialog_data();
    void missingKeysLeaveAPlainWorkingDialog();
    void accepts_data();
    void accepts();
    void cancels_data();
    void cancels();
    void passwordIsMaskedWithOrWithoutInputBox_data();
    void passwordIsMaskedWithOrWithoutInputBox();
    void otherCommandStartsAProgramAndStaysOpen();

private:
    // Terminal.skn with the given [INPUT] keys, buttons OK, QUIT and `third` (when not empty).
    void writeSkin(const QStringList &keys, const QString &third = {});

    std::unique_ptr<TestEnvironment> m_env;
    std::unique_ptr<ThemeFixture> m_theme;
    std::unique_ptr<RecordingSound> m_sound;
};

void TestFrmInput::init()
{
    m_env = std::make_unique<TestEnvironment>();
    m_theme = std::make_unique<ThemeFixture>(m_env->root(), "Test");
    m_sound = std::make_unique<RecordingSound>();
    writeBytes(m_theme->themeFolder() + "/input.bmp", cutCornerBackground(300, 160, 12));
    writeBytes(m_theme->themeFolder() + "/click.wav", "RIFF");
    for (const char *name : {"ok.bmp", "quit.bmp", "tool.bmp"})
        m_theme->writePicture(name, 8, 8);
    ProgramState &state = programState();
    state.PasswordMode = false;
    state.DialogText = "left over";
}

void TestFrmInput::cleanup()
{
    m_sound.reset();
    m_theme.reset();
    m_env.reset();
}

void TestFrmInput::writeSkin(const QStringList &keys, const QString &third)
{
    QStringList lines = {"[INPUT]"};
    lines << keys << "01=ok.bmp,B,40,110,80,30,,click,False,OK"
          << "02=quit.bmp,B,180,110,80,30,,click,False,QUIT";
    if (!third.isEmpty())
        lines << "03=tool.bmp,B,130,10,40,30,,click,False," + third;
    lines << "[STARTUP]"
          << "Animated=False"
          << "AnimDelay=0";
    m_theme->writeFile("Terminal.skn", lines);
}

void TestFrmInput::loadsItsSkin()
{
    writeSkin({"BackGround=input.bmp", "MaskColor=255,0,255", InputBox});
    frmInput dialog;
    dialog.Form_Load();

    QCOMPARE(programState().DialogText, QString());
    QCOMPARE(dialog.windowTitle(), QString("KESTA Terminal - Input"));
    QCOMPARE(dialog.txtInput->geometry(), QRect(30, 60, 240, 28));
    QCOMPARE(dialog.txtInput->palette().color(QPalette::Base), QColor(9, 15, 24));
    QCOMPARE(dialog.txtInput->font().pointSizeF(), 14.0);
    QCOMPARE(dialog.txtInput->echoMode(), QLineEdit::Normal);
    QCOMPARE(dialog.buttonTable().count, 2);

    QCOMPARE(dialog.size(), QSize(300, 160));
    QVERIFY(!dialog.mask().contains(QPoint(0, 0)));
    QVERIFY(dialog.mask().contains(QPoint(150, 80)));
    const QSize screen = platform::screenSizePixels();
    QCOMPARE(dialog.pos(), QPoint((screen.width() - 300) / 2, (screen.height() - 160) / 2));
}

void TestFrmInput::missingKeysLeaveAPlainWorkingDialog_data()
{
    QTest::addColumn<bool>("withSkinFile");
    QTest::newRow("section without the keys") << true;
    QTest::newRow("no skin file") << false;
}

void TestFrmInput::missingKeysLeaveAPlainWorkingDialog()
{
    QFETCH(bool, withSkinFile);
    if (withSkinFile)
        writeSkin({});
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("rectangular"));
    ModalScript script([](QWidget &dialog) {
        auto &input = static_cast<frmInput &>(dialog);
        QCOMPARE(input.txtInput->geometry(), QRect(20, 88, 360, 24));
        QCOMPARE(input.size(), QSize(400, 200));
        QVERIFY(input.mask().isEmpty());
        QTest::keyClicks(input.txtInput, "typed");
        QTest::keyClick(input.txtInput, Qt::Key_Return);
    });
    showInputDialog();
    QVERIFY(script.ran);
    QCOMPARE(programState().DialogText, QString("typed"));
}

void TestFrmInput::accepts_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("button"); // 0: the Enter key
    QTest::addColumn<QString>("command");
    QTest::newRow("Enter") << "secret words" << 0 << "";
    QTest::newRow("Enter on the keypad") << "secret" << -1 << "";
    QTest::newRow("Enter with an empty box") << "" << 0 << "";
    QTest::newRow("OK button") << "secret" << 1 << "";
    QTest::newRow("ok in small letters") << "secret" << 3 << "ok";
    QTest::newRow("Ok mixed") << "secret" << 3 << "Ok";
}

void TestFrmInput::accepts()
{
    QFETCH(QString, typed);
    QFETCH(int, button);
    QFETCH(QString, command);
    writeSkin({"BackGround=input.bmp", "MaskColor=255,0,255", InputBox}, command);
    ModalScript script([&](QWidget &dialog) {
        auto &input = static_cast<frmInput &>(dialog);
        QTest::keyClicks(input.txtInput, typed);
        if (button == 0)
            QTest::keyClick(input.txtInput, Qt::Key_Return);
        else if (button < 0)
            QTest::keyClick(input.txtInput, Qt::Key_Enter, Qt::KeypadModifier);
        else
            clickButton(dialog, button);
        QVERIFY(!dialog.isVisible());
    });
    showInputDialog();
    QVERIFY(script.ran);
    QCOMPARE(programState().DialogText, typed);
    QCOMPARE(m_sound->played, button > 0 ? QStringList{"click.wav"} : QStringList());
}

void TestFrmInput::cancels_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("QUIT button") << "QUIT";
    QTest::newRow("quit in small letters") << "quit";
    QTest::newRow("Quit mixed") << "Quit";
    QTest::newRow("window manager") << "close";
}

void TestFrmInput::cancels()
{
    QFETCH(QString, how);
    const bool byButton = how != "close";
    writeSkin({"BackGround=input.bmp", "MaskColor=255,0,255", InputBox}, byButton ? how : "");
    ModalScript script([&](QWidget &dialog) {
        auto &input = static_cast<frmInput &>(dialog);
        QTest::keyClicks(input.txtInput, "typed");
        // Escape is no cancel: the dialog stays.
        QTest::keyClick(input.txtInput, Qt::Key_Escape);
        QVERIFY(dialog.isVisible());
        if (byButton)
            clickButton(dialog, 3);
        else
            dialog.close();
        QVERIFY(!dialog.isVisible());
    });
    showInputDialog();
    QVERIFY(script.ran);
    QCOMPARE(programState().DialogText, QString());
}

void TestFrmInput::passwordIsMaskedWithOrWithoutInputBox_data()
{
    QTest::addColumn<bool>("passwordMode");
    QTest::addColumn<bool>("withInputBox");
    QTest::newRow("password, placed box") << true << true;
    QTest::newRow("password, box as designed") << true << false;
    QTest::newRow("plain text, placed box") << false << true;
    QTest::newRow("plain text, box as designed") << false << false;
}

void TestFrmInput::passwordIsMaskedWithOrWithoutInputBox()
{
    QFETCH(bool, passwordMode);
    QFETCH(bool, withInputBox);
    QStringList keys = {"BackGround=input.bmp", "MaskColor=255,0,255"};
    if (withInputBox)
        keys << InputBox;
    writeSkin(keys);
    programState().PasswordMode = passwordMode;
    ModalScript script([&](QWidget &dialog) {
        auto &input = static_cast<frmInput &>(dialog);
        QTest::keyClicks(input.txtInput, "s3cr t");
        QCOMPARE(input.txtInput->displayText(),
                 passwordMode ? QString("######") : QString("s3cr t"));
        QTest::keyClick(input.txtInput, Qt::Key_Return);
    });
    showInputDialog();
    QCOMPARE(programState().DialogText, QString("s3cr t"));
    QCOMPARE(programState().PasswordMode, passwordMode); // the dialog does not reset it
}

void TestFrmInput::otherCommandStartsAProgramAndStaysOpen()
{
    const QString recorder = writeRecorder(m_env->root());
    writeSkin({"BackGround=input.bmp", "MaskColor=255,0,255", InputBox},
              '"' + recorder + "\" -x \"two words\"");
    ModalScript script([&](QWidget &dialog) {
        clickButton(dialog, 3);
        QVERIFY(dialog.isVisible());
        QTRY_VERIFY(QFile::exists(recordFile(m_env->root())));
        QCOMPARE(programState().DialogText, QString());
        dialog.close();
    });
    showInputDialog();
    QVERIFY(script.ran);
    QCOMPARE(readBytes(recordFile(m_env->root())), QByteArray("-x\ntwo words\n"));
    QCOMPARE(m_sound->played, QStringList{"click.wav"});
}

QTEST_MAIN(TestFrmInput)
#include "tst_frm_input.moc"
