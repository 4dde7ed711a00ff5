#include "core/number_text.h"

#include <QByteArray>

#include <charconv>
#include <cmath>
#include <limits>

namespace core {
namespace {

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

struct ScannedNumber
{
    LeadingNumber number;
    qsizetype end = 0; // index just past the number (0 when there is none)
};

ScannedNumber scanNumber(QStringView text)
{
    qsizetype i = 0;
    while (i < text.size() && isBlank(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    // Collected in ASCII for from_chars, which, unlike strtod, ignores the process locale
    // (QCoreApplication sets it from the environment, where the decimal point may be a comma).
    QByteArray digits;
    bool seenPoint = false;
    bool seenDigit = false;
    bool nonZeroBeforePoint = false;
    for (; i < text.size(); ++i) {
        const QChar c = text[i];
        if (isDigit(c)) {
            seenDigit = true;
            if (!seenPoint && c != u'0')
                nonZeroBeforePoint = true;
            digits.append(char(c.unicode()));
        } else if (c == u'.' && !seenPoint) {
            seenPoint = true;
            digits.append('.');
        } else {
            break;
        }
    }
    if (!seenDigit)
        return {};

    double value = 0.0;
    const auto [ptr, error] = std::from_chars(digits.cbegin(), digits.cend(), value);
    Q_UNUSED(ptr);
    if (error == std::errc::result_out_of_range) {
        // Too many digits before the point overflow; a long run of zeros after it underflows.
        value = nonZeroBeforePoint ? std::numeric_limits<double>::infinity() : 0.0;
    }
    return {{negative ? -value : value, true}, i};
}

} // namespace

LeadingNumber leadingNumber(QStringView text)
{
    return scanNumber(text).number;
}

qint32 roundHalfEven(double value)
{
    constexpr double lowest = std::numeric_limits<qint32>::min();
    constexpr double highest = std::numeric_limits<qint32>::max();
    if (std::isnan(value))
        return 0;
    if (value <= lowest)
        return std::numeric_limits<qint32>::min();
    if (value >= highest)
        return std::numeric_limits<qint32>::max();
    const double below = std::floor(value);
    const double fraction = value - below; // exact for every double in the 32-bit range
    double rounded = below;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(below, 2.0) != 0.0))
        rounded = below + 1.0;
    // 2147483647.5 rounds up to an even number just past the range.
    return rounded > highest ? std::numeric_limits<qint32>::max() : qint32(rounded);
}

qint32 wholeNumber(QStringView text)
{
    return roundHalfEven(leadingNumber(text).value);
}

std::optional<qint32> toWholeNumber(QStringView text)
{
    const LeadingNumber number = leadingNumber(text);
    if (!number.found)
        return std::nullopt;
    return roundHalfEven(number.value);
}

std::optional<bool> toBoolean(QStringView text)
{
    const QStringView trimmed = text.trimmed();
    if (trimmed.compare(u"True", Qt::CaseInsensitive) == 0)
        return true;
    if (trimmed.compare(u"False", Qt::CaseInsensitive) == 0)
        return false;
    // A number converts only as a whole: "12px" is no Boolean, although it is the number 12.
    const ScannedNumber scanned = scanNumber(trimmed);
    if (!scanned.number.found || scanned.end != trimmed.size())
        return std::nullopt;
    return scanned.number.value != 0.0;
}

} // namespace core
