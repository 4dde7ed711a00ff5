#pragma once

#include <QString>

// Names of theme files, on the backslash form the shared stores use ("\Themes\Blue\"); the
// platform maps them to disk when a file is opened. All functions are pure.
namespace skin {

// The override file beside a skin file: the path with its last three characters replaced by
// "ini" ("C:\T\Security.skn" -> "C:\T\Security.ini"). Empty when the path has fewer than three
// characters, which names no file.
[[nodiscard]] QString overrideFilePath(const QString &skinFile);

// The theme's preview picture beside its folder: programDir + themeDir without its last
// character + ".bmp" ("\Themes\Blue\" -> programDir + "\Themes\Blue.bmp").
[[nodiscard]] QString themePreviewPicture(const QString &programDir, const QString &themeDir);

// The theme folder's own name: themeDir from its 9th character, without its last one
// ("\Themes\Blue\" -> "Blue"). Empty when themeDir has fewer than 10 characters.
[[nodiscard]] QString themeNameFromDir(const QString &themeDir);

} // namespace skin
