#include "skin/value_forms.h"

#include <algorithm>

namespace skin {

quint32 colourValue(qint32 red, qint32 green, qint32 blue)
{
    const auto component = [](qint32 v) { return quint32(std::clamp(v, 0, 255)); };
    return component(red) + 256u * component(green) + 65536u * component(blue);
}

quint32 colourFromFields(QStringView red, QStringView green, QStringView blue)
{
    return colourValue(wholeNumber(red), wholeNumber(green), wholeNumber(blue));
}

std::optional<quint32> toColour(QStringView value)
{
    const qsizetype firstComma = value.indexOf(u',');
    if (firstComma < 0)
        return std::nullopt;
    const qsizetype greenStart = firstComma + 1;
    const qsizetype secondComma = value.indexOf(u',', greenStart);
    if (secondComma < 0)
        return std::nullopt;
    // The blue text starts after the first comma at least one character past the green text's
    // start: with an empty green that skips the second comma. Where no such comma exists the
    // stored rule would read the whole value (so red again) as blue; the text after the second
    // comma is what the value means.
    qsizetype blueComma = value.indexOf(u',', greenStart + 1);
    if (blueComma < 0)
        blueComma = secondComma;

    const qint32 components[3] = {
        wholeNumber(value.first(firstComma)),
        wholeNumber(value.sliced(greenStart, secondComma - greenStart)),
        wholeNumber(value.sliced(blueComma + 1)),
    };
    for (const qint32 c : components) {
        if (c < 0 || c > 32767)
            return std::nullopt;
    }
    return colourValue(components[0], components[1], components[2]);
}

QStringList fieldList(QStringView value, int expected)
{
    QStringList fields;
    if (expected < 1)
        return fields;
    qsizetype start = 0;
    while (fields.size() < expected - 1) {
        const qsizetype comma = value.indexOf(u',', start);
        if (comma < 0)
            break;
        fields.append(value.sliced(start, comma - start).toString());
        start = comma + 1;
    }
    fields.append(value.sliced(start).toString());
    return fields;
}

} // namespace skin
