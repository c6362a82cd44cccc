#include "core/sha1.h"

#include <QtEndian>
#include <cstring>

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define VX_SHA1_X86 1
#include <cpuid.h>
#include <immintrin.h>
#endif

namespace vx
{

namespace
{

#ifdef VX_SHA1_X86

#define VX_SHA_TARGET __attribute__((target("sha,ssse3,sse4.1")))

// Four of the eighty rounds, as Intel's description of the instructions lays them out: the
// message schedule runs a few steps ahead of the rounds that use it.
template <int I>
VX_SHA_TARGET inline void fourRounds(__m128i& abcd, __m128i& e0, __m128i& e1, __m128i (&msg)[4])
{
    __m128i& e = I % 2 == 0 ? e0 : e1;
    __m128i& next = I % 2 == 0 ? e1 : e0;
    if constexpr (I == 0)
        e = _mm_add_epi32(e, msg[0]);
    else
        e = _mm_sha1nexte_epu32(e, msg[I % 4]);
    next = abcd;
    if constexpr (I >= 3 && I <= 18)
        msg[(I + 1) % 4] = _mm_sha1msg2_epu32(msg[(I + 1) % 4], msg[I % 4]);
    abcd = _mm_sha1rnds4_epu32(abcd, e, I / 5);
    if constexpr (I >= 1 && I <= 16)
        msg[(I + 3) % 4] = _mm_sha1msg1_epu32(msg[(I + 3) % 4], msg[I % 4]);
    if constexpr (I >= 2 && I <= 17)
        msg[(I + 2) % 4] = _mm_xor_si128(msg[(I + 2) % 4], msg[I % 4]);
}

template <int... I>
VX_SHA_TARGET inline void allRounds(__m128i& abcd, __m128i& e0, __m128i& e1, __m128i (&msg)[4],
                                    std::integer_sequence<int, I...> /*rounds*/)
{
    (fourRounds<I>(abcd, e0, e1, msg), ...);
}

VX_SHA_TARGET void hardwareBlocks(quint32* state, const char* data, qsizetype blocks)
{
    const __m128i byteOrder = _mm_set_epi64x(0x0001020304050607LL, 0x08090a0b0c0d0e0fLL);
    __m128i abcd =
        _mm_shuffle_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(state)), 0x1B);
    __m128i e0 = _mm_set_epi32(int(state[4]), 0, 0, 0);
    for (; blocks > 0; --blocks, data += 64) {
        const __m128i abcdBefore = abcd;
        const __m128i eBefore = e0;
        __m128i e1;
        __m128i msg[4];
        for (int k = 0; k < 4; ++k)
            msg[k] = _mm_shuffle_epi8(
                _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + qsizetype(16) * k)),
                byteOrder);
        allRounds(abcd, e0, e1, msg, std::make_integer_sequence<int, 20>());
        e0 = _mm_sha1nexte_epu32(e0, eBefore);
        abcd = _mm_add_epi32(abcd, abcdBefore);
    }
    _mm_storeu_si128(reinterpret_cast<__m128i*>(state), _mm_shuffle_epi32(abcd, 0x1B));
    state[4] = quint32(_mm_extract_epi32(e0, 3));
}

bool processorHasSha()
{
    // The four registers cpuid fills.
    unsigned a = 0;
    unsigned b = 0;
    unsigned c = 0;
    unsigned d = 0;
    if (!__get_cpuid(1, &a, &b, &c, &d))
        return false;
    const bool ssse3 = c & (1U << 9);
    const bool sse41 = c & (1U << 19);
    if (!__get_cpuid_count(7, 0, &a, &b, &c, &d))
        return false;
    return ssse3 && sse41 && (b & (1U << 29));
}

#else

void hardwareBlocks(quint32* /*state*/, const char* /*data*/, qsizetype /*blocks*/) {}

bool processorHasSha()
{
    return false;
}

#endif

} // namespace

bool Sha1::inHardware()
{
    static const bool has = processorHasSha() && qEnvironmentVariableIsEmpty("VX_PORTABLE_SHA1");
    return has;
}

Sha1::Sha1() : m_hardware(inHardware()) {}

void Sha1::addData(const char* data, qsizetype length)
{
    if (!m_hardware) {
        m_portable.addData(QByteArrayView(data, length));
        return;
    }
    m_blocks.add(data, length, [this](const char* from, qsizetype count) {
        hardwareBlocks(m_state.data(), from, count);
    });
}

QByteArray Sha1::result()
{
    if (!m_hardware)
        return m_portable.result();
    m_blocks.finish<true>(
        [this](const char* from, qsizetype count) { hardwareBlocks(m_state.data(), from, count); });
    QByteArray digest(20, '\0');
    for (int i = 0; i < 5; ++i)
        qToBigEndian(m_state[size_t(i)], digest.data() + qsizetype(4) * i);
    return digest;
}

} // namespace vx
