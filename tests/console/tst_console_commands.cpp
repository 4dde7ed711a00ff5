// The console's buttons and CHANGE... editors, driven as a person would: clicks, and the dialogs
// and prompts answered from scripts. Results are read back from the files, the store and sounds.
// What the shell writes meanwhile shows in the lists, each where it was left.
// The theme is tests/data/console: buttons 1 to 11 from key 06 on; its protection list holds
// 0 SECURITY, 1 its Quit button, 2 TERMINAL, 3 Start, 4 Short line.

#include "console/frm_main.h"
#include "core/ini_access.h"
#include "core/settings_store.h"
#include "dialogs/frm_input.h"
#include "dialogs/frm_select.h"
#include "platform/services.h"
#include "recording_sound_output.h"
#include "skin/announcer.h"
#include "test_environment.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QScrollBar>
#include <QTest>

using Answer = std::optional<QString>;

namespace {

constexpr int Quit = 9;

Answer answer(const QString &text)
{
    return text == "<quit>" ? Answer() : text;
}

// The console loaded in a private world, and a person who answers the dialogs and the prompts in
// order; asked: "input masked", "select program|arguments", "prompt|title|default|masked".
struct World
{
    World();
    void answer(QWidget &window);
    QString theme(const QString &name) const { return env.root() + "/Themes/Test/" + name; }
    void click(int button) { emit console.imgButClicked(button); }
    // As a click selects it: the keyboard may rest on the line already.
    void select(int row)
    {
        console.lstBox(1)->setCurrentItem(nullptr);
        console.lstBox(1)->setCurrentRow(row);
    }
    QString sounds() const;
    QString shown() const
    {
        if (!console.lstBox(1))
            return "(the console ended)";
        return console.lblInfo(5)->text() + '|' + console.lblInfo(6)->text() + '|' +
               console.lstBox(1)->item(3)->text() + '|' + console.lstBox(3)->item(0)->text();
    }

    std::function<void(QWidget &)> whileOpen = [](QWidget &) {}; // a dialog, just shown
    QList<Answer> dialogAnswers;
    QStringList promptAnswers, asked, said;
    bool ended = false;
    TestEnvironment env;
    RecordingSoundOutput sound;
    platform::ServicesOverride person;
    frmMain console;
};

World::World()
    : person({.inputPrompt =
                  [this](const QString &prompt, const QString &title, const QString &text,
                         platform::PromptEcho echo) {
                      asked << prompt + '|' + title + '|' + text +
                                   (echo == platform::PromptEcho::Password ? "|masked" : "");
                      return promptAnswers.isEmpty() ? QString() : promptAnswers.takeFirst();
                  },
              .showModal = [this](QWidget &window) { answer(window); },
              .sleep = [](int) {},
              .endProcess = [this] { ended = true; }})
{
    programState() = ProgramState();
    QVERIFY(settings::save(settings::application, "Default", "ProgramDir", env.root()) &&
            settings::save(settings::application, "Default", "ThemeDir", "\\Themes\\Test\\"));
    copyTestData("console", env.root());
    QVERIFY(console.Form_Load());
    QObject::connect(&skin::Announcer::of(console), &skin::Announcer::announced,
                     [this](const QString &words) { said << words; });
}

void World::answer(QWidget &window)
{
    const Answer answer = dialogAnswers.isEmpty() ? "" : dialogAnswers.takeFirst();
    window.setWindowModality(Qt::ApplicationModal); // as platform::runModal shows it
    window.show();
    whileOpen(window);
    if (auto *input = qobject_cast<frmInput *>(&window)) {
        asked << (input->txtInput->isMasked() ? "input masked" : "input clear");
        input->txtInput->setText(answer.value_or(""));
        if (answer)
            input->accept();
    } else if (auto *chooser = qobject_cast<frmSelect *>(&window)) {
        asked << "select " + chooser->txtSel->text() + '|' + chooser->txtSel2->text();
        QObject::connect(&skin::Announcer::of(window), &skin::Announcer::announced, &window,
                         [this](const QString &words) { said << words; });
        chooser->txtSel->setText(answer.value_or("").section('|', 0, 0));
        chooser->txtSel2->setText(answer.value_or("").section('|', 1));
        if (answer)
            chooser->accept();
    }
    if (!answer)
        window.close();
}

QString World::sounds() const
{
    QStringList names;
    for (const RecordingSoundOutput::Played &played : sound.played)
        names << QFileInfo(played.diskPath).completeBaseName();
    return names.join(' ');
}

} // namespace

