#pragma once

#include "console/frm_main.h"
#include "recording_sound_output.h"
#include "test_environment.h"

#include <QList>
#include <QStringList>

#include <memory>
#include <optional>

// The console, except that ending the program and the pause after an accepted password are
// recorded instead of happening.
class TestConsole : public frmMain
{
public:
    bool ended = false;
    QList<int> pauses;
    void passwordPause(int milliseconds) override { pauses.append(milliseconds); }

protected:
    void endProcess() override { ended = true; }
};

// A theme "Test" in a private world, the console loaded from it, and a person who answers the
// dialogs and prompts from scripts. The console skin has the lists, the labels, a theme picture
// and the given lines (buttons from key 07 on, and what may follow); sounds start/ok/fail/click
// exist; terminal.skn has the password sounds and prompts, then terminalLines.
class ConsoleFixture
{
public:
    ConsoleFixture(const QStringList &buttons, const QByteArray &terminalLines = {});
    ~ConsoleFixture();

    QString theme(const QString &name) const { return env.root() + "/Themes/Test/" + name; }
    // The file names of the sounds played, in order.
    QStringList sounds() const;
    // Clicks console button index.
    void click(int index) { emit console->imgButClicked(index); }
    // kesta-store's answer: the store with 2 arguments, an INI file with 3; nullopt when absent.
    static std::optional<QString> store(const QStringList &arguments);

    // Answers to the dialogs (nullopt: quit it; the select dialog's "program|arguments") and
    // to the system's prompts (empty: cancel), taken in order. What was asked is recorded:
    // "input masked", "input clear", "select program|arguments", "prompt|title|default".
    QList<std::optional<QString>> dialogAnswers;
    QStringList promptAnswers;
    QStringList asked;

    TestEnvironment env;
    RecordingSoundOutput sound;
    std::unique_ptr<TestConsole> console;
};
