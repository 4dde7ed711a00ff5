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
// Asks a child to end, and kills it after a bounded wait.
void stopChild(QProcess &process);
// Copies the demo program folder's themes into the Themes folder of programDir.
bool copyDemoThemes(const QString &programDir);

// A virtual X display of the test's own (Xvfb) and what a person does on it, through xdotool.
class XSession
{
public:
    static constexpr int Width = 1280;
    static constexpr int Height = 800;

    XSession() = default;
    ~XSession() { stopChild(m_server); }
    XSession(const XSession &) = delete;
    XSession &operator=(const XSession &) = delete;

    bool start();
    QString error() const { return m_error; }
    QProcessEnvironment clientEnvironment() const;

    // Run while anything waits, so that a recorder reading a pipe keeps up.
    void setIdleWork(std::function<void()> work) { m_idle = std::move(work); }
    void pause(int milliseconds);
    bool waitFor(const std::function<bool()> &condition, int timeoutMs);
    // True when the child ended with status 0; stopped after timeoutMs.
    bool finish(QProcess &process, int timeoutMs);

    // In the order X stacks them (the front one last).
    struct Window
    {
        QString id; // as xdotool names it
        QString title;
    };
    QList<Window> visibleWindows();
    QStringList windows(const QString &titlePattern);
    // The one matching window, or empty after timeoutMs.
    QString waitForWindow(const QString &titlePattern, int timeoutMs);
    std::optional<QRect> geometry(const QString &window);

    bool moveTo(QPoint at) { return gesture({s("mousemove"), n(at.x()), n(at.y())}); }
    bool click() { return gesture({s("click"), s("1")}); }
    bool clickAt(QPoint at) { return moveTo(at) && click(); }
    bool type(const QString &text)
    {
        return gesture({s("type"), s("--delay"), s("20"), s("--"), text});
    }
    // An X key name or chord: "Return", "ctrl+a".
    bool key(const QString &name) { return gesture({s("key"), name}); }
    bool focus(const QString &window) { return gesture({s("windowfocus"), window}); }
    // xdotool commands chained into one call: {"mousemove", "10", "10", "click", "1"}.
    bool gesture(const QStringList &commands, QByteArray *output = nullptr);

    // Whether the window's program answers the window manager's ping from its event loop.
    bool answersPing(const QString &window, int timeoutMs);
    QImage grab();

private:
    static QString s(const char *text) { return QString::fromLatin1(text); }
    static QString n(int number) { return QString::number(number); }

    QString m_error;
    QString m_display;
    QTemporaryDir m_folder;
    QProcess m_server;
    std::function<void()> m_idle;
};
