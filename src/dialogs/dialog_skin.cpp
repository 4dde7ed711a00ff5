#include "dialogs/dialog_skin.h"

#include "core/ini_access.h"
#include "core/number_text.h"
#include "core/program_state.h"
#include "platform/screen_metrics.h"
#include "skin/box_description.h"

#include <QWidget>

namespace dialogs {

DialogShape readDialogShape(const QString &section, const QString &skinFile)
{
    DialogShape shape;
    if (const auto background = readIni(section, QStringLiteral("BackGround"), skinFile))
        shape.background = ThemePath() + *background;
    if (const auto mask = readIni(section, QStringLiteral("MaskColor"), skinFile))
        shape.maskColour = skin::maskColourValue(*mask);
    return shape;
}

ProgressiveLayout readProgressiveLayout()
{
    const QString file = ThemePath() + QStringLiteral("Terminal.skn");
    const QString section = QStringLiteral("STARTUP");
    ProgressiveLayout layout;
    if (const auto animated = readIni(section, QStringLiteral("Animated"), file))
        layout.animated = core::toBoolean(*animated).value_or(false);
    if (const auto delay = readIni(section, QStringLiteral("AnimDelay"), file))
        layout.delay = core::toWholeNumber(*delay).value_or(0);
    return layout;
}

bool applyBoxKey(QWidget &box, const QString &section, const QString &key, const QString &skinFile)
{
    const auto description = readIni(section, key, skinFile);
    if (!description)
        return false;
    skin::applyBoxDescription(box, skin::parseBoxDescription(*description));
    return true;
}

void centreOnScreen(QWidget &window)
{
    const QSize screen = platform::screenSizePixels();
    if (screen.isEmpty())
        return;
    window.move((screen.width() - window.width()) / 2, (screen.height() - window.height()) / 2);
}

} // namespace dialogs
