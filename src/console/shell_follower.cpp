#include "console/shell_follower.h"

#include "console/frm_main.h"
#include "core/program_state.h"
#include "core/settings_store.h"
#include "platform/native_path.h"

#include <QApplication>
#include <QDir>
#include <QEvent>
#include <QFileInfo>

namespace {

// The files of a theme folder that the console shows: skins, their override files and the
// voice commands.
const QStringList shownFiles = {QStringLiteral("*.skn"), QStringLiteral("*.ini"),
                                QStringLiteral("voicecontrol.*")};

} // namespace

ShellFollower::ShellFollower(frmMain &console)
    : QObject(&console)
    , m_console(console)
    , m_watch([this] { return followedPaths(); }, std::chrono::milliseconds(50))
{
    connect(&m_watch, &platform::FileWatch::changed, this, &ShellFollower::filesChanged);
    console.installEventFilter(this);
}

QStringList ShellFollower::followedPaths() const
{
    const QString store = settings::filePath(settings::application);
    const skin::Theme &theme = m_console.theme();
    const QDir folder(platform::nativePath(theme.folder()));
    QStringList paths{QFileInfo(store).path(), store, platform::nativePath(theme.themesFolder()),
                      folder.path()};
    for (const QString &name : folder.entryList(shownFiles, QDir::Files))
        paths.append(folder.filePath(name));
    return paths;
}

void ShellFollower::filesChanged()
{
    if (m_console.isQuitting())
        return;
    // A dialog keeps what it shows, and the editor that opened it the line it works on.
    if (m_busy || QApplication::activeModalWidget()) {
        m_pending = true;
        return;
    }
    m_pending = false;
    m_busy = true;
    ProgramState &state = programState();
    const std::optional<QString> programDir = settings::read(
        settings::application, QStringLiteral("Default"), QStringLiteral("ProgramDir"));
    const std::optional<QString> themeDir = settings::read(
        settings::application, QStringLiteral("Default"), QStringLiteral("ThemeDir"));
    // A store that cannot be read says nothing of the theme: the console stays in the one it has.
    if (programDir && themeDir &&
        (*programDir != state.ProgramDir || *themeDir != state.ThemeDir)) {
        state.ProgramDir = *programDir;
        state.ThemeDir = *themeDir;
        m_console.layOutAgain();
        m_watch.rearm();
    } else {
        m_console.refreshFromFiles();
    }
    m_busy = false;
    // What changed while the console was being laid out again is shown now.
    if (m_pending)
        QMetaObject::invokeMethod(this, &ShellFollower::filesChanged, Qt::QueuedConnection);
}

bool ShellFollower::eventFilter(QObject *watched, QEvent *event)
{
    // The console is unblocked when the last dialog above it closes; the editor that opened it
    // finishes first.
    if (event->type() == QEvent::WindowUnblocked && m_pending)
        QMetaObject::invokeMethod(this, &ShellFollower::filesChanged, Qt::QueuedConnection);
    return QObject::eventFilter(watched, event);
}
