#include "../skin/skin_fixture.h"
#include "../sound/recording_sound_output.h"
#include "core/program_state.h"
#include "dialogs/frm_input.h"
#include "dialogs/frm_select.h"
#include "platform/modal_show.h"
#include "platform/screen_metrics.h"
#include "skin/image_button.h"
#include "test_environment.h"

#include <QAccessible>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QStorageInfo>
#include <QTest>

namespace {

// Takes the person's place for every modal show while it lives: once the dialog is on the
// screen the script drives it.
struct ModalScript
{
    std::function<void(QWidget &dialog)> script;
    bool ran = false;
    platform::ServicesOverride person{{.showModal = [this](QWidget &dialog) {
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        ran = true;
        script(dialog);
    }}};
};

void clickButton(QWidget &dialog, int index)
{
    ImageButton *button = static_cast<SkinnedWindow &>(dialog).imgBut(index);
    QVERIFY(button);
    QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
}

void verifyCentredAndShaped(const QWidget &dialog, QSize size)
{
    QCOMPARE(dialog.size(), size);
    QVERIFY(!dialog.mask().contains(QPoint(size.width() - 1, size.height() - 1)));
    QVERIFY(dialog.mask().contains(QPoint(size.width() / 2, size.height() / 2)));
    const QSize screen = platform::screenSizePixels();
    QCOMPARE(dialog.pos(),
             QPoint((screen.width() - size.width()) / 2, (screen.height() - size.height()) / 2));
}

// Assistive technology finds each element where the screen shows it, in the screen's device
// pixels (this test runs on a screen scaled to 125 %).
void verifyToldWhereDrawn(const QList<QWidget *> &elements)
{
    for (QWidget *element : elements) {
        const QPoint from = element->mapToGlobal(QPoint()),
                     to = from + element->rect().bottomRight();
        const QRect drawn(from * 1.25, (to + QPoint(1, 1)) * 1.25 - QPoint(1, 1));
        QCOMPARE(QAccessible::queryAccessibleInterface(element)->rect(), drawn);
    }
}

} // namespace

