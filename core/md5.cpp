#include "core/md5.h"

#include <QtEndian>
#include <cstring>

namespace vx
{

namespace
{

template <int S> inline quint32 rotateLeft(quint32 v)
{
    return (v << S) | (v >> (32 - S));
}

// The four rounds add a function of b (the value just computed), c and d to a's sum. Only what
// is done to b lies on the path from one step to the next; the rest is added while b is still
// being computed.
inline quint32 f(quint32 sum, quint32 b, quint32 c, quint32 d)
{
    return sum + (d ^ (b & (c ^ d)));
}
inline quint32 g(quint32 sum, quint32 b, quint32 c, quint32 d)
{
    // (b & d) | (c & ~d): the halves share no bit, so they can be added one after the other.
    return sum + (c & ~d) + (b & d);
}
inline quint32 h(quint32 sum, quint32 b, quint32 c, quint32 d)
{
    return sum + (b ^ (c ^ d));
}
inline quint32 i(quint32 sum, quint32 b, quint32 c, quint32 d)
{
    return sum + (c ^ (b | ~d));
}

template <int S, typename Add>
inline void step(Add add, quint32& a, quint32 b, quint32 c, quint32 d, quint32 wordAndConstant)
{
    a = b + rotateLeft<S>(add(a + wordAndConstant, b, c, d));
}

void blocks(quint32* state, const char* data, qsizetype count)
{
    quint32 a = state[0];
    quint32 b = state[1];
    quint32 c = state[2];
    quint32 d = state[3];
    for (; count > 0; --count, data += 64) {
        quint32 x[16];
        for (int k = 0; k < 16; ++k)
            x[k] = qFromLittleEndian<quint32>(data + qsizetype(4) * k);
        const quint32 a0 = a;
        const quint32 b0 = b;
        const quint32 c0 = c;
        const quint32 d0 = d;
        step<7>(f, a, b, c, d, x[0] + 0xd76aa478);
        step<12>(f, d, a, b, c, x[1] + 0xe8c7b756);
        step<17>(f, c, d, a, b, x[2] + 0x242070db);
        step<22>(f, b, c, d, a, x[3] + 0xc1bdceee);
        step<7>(f, a, b, c, d, x[4] + 0xf57c0faf);
        step<12>(f, d, a, b, c, x[5] + 0x4787c62a);
        step<17>(f, c, d, a, b, x[6] + 0xa8304613);
        step<22>(f, b, c, d, a, x[7] + 0xfd469501);
        step<7>(f, a, b, c, d, x[8] + 0x698098d8);
        step<12>(f, d, a, b, c, x[9] + 0x8b44f7af);
        step<17>(f, c, d, a, b, x[10] + 0xffff5bb1);
        step<22>(f, b, c, d, a, x[11] + 0x895cd7be);
        step<7>(f, a, b, c, d, x[12] + 0x6b901122);
        step<12>(f, d, a, b, c, x[13] + 0xfd987193);
        step<17>(f, c, d, a, b, x[14] + 0xa679438e);
        step<22>(f, b, c, d, a, x[15] + 0x49b40821);

        step<5>(g, a, b, c, d, x[1] + 0xf61e2562);
        step<9>(g, d, a, b, c, x[6] + 0xc040b340);
        step<14>(g, c, d, a, b, x[11] + 0x265e5a51);
        step<20>(g, b, c, d, a, x[0] + 0xe9b6c7aa);
        step<5>(g, a, b, c, d, x[5] + 0xd62f105d);
        step<9>(g, d, a, b, c, x[10] + 0x02441453);
        step<14>(g, c, d, a, b, x[15] + 0xd8a1e681);
        step<20>(g, b, c, d, a, x[4] + 0xe7d3fbc8);
        step<5>(g, a, b, c, d, x[9] + 0x21e1cde6);
        step<9>(g, d, a, b, c, x[14] + 0xc33707d6);
        step<14>(g, c, d, a, b, x[3] + 0xf4d50d87);
        step<20>(g, b, c, d, a, x[8] + 0x455a14ed);
        step<5>(g, a, b, c, d, x[13] + 0xa9e3e905);
        step<9>(g, d, a, b, c, x[2] + 0xfcefa3f8);
        step<14>(g, c, d, a, b, x[7] + 0x676f02d9);
        step<20>(g, b, c, d, a, x[12] + 0x8d2a4c8a);

        step<4>(h, a, b, c, d, x[5] + 0xfffa3942);
        step<11>(h, d, a, b, c, x[8] + 0x8771f681);
        step<16>(h, c, d, a, b, x[11] + 0x6d9d6122);
        step<23>(h, b, c, d, a, x[14] + 0xfde5380c);
        step<4>(h, a, b, c, d, x[1] + 0xa4beea44);
        step<11>(h, d, a, b, c, x[4] + 0x4bdecfa9);
        step<16>(h, c, d, a, b, x[7] + 0xf6bb4b60);
        step<23>(h, b, c, d, a, x[10] + 0xbebfbc70);
        step<4>(h, a, b, c, d, x[13] + 0x289b7ec6);
        step<11>(h, d, a, b, c, x[0] + 0xeaa127fa);
        step<16>(h, c, d, a, b, x[3] + 0xd4ef3085);
        step<23>(h, b, c, d, a, x[6] + 0x04881d05);
        step<4>(h, a, b, c, d, x[9] + 0xd9d4d039);
        step<11>(h, d, a, b, c, x[12] + 0xe6db99e5);
        step<16>(h, c, d, a, b, x[15] + 0x1fa27cf8);
        step<23>(h, b, c, d, a, x[2] + 0xc4ac5665);

        step<6>(i, a, b, c, d, x[0] + 0xf4292244);
        step<10>(i, d, a, b, c, x[7] + 0x432aff97);
        step<15>(i, c, d, a, b, x[14] + 0xab9423a7);
        step<21>(i, b, c, d, a, x[5] + 0xfc93a039);
        step<6>(i, a, b, c, d, x[12] + 0x655b59c3);
        step<10>(i, d, a, b, c, x[3] + 0x8f0ccc92);
        step<15>(i, c, d, a, b, x[10] + 0xffeff47d);
        step<21>(i, b, c, d, a, x[1] + 0x85845dd1);
        step<6>(i, a, b, c, d, x[8] + 0x6fa87e4f);
        step<10>(i, d, a, b, c, x[15] + 0xfe2ce6e0);
        step<15>(i, c, d, a, b, x[6] + 0xa3014314);
        step<21>(i, b, c, d, a, x[13] + 0x4e0811a1);
        step<6>(i, a, b, c, d, x[4] + 0xf7537e82);
        step<10>(i, d, a, b, c, x[11] + 0xbd3af235);
        step<15>(i, c, d, a, b, x[2] + 0x2ad7d2bb);
        step<21>(i, b, c, d, a, x[9] + 0xeb86d391);

        a += a0;
        b += b0;
        c += c0;
        d += d0;
    }
    state[0] = a;
    state[1] = b;
    state[2] = c;
    state[3] = d;
}

} // namespace

void Md5::addData(const char* data, qsizetype length)
{
    m_blocks.add(data, length, [this](const char* from, qsizetype count) {
        blocks(m_state.data(), from, count);
    });
}

QByteArray Md5::result()
{
    m_blocks.finish<false>(
        [this](const char* from, qsizetype count) { blocks(m_state.data(), from, count); });
    QByteArray digest(16, '\0');
    for (int k = 0; k < 4; ++k)
        qToLittleEndian(m_state[size_t(k)], digest.data() + qsizetype(4) * k);
    return digest;
}

} // namespace vx
