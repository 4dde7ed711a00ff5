// Layout lines and the value forms under them, on any text. Properties: nothing crashes or
// overflows; a placed element never has a negative size; colours stay platform colour values;
// a field list gives back its text when joined again.

#include "fuzz_support.h"
#include "skin/layout_line.h"
#include "skin/value_forms.h"

#include <cmath>
#include <variant>

using namespace skin;

namespace {

void checkPlacement(const LineGeometry &geometry, EdgeRule rule, double width, double height)
{
    const QRect rect = placeElement(geometry, rule, width, height);
    FUZZ_CHECK(rect.width() >= 0 && rect.height() >= 0);
}

void checkGeometry(const LineGeometry &geometry, EdgeRule rule, QSize inside)
{
    for (const GeometryValue &value :
         {geometry.left, geometry.top, geometry.width, geometry.height})
        FUZZ_CHECK(!std::isnan(value.number));
    // The inside of a real window, of an empty one, and of the largest one the toolkit allows.
    checkPlacement(geometry, rule, 640, 480);
    checkPlacement(geometry, rule, 0, 0);
    checkPlacement(geometry, rule, 16777215, 16777215);
    checkPlacement(geometry, rule, inside.width(), inside.height());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider input(data, size);
    const int expected = input.ConsumeIntegralInRange(-1, 20);
    const int keyNumber = input.ConsumeIntegral<int>();
    const QSize inside(input.ConsumeIntegralInRange(0, 16777215),
                       input.ConsumeIntegralInRange(0, 16777215));
    const QString line = remainingText(input);

    FUZZ_CHECK(layoutKey(keyNumber).size() >= 2);
    const QStringList fields = fieldList(line, expected);
    FUZZ_CHECK(fields.size() <= std::max(expected, 0));
    if (expected > 0 && fields.size() == expected)
        FUZZ_CHECK(fields.join(u',') == line);
    FUZZ_CHECK(colourFromFields(line, line, line) <= 0xFFFFFF);
    if (const std::optional<quint32> colour = toColour(line))
        FUZZ_CHECK(*colour <= 0xFFFFFF);
    (void)toBoolean(line);
    (void)wholeNumber(line);

    const LayoutLine parsed = parseLayoutLine(line);
    if (const auto *text = std::get_if<TextElementLine>(&parsed)) {
        FUZZ_CHECK(text->backColour <= 0xFFFFFF && text->textColour <= 0xFFFFFF);
        FUZZ_CHECK(!text->fontSize || (*text->fontSize > 0 && std::isfinite(*text->fontSize)));
        FUZZ_CHECK(text->index >= 1 && text->index <= 6);
        checkGeometry(text->geometry, EdgeRule::NotPositive, inside);
    } else if (const auto *picture = std::get_if<PictureLine>(&parsed)) {
        checkGeometry(picture->geometry, EdgeRule::NotPositive, inside);
    } else if (const auto *button = std::get_if<ImageButtonLine>(&parsed)) {
        FUZZ_CHECK(button->button.isComplete() && button->button.text() == line);
        checkGeometry(button->geometry, EdgeRule::Negative, inside);
    } else if (const auto *animation = std::get_if<AnimationLine>(&parsed)) {
        checkGeometry(animation->geometry, EdgeRule::Negative, inside);
    }
    return 0;
}
