#include "core/fields.h"
#include "support/fieldreader.h"

#include <QTest>

using namespace vx;

class tst_fields : public QObject
{
    Q_OBJECT

private slots:
    void readFields_splitsAsDelimitedInput_data();
    void readFields_splitsAsDelimitedInput();
    void next_keepsRawBytes();
    void readFields_readsEveryFieldOfALargeList();
};

void tst_fields::readFields_splitsAsDelimitedInput_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QStringList>("fields");

    const auto row = [](const char* tag, const QByteArray& data, const QStringList& fields) {
        QTest::newRow(tag) << data << fields;
    };
    row("comma and CR LF", "hello,world\r\n", {"hello", "world"});
    row("blanks around fields dropped", "   hello   ,  world  \r\n", {"hello", "world"});
    row("tab is a blank", "\ta\t,b\r\n", {"a", "b"});
    row("quoted comma kept", "\"a, b\",c\r\n", {"a, b", "c"});
    row("quoted blanks kept", "\"  padded  \",x\r\n", {"  padded  ", "x"});
    row("blank line is an empty field", "a\r\n\r\nb\r\n", {"a", "", "b"});
    row("CR line ends", "a\rb\r", {"a", "b"});
    row("LF line ends", "a\nb\n", {"a", "b"});
    row("no final line end", "abc", {"abc"});
    row("line end only", "\r\n", {""});
    row("empty file", "", {});
    row("empty middle field", "a,,b\r\n", {"a", "", "b"});
    row("comma before line end", "a,b,\r\n", {"a", "b", ""});
    row("text after closing quote starts next field", "\"1,2\"\"X\"", {"1,2", "X"});
    row("blanks after closing quote skipped", "\"a\"  ,b\r\n\"c\" \r\nd", {"a", "b", "c", "d"});
    row("quoted field spans line end", "\"a\r\nb\",c", {"a\r\nb", "c"});
    row("unclosed quote runs to end", "x,\"abc\r\n", {"x", "abc\r\n"});
    // A file that is no UTF-8 is Windows-1252 throughout, cut sequences included.
    row("invalid UTF-8 next to delimiters", "\xc3,x\r\n\xe2\x82\r\n",
        {QStringLiteral("Ã"), "x", QStringLiteral("â‚")});
    row("Windows-1252 text", "caf\xe9,\x80\r\n\x93quoted\x94 \xdf\xfc\r\n",
        {QStringLiteral("café"), QStringLiteral("€"), QStringLiteral("“quoted” ßü")});
    row("Windows-1252 unassigned bytes kept", "\x81\x8d\x8f\x90\x9d,\x9f",
        {QStringLiteral("\u0081\u008d\u008f\u0090\u009d"), QStringLiteral("Ÿ")});
    row("overlong and surrogate forms are no UTF-8", "\xc0\xaf,\xed\xa0\x80",
        {QStringLiteral("À¯"), QStringLiteral("í\u00a0€")});
    row("one invalid byte makes the whole file Windows-1252", "caf\xc3\xa9\r\n\xe9",
        {QStringLiteral("cafÃ©"), QStringLiteral("é")});
    row("UTF-8 text", "caf\xc3\xa9,\xe2\x82\xac\r\n",
        {QStringLiteral("café"), QStringLiteral("€")});
    row("long UTF-8 fields", "Pok\xc3\xa9mon Stadium 2 (J),Caf\xc3\xa9 racer deluxe\r\nz",
        {QStringLiteral("Pokémon Stadium 2 (J)"), QStringLiteral("Café racer deluxe"), "z"});
    row("NUL kept", QByteArray("a\0b,c", 5), {QString::fromLatin1("a\0b", 3), "c"});
    // Names are scanned several bytes at a time: a delimiter at every place in a word.
    for (int length = 1; length <= 17; ++length) {
        const QByteArray x(length, 'x');
        const QByteArray z(length, 'z');
        QTest::addRow("delimiters after %d bytes", length)
            << x + "," + z + "\r\n" + x + "\r" + z + "\n" + x << QStringList{x, z, x, z, x};
    }
}

void tst_fields::readFields_splitsAsDelimitedInput()
{
    QFETCH(QByteArray, data);
    QFETCH(QStringList, fields);
    QCOMPARE(readFields(data), fields);

    QStringList viaReader;
    for (FieldReader reader(data); !reader.atEnd();)
        viaReader << textcodec::decode(reader.next(), textcodec::detect(data));
    QCOMPARE(viaReader, fields);
}

void tst_fields::next_keepsRawBytes()
{
    FieldReader reader(QByteArray("\xff\0x,\"\xfe\"", 7));
    QCOMPARE(reader.next(), QByteArray("\xff\0x", 3));
    QCOMPARE(reader.next(), QByteArray("\xfe"));
    QVERIFY(reader.atEnd());
}

// Its speed is the benchmark's (bench/, the list commands).
void tst_fields::readFields_readsEveryFieldOfALargeList()
{
    QByteArray data;
    for (int i = 0; i < 100000; ++i)
        data += "\"Game number " + QByteArray::number(i) + ", the sequel\"\r\n";
    const QStringList fields = readFields(data);
    QCOMPARE(fields.size(), 100000);
    QCOMPARE(fields.first(), QStringLiteral("Game number 0, the sequel"));
    QCOMPARE(fields.last(), QStringLiteral("Game number 99999, the sequel"));
}

QTEST_GUILESS_MAIN(tst_fields)
#include "tst_fields.moc"
