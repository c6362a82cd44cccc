#include "store/cartridge.h"
#include "support/testsupport.h"

#include <QtTest>
#include <sys/stat.h>

using namespace vx;
using namespace vx::test;

namespace
{

constexpr qint64 kMbit = 131072;

using Entries = QList<std::pair<QByteArray, QByteArray>>;

QByteArray textFile()
{
    return QByteArray("not a cartridge, but longer than a header is. ").repeated(4);
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
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("cartridge");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("size");

    // The first four bytes tell the order, whatever the file is called.
    QTest::newRow("big-endian") << "a.z64" << cartridgeImage("SUPER RACER", 'E', 8 << 20, 0) << true
                                << "SUPER RACER"
                                << "US"
                                << "64";
    QTest::newRow("16-bit swapped")
        << "a.v64" << cartridgeImage("SUPER RACER", 'N', kMbit, 1) << true << "SUPER RACER"
        << "US"
        << "1";
    QTest::newRow("32-bit little-endian")
        << "a.n64" << cartridgeImage("SUPER RACER", 'J', 96 * kMbit, 2) << true << "SUPER RACER"
        << "JAP"
        << "96";
    QTest::newRow("swapped order named .z64")
        << "a.z64" << cartridgeImage("ODD NAME", 'P', kMbit, 1) << true << "ODD NAME"
        << "PAL"
        << "1";
    for (const char code : QByteArray("PDFISUXYHWL"))
        QTest::addRow("destination %c", code)
            << "a.rom" << cartridgeImage("G", code, kMbit, 2) << true << "G"
            << "PAL"
            << "1";
    for (const char code : QByteArray("AeB\x7F"))
        QTest::addRow("destination 0x%02x", code)
            << "a.rom" << cartridgeImage("G", code, kMbit) << true << "G"
            << "Other!"
            << "1";
    QTest::newRow("blanks and NULs around the name")
        << "a.z64" << cartridgeImage("  WAVE  RIDER \0\0  ", 'E') << true << "WAVE  RIDER"
        << "US"
        << "1";
    QTest::newRow("half-width katakana")
        << "a.z64" << cartridgeImage("\xB6\xDE\xD1 ZERO", 'J') << true
        << QString::fromUtf16(u"\uFF76\uFF9E\uFF91 ZERO") << "JAP"
        << "1";
    QTest::newRow("characters a name refuses")
        << "a.z64" << cartridgeImage("A/B*C?D\x07<E>|\"\\F", 'E') << true << "ABCDEF"
        << "US"
        << "1";
    QTest::newRow("only blanks") << "a.z64" << cartridgeImage("    ", 'E') << true << ""
                                 << "US"
                                 << "1";
    QTest::newRow("not whole megabits")
        << "a.z64" << cartridgeImage("TRIM", 'E', 8 * kMbit + 512) << true << "TRIM"
        << "US"
        << "";
    QTest::newRow("under a megabit")
        << "a.z64" << cartridgeImage("TINY", 'E', 4096) << true << "TINY"
        << "US"
        << "";
    QTest::newRow("truncated header") << "a.z64" << cartridgeImage("SHORT", 'E', 63) << false << ""
                                      << ""
                                      << "";
    QTest::newRow("empty file") << "a.z64" << QByteArray() << false << ""
                                << ""
                                << "";
    QTest::newRow("text") << "a.rom" << textFile() << false << ""
                          << ""
                          << "";
    // Opening a pipe would wait for a writer forever.
    QTest::newRow("a pipe") << "pipe.z64" << QByteArray() << false << ""
                            << ""
                            << "";

    const QByteArray image = cartridgeImage("ZIPPED", 'P', 32 * kMbit, 1);
    QTest::newRow("zip, image first")
        << "a.zip" << zipOf({{"game.v64", image}, {"readme.txt", textFile()}}) << true << "ZIPPED"
        << "PAL"
        << "32";
    QTest::newRow("zip, image second")
        << "a.zip" << zipOf({{"readme.txt", textFile()}, {"game.v64", image}}) << true << "ZIPPED"
        << "PAL"
        << "32";
    QTest::newRow("zip without an image")
        << "a.zip" << zipOf({{"readme.txt", textFile()}}) << false << ""
        << ""
        << "";
    QTest::newRow("zip, an entry too short to be one")
        << "a.zip" << zipOf({{"a.z64", image.left(40)}, {"b.z64", image}}) << true << "ZIPPED"
        << "PAL"
        << "32";
    // Unpacked it would be 64 MiB; only its first bytes are.
    QTest::newRow("zip, a large entry")
        << "a.zip" << zipOf({{"big.z64", cartridgeImage("HUGE", 'E', 64 << 20)}}) << true << "HUGE"
        << "US"
        << "512";
    Entries crowd;
    for (int i = 0; i < cartridge::kMaxZipEntries - 1; ++i)
        crowd.append({QByteArray::number(i) + ".txt", textFile()});
    crowd.append({"game.v64", image});
    QTest::newRow("zip, image the last entry looked at")
        << "a.zip" << zipOf(crowd) << true << "ZIPPED"
        << "PAL"
        << "32";
    crowd.prepend({"first.txt", textFile()});
    QTest::newRow("zip, image past the entries looked at") << "a.zip" << zipOf(crowd) << false << ""
                                                           << ""
                                                           << "";
    QTest::newRow("zip, encrypted")
        << "a.zip" << zipOf({{"game.v64", image}}, "secret") << false << ""
        << ""
        << "";
    const QByteArray whole = zipOf({{"game.v64", image}});
    QTest::newRow("zip cut short") << "a.zip" << whole.left(whole.size() - 30) << false << ""
                                   << ""
                                   << "";
    QByteArray garbled = whole;
    for (qsizetype i = 60; i < whole.size() - 100; ++i)
        garbled[i] = char(i * 37);
    QTest::newRow("zip with garbled data") << "a.zip" << garbled << false << ""
                                           << ""
                                           << "";
    QTest::newRow("zip signature, then junk")
        << "a.zip" << QByteArray("PK\x03\x04") + textFile() << false << ""
        << ""
        << "";
}

void TestCartridge::readFile_fillsFromHeader()
{
    QFETCH(QString, fileName);
    QFETCH(QByteArray, bytes);
    QFETCH(bool, cartridge);
    Sandbox box;
    if (fileName.startsWith("pipe"))
        QCOMPARE(::mkfifo(QFile::encodeName(box.path(fileName)).constData(), 0600), 0);
    else
        box.writeFile(fileName, bytes);

    const std::optional<cartridge::Details> details = cartridge::readFile(box.path(fileName));
    QCOMPARE(details.has_value(), cartridge);
    if (!details)
        return;
    QTEST(details->name, "name");
    QTEST(details->gameType, "type");
    QTEST(details->size, "size");
}

QTEST_MAIN(TestCartridge)
#include "tst_cartridge.moc"
