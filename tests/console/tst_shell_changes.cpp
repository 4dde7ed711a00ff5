// What the shell writes while the console runs shows in the console: its switches and button
// lines, replaced or written in place, a theme it switches to; a dialog open meanwhile is left
// alone. The theme is tests/data/console with 30 switches, so that the switch list scrolls.

#include "console/frm_main.h"
#include "core/settings_store.h"
#include "dialogs/frm_select.h"
#include "test_environment.h"

#include <QProcess>
#include <QSaveFile>
#include <QScrollBar>
#include <QTest>

namespace {

constexpr int ChangeCommand = 2; // imgBut(2): CHANGECOMMAND

struct World
{
    World();
    QString theme(const QString &name) const { return env.root() + "/Themes/Test/" + name; }
    QString shown(int list, int row) const
    {
        const QListWidget *lines = console.lstBox(list);
        return lines && lines->item(row) ? lines->item(row)->text() : QString();
    }

    TestEnvironment env;
    std::function<void(QWidget &)> dialog = [](QWidget &) {};
    platform::ServicesOverride person{{.showModal = [this](QWidget &window) { dialog(window); },
                                       .sleep = [](int) {},
                                       .endProcess = [] {}}};
    frmMain console;
};

World::World()
{
    programState() = ProgramState();
    QVERIFY(settings::save(settings::application, "Default", "ProgramDir", env.root()) &&
            settings::save(settings::application, "Default", "ThemeDir", "\\Themes\\Test\\"));
    copyTestData("console", env.root());
    QByteArray switches = "\n[GLOBAL]\n";
    for (int n = 2; n <= 30; ++n)
        switches += QByteArray::number(n).rightJustified(2, '0') + "=Switch" +
                    QByteArray::number(n) + ": a switch\n";
    writeBytes(theme("terminal.skn"),
               readBytes(theme("terminal.skn")).replace("\n[GLOBAL]\n", switches));
    QVERIFY(console.Form_Load());
    QVERIFY(QTest::qWaitForWindowExposed(&console));
}

// As the shell writes: a new file renamed over the old one, or the old one rewritten.
void write(const QString &path, const QByteArray &from, const QByteArray &to, bool inPlace)
{
    const QByteArray text = readBytes(path);
    QVERIFY2(text.contains(from), qPrintable(path));
    if (inPlace)
        return writeBytes(path, QByteArray(text).replace(from, to));
    QSaveFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(text).replace(from, to));
    QVERIFY(file.commit());
}

} // namespace

class TestShellChanges : public QObject
{
    Q_OBJECT

private slots:
    void changesShowWherePeopleLeftThem_data();
    void changesShowWherePeopleLeftThem();
    void anOpenDialogIsLeftAlone();
};

void TestShellChanges::changesShowWherePeopleLeftThem_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("from");
    QTest::addColumn<QByteArray>("to");
    QTest::addColumn<int>("label"); // lblInfo(label), or lstBox(-label) line 0
    QTest::addColumn<QString>("shown");
    QTest::newRow("a switch") << "Themes/Test/terminal.skn" << QByteArray("[DEFAULT]\n")
                              << QByteArray("[DEFAULT]\nScreensaver=False\n") << -3
                              << "  OFF   : Screensaver: the screen saver";
    QTest::newRow("the chosen line's click sound")
        << "Themes/Test/terminal.skn" << QByteArray(",,,True,") << QByteArray(",,bell,True,") << 5
        << "Click: bell";
    QTest::newRow("a theme the shell switched to")
        << "config/KESTA Terminal/settings.ini" << QByteArray("\\Themes\\Test\\")
        << QByteArray("\\Themes\\Other\\") << -3 << "  ON    : Other: the other theme's switch";
}

// Each change is seen written as a new file renamed over the old one, and then undone by a
// write in place. The chosen line, the lists' scroll positions and the keyboard's focus stay.
void TestShellChanges::changesShowWherePeopleLeftThem()
{
    QFETCH(QString, file);
    QFETCH(QByteArray, from);
    QFETCH(QByteArray, to);
    QFETCH(int, label);
    QFETCH(QString, shown);
    World w;
    QVERIFY(QProcess::execute("cp", {"-r", w.theme(""), w.env.root() + "/Themes/Other"}) == 0);
    write(w.env.root() + "/Themes/Other/terminal.skn", "01=Screensaver: the screen saver",
          "01=Other: the other theme's switch", true);
    w.console.lstBox(1)->setCurrentRow(3);
    const QString chosen = w.console.lblInfo(0)->text();
    QScrollBar *scroll = w.console.lstBox(3)->verticalScrollBar();
    QTRY_VERIFY(scroll->maximum() > 2);
    scroll->setValue(scroll->maximum() - 1);
    w.console.lstBox(1)->setFocus();
    const auto now = [&] {
        return label < 0 ? w.shown(-label, 0) : w.console.lblInfo(label)->text();
    };
    const QString before = now();

    for (const bool inPlace : {false, true}) {
        write(w.env.path(file), inPlace ? to : from, inPlace ? from : to, inPlace);
        QTRY_COMPARE_WITH_TIMEOUT(now(), inPlace ? before : shown, 5000);
        QCOMPARE(w.console.lblInfo(0)->text(), chosen);
        QCOMPARE(w.console.SelectedLine, 3);
        scroll = w.console.lstBox(3)->verticalScrollBar();
        QCOMPARE(scroll->value(), scroll->maximum() - 1);
        QCOMPARE(QApplication::focusWidget(), w.console.lstBox(1));
    }
}

// The command editor's select dialog, open while the shell writes, keeps what was typed into
// it; the lists show the change once it has closed.
void TestShellChanges::anOpenDialogIsLeftAlone()
{
    World w;
    w.console.lstBox(1)->setCurrentRow(3);
    const QString before = w.shown(3, 0);
    bool changedUnder = true;
    w.dialog = [&](QWidget &window) {
        auto &chooser = dynamic_cast<frmSelect &>(window);
        window.setWindowModality(Qt::ApplicationModal);
        window.show();
        chooser.txtSel->setText("typed");
        write(w.theme("terminal.skn"), "[DEFAULT]\n", "[DEFAULT]\nScreensaver=False\n", false);
        QTest::qWait(1000);
        changedUnder = w.shown(3, 0) != before || chooser.txtSel->text() != "typed";
        window.close();
    };
    emit w.console.imgButClicked(ChangeCommand);
    QVERIFY(!changedUnder);
    QTRY_COMPARE_WITH_TIMEOUT(w.shown(3, 0), "  OFF   : Screensaver: the screen saver", 5000);
}

QTEST_MAIN(TestShellChanges)
#include "tst_shell_changes.moc"
