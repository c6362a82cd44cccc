#include "support/cartridgeimages.h"

#include <QRandomGenerator>
#include <archive.h>
#include <archive_entry.h>
#include <array>

namespace vx::test
{

QByteArray cartridgeImage(const QByteArray& name, char destination, qint64 length, int order)
{
    const QByteArray header = QByteArray::fromHex("80371240") + QByteArray(0x1C, '\x0F') +
                              name.leftJustified(20, '\0', true) + QByteArray(7, '\0') + "NXX" +
                              destination + '\x01';
    QByteArray image = header.leftJustified(length, '\0', true);
    // Past the header the image is zeros, the same in every order.
    for (qsizetype i = 0; order != 0 && i + 3 < header.size() && i + 3 < length; i += 4) {
        char* w = image.data() + i;
        if (order == 1) {
            std::swap(w[0], w[1]);
            std::swap(w[2], w[3]);
        } else {
            std::swap(w[0], w[3]);
            std::swap(w[1], w[2]);
        }
    }
    return image;
}

QByteArray zipOf(const QList<std::pair<QByteArray, QByteArray>>& entries, const char* passphrase)
{
    QByteArray zip;
    const auto append = [](archive*, void* out, const void* data, size_t size) -> la_ssize_t {
        static_cast<QByteArray*>(out)->append(static_cast<const char*>(data), qsizetype(size));
        return la_ssize_t(size);
    };
    archive* a = archive_write_new();
    archive_write_set_format_zip(a);
    archive_write_set_bytes_in_last_block(a, 1); // no padding after the zip
    if (passphrase) {
        archive_write_set_options(a, "zip:encryption=zipcrypt");
        archive_write_set_passphrase(a, passphrase);
    }
    archive_write_open(a, &zip, nullptr, append, nullptr);
    for (const auto& [name, bytes] : entries) {
        archive_entry* entry = archive_entry_new();
        archive_entry_set_pathname(entry, name.constData());
        archive_entry_set_filetype(entry, AE_IFREG);
        archive_entry_set_perm(entry, 0644);
        archive_entry_set_size(entry, bytes.size());
        archive_write_header(a, entry);
        archive_write_data(a, bytes.constData(), size_t(bytes.size()));
        archive_entry_free(entry);
    }
    archive_write_close(a);
    archive_write_free(a);
    return zip;
}

QByteArray withZip64End(const QByteArray& zip, quint64 entries, quint64 directoryBytes)
{
    const auto le = [](quint64 value, int bytes) {
        QByteArray out;
        for (int i = 0; i < bytes; ++i, value >>= 8)
            out += char(value & 0xFF);
        return out;
    };
    // The last end record, of either kind, and everything after it go.
    qsizetype cut = zip.lastIndexOf("PK\x05\x06");
    const qsizetype old64 = zip.lastIndexOf("PK\x06\x06");
    if (old64 >= 0)
        cut = old64;
    const qsizetype recordAt = cut;
    const qsizetype end = zip.lastIndexOf("PK\x05\x06");
    quint64 start = 0;
    for (int i = 3; i >= 0; --i)
        start = (start << 8) | static_cast<unsigned char>(zip[end + 16 + i]);
    if (old64 >= 0) {
        start = 0;
        for (int i = 7; i >= 0; --i)
            start = (start << 8) | static_cast<unsigned char>(zip[old64 + 48 + i]);
    }
    return zip.left(cut) + "PK\x06\x06" + le(44, 8) + le(45, 2) + le(45, 2) + le(0, 4) + le(0, 4) +
           le(entries, 8) + le(entries, 8) + le(directoryBytes, 8) + le(start, 8) + "PK\x06\x07" +
           le(0, 4) + le(quint64(recordAt), 8) + le(1, 4) + "PK\x05\x06" + le(0, 4) +
           le(0xFFFF, 2) + le(0xFFFF, 2) + le(0xFFFFFFFF, 4) + le(0xFFFFFFFF, 4) + le(0, 2);
}

// The checksums and check words worked out a second way, bit by bit and word by word as the
// published descriptions give them, to hold the program's against.
namespace
{

quint32 crcOfRange(const QByteArray& bytes, qsizetype from, qsizetype to)
{
    quint32 crc = 0xFFFFFFFF;
    for (qsizetype i = from; i < to; ++i) {
        crc ^= static_cast<unsigned char>(bytes[i]);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (crc & 1 ? 0xEDB88320u : 0u);
    }
    return ~crc;
}

quint32 bigWord(const QByteArray& bytes, qsizetype at)
{
    quint32 value = 0;
    for (int i = 0; i < 4; ++i)
        value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

void putBigWord(QByteArray& bytes, qsizetype at, quint32 value)
{
    for (int i = 0; i < 4; ++i)
        bytes[at + i] = char(value >> (24 - 8 * i));
}

// The boot code's CRC32 that names each chip.
quint32 bootCrcOf(int chip)
{
    return chip == C6101   ? 0x6170A4A1
           : chip == C6102 ? 0x90BB6CB5
           : chip == C6103 ? 0x0B050EE0
           : chip == C6105 ? 0x98BC2C86
                           : 0xACC8580A;
}

} // namespace

std::pair<quint32, quint32> expectedCheckWords(const QByteArray& image, int chip)
{
    const quint64 seed = chip == C6103   ? 0xA3886759
                         : chip == C6105 ? 0xDF26F436
                         : chip == C6106 ? 0x1FEA617A
                                         : 0xF8CA4DDC;
    quint64 a1 = seed, a2 = seed, a3 = seed, a4 = seed, a5 = seed, a6 = seed;
    const quint64 m = 0xFFFFFFFF;
    for (qsizetype at = 0x1000; at < 0x101000; at += 4) {
        const quint64 d = bigWord(image, at);
        if (a6 + d > m) // the sum carries out of 32 bits
            a4 = (a4 + 1) & m;
        a6 = (a6 + d) & m;
        a3 ^= d;
        const int n = int(d % 32);
        const quint64 r = n == 0 ? d : ((d << n) | (d >> (32 - n))) & m;
        a5 = (a5 + r) & m;
        a2 = a2 > d ? a2 ^ r : a2 ^ (a6 ^ d);
        if (chip == C6105)
            a1 = (a1 + (bigWord(image, 0x40 + 0x710 + (at % 256)) ^ d)) & m;
        else
            a1 = (a1 + (a5 ^ d)) & m;
    }
    if (chip == C6103)
        return {quint32((((a6 ^ a4) + a3)) & m), quint32(((a5 ^ a2) + a1) & m)};
    if (chip == C6106)
        return {quint32((a6 * a4 + a3) & m), quint32((a5 * a2 + a1) & m)};
    return {quint32(a6 ^ a4 ^ a3), quint32(a5 ^ a2 ^ a1)};
}

namespace
{

// Four bytes at 0xFFC that give the boot code (0x40 to 0xFFF) the CRC32 `wanted`, worked back
// through the table: each step's top byte names the table row it used.
void forgeBootCode(QByteArray& image, quint32 wanted)
{
    std::array<quint32, 256> table{};
    for (quint32 i = 0; i < 256; ++i) {
        quint32 c = i;
        for (int bit = 0; bit < 8; ++bit)
            c = (c >> 1) ^ (c & 1 ? 0xEDB88320u : 0u);
        table[i] = c;
    }
    quint32 state = ~crcOfRange(image, 0x40, 0xFFC); // the register after the prefix
    std::array<int, 4> rows{};
    quint32 back = ~wanted;
    for (int step = 3; step >= 0; --step) {
        for (int i = 0; i < 256; ++i) {
            if (table[i] >> 24 == back >> 24)
                rows[step] = i;
        }
        back = (back ^ table[rows[step]]) << 8;
    }
    for (int step = 0; step < 4; ++step) {
        image[0xFFC + step] = char((state ^ quint32(rows[step])) & 0xFF);
        state = (state >> 8) ^ table[rows[step]];
    }
}

} // namespace

QByteArray checkedImage(int chip, qint64 length, quint32 seed)
{
    QByteArray image = cartridgeImage("CHECKED", 'E', length);
    QRandomGenerator random(seed);
    for (qsizetype i = 0x40; i < image.size(); ++i)
        image[i] = char(random.generate() & 0xFF);
    if (chip != 0) {
        // The words cover bytes up to 0x101000; a shorter image would be read past its end.
        if (length < 0x101000)
            qFatal("checkedImage: %lld bytes cannot hold the checked stretch", qlonglong(length));
        forgeBootCode(image, bootCrcOf(chip));
        const auto [first, second] = expectedCheckWords(image, chip);
        putBigWord(image, 0x10, first);
        putBigWord(image, 0x14, second);
    }
    return image;
}

// The image in one of the file orders, swapped byte by byte.
QByteArray inFileOrder(const QByteArray& big, int order)
{
    QByteArray out = big;
    for (qsizetype i = 0; i + 3 < big.size(); i += 4) {
        for (int k = 0; k < 4; ++k)
            out[i + k] = big[i + (order == 1 ? (k ^ 1) : order == 2 ? 3 - k : k)];
    }
    return out;
}

quint32 bitwiseCrc32(const QByteArray& bytes)
{
    return crcOfRange(bytes, 0, bytes.size());
}

} // namespace vx::test
