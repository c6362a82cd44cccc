#include "core/listfile.h"
#include "core/textfile.h"
#include "support/fieldreader.h"

#include <QStringEncoder>
#include <QTemporaryDir>
#include <QtTest>

using namespace vx;

namespace
{
constexpr textcodec::Form kUtf8{};

// The text as a Windows editor saves "Unicode": UTF-16 after its byte order mark.
QByteArray utf16(const QString& text, QStringEncoder::Encoding order = QStringEncoder::Utf16LE)
{
    return QStringEncoder(order, QStringEncoder::Flag::WriteBom).encode(text);
}
} // namespace

// The index's format: what the writer writes, and what reading bytes gives.
class TestListFile : public QObject
{
    Q_OBJECT

private slots:
    void encode_plainOnlyWhenItemsReadBack_data();
    void encode_plainOnlyWhenItemsReadBack();
    void decode_followsTheBytes();
    void read_followsTheFile_data();
    void read_followsTheFile();
    void write_keepsEncodingAndMarkOfTheFileRead_data();
    void write_keepsEncodingAndMarkOfTheFileRead();
};

void TestListFile::encode_plainOnlyWhenItemsReadBack_data()
{
    QTest::addColumn<QStringList>("items");
    QTest::addColumn<bool>("plain");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("names") << QStringList{"", "Alpha", "Beta (U) [!]"} << true
                           << QByteArray("\r\nAlpha\r\nBeta (U) [!]\r\n");
    QTest::newRow("quoted for a comma or blanks")
        << QStringList{"Zelda, The", " x", "y\t"} << true
        << QByteArray("\"Zelda, The\"\r\n\" x\"\r\n\"y\t\"\r\n");
    QTest::newRow("inner quote") << QStringList{"Alpha", "a\"b"} << false
                                 << QByteArray("Alpha\r\na\"b\r\n");
    QTest::newRow("line break inside")
        << QStringList{"a\r\nb"} << false << QByteArray("a\r\nb\r\n");
    QTest::newRow("quoted with a quote inside")
        << QStringList{" \"x"} << false << QByteArray("\" \"x\"\r\n");
    QTest::newRow("non-ASCII") << QStringList{"Café"} << false << QByteArray("Caf\xC3\xA9\r\n");
    // The writer looks eight bytes at a time: delimiters in later words, and at a word's end.
    QTest::newRow("long names") << QStringList{"Super Cartridge Adventure 64 (U) [!]",
                                               "Another long entry, quoted past word two",
                                               "exactly8", "sixteen letters!", "x"}
                                << true
                                << QByteArray("Super Cartridge Adventure 64 (U) [!]\r\n"
                                              "\"Another long entry, quoted past word two\"\r\n"
                                              "exactly8\r\nsixteen letters!\r\nx\r\n");
    QTest::newRow("quote late in a long name")
        << QStringList{"Alpha", "Twelve chars and a \" late"} << false
        << QByteArray("Alpha\r\nTwelve chars and a \" late\r\n");
    QTest::newRow("line break at a word's end")
        << QStringList{"1234567\n"} << false << QByteArray("1234567\n\r\n");
}

void TestListFile::encode_plainOnlyWhenItemsReadBack()
{
    QFETCH(QStringList, items);
    QFETCH(bool, plain);
    QFETCH(QByteArray, bytes);
    bool saidPlain = !plain;
    QCOMPARE(listfile::encode(TextList(items), kUtf8, &saidPlain), bytes);
    QCOMPARE(saidPlain, plain);
    QCOMPARE(listfile::encode(TextList(items), kUtf8), bytes);
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

void TestListFile::read_followsTheFile_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QByteArray>("after");
    // Longer than a piece of the comparison with the file read before.
    QByteArray longer("\r\n");
    for (int i = 0; i < 60000; ++i)
        longer += "Game number " + QByteArray::number(i) + " (U)\r\n";
    QByteArray lastChanged = longer;
    lastChanged[lastChanged.size() - 3] = 'E';
    QTest::newRow("same length, one byte")
        << QByteArray("\r\nAlpha\r\n") << QByteArray("\r\nAlphA\r\n");
    QTest::newRow("grown") << QByteArray("\r\nAlpha\r\n") << QByteArray("\r\nAlpha\r\nBeta\r\n");
    QTest::newRow("shortened") << QByteArray("\r\nAlpha\r\nBeta\r\n")
                               << QByteArray("\r\nAlpha\r\n");
    QTest::newRow("long, its last piece changed") << longer << lastChanged;
    QTest::newRow("long, unchanged") << longer << longer;
}

