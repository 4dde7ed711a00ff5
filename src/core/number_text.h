#pragma once

#include <QStringView>

#include <optional>

// Numbers and Booleans written as text, as the settings store and the skin files hold them.
// Every function is pure and never fails loudly: a text that does not convert gives
// std::nullopt or the documented fallback.
namespace core {

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

// Whole number: the leading number rounded half to even; no number gives 0.
[[nodiscard]] qint32 wholeNumber(QStringView text);

// As wholeNumber(), but std::nullopt when the text holds no number at all, for values whose
// absence must keep a default ("AnimDelay", stored screen values).
[[nodiscard]] std::optional<qint32> toWholeNumber(QStringView text);

// Boolean: "True" or "False" in any letter case, or a decimal number, non-zero meaning true
// ("0" and "0.0" are false, "-1" and "0.5" true). Blanks around the text are ignored. Anything
// else ("yes", "12px", "") gives std::nullopt.
[[nodiscard]] std::optional<bool> toBoolean(QStringView text);

} // namespace core
