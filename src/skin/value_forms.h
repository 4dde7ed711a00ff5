#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>

// The text forms of skin values and stored settings. Every function is pure and never fails
// loudly: a form that cannot be read gives std::nullopt or the documented fallback.
namespace skin {

// The decimal number at the start of a text.
struct LeadingNumber
{
    double value = 0.0; // 0 when found is false; +-infinity when the digits overflow a double
    bool found = false; // at least one digit was read
};

// Reads the number at the start of text: leading blanks (spaces and tabs) are skipped, then an
// optional "+" or "-" and digits with at most one decimal point are taken up to the first other
// character. "12px" gives 12, " -3.5x" gives -3.5, "", "px" and "-" give 0 with found false.
// There is no exponent and no hexadecimal form.
[[nodiscard]] LeadingNumber leadingNumber(QStringView text);

// The nearest whole number, a half going to the even neighbour (2.5 -> 2, 3.5 -> 4,
// -0.5 -> 0). Values beyond the 32-bit range give the nearest end of the range; NaN gives 0.
[[nodiscard]] qint32 roundHalfEven(double value);

// Whole number of a skin value: the leading number rounded half to even; no number gives 0.
[[nodiscard]] qint32 wholeNumber(QStringView text);

// As wholeNumber(), but std::nullopt when the text holds no number at all, for values whose
// absence must keep a default ("AnimDelay", stored screen values).
[[nodiscard]] std::optional<qint32> toWholeNumber(QStringView text);

// Boolean: "True" or "False" in any letter case, or a decimal number, non-zero meaning true
// ("0" and "0.0" are false, "-1" and "0.5" true). Blanks around the text are ignored. Anything
// else ("yes", "12px", "") gives std::nullopt.
[[nodiscard]] std::optional<bool> toBoolean(QStringView text);

// The platform colour value red + 256 * green + 65536 * blue; each component is first limited
// to 0 ... 255.
[[nodiscard]] quint32 colourValue(qint32 red, qint32 green, qint32 blue);

// Colour of three separate fields (layout lines, box descriptions, mask colours): each field is
// a whole number by the leading-number rule (no number gives 0), limited to 0 ... 255.
[[nodiscard]] quint32 colourFromFields(QStringView red, QStringView green, QStringView blue);

// Colour of a whole "red,green,blue" value such as the console's "BackGround": red is the text
// before the first comma, green the text up to the second comma, blue the text after the first
// comma that follows the green text, each a whole number by the leading-number rule. A
// component above 255 counts as 255. std::nullopt when the value has fewer than two commas or
// a component is negative or above 32767 (such a value counts as absent).
[[nodiscard]] std::optional<quint32> toColour(QStringView value);

// Field list: splits value at its commas into at most `expected` fields, taken from the left;
// the last expected field runs to the end of the value and keeps any further commas. There is
// no quoting. The result has fewer than `expected` fields when the value has fewer commas;
// an empty value is one empty field. expected < 1 gives an empty list.
[[nodiscard]] QStringList fieldList(QStringView value, int expected);

} // namespace skin
