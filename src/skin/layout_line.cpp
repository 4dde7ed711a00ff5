#include "skin/layout_line.h"

#include "skin/value_forms.h"

#include <QStringList>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace skin {
namespace {

constexpr int textElementFields = 14;
constexpr int pictureFields = 6;
constexpr int buttonFields = 10;
constexpr int animationFields = 6;

const char *const geometryNames[4] = {"left", "top", "width", "height"};

NotLaidOut tooFewFields(QLatin1StringView kind, int needed, qsizetype found)
{
    return {NotLaidOut::Reason::TooFewFields,
            QStringLiteral("\"%1\" line has %2 fields, needs %3").arg(kind).arg(found).arg(needed)};
}

// Fields 3 to 6. An empty field is 0, as the whole-number form reads it. Text that is no
// number could only be placed by guessing, so such a line is not laid out; a unit after the
// number ("12px") is allowed, as for every whole number.
std::variant<LineGeometry, NotLaidOut> parseGeometry(const QStringList &fields, bool allowPercent)
{
    GeometryValue values[4];
    for (int i = 0; i < 4; ++i) {
        const QString &field = fields.at(2 + i);
        const LeadingNumber number = leadingNumber(field);
        if (!number.found && !field.trimmed().isEmpty()) {
            return NotLaidOut{NotLaidOut::Reason::MissingNumber,
                              QStringLiteral("the %1 field \"%2\" holds no number")
                                  .arg(QLatin1StringView(geometryNames[i]), field)};
        }
        values[i] = {number.value, allowPercent && field.endsWith(u'%')};
    }
    return LineGeometry{values[0], values[1], values[2], values[3]};
}

// The line when it has the fields a line of kind needs and a geometry in fields 3 to 6, built
// from them by build(fields, geometry); else why it is not laid out.
template<typename Build>
LayoutLine placedLine(QStringView line, QLatin1StringView kind, int needed, bool allowPercent,
                      Build build)
{
    const QStringList fields = fieldList(line, needed);
    if (fields.size() < needed)
        return tooFewFields(kind, needed, fields.size());
    auto geometry = parseGeometry(fields, allowPercent);
    if (auto *failure = std::get_if<NotLaidOut>(&geometry))
        return *failure;
    return build(fields, std::get<LineGeometry>(geometry));
}

TextElementLine textElement(TextElementLine::Kind kind, const QStringList &fields,
                            const LineGeometry &geometry)
{
    TextElementLine result;
    result.kind = kind;
    result.name = fields.at(0);
    result.index = fixedIndex(kind, result.name);
    result.geometry = geometry;
    result.backColour = colourFromFields(fields.at(6), fields.at(7), fields.at(8));
    result.textColour = colourFromFields(fields.at(9), fields.at(10), fields.at(11));
    result.fontName = fields.at(12);
    // A size of 0 or less, or none at all, would make the toolkit refuse the font; the element
    // keeps its template's size instead.
    const LeadingNumber size = leadingNumber(fields.at(13));
    if (size.found && size.value > 0.0 && std::isfinite(size.value))
        result.fontSize = size.value;
    return result;
}

LayoutLine parseTextElement(TextElementLine::Kind kind, QStringView line)
{
    const QLatin1StringView letter(kind == TextElementLine::Kind::List ? "L" : "T");
    return placedLine(line, letter, textElementFields, false,
                      [kind](const QStringList &fields, const LineGeometry &geometry) {
                          return textElement(kind, fields, geometry);
                      });
}

LayoutLine parsePicture(QStringView line)
{
    return placedLine(line, QLatin1StringView("P"), pictureFields, true,
                      [](const QStringList &fields, const LineGeometry &geometry) {
                          PictureLine result;
                          result.name = fields.at(0);
                          result.isThemePicture =
                              result.name.compare(u"themepic", Qt::CaseInsensitive) == 0;
                          result.geometry = geometry;
                          return result;
                      });
}

LayoutLine parseButton(QStringView line)
{
    ButtonLine button(line.toString());
    const QStringList &fields = button.fields();
    if (!button.isComplete())
        return tooFewFields(QLatin1StringView("B"), buttonFields, fields.size());
    auto geometry = parseGeometry(fields, false);
    if (auto *failure = std::get_if<NotLaidOut>(&geometry))
        return *failure;
    return ImageButtonLine{fields.at(0), std::get<LineGeometry>(geometry), std::move(button)};
}

LayoutLine parseAnimation(QStringView line)
{
    return placedLine(line, QLatin1StringView("A"), animationFields, false,
                      [](const QStringList &fields, const LineGeometry &geometry) {
                          return AnimationLine{fields.at(0), geometry};
                      });
}

qint32 resolve(const GeometryValue &value, double insideSize)
{
    return roundHalfEven(value.percent ? value.number * insideSize / 100.0 : value.number);
}

} // namespace

