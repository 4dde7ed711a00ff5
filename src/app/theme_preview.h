#pragma once

#include "platform/file_watch.h"

#include <QObject>
#include <QString>

#include <optional>

class frmMain;

namespace app {

// A theme folder as the shell publishes it: the program folder above its Themes folder, and
// ThemeDir ("\Themes\" + name + "\").
struct PreviewedTheme
{
    QString programDir;
    QString name;
    [[nodiscard]] QString themeDir() const;
    [[nodiscard]] QString folder() const;
};

// The theme in folder; std::nullopt when folder is no folder inside a "Themes" folder.
[[nodiscard]] std::optional<PreviewedTheme> previewedTheme(const QString &folder);

// Puts the process in preview mode (nothing is written, no single-instance claim) and has the
// console read theme's ProgramDir and ThemeDir. Call before the console loads. False when the
// preview's own store refused them.
[[nodiscard]] bool beginPreview(const PreviewedTheme &theme);

// Follows the previewed theme's files: a change on disk (an edit, an atomic replace, a file
// added or removed) lays the console out again, as a fresh start would show it but at once,
// without the progressive build, with the selected line of the protection list kept; then it
// says the theme's problems on standard error as kesta-skin-check says them. Also says them
// once at the start.
class ThemePreview : public QObject
{
    Q_OBJECT

public:
    ThemePreview(frmMain &console, PreviewedTheme theme);

signals:
    // The console was laid out again after a change.
    void laidOut();

private:
    QStringList themeFiles() const;
    void relayOut();
    void reportProblems() const;

    frmMain &m_console;
    PreviewedTheme m_theme;
    platform::FileWatch m_watch;
};

} // namespace app
