// The protection, theme and switch lists on real files in a temporary theme folder: what they
// list, what a click shows, what a switch click writes to disk (read back by kesta-store), and
// that one press of the mouse is one click.

#include "../skin/skin_fixture.h"
#include "console/settings_list_click.h"
#include "console/settings_list_wiring.h"
#include "console/settings_lists.h"
#include "core/program_state.h"
#include "skin/file_list_box.h"
#include "skin/skinned_window.h"
#include "test_environment.h"

#include <QApplication>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>

namespace {

QString kestaStoreGet(const QString &file, const QString &section, const QString &key)
{
    QProcess process;
    process.start(qEnvironmentVariable("KESTA_BIN_DIR") + "/kesta-store",
                  {"ini", "get", file, section, key});
    process.waitForFinished(30000);
    if (process.exitCode() != 0)
        return "<absent>";
    return QString::fromUtf8(process.readAllStandardOutput()).chopped(1);
}

QStringList lines(const QListWidget &list)
{
    QStringList result;
    for (int row = 0; row < list.count(); ++row)
        result.append(list.item(row)->text());
    return result;
}

} // namespace

class TestSettingsLists : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void protectionListFromEverySkinFile();
    void switchThatCannotBeWrittenKeepsItsState();
    void protectionClickFillsTheLabels_data();
    void protectionClickFillsTheLabels();
    void headerOrEmptyClickChangesNothing();
    void themeClickShowsPreviewAndNamesTheTheme();
    void onePressIsOneClick();

private:
    QListWidget &list(int index) const { return *m_window->lstBox(index); }
    void click(int index, int row) const { list(index).setCurrentRow(row); }
    QStringList captions() const;
    void writeLabelSkins() const;

    std::unique_ptr<TestEnvironment> m_env;
    std::unique_ptr<ThemeFixture> m_theme;
    std::unique_ptr<SkinnedWindow> m_window;
    std::unique_ptr<FileListBox> m_lister;
    int m_selectedLine = -1;
};

void TestSettingsLists::init()
{
    m_env = std::make_unique<TestEnvironment>();
    programState() = ProgramState();
    m_theme = std::make_unique<ThemeFixture>(m_env->root(), "Test");
    programState().SkinName = "Security";

    m_window = std::make_unique<SkinnedWindow>();
    m_window->resize(640, 480);
    for (int i = 1; i <= 3; ++i) {
        QListWidget *listBox = m_window->addListBox(i);
        listBox->setGeometry(0, 160 * (i - 1), 300, 150);
        listBox->show();
    }
    for (int i = 1; i <= 6; ++i)
        m_window->addLabel(i)->show();
    m_window->addPicture(1)->show();
    ImageButton *button = m_window->addImageButton(1);
    button->setGeometry(400, 0, 20, 20);
    button->show();
    programState().ThemePictureIndex = 1;
    m_lister = std::make_unique<FileListBox>();
    m_selectedLine = -1;
    connectSettingsLists(*m_window, m_theme->theme(), m_selectedLine);
}

void TestSettingsLists::cleanup()
{
    m_window.reset();
    m_lister.reset();
    m_theme.reset();
    m_env.reset();
}

QStringList TestSettingsLists::captions() const
{
    QStringList result;
    for (int i = 0; i <= 6; ++i)
        result.append(m_window->lblInfo(i) ? m_window->lblInfo(i)->text() : "<none>");
    return result;
}

void TestSettingsLists::protectionListFromEverySkinFile()
{
    m_theme->writeFile("alpha.skn",
                       {"[SECURITY]", "01=05 DEFAULT Start button", "02=06 DEFAULT Clock",
                        "04=08 DEFAULT After a gap", "[DEFAULT]",
                        "05=start.bmp,B,0,0,10,10,o.wav,c.wav,False,START",
                        "06=clock.bmp,B,0,0,10,10,o.wav,c.wav,false,CLOCK",
                        "08=gap.bmp,B,0,0,10,10,o.wav,c.wav,false,GAP"});
    // The override line wins; an override line that is empty falls back to the skin's.
    m_theme->writeFile("alpha.ini",
                       {"[default]", "05=start.bmp,B,0,0,10,10,o.wav,c.wav,True,START", "06="});
    m_theme->writeFile("Beta.skn", {"[DEFAULT]", "01=b.bmp,B,0,0,1,1,,,False,X"});
    // Button lines that are missing, cut short before the command, or flagged with no Boolean,
    // a number or a truth word in blanks: shown as the gate judges them.
    m_theme->writeFile("gamma.SKN",
                       {"[SECURITY]", "01=01 MAIN No line", "02=02 MAIN Short line",
                        "03=03 MAIN Odd flag", "04=04 MAIN Zero", "05=05 MAIN Blanks", "[MAIN]",
                        "02=x,B,1,2,3,4,o,c,False", "03=x,B,1,2,3,4,o,c,maybe,CMD",
                        "04=x,B,1,2,3,4,o,c,0,CMD", "05=x,B,1,2,3,4,o,c, false ,CMD"});
    m_theme->writeFile("notes.txt", {"[SECURITY]", "01=01 MAIN Not a skin"});

    const QStringList expected{
        "ALPHA",
        "  True  : DEFAULT Start button",
        "  False : DEFAULT Clock",
        "GAMMA",
        "  False : MAIN No line",
        "  False : MAIN Short line",
        "  True  : MAIN Odd flag",
        "  False : MAIN Zero",
        "  False : MAIN Blanks",
    };
    // A second fill (RestoreDefaults refills) lists the same, not twice as much.
    for (int fill = 0; fill < 2; ++fill) {
        FillSettingsLists(*m_window, *m_lister, m_theme->theme());
        QCOMPARE(lines(list(1)), expected);
        QCOMPARE(list(1).item(6)->data(Qt::UserRole), 3); // the button number
    }
    QVERIFY(m_env->messages.isEmpty());
}

