#include "app/theme_preview.h"

#include "console/frm_main.h"
#include "core/settings_store.h"
#include "platform/preview_mode.h"
#include "theme_check.h"

#include <QDir>
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
    // A save touches several files, or one file several times: one layout.
    , m_watch([this] { return themeFiles(); }, std::chrono::milliseconds(250))
{
    connect(&m_watch, &platform::FileWatch::changed, this, &ThemePreview::relayOut);
    reportProblems();
}

QStringList ThemePreview::themeFiles() const
{
    const QDir folder(m_theme.folder());
    QStringList paths{folder.absolutePath()};
    for (const QString &name : folder.entryList(QDir::Files))
        paths.append(folder.absoluteFilePath(name));
    return paths;
}

// What a fresh start shows, laid out at once: an author waits for the edit, not for the
// progressive build. Every value the theme sets is first what a start has before the theme is
// read, so that a key removed or broken shows its default, not the value before the edit.
void ThemePreview::relayOut()
{
    m_console.layOutAgain(frmMain::Pace::AtOnce);
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
