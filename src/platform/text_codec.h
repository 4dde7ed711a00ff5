#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace platform {

// How the text of a profile file is turned into characters and back. Files are bytes: text that
// a write does not touch is copied byte for byte, so only the pieces that are read or written
// pass through a codec, and every codec here round-trips the bytes it decoded.
enum class TextCodec
{
    Utf8,    // 8-bit text that is valid UTF-8 (plain ASCII included)
    Cp1252,  // 8-bit text that is not; the five unassigned bytes map to U+0081 … U+009D
    Utf16Le, // a file that starts with the bytes FF FE
    Utf16Be, // a file that starts with the bytes FE FF
};

QString decodeText(TextCodec codec, QByteArrayView bytes);
// std::nullopt when the codec cannot hold the text exactly: a character Windows-1252 lacks, or
// half a surrogate pair, which is no text in any of them.
std::optional<QByteArray> encodeText(TextCodec codec, QStringView text);

// The codec for one piece of 8-bit text: UTF-8 when its bytes are valid UTF-8, else
// Windows-1252.
TextCodec codecForEightBitText(QByteArrayView bytes);

} // namespace platform
