#include "theme_sound.h"

#include "core/ini_access.h"
#include "core/number_text.h"
#include "core/program_state.h"
#include "platform/native_path.h"
#include "sound/sound_output.h"

#include <QFileInfo>

namespace {

// A switch of the theme's "terminal.skn"; a missing key or a value that is no Boolean leaves
// the default.
bool themeSwitch(const QString &key, bool defaultValue)
{
    const std::optional<QString> value =
        readIni(QStringLiteral("DEFAULT"), key, ThemePath() + QStringLiteral("terminal.skn"));
    if (!value)
        return defaultValue;
    return core::toBoolean(*value).value_or(defaultValue);
}

// A name that carries a drive (":") or starts at the root is the full path of the file, taken
// as it is; any other name is a sound of the theme folder without its ".wav".
QString soundFile(const QString &name)
{
    if (name.contains(u':') || name.startsWith(u'/'))
        return platform::nativePath(name);
    return platform::nativePath(ThemePath() + name + QStringLiteral(".wav"));
}

} // namespace

void ThemeSound(const QString &name, bool wait)
{
    if (!themeSwitch(QStringLiteral("Sound"), true))
        return;
    const bool multiple = themeSwitch(QStringLiteral("Multiple"), false);

    // Only a file with something in it is handed on; an empty or missing one is silence
    // without troubling the output.
    const QFileInfo file(soundFile(name));
    if (!file.isFile() || file.size() <= 0)
        return;
    sound::play(file.filePath(), multiple, wait);
}
