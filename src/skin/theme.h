#pragma once

#include "skin/theme_file.h"

#include <QString>

namespace skin {

// The progressive build of a window: whether it is built (or torn down) element by element, and
// the pause in milliseconds between two elements.
struct ProgressiveBuild
{
    bool animated = false;
    qint32 delay = 0;
};

// The current theme: its folder in the shell's program folder, and the files the console opens
// in it. It is built from ProgramDir (no trailing separator), ThemeDir ("\Themes\" + name + "\")
// and the name of the console's skin, and holds those names only: building one is cheap, and
// whoever holds it reads the files as they are on disk now. Names follow the stores'
// backslash form; file names are joined to the folder by plain concatenation. A theme without
// ProgramDir and ThemeDir names every file by its bare name.
class Theme
{
public:
    Theme() = default;
    Theme(QString programDir, QString themeDir, QString skinName);

    // The theme whose console skin is screenSkin when that file's section "DEFAULT" has a
    // "BackGround" key, else plainSkin ("Security1024" on a screen 1024 pixels wide, else
    // "Security").
    [[nodiscard]] static Theme withConsoleSkinFor(const QString &programDir,
                                                  const QString &themeDir,
                                                  const QString &screenSkin,
                                                  const QString &plainSkin);

    const QString &programDir() const { return m_programDir; }
    const QString &themeDir() const { return m_themeDir; }
    // The console skin's name without ".skn" (SkinName).
    const QString &skinName() const { return m_skinName; }

    // ProgramDir + ThemeDir (ThemePath): ends with a separator, every theme file is named after it.
    [[nodiscard]] QString folder() const { return m_programDir + m_themeDir; }
    // A file of the theme folder.
    [[nodiscard]] QString file(const QString &name) const { return folder() + name; }
    // The theme folder's own name: ThemeDir from its 9th character, without its last one
    // ("\Themes\Blue\" gives "Blue"); empty when ThemeDir has fewer than 10 characters.
    [[nodiscard]] QString name() const;
    // The theme's preview picture beside its folder: ProgramDir + ThemeDir without its last
    // character + ".bmp" ("\Themes\Blue\" gives ProgramDir + "\Themes\Blue.bmp").
    [[nodiscard]] QString previewPicture() const;
    // The preview picture of the theme named themeName, in the same Themes folder.
    [[nodiscard]] QString previewPicture(const QString &themeName) const;
    // ProgramDir + "\Themes": the folder of every theme and its preview picture.
    [[nodiscard]] QString themesFolder() const;
    // The file of a theme sound: a name that carries a drive (":") or starts at the root ("/")
    // is the file's full path as it is; any other name is a sound of the theme folder without
    // its ".wav".
    [[nodiscard]] QString soundFile(const QString &name) const;

    // The shell's skin "terminal.skn", the console's skin SkinName + ".skn", and
    // "Security.skn", which holds the select dialog whatever the console skin is.
    [[nodiscard]] ThemeFile shellSkin() const;
    [[nodiscard]] ThemeFile consoleSkin() const;
    [[nodiscard]] ThemeFile selectSkin() const;
    // The skin file that a protection-list header names ("SECURITY"), under its own name on
    // disk ("Security.skn"), so that its override file is named as the shell names it
    // ("Security.ini") on a file system that tells letter case apart.
    [[nodiscard]] ThemeFile skinFileOfHeader(const QString &header) const;

    // The voice commands the console writes, "voicecontrol.ini".
    [[nodiscard]] ThemeFile voiceFile() const;
    // The voice command of key in section: from voicecontrol.ini, or from the theme's
    // "voicecontrol.master" when that gives an empty text; empty when neither holds one.
    [[nodiscard]] QString voiceCommand(const QString &section, const QString &key) const;

    // "Animated" and "AnimDelay" of section in the shell's skin, each the fallback's where the
    // key is missing or does not convert.
    [[nodiscard]] ProgressiveBuild progressiveBuild(const QString &section,
                                                    ProgressiveBuild fallback) const;

private:
    QString m_programDir;
    QString m_themeDir;
    QString m_skinName;
};

} // namespace skin
