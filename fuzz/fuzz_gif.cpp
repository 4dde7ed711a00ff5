// The GIF block walker and the frame decoder on any bytes (seeded with third-party GIFs).
// Properties: nothing crashes, hangs or runs out of memory; the walker's images and delays stay
// in their documented ranges; the decoder gives at most one frame per image the walker found,
// every frame the size of the logical screen.

#include "fuzz_support.h"
#include "skin/gif_animation.h"
#include "skin/gif_structure.h"

#include <QGuiApplication>

using namespace skin;

namespace {

// Kept to the end of the process and never destroyed: libFuzzer ends with exit(), after
// which Qt's own globals are already gone.
QGuiApplication *application = nullptr;

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    application = new QGuiApplication(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));

    const GifStructure structure = walkGif(bytes);
    FUZZ_CHECK(structure.isGif || structure.images.isEmpty());
    // An image descriptor alone takes ten bytes.
    FUZZ_CHECK(structure.images.size() * 10 <= bytes.size());
    for (const GifImage &image : structure.images) {
        FUZZ_CHECK(image.delayMs >= 0 && image.delayMs <= maxFrameDelay);
        FUZZ_CHECK(image.hasControl || image.delayMs == 0);
        FUZZ_CHECK(image.rect.width() >= 0 && image.rect.height() >= 0);
    }

    const GifAnimation animation = decodeGifAnimation(bytes);
    FUZZ_CHECK(animation.frames.size() <= structure.images.size());
    FUZZ_CHECK(!animation.frames.isEmpty() || !animation.error.isEmpty());
    for (const GifFrame &frame : animation.frames) {
        FUZZ_CHECK(!frame.image.isNull());
        FUZZ_CHECK(frame.image.size() == animation.frames.front().image.size());
        FUZZ_CHECK(frame.delayMs >= 0 && frame.delayMs <= maxFrameDelay);
    }
    return 0;
}
