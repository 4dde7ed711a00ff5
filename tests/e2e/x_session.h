#pragma once

#include <QImage>
#include <QPoint>
#include <QProcess>
#include <QRect>
#include <QString>
#include <QTemporaryDir>

#include <functional>
#include <optional>

// Starts a child that ends with the test process, even when the test is killed.
void startChild(QProcess &process, const QString &program, const QStringList &arguments,
                const QProcessEnvironment &environment);
// Ends a child: asked first, killed after a bounded wait.
void stopChild(QProcess &process);

// A virtual X display of the test's own (Xvfb on the first free display number) and what a
// person does on it, through xdotool: move the pointer, click, type, find a window by its title.
class XSession
{
public:
    static constexpr int Width = 1280;
    static constexpr int Height = 800;

    XSession();
    ~XSession();
    XSession(const XSession &) = delete;
    XSession &operator=(const XSession &) = delete;

    // Starts the display and waits until it takes clients. False, with the reason in error(),
    // when Xvfb or xdotool is missing or the display does not come up.
    bool start();
    QString error() const { return m_error; }
    // ":N", for DISPLAY.
    QString display() const { return m_display; }

    // Called while a helper runs or a wait polls, so that a recorder reading a pipe keeps up.
    void setIdleWork(std::function<void()> work) { m_idle = std::move(work); }
    // Runs the idle work and returns after about milliseconds.
    void pause(int milliseconds);
    // Polls condition (and the idle work) until it holds or timeoutMs pass.
    bool waitFor(const std::function<bool()> &condition, int timeoutMs);

    // The visible windows that have a title, in the order X stacks them (the front one last).
    struct Window
    {
        QString id; // as xdotool names it
        QString title;
    };
    QList<Window> visibleWindows();
    // The visible windows whose title matches the regular expression, as xdotool ids.
    QStringList windows(const QString &titlePattern);
    // Waits for one visible window whose title matches; its id, or empty after timeoutMs.
    QString waitForWindow(const QString &titlePattern, int timeoutMs);
    // The window's rectangle on the screen.
    std::optional<QRect> geometry(const QString &window);

    bool moveTo(QPoint at);
    bool click();
    bool clickAt(QPoint at) { return moveTo(at) && click(); }
    // Types text into the window that has the keyboard, as keystrokes.
    bool type(const QString &text);
    // Presses a key or chord by its X name: "Return", "Escape", "ctrl+a".
    bool key(const QString &name);
    // xdotool commands chained into one call, for a gesture quicker than a call per step:
    // {"mousemove", "10", "10", "sleep", "0.05", "click", "1"}.
    bool gesture(const QStringList &commands) { return xdotool(commands); }

    // Whether the window's program still handles events: it answers the window manager's ping
    // from its event loop within timeoutMs, modal dialogs open or not.
    bool answersPing(const QString &window, int timeoutMs);
    // Gives window the keyboard, as a window manager does with a window that opens.
    bool focus(const QString &window) { return xdotool({QStringLiteral("windowfocus"), window}); }

    // The whole screen, or a null image when it cannot be grabbed.
    QImage grab();

    // Waits, doing the idle work, for a started child to end; true when it ended with status 0.
    // A child still running after timeoutMs is stopped.
    bool finish(QProcess &process, int timeoutMs);

    // The environment a client of this display needs.
    QProcessEnvironment clientEnvironment() const;

private:
    bool xdotool(const QStringList &arguments, QByteArray *output = nullptr);

    QString m_error;
    QString m_display;
    QTemporaryDir m_folder;
    QProcess m_server;
    std::function<void()> m_idle;
};