class TestDialogs : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_env = std::make_unique<TestEnvironment>();
        m_theme = std::make_unique<ThemeFixture>(m_env->root(), "Test");
        m_theme->copyCheckedIn();
        m_sound = std::make_unique<RecordingSoundOutput>();
        writeBytes(m_env->path("Prog Dir/tool.sh"), "#!/bin/sh\ntouch \"$0.ran\"\n");
        QFile::setPermissions(m_env->path("Prog Dir/tool.sh"), QFile::ReadOwner | QFile::ExeOwner);
        writeBytes(m_env->path("Prog Dir/other.txt"), "");
        writeBytes(m_env->path("Prog Dir/sub/inner.txt"), "");
        programState().PasswordMode = false;
        programState().DialogText = '"' + programDir() + "/tool.sh\" -x";
    }
    void cleanup()
    {
        m_sound.reset();
        m_theme.reset();
        m_env.reset();
    }

    void inputLoadsItsSkin()
    {
        writeSkins();
        frmInput dialog(m_theme->theme());
        dialog.Form_Load();
        QCOMPARE(programState().DialogText, QString());
        QCOMPARE(dialog.txtInput->geometry(), QRect(30, 60, 240, 28));
        QCOMPARE(dialog.buttonTable().count, 2);
        verifyCentredAndShaped(dialog, {300, 160});
        dialog.show();
        verifyToldWhereDrawn({dialog.txtInput, dialog.imgBut(1)});
    }

    void closes_data()
    {
        addTextRows({"dialog", "how", "passwordMode", "withInputBox"}, "tables/dialog_closes.txt");
    }

    void closes()
    {
        QFETCH(QString, dialog);
        QFETCH(QString, how);
        QFETCH(QString, passwordMode);
        QFETCH(QString, withInputBox);
        const bool byButton = how != "Enter" && how != "close";
        // A program stored as the shell stores it: backslashes, letters in other case.
        const QString program = '"' + QString(programDir() + "/TOOL.SH").replace('/', '\\') + '"';
        writeSkins(byButton ? (how == "program" ? program : how) : QString(),
                   withInputBox == "yes");
        programState().PasswordMode = passwordMode == "yes";
        const QString shown = dialog == "input" ? closeInput(how) : closeSelect(how);
        const QString typed = dialog == "input" ? "s3cr t" : "\"/opt/My Tool/run\" a  b";
        const bool accepted = how == "Enter" || how == "ok";
        QCOMPARE(shown, accepted ? typed : dialog == "input" ? "(cancelled)" : "");
        // The input dialog's text is taken out of DialogText: no copy of a password stays there.
        QCOMPARE(programState().DialogText, dialog == "input" ? "" : shown);
        QCOMPARE(programState().PasswordMode, passwordMode == "yes"); // the dialogs keep it
        if (dialog == "input")
            QCOMPARE(m_sound->played.size(), byButton ? 1 : 0);
    }

    void keyboardComesBackWhenDialogsFollowEachOther()
    {
        // Without a window manager each dialog gives the keyboard back as it closes; the second
        // of two, opened before the system told that the keyboard came back, does so too.
        QWidget console;
        console.show();
        console.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&console));
        for (int dialog = 0; dialog < 2; ++dialog) {
            const platform::KeyboardReturn keyboard;
            QWidget prompt;
            prompt.show();
            prompt.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&prompt));
        }
        QVERIFY(QTest::qWaitForWindowActive(&console));
    }

    void selectLoadsItsSkin()
    {
        writeSkins();
        frmSelect dialog(m_theme->theme());
        dialog.Form_Load();
        QCOMPARE((QList<QRect>{dialog.Drive1->geometry(), dialog.Dir1->geometry(),
                               dialog.File1->geometry(), dialog.txtSel->geometry(),
                               dialog.txtSel2->geometry()}),
                 (QList<QRect>{{10, 10, 200, 26},
                               {10, 40, 200, 150},
                               {220, 10, 200, 180},
                               {10, 200, 410, 26},
                               {10, 230, 300, 26}}));
        QCOMPARE(dialog.Drive1->currentText(), QStorageInfo(programDir()).rootPath());
        QCOMPARE(programState().DialogText, '"' + programDir() + "/tool.sh\" -x");
        QCOMPARE(dialog.buttonTable().count, 2);
        verifyCentredAndShaped(dialog, {440, 300});
        dialog.show();
        verifyToldWhereDrawn({dialog.txtSel, dialog.txtSel2, dialog.imgBut(1)});
        // Each character of the program, told where it is drawn, is found there again.
        QAccessibleTextInterface *program =
            QAccessible::queryAccessibleInterface(dialog.txtSel)->textInterface();
        QVERIFY(program && program->characterCount() > 4);
        for (int offset : {0, 4, program->characterCount() - 1}) {
            const QRect character = program->characterRect(offset);
            QVERIFY(
                QAccessible::queryAccessibleInterface(dialog.txtSel)->rect().contains(character));
            QCOMPARE(program->offsetAtPoint(character.center() - QPoint(character.width() / 4, 0)),
                     offset);
        }

        // A drive that cannot be read leaves the lists where they were.
        const int drive = dialog.Drive1->currentIndex();
        dialog.Drive1->addItem(m_env->root() + "/not-mounted");
        dialog.Drive1->setCurrentIndex(dialog.Drive1->count() - 1);
        QCOMPARE(dialog.Drive1->currentIndex(), drive);
        QCOMPARE(dialog.Dir1->path(), programDir());
        QCOMPARE(dialog.txtSel->text(), programDir() + "/tool.sh");
    }

    void selectPointsTheListsAtTheProgram_data()
    {
        addTextRows({"line", "folder", "selected"}, "tables/select_points.txt");
    }

    void selectPointsTheListsAtTheProgram()
    {
        QFETCH(QString, line);
        QFETCH(QString, folder);
        QFETCH(QString, selected);
        QString root = m_env->root();
        if (line.contains('~'))
            root.replace('/', '\\');
        programState().DialogText = line.replace("ROOT", root).replace('~', '\\');
        writeSkins();
        // Where the lists stand before loading: the tool folder's sub-folder.
        QVERIFY(QDir::setCurrent(programDir() + "/sub"));
        frmSelect dialog(m_theme->theme());
        dialog.Form_Load();
        QDir::setCurrent(QDir::tempPath());
        QCOMPARE(dialog.Dir1->path(), folder.replace("ROOT", m_env->root()));
        QCOMPARE(dialog.File1->path(), folder);
        const QListWidgetItem *current = dialog.File1->currentItem();
        QCOMPARE(current ? current->text() : "-", selected);
        if (selected != "-")
            QCOMPARE(dialog.txtSel->text(), folder + '/' + selected);
    }