void TestListFile::read_followsTheFile()
{
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, after);
    QTemporaryDir dir;
    const QString path = dir.filePath("bootlist.lst");
    QVERIFY(replaceFile(path, before));
    QCOMPARE(listfile::read(path)->toStringList(), readFieldTexts(before).toStringList());
    QVERIFY(replaceFile(path, after));
    const std::optional<TextList> read = listfile::read(path);
    QVERIFY(read);
    QCOMPARE(read->toStringList(), readFieldTexts(after).toStringList());
}

void TestListFile::write_keepsEncodingAndMarkOfTheFileRead_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QStringList>("items");
    QTest::addColumn<QByteArray>("after"); // with "Neu" appended

    const QString lone = QString("\r\n") + QChar(0xDC00) + "\r\n\"a, b\"\r\n" + QChar(0xD800);
    QTest::newRow("UTF-16 LE") << utf16("\r\nCafé\r\n\"a, b\"\r\n")
                               << QStringList{"", "Café", "a, b"}
                               << utf16("\r\nCafé\r\n\"a, b\"\r\nNeu\r\n");
    QTest::newRow("UTF-16 BE") << utf16("\nA\rB", QStringEncoder::Utf16BE)
                               << QStringList{"", "A", "B"}
                               << utf16("\r\nA\r\nB\r\nNeu\r\n", QStringEncoder::Utf16BE);
    QTest::newRow("UTF-16 mark only")
        << QByteArray("\xFF\xFE") << QStringList{} << utf16("Neu\r\n");
    QTest::newRow("UTF-16 lone surrogates kept")
        << utf16(lone) << QStringList{"", QChar(0xDC00), "a, b", QChar(0xD800)}
        << utf16(lone + "\r\nNeu\r\n");
    // Half a character at the end stays, completed by a zero byte.
    QTest::newRow("UTF-16 odd byte count")
        << utf16("\r\nA\r\n") + 'x' << QStringList{"", "A", "x"} << utf16("\r\nA\r\nx\r\nNeu\r\n");
    QTest::newRow("UTF-8 mark, plain ASCII")
        << QByteArray("\xEF\xBB\xBF\r\nA\r\n") << QStringList{"", "A"}
        << QByteArray("\xEF\xBB\xBF\r\nA\r\nNeu\r\n");
    QTest::newRow("UTF-8 mark") << QByteArray("\xEF\xBB\xBF\r\nCaf\xc3\xa9\r\n")
                                << QStringList{"", "Café"}
                                << QByteArray("\xEF\xBB\xBF\r\nCaf\xc3\xa9\r\nNeu\r\n");
}

void TestListFile::write_keepsEncodingAndMarkOfTheFileRead()
{
    QFETCH(QByteArray, before);
    QFETCH(QStringList, items);
    QFETCH(QByteArray, after);

    const QTemporaryDir dir;
    const QString path = dir.filePath("bootlist.lst");
    QVERIFY(replaceFile(path, before));
    std::optional<TextList> read = listfile::read(path);
    QVERIFY(read);
    QCOMPARE(read->toStringList(), items);
    read->append(QStringLiteral("Neu"));
    const std::optional<TextList> written = listfile::write(path, *read);
    QVERIFY(written);
    QCOMPARE(readWholeFile(path).value().toHex(' '), after.toHex(' '));
    QCOMPARE(written->toStringList(), items << "Neu");
}

QTEST_GUILESS_MAIN(TestListFile)
#include "tst_listfile.moc"
