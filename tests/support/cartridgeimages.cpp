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

} // namespace vx::test