void TestSettingsLists::switchThatCannotBeWrittenKeepsItsState()
{
    // "Sound=x" cannot be a key of the file; the write is refused.
    m_theme->writeFile("terminal.skn", {"[GLOBAL]", "01=Sound=x: no such key"});
    const QString terminal = m_theme->themeFolder() + "/terminal.skn";
    const QByteArray before = readBytes(terminal);
    FillSettingsLists(*m_window, *m_lister, m_theme->theme());

    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("cannot change"));
    click(3, 0);

    QCOMPARE(m_env->messages, QStringList({"Error Writing Key"}));
    QCOMPARE(list(3).item(0)->text(), "  ON    : Sound=x: no such key");
    QCOMPARE(readBytes(terminal), before);
    QCOMPARE(list(3).currentRow(), -1);
}

void TestSettingsLists::writeLabelSkins() const
{
    m_theme->writeFile("Security.skn",
                       {"[DEFAULT]", "changepassword=Protected:", "changecommand=Command:",
                        "changesoundover=Over:", "changesoundclick=Click:"});
    // The label texts come from the console skin alone.
    m_theme->writeFile("Security.ini", {"[DEFAULT]", "changecommand=Not this:"});
    m_theme->writeFile("terminal.skn",
                       {"[SECURITY]", "01=05 DEFAULT Start menu button", "02=07 DEFAULT Short line",
                        "[DEFAULT]", "05=start.bmp,B,0,0,10,10,hover.wav,press.wav,True,SKIN",
                        "07=x,B,1,2,3,4,over"});
    m_theme->writeFile(
        "terminal.ini",
        {"[DEFAULT]", "05=start.bmp,B,0,0,10,10,over.wav,click.wav,false,RUN a,b,,c"});
    m_theme->writeFile("voicecontrol.ini", {"[TERMINAL]", "05=open start"});
    m_theme->writeFile("voicecontrol.master", {"[TERMINAL]", "05=master start", "07=master short"});
}

void TestSettingsLists::protectionClickFillsTheLabels_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<bool>("withLabel4");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("override line, voice command of the user")
        << 1 << true << QStringList{"05 TERMINAL DEFAULT", "TERMINAL - DEFAULT Start menu button",
                                    "Protected: False",    "Command: RUN a,b,,c",
                                    "Over: over.wav",      "Click: click.wav",
                                    "open start"};
    QTest::newRow("short line, voice command of the theme")
        << 2 << true << QStringList{"07 TERMINAL DEFAULT", "TERMINAL - DEFAULT Short line",
                                    "Protected: False",    "Command: ",
                                    "Over: over",          "Click: ",
                                    "master short"};
    QTest::newRow("label left out of the skin is skipped")
        << 1 << false
        << QStringList{"05 TERMINAL DEFAULT",
                       "TERMINAL - DEFAULT Start menu button",
                       "Protected: False",
                       "Command: RUN a,b,,c",
                       "<none>",
                       "Click: click.wav",
                       "open start"};
}

void TestSettingsLists::protectionClickFillsTheLabels()
{
    QFETCH(int, row);
    QFETCH(bool, withLabel4);
    QFETCH(QStringList, expected);
    writeLabelSkins();
    for (int i = 0; i < m_window->controlCount() && !withLabel4; ++i) {
        if (m_window->control(i) == m_window->lblInfo(4))
            QVERIFY(m_window->removeControl(i));
    }
    FillSettingsLists(*m_window, *m_lister, m_theme->theme());
    QCOMPARE(list(1).item(0)->text(), "TERMINAL");

    click(1, row);

    QCOMPARE(captions(), expected);
    QCOMPARE(m_selectedLine, row);
    QCOMPARE(list(1).currentRow(), -1);
    QVERIFY(list(1).selectedItems().isEmpty());
    // The editors select the line again after a change; that runs the same handler.
    m_window->lblInfo(6)->clear();
    click(1, m_selectedLine);
    QCOMPARE(captions(), expected);
}

