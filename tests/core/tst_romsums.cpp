#include "core/md5.h"
#include "core/romsums.h"
#include "core/sha1.h"
#include "support/cartridgeimages.h"

#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

using namespace vx;
using namespace vx::test;
using romsums::HeaderCheck;

Q_DECLARE_METATYPE(romsums::HeaderCheck)

namespace
{

QByteArray toolSum(const char* tool, const QString& file)
{
    QProcess process;
    process.start(QString::fromLatin1(tool), {file});
    if (!process.waitForFinished(60000))
        return {};
    return process.readAllStandardOutput().split(' ').value(0);
}

} // namespace

class TestRomSums : public QObject
{
    Q_OBJECT

private slots:
    void ofFile_sumsTheBigEndianImage_data();
    void ofFile_sumsTheBigEndianImage();
    void checkHeader_recomputesTheCheckWords_data();
    void checkHeader_recomputesTheCheckWords();
    void hashes_matchQtAcrossBlockEdges_data();
    void hashes_matchQtAcrossBlockEdges();
};

void TestRomSums::ofFile_sumsTheBigEndianImage_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QByteArray>("image"); // what the sums are of
    QTest::addColumn<HeaderCheck>("header");

    // Larger than a block, and not a whole number of blocks, so the swaps meet block edges.
    const QByteArray big = checkedImage(C6102, (9 << 20) + 12);
    QTest::newRow("z64") << big << big << HeaderCheck::Good;
    QTest::newRow("v64") << inFileOrder(big, 1) << big << HeaderCheck::Good;
    QTest::newRow("n64") << inFileOrder(big, 2) << big << HeaderCheck::Good;
    const QByteArray whole = checkedImage(C6105, 2 << 20);
    QTest::newRow("a whole number of blocks")
        << inFileOrder(whole, 1) << whole << HeaderCheck::Good;
    const QByteArray text = QByteArray("no cartridge here. ").repeated(10);
    QTest::newRow("zip, image second")
        << zipOf({{"read.me", text}, {"game.v64", inFileOrder(big, 1)}}) << big
        << HeaderCheck::Good;
    QTest::newRow("no cartridge image: as it is") << text << text << HeaderCheck::NotChecked;
    const QByteArray small = cartridgeImage("SMALL", 'J', 4096, 2);
    QTest::newRow("too short to check")
        << small << inFileOrder(small, 2) << HeaderCheck::NotChecked;
    QTest::newRow("empty") << QByteArray() << QByteArray() << HeaderCheck::NotChecked;
}

void TestRomSums::ofFile_sumsTheBigEndianImage()
{
    QFETCH(QByteArray, file);
    QFETCH(QByteArray, image);
    QFETCH(HeaderCheck, header);
    QTemporaryDir dir;
    QFile rom(dir.filePath(QStringLiteral("rom")));
    QVERIFY(rom.open(QIODevice::WriteOnly));
    rom.write(file);
    rom.close();
    QFile normalised(dir.filePath(QStringLiteral("image")));
    QVERIFY(normalised.open(QIODevice::WriteOnly));
    normalised.write(image);
    normalised.close();

    const std::optional<romsums::Sums> sums = romsums::ofFile(rom.fileName());
    QVERIFY(sums);
    QCOMPARE(sums->size, image.size());
    QCOMPARE(sums->crc32, bitwiseCrc32(image));
    QCOMPARE(sums->sha1.toHex(), toolSum("sha1sum", normalised.fileName()));
    QCOMPARE(sums->md5.toHex(), toolSum("md5sum", normalised.fileName()));
    QCOMPARE(sums->header, header);
}

void TestRomSums::checkHeader_recomputesTheCheckWords_data()
{
    QTest::addColumn<QByteArray>("image");
    QTest::addColumn<HeaderCheck>("check");

    for (const int chip : {C6101, C6102, C6103, C6105, C6106})
        QTest::addRow("%d", chip) << checkedImage(chip, 0x101000, quint32(chip))
                                  << HeaderCheck::Good;
    for (const int chip : {C6102, C6105}) {
        for (const qsizetype at : {0x1000, 0x80000, 0x100FFF}) {
            QByteArray changed = checkedImage(chip, 0x101000, 7);
            changed[at] = char(changed[at] ^ 0x01);
            QTest::addRow("%d, a byte changed at %llx", chip, qlonglong(at))
                << changed << HeaderCheck::Bad;
        }
    }
    QByteArray past = checkedImage(C6103, 0x101000 + 16, 3);
    past[0x101000] = char(past[0x101000] ^ 0x01);
    QTest::newRow("a byte changed past the checked MiB") << past << HeaderCheck::Good;
    QByteArray word = checkedImage(C6106, 0x101000, 4);
    word[0x17] = char(word[0x17] ^ 0x80);
    QTest::newRow("a check word changed") << word << HeaderCheck::Bad;
    QTest::newRow("unknown boot code") << checkedImage(0, 0x101000) << HeaderCheck::UnknownBootCode;
    QTest::newRow("shorter than the checked MiB")
        << checkedImage(C6102).left(0x100FFF) << HeaderCheck::NotChecked;
}

void TestRomSums::checkHeader_recomputesTheCheckWords()
{
    QFETCH(QByteArray, image);
    QFETCH(HeaderCheck, check);
    QCOMPARE(romsums::checkHeader(image), check);
}

void TestRomSums::hashes_matchQtAcrossBlockEdges_data()
{
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("split"); // the data comes in two calls, the first this long
    // The padding takes a second block from 56 bytes past a block's start on.
    for (const int length : {0, 1, 55, 56, 63, 64, 65, 119, 120, 128, 1000})
        for (const int split : {0, length / 3, length})
            QTest::addRow("%d bytes, %d first", length, split) << length << split;
}

void TestRomSums::hashes_matchQtAcrossBlockEdges()
{
    QFETCH(int, length);
    QFETCH(int, split);
    QByteArray data(length, Qt::Uninitialized);
    for (int i = 0; i < length; ++i)
        data[i] = char(i * 7 + 3);
    Md5 md5;
    Sha1 sha1;
    for (const QByteArray& part : {data.left(split), data.mid(split)}) {
        md5.addData(part.constData(), part.size());
        sha1.addData(part.constData(), part.size());
    }
    QCOMPARE(md5.result().toHex(), QCryptographicHash::hash(data, QCryptographicHash::Md5).toHex());
    QCOMPARE(sha1.result().toHex(),
             QCryptographicHash::hash(data, QCryptographicHash::Sha1).toHex());
}

QTEST_GUILESS_MAIN(TestRomSums)
#include "tst_romsums.moc"
