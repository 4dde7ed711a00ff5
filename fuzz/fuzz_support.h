#pragma once

#include <QString>

#include <cstdio>
#include <cstdlib>
#include <fuzzer/FuzzedDataProvider.h>

// What every fuzz target shares: a failed property is a crash, so that libFuzzer keeps the input
// that broke it beside the sanitizers' findings.
#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "property failed: %s (%s:%d)\n", #condition, __FILE__, __LINE__); \
            std::abort();                                                                          \
        }                                                                                          \
    } while (false)

// Text as the console meets it: bytes of a file decoded as UTF-8, or, when the first byte is
// odd, raw UTF-16 code units, so that lone surrogates and every other unit reach the parsers.
inline QString fuzzText(FuzzedDataProvider &input, std::size_t maxBytes)
{
    const bool rawUnits = input.ConsumeBool();
    const std::string bytes = input.ConsumeRandomLengthString(maxBytes);
    if (!rawUnits)
        return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
    QString text;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        text.append(QChar(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                                (static_cast<unsigned char>(bytes[i + 1]) << 8))));
    }
    return text;
}

inline QString remainingText(FuzzedDataProvider &input)
{
    const std::string bytes = input.ConsumeRemainingBytesAsString();
    return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
}