private:
    // Shows the input dialog, types "s3cr t" and closes it as told; what the dialog gives back.
    QString closeInput(const QString &how)
    {
        ModalScript modal{[&](QWidget &dialog) {
            auto &input = static_cast<frmInput &>(dialog);
            QTest::keyClicks(input.txtInput, "s3cr t");
            QCOMPARE(input.txtInput->displayText(),
                     programState().PasswordMode ? "######" : "s3cr t");
            // A screen reader reads what the box shows; an input method learns nothing of it.
            QAccessibleInterface *read = QAccessible::queryAccessibleInterface(input.txtInput);
            QCOMPARE(read->textInterface()->text(0, 6), input.txtInput->displayText());
            if (programState().PasswordMode)
                QVERIFY(
                    input.txtInput->inputMethodQuery(Qt::ImSurroundingText).toString().isEmpty());
            // Escape is no cancel: the dialog stays.
            QTest::keyClick(input.txtInput, Qt::Key_Escape);
            QVERIFY(dialog.isVisible());
            if (how == "Enter")
                QTest::keyClick(input.txtInput, Qt::Key_Return);
            else if (how == "close")
                dialog.close();
            else
                clickButton(dialog, 3);
            if (how == "program") { // it runs, and the dialog stays
                QTRY_VERIFY(QFile::exists(programDir() + "/tool.sh.ran"));
                dialog.close();
            }
            QVERIFY(!dialog.isVisible());
        }};
        const std::optional<QString> shown = showInputDialog(m_theme->theme());
        return modal.ran ? shown.value_or("(cancelled)") : "(not shown)";
    }

    // Shows the select dialog, fills both boxes and closes it as told; what the dialog gives back.
    QString closeSelect(const QString &how)
    {
        ModalScript modal{[&](QWidget &shown) {
            auto &dialog = static_cast<frmSelect &>(shown);
            dialog.txtSel->setText("/opt/My Tool/run");
            dialog.txtSel2->setText("a  b");
            QTest::keyClick(dialog.txtSel, Qt::Key_Return); // Enter does not accept here
            QVERIFY(dialog.isVisible());
            if (how == "close")
                dialog.close();
            else
                clickButton(dialog, 3);
            QVERIFY(!dialog.isVisible());
        }};
        const QString shown = showSelectDialog(m_theme->theme());
        return modal.ran ? shown : "(not shown)";
    }

    QString programDir() const { return m_env->root() + "/Prog Dir"; }

    // Both dialogs' skins (tests/data/dialogs) with buttons OK, QUIT and, when given, a third of
    // that command.
    void writeSkins(const QString &third = {}, bool withInputBox = true)
    {
        for (const QString name : {"terminal.skn", "Security.skn"}) {
            QString skin = readBytes(testData("dialogs/" + name));
            skin.replace(QRegularExpression(third.isEmpty() ? "03=.*THIRD\r\n" : "THIRD"), third);
            if (!withInputBox && name == "terminal.skn")
                skin.remove(QRegularExpression("InputBox=.*\r\n"));
            writeBytes(m_theme->themeFolder() + '/' + name, skin.toUtf8());
        }
    }

    std::unique_ptr<TestEnvironment> m_env;
    std::unique_ptr<ThemeFixture> m_theme;
    std::unique_ptr<RecordingSoundOutput> m_sound;
};

QTEST_MAIN(TestDialogs)
#include "tst_dialogs.moc"
