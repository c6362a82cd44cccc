#pragma once

#include <QtGlobal>
#include <cstring>

// Eight bytes at a time through plain text, for the index writer: every save writes every name,
// and a loop per byte spent more on stepping than on looking (a save at 100,000 names took twice
// as long and missed its target).
namespace vx::bytescan
{

inline quint64 load(const char* at)
{
    quint64 word;
    std::memcpy(&word, at, 8);
    return word;
}

// The last `count` (< 8) bytes of a text, padded with zero bytes.
inline quint64 loadTail(const char* at, qsizetype count)
{
    quint64 word = 0;
    std::memcpy(&word, at, size_t(count));
    return word;
}

// A mask keeping the first `count` (< 8) bytes of a word, as they lie in memory.
inline quint64 keepFirst(qsizetype count)
{
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
    return (quint64(1) << (8 * count)) - 1;
#else
    return ~((~quint64(0)) >> (8 * count));
#endif
}

// 0x80 in each byte of `word` that equals `b`, nothing elsewhere.
inline quint64 bytesEqual(quint64 word, unsigned char b)
{
    constexpr quint64 low7 = 0x7f7f7f7f7f7f7f7fULL;
    const quint64 v = word ^ (0x0101010101010101ULL * b);
    return ~(((v & low7) + low7) | v | low7);
}

} // namespace vx::bytescan
