#pragma once

#include "core/number_text.h"

#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>

// The text forms of skin values and stored settings. Every function is pure and never fails
// loudly: a form that cannot be read gives std::nullopt or the documented fallback.
namespace skin {

// The number and Boolean forms are shared with the settings store and live in core; they are
// part of the skin value forms as well.
using core::LeadingNumber;
using core::leadingNumber;
using core::roundHalfEven;
using core::toBoolean;
using core::toWholeNumber;
using core::wholeNumber;

// The platform colour value red + 256 * green + 65536 * blue; each component is first limited
// to 0 ... 255.
[[nodiscard]] quint32 colourValue(qint32 red, qint32 green, qint32 blue);

// Colour of three separate fields (layout lines, box descriptions, mask colours): each field is
// a whole number by the leading-number rule (no number gives 0), limited to 0 ... 255.
[[nodiscard]] quint32 colourFromFields(QStringView red, QStringView green, QStringView blue);

// Colour of a whole "red,green,blue" value such as the console's "BackGround". Red is the text
// before the first comma, green the text from there up to the next comma, blue the text after
// the first comma that lies at least two characters after the first one (so "1,,3,4" has blue
// 4); when there is none ("1,,3") blue is the text after the second comma. Each component is a
// whole number by the leading-number rule (no number reads 0); one above 255 counts as 255.
// std::nullopt when the value has fewer than two commas or a component is negative or above
// 32767 (such a value counts as absent).
[[nodiscard]] std::optional<quint32> toColour(QStringView value);

// Field list: splits value at its commas into at most `expected` fields, taken from the left;
// the last expected field runs to the end of the value and keeps any further commas. There is
// no quoting. The result has fewer than `expected` fields when the value has fewer commas;
// an empty value is one empty field. expected < 1 gives an empty list.
[[nodiscard]] QStringList fieldList(QStringView value, int expected);

} // namespace skin