class TestConsoleCommands : public QObject
{
    Q_OBJECT

private slots:
    void scenarios();
    void shellChangesShow_data();
    void shellChangesShow();
    void anUnreadableStoreKeepsTheTheme();
};

// Each scenario of tests/data/tables/console_scenarios.txt in a fresh world: its steps, then
// what the person heard and was asked, and what the files and the store hold, compared with
// tests/data/console/scenarios.golden.
void TestConsoleCommands::scenarios()
{
    QByteArray dump;
    for (const QString &line :
         QString(readBytes(testData("tables/console_scenarios.txt"))).split('\n')) {
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        const QStringList fields = (line.endsWith('|') ? line + ' ' : line).split(" | ");
        World w;
        for (const QString &text : fields.value(2).split(';'))
            w.dialogAnswers << answer(QString(text).replace('#', QChar(0xDC00)));
        w.promptAnswers = fields.value(3).split(';');
        w.promptAnswers.replaceInStrings("#", QString("new") + QChar(0xD800));
        QString opened;
        const platform::ServicesOverride desktop({.openWithDesktop = [&](const QUrl &url) {
            return !(opened = url.fileName()).isEmpty();
        }});
        for (const QString &step : fields[1].split(' ', Qt::SkipEmptyParts)) {
            const QString name = step.section('=', 0, 0),
                          value = step.section('=', 1).replace('_', ' ');
            if (name == "password") {
                QVERIFY(settings::save(settings::application, "DEFAULT", "Password", value));
            } else if (name == "flag") {
                writeBytes(w.theme("security.ini"),
                           "[default]\n06=b.bmp,B,0,0,9,9,,click," + value.toUtf8() + ",QUIT");
            } else if (name == "command") {
                writeBytes(w.env.path(value), "");
                programState().consoleButtons.at(Quit).command = value;
            } else if (name == "row") {
                w.select(value.toInt());
            } else if (name == "theme") {
                w.console.lstBox(2)->setCurrentRow(value.toInt());
            } else if (name == "switch") {
                QListWidget *list = w.console.lstBox(3);
                QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                                  list->visualItemRect(list->item(0)).center());
            } else if (name == "readonly") {
                QFile::setPermissions(w.theme("terminal.skn"), QFile::ReadOwner);
            } else if (name == "themedir") {
                QVERIFY(settings::save(settings::application, "Default", "ThemeDir", value));
            } else {
                w.click(step.toInt());
            }
        }
        const auto stored = [](const char *section, const char *key) {
            return settings::get(settings::application, section, key, "(none)").toUtf8();
        };
        dump += "== " + fields[0].toUtf8() + "\nsounds: " + w.sounds().toUtf8() +
                "\nasked: " + w.asked.join(" / ").toUtf8() +
                "\nsaid: " + w.said.join(" / ").toUtf8() + "\nopened: " + opened.toUtf8() +
                "\nended: " + (w.ended ? "yes" : "no") +
                ", text kept: " + programState().DialogText.toUtf8() +
                "\npassword: " + stored("DEFAULT", "Password") +
                ", theme: " + stored("Default", "ThemeDir") + "\nshown: " + w.shown().toUtf8() +
                " / " + w.console.lblInfo(0)->text().toUtf8() + '\n';
        for (const char *file : {"terminal.ini", "voicecontrol.ini", "Security.ini"})
            dump +=
                QByteArray(file) + ": " + readBytes(w.theme(file)).replace("\r\n", "\\r\\n") + '\n';
        dump += "terminal.skn unchanged: " +
                QByteArray(readBytes(w.theme("terminal.skn")) ==
                                   readBytes(testData("console/Themes/Test/terminal.skn"))
                               ? "yes"
                               : "no") +
                '\n';
    }
    compareWithGolden(dump, testData("console/scenarios.golden"));
}

