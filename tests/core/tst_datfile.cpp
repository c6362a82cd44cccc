#include "core/datfile.h"

#include <QCryptographicHash>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace vx;

namespace
{

// The sums of a made-up dump: `n` picks its bytes.
romsums::Sums dump(int n, qint64 size = 8388608)
{
    romsums::Sums sums;
    sums.size = size;
    sums.crc32 = 0x1000u + quint32(n);
    sums.sha1 = QCryptographicHash::hash(QByteArray::number(n), QCryptographicHash::Sha1);
    sums.md5 = QCryptographicHash::hash(QByteArray::number(n), QCryptographicHash::Md5);
    return sums;
}

QByteArray romLine(const QByteArray& game, const romsums::Sums& sums, bool withSha1 = true)
{
    QByteArray line =
        "<game name=\"" + game + "\"><description>" + game + "</description><rom name=\"" + game +
        ".z64\" size=\"" + QByteArray::number(sums.size) + "\" crc=\"" +
        QByteArray::number(sums.crc32, 16).rightJustified(8, '0') + "\" md5=\"" + sums.md5.toHex();
    if (withSha1)
        line += "\" sha1=\"" + sums.sha1.toHex().toUpper();
    return line + "\"/></game>\n";
}

const QByteArray kHead = "<?xml version=\"1.0\"?>\n<!DOCTYPE datafile PUBLIC \"-//Logiqx//DTD "
                         "ROM Management Datafile//EN\" \"http://www.logiqx.com/Dats/"
                         "datafile.dtd\">\n<datafile><header><name>Made</name></header>\n";

QByteArray datOf(const QByteArray& games)
{
    return kHead + games + "</datafile>\n";
}

} // namespace

class TestDatFile : public QObject
{
    Q_OBJECT

private slots:
    void find_matchesSha1ThenCrcAndSize_data();
    void find_matchesSha1ThenCrcAndSize();
    void load_refusesWhatIsNoDat_data();
    void load_refusesWhatIsNoDat();
    void load_takesSixtyThousandGames();
};

void TestDatFile::find_matchesSha1ThenCrcAndSize_data()
{
    QTest::addColumn<romsums::Sums>("sums");
    QTest::addColumn<QString>("game"); // empty: no match

    QTest::newRow("by SHA-1") << dump(1) << "Game One (USA)";
    QTest::newRow("by SHA-1, another size in the DAT") << dump(1, 5) << "Game One (USA)";
    QTest::newRow("by CRC32 and size, the DAT without SHA-1") << dump(2) << "Game Two (Europe)";
    QTest::newRow("CRC32 without the size") << dump(2, 1024) << "";
    romsums::Sums other = dump(1);
    other.sha1 = dump(9).sha1;
    QTest::newRow("CRC32 and size, another SHA-1") << other << "";
    QTest::newRow("in a machine element") << dump(3) << "Game & Three";
    QTest::newRow("not listed") << dump(4) << "";
}

void TestDatFile::find_matchesSha1ThenCrcAndSize()
{
    QFETCH(romsums::Sums, sums);
    QFETCH(QString, game);
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("set.dat")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    QByteArray three = romLine("Game &amp; Three", dump(3));
    three.replace("<game ", "<machine ").replace("</game>", "</machine>");
    file.write(datOf(romLine("Game One (USA)", dump(1)) +
                     romLine("Game Two (Europe)", dump(2), false) + three));
    file.close();

    const datfile::Loaded loaded = datfile::load(file.fileName());
    QVERIFY2(loaded.dat, qPrintable(loaded.error));
    const datfile::Rom* rom = loaded.dat->find(sums);
    QCOMPARE(rom ? rom->game : QString(), game);
}

void TestDatFile::load_refusesWhatIsNoDat_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<qint64>("length"); // grown to this when larger than the bytes
    QTest::addColumn<QString>("error");

    QTest::newRow("malformed") << datOf(romLine("A", dump(1)).replace("</game>", "")) << 0LL
                               << "Opening and ending tag mismatch. (line 5).";
    QTest::newRow("cut short") << datOf(romLine("A", dump(1))).left(250) << 0LL
                               << "Premature end of document. (line 4).";
    QTest::newRow("other XML") << QByteArray("<html><rom sha1=\"00\"/></html>") << 0LL
                               << "The file is XML but no Logiqx DAT.";
    QTest::newRow("no ROMs") << datOf("<game name=\"A\"/>") << 0LL << "The DAT lists no ROMs.";
    QTest::newRow("empty") << QByteArray() << 0LL << "The file is empty.";
    QTest::newRow("huge") << datOf(romLine("A", dump(1))) << datfile::kMaxFileBytes + 1
                          << "The file is too large to be a DAT (over 256 MiB).";
}

void TestDatFile::load_refusesWhatIsNoDat()
{
    QFETCH(QByteArray, bytes);
    QFETCH(qint64, length);
    QFETCH(QString, error);
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("set.dat")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    if (length > bytes.size())
        QVERIFY(file.resize(length)); // sparse: nothing is written
    file.close();

    const datfile::Loaded loaded = datfile::load(file.fileName());
    QVERIFY(!loaded.dat);
    QCOMPARE(loaded.error, error);
}

void TestDatFile::load_takesSixtyThousandGames()
{
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("set.dat")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(kHead);
    for (int n = 0; n < 60000; ++n)
        file.write(romLine("Game " + QByteArray::number(n), dump(n)));
    file.write("</datafile>\n");
    file.close();

    const datfile::Loaded loaded = datfile::load(file.fileName());
    QVERIFY2(loaded.dat, qPrintable(loaded.error));
    QCOMPARE(loaded.dat->size(), 60000);
    QCOMPARE(loaded.dat->find(dump(59999))->game, QStringLiteral("Game 59999"));
}

QTEST_GUILESS_MAIN(TestDatFile)
#include "tst_datfile.moc"
