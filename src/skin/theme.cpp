#include "skin/theme.h"

#include "platform/native_path.h"

namespace skin {

Theme::Theme(QString programDir, QString themeDir, QString skinName)
    : m_programDir(std::move(programDir))
    , m_themeDir(std::move(themeDir))
    , m_skinName(std::move(skinName))
{}

Theme Theme::withConsoleSkinFor(const QString &programDir, const QString &themeDir,
                                const QString &screenSkin, const QString &plainSkin)
{
    Theme forScreen(programDir, themeDir, screenSkin);
    if (forScreen.consoleSkin().text(QStringLiteral("DEFAULT"), QStringLiteral("BackGround")))
        return forScreen;
    return Theme(programDir, themeDir, plainSkin);
}

QString Theme::name() const
{
    constexpr qsizetype prefixLength = 8; // "\Themes\"
    if (m_themeDir.size() <= prefixLength + 1)
        return {};
    return m_themeDir.sliced(prefixLength, m_themeDir.size() - prefixLength - 1);
}

QString Theme::previewPicture() const
{
    return m_programDir + (m_themeDir.isEmpty() ? m_themeDir : m_themeDir.chopped(1)) +
           QStringLiteral(".bmp");
}

QString Theme::previewPicture(const QString &themeName) const
{
    return themesFolder() + u'\\' + themeName + QStringLiteral(".bmp");
}

QString Theme::themesFolder() const
{
    return m_programDir + QStringLiteral("\\Themes");
}

QString Theme::soundFile(const QString &name) const
{
    if (name.contains(u':') || name.startsWith(u'/'))
        return name;
    return file(name + QStringLiteral(".wav"));
}

ThemeFile Theme::shellSkin() const
{
    return ThemeFile(file(QStringLiteral("terminal.skn")));
}

ThemeFile Theme::consoleSkin() const
{
    return ThemeFile(file(m_skinName + QStringLiteral(".skn")));
}

ThemeFile Theme::selectSkin() const
{
    return ThemeFile(file(QStringLiteral("Security.skn")));
}

ThemeFile Theme::skinFileOfHeader(const QString &header) const
{
    return ThemeFile(platform::nativePath(file(header + QStringLiteral(".skn"))));
}

ThemeFile Theme::voiceFile() const
{
    return ThemeFile(file(QStringLiteral("voicecontrol.ini")));
}

QString Theme::voiceCommand(const QString &section, const QString &key) const
{
    const QString command = voiceFile().text(section, key, QString());
    if (!command.isEmpty())
        return command;
    return ThemeFile(file(QStringLiteral("voicecontrol.master"))).text(section, key, QString());
}

ProgressiveBuild Theme::progressiveBuild(const QString &section, ProgressiveBuild fallback) const
{
    const ThemeFile shell = shellSkin();
    return {shell.boolean(section, QStringLiteral("Animated"), fallback.animated),
            shell.wholeNumber(section, QStringLiteral("AnimDelay"), fallback.delay)};
}

} // namespace skin
