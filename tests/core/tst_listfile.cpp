#include "core/listfile.h"
#include "support/fieldreader.h"

#include <QtTest>

using namespace vx;

namespace
{
constexpr auto kUtf8 = textcodec::Encoding::Utf8;
} // namespace

// The index's format: what the writer writes, and what reading bytes gives.
class TestListFile : public QObject
{
    Q_OBJECT

private slots:
    void encode_plainOnlyWhenItemsReadBack_data();
    void encode_plainOnlyWhenItemsReadBack();
    void decode_followsTheBytes();
};

void TestListFile::encode_plainOnlyWhenItemsReadBack_data()
{
    QTest::addColumn<QStringList>("items");
    QTest::addColumn<bool>("plain");
    QTest::newRow("names") << QStringList{"", "Alpha", "Beta (U) [!]"} << true;
    QTest::newRow("quoted for a comma or blanks") << QStringList{"Zelda, The", " x", "y\t"} << true;
    QTest::newRow("inner quote") << QStringList{"Alpha", "a\"b"} << false;
    QTest::newRow("line break inside") << QStringList{"a\r\nb"} << false;
    QTest::newRow("quoted with a quote inside") << QStringList{" \"x"} << false;
    QTest::newRow("non-ASCII") << QStringList{"Café"} << false;
    // The writer looks eight bytes at a time: delimiters in later words, and at a word's end.
    QTest::newRow("long names") << QStringList{"Super Cartridge Adventure 64 (U) [!]",
                                               "Another long entry, quoted past word two",
                                               "exactly8", "sixteen letters!", "x"}
                                << true;
    QTest::newRow("quote late in a long name")
        << QStringList{"Alpha", "Twelve chars and a \" late"} << false;
    QTest::newRow("line break at a word's end") << QStringList{"1234567\n"} << false;
}

void TestListFile::encode_plainOnlyWhenItemsReadBack()
{
    QFETCH(QStringList, items);
    QFETCH(bool, plain);
    bool saidPlain = !plain;
    const QByteArray bytes = listfile::encode(TextList(items), kUtf8, &saidPlain);
    QCOMPARE(saidPlain, plain);
    QCOMPARE(bytes, listfile::encode(TextList(items), kUtf8));
    if (plain)
        QCOMPARE(readFields(bytes), items);
}

void TestListFile::decode_followsTheBytes()
{
    const QByteArray first("\r\nAlpha\r\nBeta\r\n");
    QCOMPARE(listfile::decode(first).toStringList(), QStringList({"", "Alpha", "Beta"}));
    // Same length, other bytes: read afresh.
    const QByteArray second("\r\nAlpha\r\nBetA\r\n");
    QCOMPARE(listfile::decode(second).toStringList(), QStringList({"", "Alpha", "BetA"}));
    // What a writer noted for its bytes is what they give, until other bytes come.
    const TextList written(QStringList{"", "Gamma"});
    const QByteArray writtenBytes = listfile::encode(written, kUtf8);
    listfile::rememberWritten(writtenBytes, written);
    QCOMPARE(listfile::decode(writtenBytes), written);
    QCOMPARE(listfile::decode(first).toStringList(), QStringList({"", "Alpha", "Beta"}));
}

QTEST_GUILESS_MAIN(TestListFile)
#include "tst_listfile.moc"