void TestSettingsLists::headerOrEmptyClickChangesNothing()
{
    writeLabelSkins();
    FillSettingsLists(*m_window, *m_lister, m_theme->theme());
    click(1, 1);
    const QStringList shown = captions();

    click(1, 0);
    OnSettingsListClick(*m_window, m_theme->theme(), 1, m_selectedLine); // no line selected

    QCOMPARE(captions(), shown);
    QCOMPARE(m_selectedLine, 1);
    QCOMPARE(list(1).currentRow(), -1);
    QVERIFY(list(1).selectedItems().isEmpty());
}

void TestSettingsLists::themeClickShowsPreviewAndNamesTheTheme()
{
    m_theme->writePicture("../Test.bmp", 8, 8);
    m_theme->writePicture("../blue.bmp", 16, 4);
    writeBytes(m_env->root() + "/Themes/Broken.bmp", "BM this is no bitmap");
    writeBytes(m_env->root() + "/Themes/readme.txt", "not a theme");
    m_window->imgPic(1)->setPicture(QPixmap(8, 8));
    programState().ThemeName = "Test";

    FillThemeList(*m_window, *m_lister, m_theme->theme());
    QCOMPARE(lines(list(2)), QStringList({"blue", "Broken", "Test"}));

    click(2, 0);
    QCOMPARE(m_window->imgPic(1)->picture().size(), QSize(16, 4));
    QCOMPARE(programState().ThemeName, "blue");

    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("Broken\\.bmp does not load"));
    click(2, 1);
    QCOMPARE(m_window->imgPic(1)->picture().size(), QSize(16, 4));
    QCOMPARE(programState().ThemeName, "Broken");

    QCOMPARE(list(2).currentRow(), -1);
    QVERIFY(list(2).selectedItems().isEmpty());
}

void TestSettingsLists::onePressIsOneClick()
{
    m_theme->writeFile("terminal.skn",
                       {"[DEFAULT]", "Animated=false", "Sound=True", "[GLOBAL]",
                        "01=Animated: build the desktop step by step",
                        "02=Sound plays theme sounds", "03=Missing: a key DEFAULT lacks",
                        "05=Never: after the gap"});
    const QString terminal = m_theme->themeFolder() + "/terminal.skn";
    FillSettingsLists(*m_window, *m_lister, m_theme->theme());
    QListWidget &switches = list(3);
    QCOMPARE(lines(switches), QStringList({"  OFF   : Animated: build the desktop step by step",
                                           "  ON    : Sound plays theme sounds",
                                           "  ON    : Missing: a key DEFAULT lacks"}));
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    QWindow *window = m_window->windowHandle();
    const auto at = [&](int row) {
        return switches.viewport()->mapTo(m_window.get(),
                                          switches.visualItemRect(switches.item(row)).center());
    };

    // Pressed on the first switch, moved within it and over the second, released.
    QTest::mousePress(window, Qt::LeftButton, {}, at(0));
    QTest::mouseMove(window, at(0) + QPoint(2, 1));
    QTest::mouseMove(window, at(1));
    QTest::mouseRelease(window, Qt::LeftButton, {}, at(1));
    QCOMPARE(switches.item(0)->text(), "  ON    : Animated: build the desktop step by step");
    // Only the switch's own line changed.
    QCOMPARE(readBytes(terminal),
             QByteArray("[DEFAULT]\r\nAnimated=True\r\nSound=True\r\n[GLOBAL]\r\n"
                        "01=Animated: build the desktop step by step\r\n"
                        "02=Sound plays theme sounds\r\n03=Missing: a key DEFAULT lacks\r\n"
                        "05=Never: after the gap\r\n"));
    QVERIFY(switches.selectedItems().isEmpty());

    // A double click is one click and then the double-click handler.
    QTest::mouseDClick(window, Qt::LeftButton, {}, at(2));
    QCOMPARE(kestaStoreGet(terminal, "DEFAULT", "Missing"), "False");
    QCOMPARE(switches.item(2)->text(), "  OFF   : Missing: a key DEFAULT lacks");
    QCOMPARE(switches.currentRow(), -1);
    QVERIFY(switches.selectedItems().isEmpty());
    QCOMPARE(QApplication::focusWidget(), m_window->imgBut(1));
    QVERIFY(m_env->messages.isEmpty());
}

QTEST_MAIN(TestSettingsLists)
#include "tst_settings_lists.moc"
