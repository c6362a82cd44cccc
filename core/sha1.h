#pragma once

#include "core/hashblocks.h"

#include <QByteArray>
#include <QCryptographicHash>
#include <array>

namespace vx
{

// SHA-1 on the processor's own SHA instructions where it has them (most x86 processors since
// 2017: about three times the speed of the portable code), else Qt's.
class Sha1
{
public:
    Sha1();
    void addData(const char* data, qsizetype length);
    QByteArray result();

    // Whether the processor's instructions are used.
    static bool inHardware();

private:
    bool m_hardware;
    QCryptographicHash m_portable{QCryptographicHash::Sha1};
    std::array<quint32, 5> m_state{0x67452301, 0xEFCDAB89, 0x98BADCFE, 0x10325476, 0xC3D2E1F0};
    HashBlocks m_blocks;
};

} // namespace vx
