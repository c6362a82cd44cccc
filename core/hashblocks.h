#pragma once

#include <QtEndian>
#include <QtGlobal>
#include <algorithm>
#include <array>
#include <cstring>

namespace vx
{

// The 64-byte blocks MD5 and SHA-1 work on: whole blocks of the data given go straight to the
// compression function, the bytes of a partial one wait for the next call, and the end is
// padded with 0x80, zeros and the length in bits (in the hash's own byte order).
class HashBlocks
{
public:
    // `compress(blocks, count)` takes `count` whole blocks.
    template <typename Compress> void add(const char* data, qsizetype length, Compress&& compress)
    {
        m_length += quint64(length);
        if (m_pendingBytes > 0) {
            const qsizetype take = std::min<qsizetype>(64 - m_pendingBytes, length);
            std::memcpy(m_pending.data() + m_pendingBytes, data, size_t(take));
            m_pendingBytes += take;
            data += take;
            length -= take;
            if (m_pendingBytes < 64)
                return;
            compress(m_pending.data(), qsizetype(1));
            m_pendingBytes = 0;
        }
        compress(data, length / 64);
        m_pendingBytes = length % 64;
        std::memcpy(m_pending.data(), data + length - m_pendingBytes, size_t(m_pendingBytes));
    }

    template <bool BigEndianLength, typename Compress> void finish(Compress&& compress)
    {
        std::array<char, 128> tail{};
        std::memcpy(tail.data(), m_pending.data(), size_t(m_pendingBytes));
        tail[size_t(m_pendingBytes)] = char(0x80);
        const qsizetype count = m_pendingBytes + 9 <= 64 ? 1 : 2;
        char* const length = tail.data() + count * 64 - 8;
        if constexpr (BigEndianLength)
            qToBigEndian(m_length * 8, length);
        else
            qToLittleEndian(m_length * 8, length);
        compress(tail.data(), count);
    }

private:
    std::array<char, 64> m_pending{};
    qsizetype m_pendingBytes = 0;
    quint64 m_length = 0;
};

} // namespace vx
