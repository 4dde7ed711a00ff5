#pragma once

#include <QPoint>
#include <QString>
#include <QUrl>

#include <functional>

class QWidget;

namespace platform {

// How an input prompt shows what is typed: in clear, or masked as a password field (which is
// also what it tells screen readers and input methods).
enum class PromptEcho
{
    Clear,
    Password,
};

// What the console asks of the system where a person, the desktop, the sound server or the end
// of the process is involved. The program reaches each of them through services(); a test
// replaces the ones it stands in for with a ServicesOverride, and that is the only way to
// replace any of them. A service left empty in an override is not replaced.
struct Services
{
    // A message box with an OK button only; returns when the person has closed it.
    std::function<void(const QString &text)> showMessage = {};
    // The plain input prompt: the entered text, or the empty text when cancelled.
    std::function<QString(const QString &prompt, const QString &title, const QString &defaultText,
                          PromptEcho echo)>
        inputPrompt = {};
    // Shows window application-modal and returns once it has been hidden or deleted.
    std::function<void(QWidget &window)> showModal = {};
    // Hands a file or address to the desktop's default application; true when it took it.
    std::function<bool(const QUrl &url)> openWithDesktop = {};
    // The pointer's position on the screen in pixels, and the innermost widget of this program
    // that takes the mouse there (nullptr over another program or the desktop).
    std::function<QPoint()> pointerPosition = {};
    std::function<QWidget *(QPoint screenPoint)> widgetAt = {};
    // Plays a sound file (a path on this disk); see sound::SoundOutput::play(). Left empty, the
    // sound engine plays it on the sound server.
    std::function<void(const QString &diskPath, bool overlap, bool wait)> playSound = {};
    // Blocks the thread, events included.
    std::function<void(int milliseconds)> sleep = {};
    // Ends the process at once: no further event, no destructor.
    std::function<void()> endProcess = {};
};

// The services in use: the system's, with whatever a living ServicesOverride replaced.
[[nodiscard]] const Services &services();

// Replaces, while it lives, every service that `replacements` sets; the ones it leaves empty
// stay as they were. Overrides of different services may end in any order; of one service,
// each must end before the one made before it.
class ServicesOverride
{
public:
    explicit ServicesOverride(const Services &replacements);
    ~ServicesOverride();
    ServicesOverride(const ServicesOverride &) = delete;
    ServicesOverride &operator=(const ServicesOverride &) = delete;

private:
    Services m_replacements;
    Services m_previous;
};

} // namespace platform
