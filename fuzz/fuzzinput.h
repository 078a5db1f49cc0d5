#pragma once

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

// What every harness shares: the input as Qt data, and checks that end the run as a crash, so
// that libFuzzer keeps the input that broke a property.
namespace fuzzinput {

inline QByteArray bytes(const std::uint8_t *data, std::size_t size)
{
    // A copy, so that the data ends in the terminating zero Qt counts on.
    return QByteArray(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
}

// Text as a server document carries it: no controls but tab, line feed and carriage return, and
// neither U+FFFE nor U+FFFF, which XML 1.0 cannot hold. (Text from UTF-8 has no unpaired
// surrogates.)
inline QString carriedByXml(const QString &text)
{
    QString carried;
    for (const QChar c : text) {
        const char16_t unit = c.unicode();
        const bool control = unit < 0x20 && unit != u'\t' && unit != u'\n' && unit != u'\r';
        if (!control && unit != 0xFFFE && unit != 0xFFFF)
            carried += c;
    }
    return carried;
}

[[noreturn]] inline void fail(const char *check, const char *file, int line)
{
    std::fprintf(stderr, "%s:%d: property broken: %s\n", file, line, check);
    std::abort();
}

} // namespace fuzzinput

#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition))                                                                          \
            fuzzinput::fail(#condition, __FILE__, __LINE__);                                       \
    } while (false)
