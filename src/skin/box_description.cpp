#include "skin/box_description.h"

#include "skin/value_forms.h"

#include <QColor>
#include <QFont>
#include <QPalette>
#include <QWidget>

#include <algorithm>

namespace skin {
namespace {

// A field left empty (or only blanks) keeps the design value rather than reading 0: themes
// that leave out a colour or a size mean "as designed", not "black" or "nothing".
bool isBlank(const QString &field)
{
    return field.trimmed().isEmpty();
}

std::optional<qint32> numberField(const QStringList &fields, int k)
{
    if (k >= fields.size() || isBlank(fields.at(k)))
        return std::nullopt;
    return wholeNumber(fields.at(k));
}

std::array<std::optional<qint32>, 3> colourFields(const QStringList &fields, int first)
{
    std::array<std::optional<qint32>, 3> colour;
    for (int c = 0; c < 3; ++c) {
        if (const auto number = numberField(fields, first + c))
            colour[c] = std::clamp(*number, 0, 255);
    }
    return colour;
}

QColor mixed(QColor design, const std::array<std::optional<qint32>, 3> &components)
{
    if (components[0])
        design.setRed(*components[0]);
    if (components[1])
        design.setGreen(*components[1]);
    if (components[2])
        design.setBlue(*components[2]);
    return design;
}

bool hasAny(const std::array<std::optional<qint32>, 3> &components)
{
    return components[0] || components[1] || components[2];
}

} // namespace

BoxDescription parseBoxDescription(QStringView value)
{
    const QStringList fields = fieldList(value, 12);
    BoxDescription box;
    // Limited to what a widget takes, so that a box's far edge (left + width - 1) never
    // overflows; a box that far out is out of sight either way.
    if (const auto left = numberField(fields, 0))
        box.left = std::clamp(*left, -QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    if (const auto top = numberField(fields, 1))
        box.top = std::clamp(*top, -QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    if (const auto width = numberField(fields, 2))
        box.width = std::clamp(*width, 0, QWIDGETSIZE_MAX);
    if (const auto height = numberField(fields, 3))
        box.height = std::clamp(*height, 0, QWIDGETSIZE_MAX);
    box.backColour = colourFields(fields, 4);
    box.textColour = colourFields(fields, 7);
    if (fields.size() > 10 && !isBlank(fields.at(10)))
        box.fontName = fields.at(10);
    if (fields.size() > 11) {
        const LeadingNumber size = leadingNumber(fields.at(11));
        // The size is a single-precision number where the theme was made; a size too small
        // for one is 0 there.
        if (size.found && size.value > 0 && size.value <= 16384) {
            if (const auto single = static_cast<float>(size.value); single > 0)
                box.fontSize = static_cast<double>(single);
        }
    }
    return box;
}

void applyBoxDescription(QWidget &box, const BoxDescription &description)
{
    QRect geometry = box.geometry();
    if (description.left)
        geometry.moveLeft(*description.left);
    if (description.top)
        geometry.moveTop(*description.top);
    if (description.width)
        geometry.setWidth(*description.width);
    if (description.height)
        geometry.setHeight(*description.height);
    box.setGeometry(geometry);

    QPalette palette = box.palette();
    if (hasAny(description.backColour)) {
        const QColor back = mixed(palette.color(QPalette::Base), description.backColour);
        for (const QPalette::ColorRole role : {QPalette::Base, QPalette::Window, QPalette::Button})
            palette.setColor(role, back);
    }
    if (hasAny(description.textColour)) {
        const QColor text = mixed(palette.color(QPalette::Text), description.textColour);
        for (const QPalette::ColorRole role :
             {QPalette::Text, QPalette::WindowText, QPalette::ButtonText})
            palette.setColor(role, text);
    }
    // A box the description leaves alone keeps following its window's palette and font.
    if (hasAny(description.backColour) || hasAny(description.textColour))
        box.setPalette(palette);

    QFont font = box.font();
    if (description.fontName)
        font.setFamily(*description.fontName);
    if (description.fontSize)
        font.setPointSizeF(*description.fontSize);
    if (description.fontName || description.fontSize)
        box.setFont(font);
}

quint32 maskColourValue(QStringView value)
{
    const QStringList fields = fieldList(value, 3);
    const auto field = [&fields](int k) {
        return k < fields.size() ? QStringView(fields.at(k)) : QStringView();
    };
    return colourFromFields(field(0), field(1), field(2));
}

} // namespace skin
