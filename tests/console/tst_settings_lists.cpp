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

using namespace Qt::StringLiterals;

namespace {

QString kestaStoreGet(const QString &file, const QString &section, const QString &key)
{
    QProcess process;
    process.start(qEnvironmentVariable("KESTA_BIN_DIR") + u"/kesta-store"_s,
                  {u"ini"_s, u"get"_s, file, section, key});
    process.waitForFinished(30000);
    if (process.exitCode() != 0)
        return u"<absent>"_s;
    return QString::fromUtf8(process.readAllStandardOutput()).chopped(1);
}

QStringList lines(const QListWidget &list)
{
    QStringList result;
    for (int row = 0; row < list.count(); ++row)
        result.append(list.item(row)->text());
    return result;
}

QList<int> itemData(const QListWidget &list)
{
    QList<int> result;
    for (int row = 0; row < list.count(); ++row)
        result.append(list.item(row)->data(Qt::UserRole).toInt());
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
    void switchClickWritesTerminalSkin();
    void switchThatCannotBeWrittenKeepsItsState();
    void protectionClickFillsTheLabels_data();
    void protectionClickFillsTheLabels();
    void labelLeftOutOfTheSkinIsSkipped();
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
    m_theme = std::make_unique<ThemeFixture>(m_env->root(), u"Test"_s);
    programState().SkinName = u"Security"_s;

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
    connectSettingsLists(*m_window, m_selectedLine);
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
        result.append(m_window->lblInfo(i) ? m_window->lblInfo(i)->text() : u"<none>"_s);
    return result;
}

void TestSettingsLists::protectionListFromEverySkinFile()
{
    m_theme->writeFile(u"alpha.skn"_s,
                       {u"[SECURITY]"_s, u"01=05 DEFAULT Start button"_s, u"02=06 DEFAULT Clock"_s,
                        u"04=08 DEFAULT After a gap"_s, u"[DEFAULT]"_s,
                        u"05=start.bmp,B,0,0,10,10,o.wav,c.wav,False,START"_s,
                        u"06=clock.bmp,B,0,0,10,10,o.wav,c.wav,false,CLOCK"_s,
                        u"08=gap.bmp,B,0,0,10,10,o.wav,c.wav,false,GAP"_s});
    // The override line wins; an override line that is empty falls back to the skin's.
    m_theme->writeFile(
        u"alpha.ini"_s,
        {u"[default]"_s, u"05=start.bmp,B,0,0,10,10,o.wav,c.wav,True,START"_s, u"06="_s});
    m_theme->writeFile(u"Beta.skn"_s, {u"[DEFAULT]"_s, u"01=b.bmp,B,0,0,1,1,,,False,X"_s});
    m_theme->writeFile(u"Delta.skn"_s, {u"[SECURITY]"_s, u"01=03 MAIN Delta button"_s, u"[MAIN]"_s,
                                        u"03=d.bmp,B,0,0,1,1,,,FALSE,D"_s});
    // Button lines that are missing, cut short before the command, or flagged with no Boolean.
    m_theme->writeFile(u"gamma.SKN"_s,
                       {u"[SECURITY]"_s, u"01=01 MAIN No line"_s, u"02=02 MAIN Short line"_s,
                        u"03=03 MAIN Odd flag"_s, u"[MAIN]"_s, u"02=x,B,1,2,3,4,o,c,False"_s,
                        u"03=x,B,1,2,3,4,o,c,maybe,CMD"_s});
    m_theme->writeFile(u"notes.txt"_s, {u"[SECURITY]"_s, u"01=01 MAIN Not a skin"_s});

    const QStringList expected{
        u"ALPHA"_s,
        u"  True  : DEFAULT Start button"_s,
        u"  False : DEFAULT Clock"_s,
        u"DELTA"_s,
        u"  False : MAIN Delta button"_s,
        u"GAMMA"_s,
        u"  True  : MAIN No line"_s,
        u"  False : MAIN Short line"_s,
        u"  True  : MAIN Odd flag"_s,
    };
    // A second fill (RestoreDefaults refills) lists the same, not twice as much.
    for (int fill = 0; fill < 2; ++fill) {
        FillSettingsLists(*m_window, *m_lister);
        QCOMPARE(lines(list(1)), expected);
        QCOMPARE(itemData(list(1)), QList<int>({0, 5, 6, 0, 3, 0, 1, 2, 3}));
    }
    QVERIFY(m_env->messages.isEmpty());
}

void TestSettingsLists::switchClickWritesTerminalSkin()
{
    m_theme->writeFile(u"terminal.skn"_s,
                       {u"[DEFAULT]"_s, u"Animated=false"_s, u"Sound=True"_s, u"[GLOBAL]"_s,
                        u"01=Animated: build the desktop step by step"_s,
                        u"02=Sound plays theme sounds"_s, u"03=Missing: a key DEFAULT lacks"_s,
                        u"05=Never: after the gap"_s});
    const QString terminal = m_theme->themeFolder() + u"/terminal.skn"_s;

    FillSettingsLists(*m_window, *m_lister);
    QCOMPARE(lines(list(3)), QStringList({u"  OFF   : Animated: build the desktop step by step"_s,
                                          u"  ON    : Sound plays theme sounds"_s,
                                          u"  ON    : Missing: a key DEFAULT lacks"_s}));

    click(3, 0);
    QCOMPARE(list(3).item(0)->text(), u"  ON    : Animated: build the desktop step by step"_s);
    QCOMPARE(kestaStoreGet(terminal, u"DEFAULT"_s, u"Animated"_s), u"True"_s);
    // Only the switch's own line changed.
    QCOMPARE(readBytes(terminal),
             QByteArray("[DEFAULT]\r\nAnimated=True\r\nSound=True\r\n[GLOBAL]\r\n"
                        "01=Animated: build the desktop step by step\r\n"
                        "02=Sound plays theme sounds\r\n03=Missing: a key DEFAULT lacks\r\n"
                        "05=Never: after the gap\r\n"));

    click(3, 0);
    QCOMPARE(list(3).item(0)->text(), u"  OFF   : Animated: build the desktop step by step"_s);
    QCOMPARE(kestaStoreGet(terminal, u"DEFAULT"_s, u"Animated"_s), u"False"_s);

    click(3, 2);
    QCOMPARE(list(3).item(2)->text(), u"  OFF   : Missing: a key DEFAULT lacks"_s);
    QCOMPARE(kestaStoreGet(terminal, u"DEFAULT"_s, u"Missing"_s), u"False"_s);

    QCOMPARE(list(3).currentRow(), -1);
    QVERIFY(list(3).selectedItems().isEmpty());
    QVERIFY(m_env->messages.isEmpty());
}

void TestSettingsLists::switchThatCannotBeWrittenKeepsItsState()
{
    // "Sound=x" cannot be a key of the file; the write is refused.
    m_theme->writeFile(u"terminal.skn"_s, {u"[GLOBAL]"_s, u"01=Sound=x: no such key"_s});
    const QString terminal = m_theme->themeFolder() + u"/terminal.skn"_s;
    const QByteArray before = readBytes(terminal);
    FillSettingsLists(*m_window, *m_lister);

    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"cannot change"_s));
    click(3, 0);

    QCOMPARE(m_env->messages, QStringList({u"Error Writing Key"_s}));
    QCOMPARE(list(3).item(0)->text(), u"  ON    : Sound=x: no such key"_s);
    QCOMPARE(readBytes(terminal), before);
    QCOMPARE(list(3).currentRow(), -1);
}

