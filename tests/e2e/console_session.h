#pragma once

#include "private_pulse_server.h"
#include "x_session.h"

#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>
#include <optional>

// The world of one end-to-end test file: a display, a sound server recording what is played, a
// private settings store and runtime folder, and a private copy of the demo program folder in
// which every theme sound of "Default" is a tone of its own, so that a recording tells them
// apart (without a recording, the demo's own sounds stay). The shell's side is played through
// kesta-store: the shell runs, gives the console the whole screen, and its password is Password.
class ConsoleSession
{
public:
    static inline const QString Password = QStringLiteral("secret");
    static inline const QString ConsoleTitle = QStringLiteral("^KESTA Terminal - Security$");
    static inline const QString InputTitle = QStringLiteral("^KESTA Terminal - Input");
    static inline const QString SelectTitle = QStringLiteral("^KESTA Terminal - Select");

    ConsoleSession();
    ~ConsoleSession();
    ConsoleSession(const ConsoleSession &) = delete;
    ConsoleSession &operator=(const ConsoleSession &) = delete;

    enum class Recording
    {
        On,
        Off // for long runs that listen to nothing: a recording grows by 11 MB a minute
    };
    // Starts the display and the sound server and writes the store and the program folder.
    // False, with the reason in error(), when a tool the tests need is missing.
    bool start(Recording recording = Recording::On);
    QString error() const { return m_error; }
    XSession &x() { return m_x; }
    PrivatePulseServer &pulse() { return *m_pulse; }

    // The theme folder of "Default" in the private program folder, and a file in it.
    QString themeFile(const QString &name) const;
    QString programDir() const;
    QString settingsFile() const;
    // The console's current folder, where it leaves a core file when it dies by a signal.
    QString workFolder() const;

    // kesta-store with arguments; its standard output without the final line break.
    bool store(const QStringList &arguments, QString *output = nullptr);
    std::optional<QString> storeGet(const QString &section, const QString &key);
    std::optional<QString> iniGet(const QString &themeFile, const QString &section,
                                  const QString &key);

    // Starts the console as the tests meet it: its start-up sound is the first heard, and its
    // window shows laid out. startMark() is where its sounds begin.
    bool openConsole();
    qint64 startMark() const { return m_startMark; }
    // Starts a console with arguments and waits until its window shows; false after timeoutMs.
    bool startConsole(QProcess &process, int timeoutMs = 15000, const QStringList &arguments = {});
    QProcess &console() { return m_console; }
    bool startConsole() { return startConsole(m_console); }
    // Ends the console if it still runs, and closes any window it left.
    void stopConsole();
    QString consoleWindow() { return m_x.windows(ConsoleTitle).value(0); }
    QProcessEnvironment consoleEnvironment() const;
    // Adds a variable to the environment of the consoles started from now on.
    void addConsoleVariable(const QString &name, const QString &value)
    {
        m_consoleVariables.insert(name, value);
    }

    // Where the console lays out the element named `name` on the whole screen (its skin is the
    // screen-width variant, Security1280.skn).
    QRect consoleRect(const QString &name) const;
    // Waits until the theme picture shows on the screen with its top left corner at `at`.
    bool waitUntilShown(QPoint at, const QString &picture, int timeoutMs = 5000);
    // Clicks the line (from 0, as shown) of a console list laid out by the line named list,
    // `along` pixels from the left of its text.
    bool clickListLine(const QString &list, int line, int along = 40);
    // Answers the open or opening dialog or prompt whose title matches: types text and Enter,
    // and waits for it to close.
    bool answer(const QString &titlePattern, const QString &text, int timeoutMs = 5000);

    // A place in the recording; what is heard is counted from there.
    qint64 soundMark();
    // The names of the sounds heard since mark, in order ("startup", "over", ...).
    QStringList heardSince(qint64 mark);
    // How long each of them was heard, in milliseconds.
    QList<int> heardLengthsMs(qint64 mark);
    // Waits until exactly `expected` has been heard since mark; the last heard when it times out.
    QStringList waitToHear(qint64 mark, const QStringList &expected, int timeoutMs = 5000);

    // Saves a screenshot (or a part of it) for the README when KESTA_E2E_SCREENSHOTS is set. A
    // shaped window's part is cut to the outline of its background picture (mask 255,0,255).
    static void keepScreenshot(const QString &name, const QImage &screen, const QRect &part = {},
                               const QImage &outline = {});

private:
    bool writeProgramFolder(Recording recording);
    bool writeStore();

    QString m_error;
    QTemporaryDir m_root;
    XSession m_x;
    std::unique_ptr<PrivatePulseServer> m_pulse;
    QProcess m_console;
    QProcessEnvironment m_consoleVariables;
    qint64 m_startMark = 0;
};
