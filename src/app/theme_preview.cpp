#include "app/theme_preview.h"

#include "console/frm_main.h"
#include "console/settings_list_wiring.h"
#include "console/settings_lists.h"
#include "core/program_state.h"
#include "core/settings_store.h"
#include "platform/preview_mode.h"
#include "skin/tear_down_layout.h"
#include "theme_check.h"

#include <QDir>
#include <QListWidget>
#include <QLoggingCategory>

#include <cstdio>

namespace app {

QString PreviewedTheme::themeDir() const
{
    return QStringLiteral("\\Themes\\%1\\").arg(name);
}

QString PreviewedTheme::folder() const
{
    return programDir + QStringLiteral("/Themes/") + name;
}

std::optional<PreviewedTheme> previewedTheme(const QString &folder)
{
    QDir dir(folder);
    if (!dir.exists())
        return std::nullopt;
    const QString name = QDir(dir.absolutePath()).dirName();
    if (!dir.cdUp() || dir.dirName().compare(u"Themes", Qt::CaseInsensitive) != 0 || !dir.cdUp())
        return std::nullopt;
    return PreviewedTheme{dir.absolutePath(), name};
}

bool beginPreview(const PreviewedTheme &theme)
{
    platform::setPreviewMode(true);
    // Held in this process only: the console reads the theme as the shell would publish it.
    const bool held = settings::save(settings::application, QStringLiteral("Default"),
                                     QStringLiteral("ProgramDir"), theme.programDir) &&
                      settings::save(settings::application, QStringLiteral("Default"),
                                     QStringLiteral("ThemeDir"), theme.themeDir());
    // The checker's report says every skin and sound problem once per layout; the layers' own
    // warnings would say them again.
    QLoggingCategory::setFilterRules(
        QStringLiteral("kesta.skin.warning=false\nkesta.sound.warning=false"));
    return held;
}

ThemePreview::ThemePreview(frmMain &console, PreviewedTheme theme)
    : m_console(console)
    , m_theme(std::move(theme))
{
    m_settle.setSingleShot(true);
    m_settle.setInterval(250);
    connect(&m_settle, &QTimer::timeout, this, &ThemePreview::relayOut);
    const auto changed = [this] {
        watchFiles();
        m_settle.start();
    };
    connect(&m_watcher, &QFileSystemWatcher::fileChanged, this, changed);
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this, changed);
    watchFiles();
    reportProblems();
}

// A file replaced atomically is a new file: the watcher drops the old one, so every file is
// named to it again after each change, new files among them.
void ThemePreview::watchFiles()
{
    const QDir folder(m_theme.folder());
    QStringList paths{folder.absolutePath()};
    for (const QString &name : folder.entryList(QDir::Files))
        paths.append(folder.absoluteFilePath(name));
    const QStringList watched = m_watcher.files() + m_watcher.directories();
    paths.removeIf([&watched](const QString &path) { return watched.contains(path); });
    if (!paths.isEmpty())
        m_watcher.addPaths(paths);
}

// What a fresh start shows, laid out at once: an author waits for the edit, not for the
// progressive build. Every value the theme sets is first what a start has before the theme is
// read, so that a key removed or broken shows its default, not the value before the edit.
void ThemePreview::relayOut()
{
    QListWidget *protection = m_console.lstBox(1);
    const int selected = protection ? protection->currentRow() : -1;
    RemoveLayoutAtOnce(m_console);
    const ProgramState fresh;
    ProgramState &state = programState();
    state.Animated = fresh.Animated;
    state.AnimDelay = fresh.AnimDelay;
    state.ThemePictureIndex = fresh.ThemePictureIndex;
    state.ThemeName = fresh.ThemeName;
    m_console.openTheme();
    m_console.applyBackGround();
    m_console.layOutAtOnce();
    connectSettingsLists(m_console, m_console.theme(), m_console.SelectedLine);
    FillSettingsLists(m_console, *m_console.File1, m_console.theme());
    FillThemeList(m_console, *m_console.File1, m_console.theme());
    protection = m_console.lstBox(1);
    if (protection && selected >= 0 && selected < protection->count())
        protection->setCurrentRow(selected);
    emit laidOut();
    reportProblems();
}

void ThemePreview::reportProblems() const
{
    const check::Problems problems = check::checkTheme(m_console.theme());
    std::fputs(qUtf8Printable(check::report(problems, m_theme.programDir, m_theme.name)), stderr);
    std::fflush(stderr);
}

} // namespace app
