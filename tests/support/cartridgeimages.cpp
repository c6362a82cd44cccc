#include "support/cartridgeimages.h"

#include <archive.h>
#include <archive_entry.h>

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

} // namespace vx::test
