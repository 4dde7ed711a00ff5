#include "value_check.h"

#include "skin/value_forms.h"

#include <algorithm>
#include <cmath>

namespace check {
namespace {

const char *const geometryNames[4] = {"left", "top", "width", "height"};

// What a window can place: the platform's positions and sizes are 16-bit numbers.
constexpr double largestPlace = 32767;

// A number by the leading-number rule and nothing after it but blanks (and, where allowed, one
// "%"): a field that reads exactly as written.
bool isPlainNumber(QStringView field, bool allowPercent = false)
{
    const auto isBlank = [](QChar c) { return c == u' ' || c == u'\t'; };
    qsizetype i = 0;
    const qsizetype end = field.size();
    while (i < end && isBlank(field[i]))
        ++i;
    if (i < end && (field[i] == u'+' || field[i] == u'-'))
        ++i;
    bool digits = false;
    bool point = false;
    for (; i < end; ++i) {
        if (field[i].isDigit() && field[i].unicode() < 128)
            digits = true;
        else if (field[i] == u'.' && !point)
            point = true;
        else
            break;
    }
    if (allowPercent && i < end && field[i] == u'%')
        ++i;
    while (i < end && isBlank(field[i]))
        ++i;
    return digits && i == end;
}

QString readsAs(QStringView field)
{
    return QString::number(skin::wholeNumber(field));
}

} // namespace

QStringList geometryWarnings(QStringView kind, const QStringList &geometry)
{
    const bool takesShare = kind == u"P";
    QStringList warnings;
    for (int i = 0; i < 4 && i < geometry.size(); ++i) {
        const QString &field = geometry.at(i);
        const QLatin1StringView name(geometryNames[i]);
        const skin::LeadingNumber number = skin::leadingNumber(field);
        if (!number.found)
            continue; // a line whose field is no number is not laid out, and says so
        if (!takesShare && field.trimmed().endsWith(u'%')) {
            warnings << QStringLiteral("the %1 field \"%2\" reads %3 pixels: only P lines take a "
                                       "share of the window")
                            .arg(name, field.trimmed(), readsAs(field));
        } else if (!isPlainNumber(field, takesShare)) {
            warnings << numberWarning(QStringLiteral("the %1 field").arg(name), field);
        } else if (!field.trimmed().endsWith(u'%') && std::abs(number.value) > largestPlace) {
            warnings << QStringLiteral("the %1 %2 lies beyond any window (-32768 to 32767 "
                                       "pixels)")
                            .arg(name, field.trimmed());
        }
    }
    return warnings;
}

QString colourWarning(const QString &what, const QStringList &components, bool blankKeeps)
{
    bool plain = components.size() == 3;
    QStringList reads;
    for (const QString &component : components) {
        const bool blank = component.trimmed().isEmpty();
        const qint32 value = skin::wholeNumber(component);
        if (!(blank && blankKeeps) && (!isPlainNumber(component) || value < 0 || value > 255))
            plain = false;
        reads << (blank && blankKeeps ? QStringLiteral("-")
                                      : QString::number(std::clamp(value, 0, 255)));
    }
    if (plain)
        return {};
    return QStringLiteral("%1 \"%2\" reads %3: red, green and blue are each a number from 0 to "
                          "255")
        .arg(what, components.join(u','), reads.join(u','));
}

QString numberWarning(const QString &what, QStringView field)
{
    if (isPlainNumber(field))
        return {};
    if (!skin::leadingNumber(field).found)
        return QStringLiteral("%1 \"%2\" holds no number and reads 0")
            .arg(what, field.trimmed().toString());
    return QStringLiteral("%1 \"%2\" reads %3: the text after a number is not read")
        .arg(what, field.trimmed().toString(), readsAs(field));
}

} // namespace check
