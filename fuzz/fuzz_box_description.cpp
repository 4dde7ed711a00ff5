// Box descriptions and mask colours on any text, parsed and applied to a real widget.
// Properties: nothing crashes or overflows; sizes are never negative, colour components stay in
// 0 ... 255, a font size is positive and bounded; the widget takes what the description says.

#include "fuzz_support.h"
#include "skin/box_description.h"

#include <QApplication>
#include <QLineEdit>

#include <cmath>

using namespace skin;

namespace {

// Kept to the end of the process and never destroyed: libFuzzer ends with exit(), after
// which Qt's own globals are already gone.
QApplication *application = nullptr;
QLineEdit *box = nullptr;

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    application = new QApplication(*argc, *argv);
    box = new QLineEdit;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider input(data, size);
    const QString value = remainingText(input);

    const BoxDescription description = parseBoxDescription(value);
    FUZZ_CHECK(!description.width || *description.width >= 0);
    FUZZ_CHECK(!description.height || *description.height >= 0);
    for (const auto &colour : {description.backColour, description.textColour}) {
        for (const std::optional<qint32> &component : colour)
            FUZZ_CHECK(!component || (*component >= 0 && *component <= 255));
    }
    FUZZ_CHECK(!description.fontSize ||
               (*description.fontSize > 0 && *description.fontSize <= 16384));
    FUZZ_CHECK(maskColourValue(value) <= 0xFFFFFF);

    box->setGeometry(10, 20, 30, 40);
    applyBoxDescription(*box, description);
    if (description.left)
        FUZZ_CHECK(box->x() == *description.left);
    if (description.top)
        FUZZ_CHECK(box->y() == *description.top);
    return 0;
}
