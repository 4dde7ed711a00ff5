#pragma once

#include "private_pulse_server.h"
#include "x_session.h"

#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>
#include <optional>

// A display, a sound server recording what is played, a private store and a copy of the demo
// themes whose sounds are tones that a recording tells apart. The shell (played by kesta-store)
// runs, gives the console the whole screen, and its password is Password.
class ConsoleSession
{
public:
    static inline const QString Password = QStringLiteral("secret");
    static inline const QString ConsoleTitle = QStringLiteral("^KESTA Terminal - Security$");
    static inline const QString InputTitle = QStringLiteral("^KESTA Terminal - Input");
    static inline const QString SelectTitle = QStringLiteral("^KESTA Terminal - Select");

    ConsoleSession() = default;
    ~ConsoleSession();
    ConsoleSession(const ConsoleSession &) = delete;
    ConsoleSession &operator=(const ConsoleSession &) = delete;

    enum class Recording
    {
        On,
        Off // for long runs: a recording grows by 11 MB a minute; the demo's own sounds play
    };
    bool start(Recording recording = Recording::On);
    QString error() const { return m_error; }
    XSession &x() { return m_x; }
    PrivatePulseServer &pulse() { return *m_pulse; }

    QString programDir() const { return m_root.filePath(QStringLiteral("program")); }
    QString themeFile(const QString &name) const
    {
        return programDir() + QStringLiteral("/Themes/Default/") + name;
    }
    QString settingsFile() const
    {
        return m_root.filePath(QStringLiteral("config/KESTA Terminal/settings.ini"));
    }
    // Where a console that dies leaves its core.
    QString workFolder() const { return m_root.filePath(QStringLiteral("work")); }

    // kesta-store's output without the final line break, or none when it fails.
    std::optional<QString> store(const QStringList &arguments);
    std::optional<QString> iniGet(const QString &file, const QString &section, const QString &key)
    {
        return store({QStringLiteral("ini"), QStringLiteral("get"), themeFile(file), section, key});
    }

    // Starts the console with the pointer away from every button; true once its start-up sound
    // (the first heard, from startMark()) has played and its window is laid out.
    bool openConsole();
    qint64 startMark() const { return m_startMark; }
    bool startConsole(QProcess &process, int timeoutMs = 15000, const QStringList &arguments = {});
    bool startConsole() { return startConsole(m_console); }
    QProcess &console() { return m_console; }
    void stopConsole() { stopChild(m_console); }
    QString consoleWindow() { return m_x.windows(ConsoleTitle).value(0); }
    QProcessEnvironment consoleEnvironment() const;
    void addConsoleVariable(const QString &name, const QString &value)
    {
        m_consoleVariables.insert(name, value);
    }

    // Where the console lays out the element on the whole screen (Security1280.skn).
    QRect consoleRect(const QString &name) const;
    bool waitUntilShown(QPoint at, const QString &picture, int timeoutMs = 5000);
    // Clicks line (from 0, as shown) of the console list laid out by the line named list.
    bool clickListLine(const QString &list, int line, int along = 40);
    // Types text and Enter into the dialog, and waits for it to close.
    bool answer(const QString &titlePattern, const QString &text, int timeoutMs = 5000);

    qint64 soundMark() { return m_pulse->recordedFrames(); }
    // "startup", "over", ...
    QStringList heardSince(qint64 mark);
    QStringList waitToHear(qint64 mark, const QStringList &expected, int timeoutMs = 5000);

    // For the README when KESTA_E2E_SCREENSHOTS is set.
    static void keepScreenshot(const QString &name, const QImage &screen, const QRect &part = {});

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
