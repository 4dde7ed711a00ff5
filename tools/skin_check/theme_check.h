#pragma once

#include "skin/skin_problem.h"

#include <QList>
#include <QSize>
#include <QString>
#include <QStringList>

#include <optional>

namespace skin {
class Theme;
class ThemeFile;
} // namespace skin

// The checks of kesta-skin-check: a theme read the way the console reads it, through the skin
// layer's own parsers and loaders, with every problem collected instead of logged. An error is
// a problem that loses something (an element, a line, a key, a section, a sound, an entry of
// the console's lists); a warning one that reads otherwise than written.
namespace check {

using Problems = QList<skin::SkinProblem>;
class FileVerdicts;

// text with every path under programDir shown from there on, with "/", as an editor opens it
// from the program folder: "Themes/Blue/Security.skn".
[[nodiscard]] QString shownFromProgram(QString text, const QString &programDir);

// The problems one line each (SkinProblem::text(), paths shown from programDir), then
// "N error(s), M warning(s) in Themes/NAME".
[[nodiscard]] QString report(const Problems &problems, const QString &programDir,
                             const QString &themeName);

// Everything wrong with theme: its files, its console skins, the dialogs, the console's lists,
// the override files and every picture, animation and sound they name, in that order. Each
// file is read once, as it is at the start.
[[nodiscard]] Problems checkTheme(const skin::Theme &theme);

// The inside sizes a window's layout lines are measured against: a dialog's is its background
// picture's; the console's lies between the smallest and the largest screen its skin is for.
struct WindowSizes
{
    QSize smallest;
    QSize largest;
};

// The console's window for the console skin fileName: "Security1280.skn" is for screens 1280
// pixels wide (from 16:9 to 5:4), "Security.skn" for any screen from 1024 x 768 to
// 3840 x 2160. The console fills at most its screen.
[[nodiscard]] WindowSizes consoleWindowSizes(const QString &fileName);

// The layout section `section` of skinFile, line by line as LayoutWindow reads it, in a window
// of the sizes given (none when a dialog's background does not load).
void checkLayout(const skin::Theme &theme, const skin::ThemeFile &skinFile, const QString &section,
                 const std::optional<WindowSizes> &window, FileVerdicts &files, Problems &problems);

// A dialog's section: its background, mask colour and boxes (boxKeys), then its layout lines
// in the window its background gives.
void checkDialog(const skin::Theme &theme, const skin::ThemeFile &skin, const QString &section,
                 const QStringList &boxKeys, FileVerdicts &files, Problems &problems);

// Keys of an index or layout section ("01", "02", ...) past the first gap, which nothing reads.
void checkGap(const skin::ThemeFile &file, const QString &section, int firstMissing,
              Problems &problems);

// Everything in the INI file that no read reaches or that reads otherwise than written: a
// second copy of a section or key, a byte order mark that hides the first section. A file that
// is no file (a folder, a pipe, a link loop) is said as such.
void checkIniFile(const skin::ThemeFile &file, Problems &problems);

} // namespace check
