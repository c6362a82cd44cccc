#include "core/cartridge.h"
#include "support/cartridgeimages.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <sys/stat.h>

using namespace vx;
using namespace vx::test;

namespace
{

constexpr qint64 kMbit = 131072;
const QByteArray kText = QByteArray("not a cartridge, but longer than its header. ").repeated(4);

// What the header gives as "name|type|size"; empty when the file is no cartridge image.
void row(const QByteArray& tag, const QByteArray& bytes, const char* found)
{
    QTest::newRow(tag.constData()) << bytes << QString::fromUtf8(found);
}

} // namespace

class TestCartridge : public QObject
{
    Q_OBJECT

private slots:
    void readFile_fillsFromHeader_data();
    void readFile_fillsFromHeader();
};

void TestCartridge::readFile_fillsFromHeader_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("found");

    // The first four bytes tell the order.
    row("big-endian", cartridgeImage("SUPER RACER", 'E', 8 << 20, 0), "SUPER RACER|US|64");
    row("16-bit swapped", cartridgeImage("SUPER RACER", 'N', kMbit, 1), "SUPER RACER|US|1");
    row("32-bit little-endian", cartridgeImage("RACER", 'J', 96 * kMbit, 2), "RACER|JAP|96");
    for (const char code : QByteArray("PDFISUXYHWL"))
        row(QByteArray("destination ") + code, cartridgeImage("G", code, kMbit, 2), "G|PAL|1");
    for (const char code : QByteArray("Ae\x7F"))
        row("destination " + QByteArray::number(code), cartridgeImage("G", code), "G|Other!|1");
    row("blanks and NULs around the name", cartridgeImage("  WAVE  RIDER \0\0  ", 'E'),
        "WAVE  RIDER|US|1");
    row("half-width katakana", cartridgeImage("\xB6\xDE\xD1 ZERO", 'J'),
        "\uFF76\uFF9E\uFF91 ZERO|JAP|1");
    row("characters a name refuses", cartridgeImage("A/B*C?D\x07<E>|\"\\F", 'E'), "ABCDEF|US|1");
    row("not whole megabits", cartridgeImage("TRIM", 'E', 8 * kMbit + 512), "TRIM|US|");
    row("truncated header", cartridgeImage("SHORT", 'E', 63), "");
    row("text", kText, "");
    // Opening a pipe would wait for a writer forever.
    row("pipe", {}, "");

    const QByteArray image = cartridgeImage("ZIPPED", 'P', 32 * kMbit, 1);
    row("zip, image first", zipOf({{"a.v64", image}, {"b.txt", kText}}), "ZIPPED|PAL|32");
    row("zip, image second", zipOf({{"b.txt", kText}, {"a.v64", image}}), "ZIPPED|PAL|32");
    row("zip without an image", zipOf({{"b.txt", kText}}), "");
    // Unpacked it would be 64 MiB; only its first bytes are.
    row("zip, a large entry", zipOf({{"big.z64", cartridgeImage("HUGE", 'E', 64 << 20)}}),
        "HUGE|US|512");
    QList<std::pair<QByteArray, QByteArray>> crowd(cartridge::kMaxZipEntries - 1, {"b.txt", kText});
    crowd.append({"a.v64", image});
    row("zip, image the last entry looked at", zipOf(crowd), "ZIPPED|PAL|32");
    crowd.prepend({"c.txt", kText});
    row("zip, image past the entries looked at", zipOf(crowd), "");
    row("zip, encrypted", zipOf({{"a.v64", image}}, "secret"), "");
    const QByteArray whole = zipOf({{"a.v64", image}});
    row("zip cut short", whole.left(whole.size() - 30), "");
    QByteArray garbled = whole;
    for (qsizetype i = 60; i < whole.size() - 100; ++i)
        garbled[i] = char(i * 37);
    row("zip with garbled data", garbled, "");

    // Directories beyond the bounds are refused before the unpacker holds them in memory,
    // whatever the end records claim.
    row("zip64 end within the bounds", withZip64End(whole, 1, 70), "ZIPPED|PAL|32");
    row("zip claiming 5,000,000 entries", withZip64End(whole, 5'000'000, 70), "");
    row("zip claiming a 17 MiB directory", withZip64End(whole, 1, 17 << 20), "");
    QList<std::pair<QByteArray, QByteArray>> many{{"a.v64", image}};
    for (int n = 0; n < cartridge::kMaxZipDirectoryEntries; ++n)
        many.append({QByteArray::number(n), {}});
    const QByteArray overBound = zipOf(many);
    row("zip of 65,537 entries", overBound, "");
    row("zip of 65,537 entries claiming one", withZip64End(overBound, 1, 70), "");
}

void TestCartridge::readFile_fillsFromHeader()
{
    QFETCH(QByteArray, bytes);
    QTemporaryDir dir;
    const QString path = dir.filePath("game.z64");
    if (QByteArray(QTest::currentDataTag()) == "pipe") {
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    } else {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    const std::optional<cartridge::Details> details = cartridge::readFile(path);
    const QString found =
        details ? QStringList{details->name, details->gameType, details->size}.join('|') : "";
    QTEST(found, "found");
}

QTEST_GUILESS_MAIN(TestCartridge)
#include "tst_cartridge.moc"
