#pragma once

// Shared by the fuzz targets: a property that fails stops the run with a message, so libFuzzer
// keeps the input and the corpus runner fails its test.

#include <QByteArray>
#include <QList>
#include <cstdio>
#include <cstdlib>

#define VX_FUZZ_CHECK(condition, what)                                                             \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "property failed: %s (%s:%d)\n", what, __FILE__, __LINE__);       \
            std::abort();                                                                          \
        }                                                                                          \
    } while (0)

namespace vx::fuzz
{

// Splits the input at NUL bytes into at most `parts` pieces; the last takes the rest.
inline QList<QByteArray> splitInput(const uint8_t* data, size_t size, int parts)
{
    const QByteArray all(reinterpret_cast<const char*>(data), qsizetype(size));
    QList<QByteArray> pieces;
    qsizetype pos = 0;
    while (pieces.size() < parts - 1) {
        const qsizetype nul = all.indexOf('\0', pos);
        if (nul < 0)
            break;
        pieces.append(all.mid(pos, nul - pos));
        pos = nul + 1;
    }
    pieces.append(all.mid(pos));
    while (pieces.size() < parts)
        pieces.prepend(QByteArray());
    return pieces;
}

} // namespace vx::fuzz
