#pragma once

#include <QString>
#include <QStringView>

#include <array>
#include <optional>

class QWidget;

// The value forms only the dialogs use: box descriptions, which place and style a text box or
// list, and mask colours. Parsing is pure; applying touches only the widget given.
namespace skin {

// A box description: twelve comma-separated fields, left, top, width, height (whole pixels),
// back colour red, green, blue, text colour red, green, blue (each limited to 0 ... 255), font
// name and font size. Each field that is absent or blank is std::nullopt and leaves the box's
// own value when applied.
struct BoxDescription
{
    std::optional<qint32> left;                      // -16777215 ... 16777215
    std::optional<qint32> top;                       // -16777215 ... 16777215
    std::optional<qint32> width;                     // 0 ... 16777215 (QWIDGETSIZE_MAX)
    std::optional<qint32> height;                    // 0 ... 16777215
    std::array<std::optional<qint32>, 3> backColour; // red, green, blue
    std::array<std::optional<qint32>, 3> textColour;
    std::optional<QString> fontName; // the field's text exactly
    std::optional<double> fontSize;  // always positive
};

// Field k is the text between the (k-1)-th and the k-th comma; the font size is all the text
// after the eleventh comma, so a value with fewer commas simply has fewer fields. A numeric
// field is the decimal number at its start rounded half to even (text after the number is
// ignored, a field without a number reads 0); a negative width or height reads 0, and every
// geometry field is limited to what a widget takes (see the struct). The font size
// is the number at the start of its text and counts only from above 0 up to 16384.
[[nodiscard]] BoxDescription parseBoxDescription(QStringView value);

// Places and styles box: the geometry fields present replace the box's own, each colour
// component present replaces that component of the box's back or text colour, then the font
// name and size. A description without any field (BoxDescription{}) changes nothing. Never
// fails; a font that is not installed falls back as Qt chooses.
void applyBoxDescription(QWidget &box, const BoxDescription &description);

// A mask colour "red,green,blue": red is field 1, green field 2, blue all the text after the
// second comma, each a whole number limited to 0 ... 255; a missing field reads 0. The result
// is the platform colour value red + 256 * green + 65536 * blue.
[[nodiscard]] quint32 maskColourValue(QStringView value);

} // namespace skin