void TestConsoleCommands::shellChangesShow_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("key"); // section/key=value
    QTest::addColumn<int>("label");   // lblInfo(label), or line 0 of lstBox(-label)
    QTest::addColumn<QString>("shown");
    QTest::addColumn<bool>("inDialog"); // written while the command editor's dialog is open
    QTest::newRow("a switch, under a dialog")
        << "Themes/Test/terminal.skn"
        << "DEFAULT/Screensaver=False" << -3 << "  OFF   : Screensaver: the screen saver" << true;
    QTest::newRow("the chosen line's click sound")
        << "Themes/Test/terminal.skn"
        << "DEFAULT/05=truecolor.bmp,B,0,0,10,10,,bell,True,x" << 5 << "Click: bell" << false;
    QTest::newRow("a theme the shell switched to")
        << "config/KESTA Terminal/settings.ini"
        << "Default/ThemeDir=\\Themes\\Other\\" << -3 << "  ON    : Other: the other theme's switch"
        << false;
}

// Each change written as the shell writes (renamed over the old file), then undone in place; the
// chosen line, the switch list's scroll position (30 switches) and the focused list stay.
void TestConsoleCommands::shellChangesShow()
{
    QFETCH(QString, file);
    QFETCH(QString, key);
    QFETCH(int, label);
    QFETCH(QString, shown);
    QFETCH(bool, inDialog);
    World w;
    for (int n = 2; n <= 30; ++n)
        QVERIFY(WriteINI("GLOBAL", QString::asprintf("%02d", n), "Switch: a switch",
                         w.theme("terminal.skn")));
    QCOMPARE(QProcess::execute("cp", {"-r", w.theme(""), w.env.path("Themes/Other")}), 0);
    QVERIFY(WriteINI("GLOBAL", "01", "Other: the other theme's switch",
                     w.env.path("Themes/Other/terminal.skn")));
    w.console.refreshFromFiles();
    const auto now = [&] {
        const QListWidget *list = w.console.lstBox(-label);
        return label >= 0 ? w.console.lblInfo(label)->text() : list ? list->item(0)->text() : "";
    };
    w.select(3);
    const QString chosen = w.console.lblInfo(0)->text(), before = now();
    const QByteArray old = readBytes(w.env.path(file));
    QTRY_VERIFY(w.console.lstBox(3)->verticalScrollBar()->maximum() > 2);
    w.console.lstBox(3)->verticalScrollBar()->setValue(2);
    for (const bool undo : {false, true}) {
        const auto change = [&] {
            if (undo)
                return writeBytes(w.env.path(file), old);
            QVERIFY(WriteINI(key.section('/', 0, 0), key.section('/', 1).section('=', 0, 0),
                             key.section('=', 1), w.env.path(file)));
        };
        bool kept = false;
        w.whileOpen = [&](QWidget &window) {
            auto &chooser = dynamic_cast<frmSelect &>(window);
            chooser.txtSel->setText("typed");
            change();
            QTest::qWait(1000);
            kept = now() == before && chooser.txtSel->text() == "typed";
        };
        w.dialogAnswers = {std::nullopt};
        if (inDialog && !undo) {
            w.click(2); // CHANGECOMMAND
            QVERIFY(kept);
        } else {
            change();
        }
        w.console.lstBox(1)->setFocus();
        QTRY_COMPARE_WITH_TIMEOUT(now(), undo ? before : shown, 5000);
        QCOMPARE(w.console.lblInfo(0)->text(), chosen);
        QCOMPARE(w.console.lstBox(3)->verticalScrollBar()->value(), 2);
        QCOMPARE(w.console.focusWidget(), w.console.lstBox(1));
    }
}

// A store that turned unreadable (its folder now a link) is no theme change: the console keeps
// its theme and still follows the theme's files.
void TestConsoleCommands::anUnreadableStoreKeepsTheTheme()
{
    World w;
    const auto firstSwitch = [&] {
        const QListWidget *list = w.console.lstBox(3);
        return list && list->count() > 0 ? list->item(0)->text() : QString();
    };
    const QString store = w.env.path("config/KESTA Terminal");
    QVERIFY(QDir().rename(store, w.env.path("elsewhere")));
    QVERIFY(QFile::link(w.env.path("elsewhere"), store));
    QVERIFY(WriteINI("DEFAULT", "Screensaver", "False", w.theme("terminal.skn")));
    QTRY_COMPARE_WITH_TIMEOUT(firstSwitch(), "  OFF   : Screensaver: the screen saver", 5000);
    QCOMPARE(programState().ThemeDir, "\\Themes\\Test\\");
}

QTEST_MAIN(TestConsoleCommands)
#include "tst_console_commands.moc"
