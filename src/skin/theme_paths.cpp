#include "skin/theme_paths.h"

namespace skin {

QString overrideFilePath(const QString &skinFile)
{
    // The rule is by characters, not by extension, because the shell forms the name the same
    // way: "Security.SKN" and "Security.skn" share "Security.ini".
    if (skinFile.size() < 3)
        return {};
    return skinFile.chopped(3) + QStringLiteral("ini");
}

QString themePreviewPicture(const QString &programDir, const QString &themeDir)
{
    return programDir + (themeDir.isEmpty() ? themeDir : themeDir.chopped(1)) + QStringLiteral(".bmp");
}

QString themeNameFromDir(const QString &themeDir)
{
    constexpr qsizetype prefixLength = 8; // "\Themes\"
    if (themeDir.size() <= prefixLength + 1)
        return {};
    return themeDir.sliced(prefixLength, themeDir.size() - prefixLength - 1);
}

} // namespace skin
