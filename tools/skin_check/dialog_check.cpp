#include "platform/native_path.h"
#include "skin/box_description.h"
#include "skin/shape_window.h"
#include "skin/theme.h"
#include "skin/value_forms.h"
#include "theme_check.h"
#include "value_check.h"

// The dialogs' own keys: the background that gives each its size and outline, the mask
// colour, the boxes placed in it.
namespace check {
namespace {

using Severity = skin::SkinProblem::Severity;

QString placeMessage(const QRect &box, const QSize &window)
{
    const bool never = box.right() < 0 || box.bottom() < 0 || box.left() >= window.width() ||
                       box.top() >= window.height();
    return QStringLiteral("the box at %1,%2 (%3 x %4) lies %5 the %6 x %7 window%8")
        .arg(box.x())
        .arg(box.y())
        .arg(box.width())
        .arg(box.height())
        .arg(never ? QStringLiteral("outside") : QStringLiteral("partly outside"))
        .arg(window.width())
        .arg(window.height())
        .arg(never ? QStringLiteral(": it is never seen") : QString());
}

// A picture the mask colour leaves whole would show the dialog as a plain rectangle.
bool maskCuts(const QImage &picture, quint32 mask)
{
    const QImage outline = shapeMask(picture, mask);
    for (int y = 0; y < outline.height(); ++y)
        for (int x = 0; x < outline.width(); ++x)
            if (outline.pixelIndex(x, y) == 0)
                return true;
    return false;
}

void checkMaskColour(const skin::ThemeFile &skin, const QString &section, const QImage &picture,
                     const QString &background, Problems &problems)
{
    const QString maskKey = QStringLiteral("MaskColor");
    if (const auto value = skin.text(section, maskKey)) {
        const QString warning = colourWarning(maskKey, skin::fieldList(*value, 3));
        if (!warning.isEmpty())
            problems.append(skin.problem(section, maskKey, warning, Severity::Warning));
    }
    if (!maskCuts(picture, skin.maskColour(section, maskKey, 0)))
        problems.append(
            skin.problem(section, skin.lineOf(section, maskKey) ? maskKey : QString(),
                         QStringLiteral("the mask colour occurs in no pixel of %1").arg(background),
                         Severity::Warning));
}

// A dialog's background gives the window's size and outline: the size, when it loads.
std::optional<QSize> checkBackground(const skin::Theme &theme, const skin::ThemeFile &skin,
                                     const QString &section, Problems &problems)
{
    const QString backgroundKey = QStringLiteral("BackGround");
    const std::optional<QString> background = skin.text(section, backgroundKey);
    if (!background) {
        problems.append(skin.problem(section, {},
                                     QStringLiteral("no background picture; the window stays "
                                                    "rectangular"),
                                     Severity::Warning));
        return std::nullopt;
    }
    QString error;
    const QString path = theme.file(*background);
    const QImage picture = readPicture(platform::nativePath(path), &error);
    if (picture.isNull()) {
        problems.append(skin.problem(section, backgroundKey,
                                     QStringLiteral("background %1 does not load (%2); the "
                                                    "window stays rectangular")
                                         .arg(path, error),
                                     Severity::Error));
        return std::nullopt;
    }
    checkMaskColour(skin, section, picture, *background, problems);
    return picture.size();
}

// A box description's fields that read otherwise than written.
void checkBoxText(const skin::ThemeFile &skin, const QString &section, const QString &key,
                  Problems &problems)
{
    const std::optional<QString> value = skin.text(section, key);
    if (!value)
        return;
    const QStringList fields = skin::fieldList(*value, 12);
    const char *const names[4] = {"left", "top", "width", "height"};
    QStringList warnings;
    for (int i = 0; i < 4 && i < fields.size(); ++i) {
        if (!fields.at(i).trimmed().isEmpty())
            warnings << numberWarning(
                QStringLiteral("the %1 field").arg(QLatin1StringView(names[i])), fields.at(i));
    }
    warnings << colourWarning(QStringLiteral("the back colour"), fields.mid(4, 3), true)
             << colourWarning(QStringLiteral("the text colour"), fields.mid(7, 3), true);
    for (const QString &warning : warnings)
        if (!warning.isEmpty())
            problems.append(skin.problem(section, key, warning, Severity::Warning));
}

} // namespace

void checkDialog(const skin::Theme &theme, const skin::ThemeFile &skin, const QString &section,
                 const QStringList &boxKeys, FileVerdicts &files, Problems &problems)
{
    const std::optional<QSize> window = checkBackground(theme, skin, section, problems);
    for (const QString &key : boxKeys) {
        checkBoxText(skin, section, key, problems);
        const skin::BoxDescription box = skin.box(section, key);
        if (!window || !box.left || !box.top || !box.width || !box.height)
            continue;
        const QRect rect(*box.left, *box.top, *box.width, *box.height);
        if (!rect.isEmpty() && !QRect(QPoint(0, 0), *window).contains(rect)) {
            const QString message = placeMessage(rect, *window);
            problems.append(skin.problem(section, key, message,
                                         message.endsWith(QStringLiteral("never seen"))
                                             ? Severity::Error
                                             : Severity::Warning));
        }
    }
    std::optional<WindowSizes> sizes;
    if (window)
        sizes = WindowSizes{*window, *window};
    checkLayout(theme, skin, section, sizes, files, problems);
}

} // namespace check