void TestSettingsLists::writeLabelSkins() const
{
    m_theme->writeFile(u"Security.skn"_s,
                       {u"[DEFAULT]"_s, u"changepassword=Protected:"_s, u"changecommand=Command:"_s,
                        u"changesoundover=Over:"_s, u"changesoundclick=Click:"_s});
    // The label texts come from the console skin alone.
    m_theme->writeFile(u"Security.ini"_s, {u"[DEFAULT]"_s, u"changecommand=Not this:"_s});
    m_theme->writeFile(u"terminal.skn"_s,
                       {u"[SECURITY]"_s, u"01=05 DEFAULT Start menu button"_s,
                        u"02=07 DEFAULT Short line"_s, u"03=09 INPUT Missing line"_s,
                        u"[DEFAULT]"_s, u"05=start.bmp,B,0,0,10,10,hover.wav,press.wav,True,SKIN"_s,
                        u"07=x,B,1,2,3,4,over"_s});
    m_theme->writeFile(
        u"terminal.ini"_s,
        {u"[DEFAULT]"_s, u"05=start.bmp,B,0,0,10,10,over.wav,click.wav,false,RUN a,b,,c"_s});
    m_theme->writeFile(u"voicecontrol.ini"_s, {u"[TERMINAL]"_s, u"05=open start"_s});
    m_theme->writeFile(u"voicecontrol.master"_s,
                       {u"[TERMINAL]"_s, u"05=master start"_s, u"07=master short"_s});
}

void TestSettingsLists::protectionClickFillsTheLabels_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("override line, voice command of the user")
        << 1 << QStringList{u"05 TERMINAL DEFAULT"_s, u"TERMINAL - DEFAULT Start menu button"_s,
                            u"Protected: False"_s,    u"Command: RUN a,b,,c"_s,
                            u"Over: over.wav"_s,      u"Click: click.wav"_s,
                            u"open start"_s};
    QTest::newRow("short line, voice command of the theme")
        << 2 << QStringList{u"07 TERMINAL DEFAULT"_s, u"TERMINAL - DEFAULT Short line"_s,
                            u"Protected: True"_s,     u"Command: "_s,
                            u"Over: over"_s,          u"Click: "_s,
                            u"master short"_s};
    QTest::newRow("no button line, no voice command")
        << 3
        << QStringList{u"09 TERMINAL INPUT"_s,
                       u"TERMINAL - INPUT Missing line"_s,
                       u"Protected: True"_s,
                       u"Command: "_s,
                       u"Over: "_s,
                       u"Click: "_s,
                       QString()};
}

