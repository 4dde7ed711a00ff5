#pragma once

#include "skin/skin_problem.h"

#include <QList>
#include <QSize>
#include <QString>

#include <optional>

namespace skin {
class Theme;
class ThemeFile;
} // namespace skin

// The checks of kesta-skin-check: a theme read the way the console reads it, through the skin
// layer's own parsers and loaders, with every problem collected instead of logged.
namespace check {

using Problems = QList<skin::SkinProblem>;

// text with every path under programDir shown from there on, with "/", as an editor opens it
// from the program folder: "Themes/Blue/Security.skn".
[[nodiscard]] QString shownFromProgram(QString text, const QString &programDir);

// The problems one line each (SkinProblem::text(), paths shown from programDir), then
// "N error(s), M warning(s) in Themes/NAME".
[[nodiscard]] QString report(const Problems &problems, const QString &programDir,
                             const QString &themeName);

// Everything wrong with theme: its console skins, the dialogs, the console's lists, the
// override files and every picture, animation and sound they name, in that order.
[[nodiscard]] Problems checkTheme(const skin::Theme &theme);

// The layout section `section` of skinFile, line by line as LayoutWindow reads it. A window
// whose inside size is known (a dialog takes its background's) also has every element checked
// against its edges.
void checkLayout(const skin::Theme &theme, const skin::ThemeFile &skinFile, const QString &section,
                 std::optional<QSize> window, Problems &problems);

// A theme sound named by key in section of file; an empty name is no sound and no problem.
void checkSound(const skin::Theme &theme, const QString &name, const skin::SkinProblem &where,
                Problems &problems);

// Keys of an index or layout section ("01", "02", ...) past the first gap, which nothing reads.
void checkGap(const skin::ThemeFile &file, const QString &section, int firstMissing,
              Problems &problems);

} // namespace check