QString layoutKey(int n)
{
    QString key = QString::number(n);
    return n >= 0 && n < 10 ? u'0' + key : key;
}

LayoutLine parseLayoutLine(QStringView line)
{
    const QStringList head = fieldList(line, 3);
    if (head.size() < 2)
        return NotLaidOut{NotLaidOut::Reason::TooFewFields, QStringLiteral("the line has no kind")};
    const QString &kind = head.at(1);
    if (kind == u"L")
        return parseTextElement(TextElementLine::Kind::List, line);
    if (kind == u"T")
        return parseTextElement(TextElementLine::Kind::Label, line);
    if (kind == u"P")
        return parsePicture(line);
    if (kind == u"B")
        return parseButton(line);
    if (kind == u"A")
        return parseAnimation(line);
    return NotLaidOut{NotLaidOut::Reason::UnknownKind,
                      QStringLiteral("the kind \"%1\" is none of L, T, P, B, A").arg(kind)};
}

int fixedIndex(TextElementLine::Kind kind, const QString &name)
{
    if (kind == TextElementLine::Kind::List) {
        if (name == u"secinfo")
            return 1;
        if (name == u"secturn")
            return 3;
        return 2;
    }
    if (name == u"seclb")
        return 1;
    if (name == u"secso")
        return 2;
    if (name == u"secsc")
        return 3;
    if (name == u"secov")
        return 4;
    if (name == u"secvc")
        return 6;
    return 5;
}

QString elementRole(const TextElementLine &line)
{
    static const char *const lists[] = {"the protection list", "the theme list", "the switch list"};
    static const char *const labels[] = {
        "the selected button's label", "the password protection label", "the command label",
        "the over sound label",        "the click sound label",         "the voice command label"};
    const bool isList = line.kind == TextElementLine::Kind::List;
    const int count = isList ? 3 : 6;
    if (line.index < 1 || line.index > count)
        return QStringLiteral("element %1").arg(line.index);
    return QLatin1StringView((isList ? lists : labels)[line.index - 1]);
}

QString elementTakenMessage(const TextElementLine &line, int firstLine, const QString &firstName)
{
    const QString first =
        firstName == line.name
            ? QStringLiteral("line %1").arg(layoutKey(firstLine))
            : QStringLiteral("line %1 (\"%2\")").arg(layoutKey(firstLine), firstName);
    return QStringLiteral("\"%1\" names %2, which %3 already lays out: this line creates nothing")
        .arg(line.name, elementRole(line), first);
}

QRect placeElement(const LineGeometry &geometry, EdgeRule rule, double insideWidth,
                   double insideHeight)
{
    qint32 left = resolve(geometry.left, insideWidth);
    qint32 top = resolve(geometry.top, insideHeight);
    qint32 width = resolve(geometry.width, insideWidth);
    qint32 height = resolve(geometry.height, insideHeight);

    if (left < 0)
        left = roundHalfEven(insideWidth + left);
    if (top < 0)
        top = roundHalfEven(insideHeight + top);
    const auto fromEdge = [rule](qint32 size) {
        return rule == EdgeRule::NotPositive ? size <= 0 : size < 0;
    };
    if (fromEdge(width))
        width = roundHalfEven(insideWidth + width - left);
    if (fromEdge(height))
        height = roundHalfEven(insideHeight + height - top);
    // An element that starts beyond the edge it is measured back from would come out with a
    // negative size, which no widget can take; it is laid out empty instead. Numbers beyond
    // what a widget can take are limited to it, so that the rectangle's far edge (left + width
    // - 1) never overflows; such an element lies far outside the window either way.
    const auto position = [](qint32 value) {
        return std::clamp(value, -QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    };
    const auto size = [](qint32 value) { return std::clamp(value, 0, QWIDGETSIZE_MAX); };
    return QRect(position(left), position(top), size(width), size(height));
}

} // namespace skin
