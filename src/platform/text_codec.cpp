#include "platform/text_codec.h"

#include <QStringDecoder>

#include <array>

namespace platform {
namespace {

// Windows-1252 bytes 0x80 … 0x9F. The unassigned ones keep their C1 code point, so that any
// byte decodes to a character that encodes back to the same byte.
constexpr std::array<char16_t, 32> cp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

QString decodeCp1252(QByteArrayView bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    QChar *out = text.data();
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        *out++ =
            (byte >= 0x80 && byte < 0xA0) ? QChar(cp1252High[byte - 0x80]) : QChar(char16_t(byte));
    }
    return text;
}

std::optional<char> encodeCp1252Char(char16_t unit)
{
    if (unit < 0x80 || (unit >= 0xA0 && unit <= 0xFF))
        return static_cast<char>(unit);
    for (std::size_t i = 0; i < cp1252High.size(); ++i) {
        if (cp1252High[i] == unit)
            return static_cast<char>(0x80 + i);
    }
    return std::nullopt;
}

std::optional<QByteArray> encodeCp1252(QStringView text)
{
    QByteArray bytes(text.size(), Qt::Uninitialized);
    char *out = bytes.data();
    for (const QChar c : text) {
        const std::optional<char> byte = encodeCp1252Char(c.unicode());
        if (!byte)
            return std::nullopt;
        *out++ = *byte;
    }
    return bytes;
}

QString decodeUtf16(QByteArrayView bytes, bool bigEndian)
{
    QString text(bytes.size() / 2, Qt::Uninitialized);
    const int lowByte = bigEndian ? 1 : 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const auto low = static_cast<unsigned char>(bytes[2 * i + lowByte]);
        const auto high = static_cast<unsigned char>(bytes[2 * i + 1 - lowByte]);
        text[i] = QChar(static_cast<char16_t>(low | (high << 8)));
    }
    return text;
}

QByteArray encodeUtf16(QStringView text, bool bigEndian)
{
    QByteArray bytes(text.size() * 2, Qt::Uninitialized);
    char *out = bytes.data();
    for (const QChar c : text) {
        const auto low = static_cast<char>(c.unicode() & 0xFF);
        const auto high = static_cast<char>(c.unicode() >> 8);
        *out++ = bigEndian ? high : low;
        *out++ = bigEndian ? low : high;
    }
    return bytes;
}

} // namespace

QString decodeText(TextCodec codec, QByteArrayView bytes)
{
    switch (codec) {
    case TextCodec::Utf8: {
        // A byte-order mark at the start of a value or name is text like any other: dropping
        // it would make a name unfindable by the spelling the file lists.
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom |
                                                         QStringDecoder::Flag::Stateless);
        return decoder(bytes);
    }
    case TextCodec::Cp1252:
        return decodeCp1252(bytes);
    case TextCodec::Utf16Le:
    case TextCodec::Utf16Be:
        return decodeUtf16(bytes, codec == TextCodec::Utf16Be);
    }
    return {};
}

std::optional<QByteArray> encodeText(TextCodec codec, QStringView text)
{
    if (!text.isValidUtf16())
        return std::nullopt;
    switch (codec) {
    case TextCodec::Utf8:
        return text.toUtf8();
    case TextCodec::Cp1252:
        return encodeCp1252(text);
    case TextCodec::Utf16Le:
    case TextCodec::Utf16Be:
        return encodeUtf16(text, codec == TextCodec::Utf16Be);
    }
    return {};
}

TextCodec codecForEightBitText(QByteArrayView bytes)
{
    return bytes.isValidUtf8() ? TextCodec::Utf8 : TextCodec::Cp1252;
}

} // namespace platform