void TestSettingsLists::protectionClickFillsTheLabels()
{
    QFETCH(int, row);
    QFETCH(QStringList, expected);
    writeLabelSkins();
    FillSettingsLists(*m_window, *m_lister);
    QCOMPARE(list(1).item(0)->text(), u"TERMINAL"_s);

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

void TestSettingsLists::labelLeftOutOfTheSkinIsSkipped()
{
    writeLabelSkins();
    for (int i = 0; i < m_window->controlCount(); ++i) {
        if (m_window->control(i) == m_window->lblInfo(4))
            QVERIFY(m_window->removeControl(i));
    }
    FillSettingsLists(*m_window, *m_lister);

    click(1, 1);

    QCOMPARE(captions(),
             QStringList({u"05 TERMINAL DEFAULT"_s, u"TERMINAL - DEFAULT Start menu button"_s,
                          u"Protected: False"_s, u"Command: RUN a,b,,c"_s, u"<none>"_s,
                          u"Click: click.wav"_s, u"open start"_s}));
}

void TestSettingsLists::headerOrEmptyClickChangesNothing()
{
    writeLabelSkins();
    FillSettingsLists(*m_window, *m_lister);
    click(1, 1);
    const QStringList shown = captions();

    click(1, 0);
    OnSettingsListClick(*m_window, 1, m_selectedLine); // no line selected

    QCOMPARE(captions(), shown);
    QCOMPARE(m_selectedLine, 1);
    QCOMPARE(list(1).currentRow(), -1);
    QVERIFY(list(1).selectedItems().isEmpty());
}

void TestSettingsLists::themeClickShowsPreviewAndNamesTheTheme()
{
    m_theme->writePicture(u"../Test.bmp"_s, 8, 8);
    m_theme->writePicture(u"../blue.bmp"_s, 16, 4);
    writeBytes(m_env->root() + u"/Themes/Broken.bmp"_s, "BM this is no bitmap");
    writeBytes(m_env->root() + u"/Themes/readme.txt"_s, "not a theme");
    m_window->imgPic(1)->setPicture(QPixmap(8, 8));
    programState().ThemeName = u"Test"_s;

    FillThemeList(*m_window, *m_lister);
    QCOMPARE(lines(list(2)), QStringList({u"blue"_s, u"Broken"_s, u"Test"_s}));

    click(2, 0);
    QCOMPARE(m_window->imgPic(1)->picture().size(), QSize(16, 4));
    QCOMPARE(programState().ThemeName, u"blue"_s);

    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"Broken\\.bmp does not load"_s));
    click(2, 1);
    QCOMPARE(m_window->imgPic(1)->picture().size(), QSize(16, 4));
    QCOMPARE(programState().ThemeName, u"Broken"_s);

    QCOMPARE(list(2).currentRow(), -1);
    QVERIFY(list(2).selectedItems().isEmpty());
}

void TestSettingsLists::onePressIsOneClick()
{
    m_theme->writeFile(u"terminal.skn"_s,
                       {u"[DEFAULT]"_s, u"Sound=True"_s, u"Multiple=True"_s, u"[GLOBAL]"_s,
                        u"01=Sound: theme sounds"_s, u"02=Multiple: sounds overlap"_s});
    const QString terminal = m_theme->themeFolder() + u"/terminal.skn"_s;
    FillSettingsLists(*m_window, *m_lister);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    QWindow *window = m_window->windowHandle();
    QListWidget &switches = list(3);
    const auto at = [&](int row) {
        return switches.viewport()->mapTo(m_window.get(),
                                          switches.visualItemRect(switches.item(row)).center());
    };

    // Pressed on the first switch, moved within it and over the second, released.
    QTest::mousePress(window, Qt::LeftButton, {}, at(0));
    QTest::mouseMove(window, at(0) + QPoint(2, 1));
    QTest::mouseMove(window, at(1));
    QTest::mouseRelease(window, Qt::LeftButton, {}, at(1));
    QCOMPARE(kestaStoreGet(terminal, u"DEFAULT"_s, u"Sound"_s), u"False"_s);
    QCOMPARE(kestaStoreGet(terminal, u"DEFAULT"_s, u"Multiple"_s), u"True"_s);
    QVERIFY(switches.selectedItems().isEmpty());

    // A double click is one click and then the double-click handler.
    QTest::mouseDClick(window, Qt::LeftButton, {}, at(1));
    QCOMPARE(kestaStoreGet(terminal, u"DEFAULT"_s, u"Multiple"_s), u"False"_s);
    QCOMPARE(switches.item(1)->text(), u"  OFF   : Multiple: sounds overlap"_s);
    QVERIFY(switches.selectedItems().isEmpty());
    QCOMPARE(QApplication::focusWidget(), m_window->imgBut(1));
}

QTEST_MAIN(TestSettingsLists)
#include "tst_settings_lists.moc"
