#include "dialogs/dialog_skin.h"

#include "platform/screen_metrics.h"
#include "skin/theme.h"

#include <QWidget>

namespace dialogs {

DialogShape readDialogShape(const skin::Theme &theme, const QString &section,
                            const skin::ThemeFile &skinFile)
{
    DialogShape shape;
    if (const auto background = skinFile.text(section, QStringLiteral("BackGround")))
        shape.background = theme.file(*background);
    shape.maskColour = skinFile.maskColour(section, QStringLiteral("MaskColor"), 0);
    return shape;
}

void nameBox(QWidget &box, const QString &themeName, const QString &fallback,
             const QString &caption)
{
    box.setAccessibleName(themeName.isEmpty() ? fallback : themeName);
    box.setAccessibleDescription(caption);
}

void centreOnScreen(QWidget &window)
{
    const QSize screen = platform::screenSizePixels();
    if (screen.isEmpty())
        return;
    window.move((screen.width() - window.width()) / 2, (screen.height() - window.height()) / 2);
}

} // namespace dialogs

QString dialogs::dialogCommandWords(const QString &command)
{
    const QString keyword = command.toUpper();
    if (keyword == u"OK")
        return QStringLiteral("OK");
    if (keyword == u"QUIT")
        return QStringLiteral("Cancel");
    return {};
}
