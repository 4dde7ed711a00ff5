#include "theme_sound.h"

#include "platform/native_path.h"
#include "skin/theme.h"
#include "sound/sound_output.h"

#include <QFileInfo>

void ThemeSound(const skin::Theme &theme, const QString &name, bool wait)
{
    const skin::ThemeFile switches = theme.shellSkin();
    const QString section = QStringLiteral("DEFAULT");
    if (!switches.boolean(section, QStringLiteral("Sound"), true))
        return;
    const bool multiple = switches.boolean(section, QStringLiteral("Multiple"), false);

    // Only a file with something in it is handed on; an empty or missing one is silence
    // without troubling the output.
    const QFileInfo file(platform::nativePath(theme.soundFile(name)));
    if (!file.isFile() || file.size() <= 0)
        return;
    sound::play(file.filePath(), multiple, wait);
}
