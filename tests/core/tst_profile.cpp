#include "core/profile.h"
#include "core/textfile.h"

#include <QDir>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

using namespace vx;

Q_DECLARE_METATYPE(vx::profile::Entry)

namespace
{
// Byte strings that may hold NUL.
template <size_t N> QByteArray raw(const char (&bytes)[N])
{
    return QByteArray(bytes, qsizetype(N - 1));
}

// The text as a Windows editor saves "Unicode": UTF-16 after its byte order mark.
QByteArray utf16(const QString& text, QStringEncoder::Encoding order = QStringEncoder::Utf16LE)
{
    return QStringEncoder(order, QStringEncoder::Flag::WriteBom).encode(text);
}
} // namespace

class tst_profile : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString path(const QString& name) const { return m_dir.filePath(name); }
    QByteArray bytesOf(const QString& name) const { return readWholeFile(path(name)).value(); }

private slots:
    void read_findsValue_data();
    void read_findsValue();
    void read_missingFileGivesEmpty();
    void withValue_keepsEveryOtherByte_data();
    void withValue_keepsEveryOtherByte();
    void write_freshFileHasExactBytes_data();
    void write_freshFileHasExactBytes();
    void write_failureLeavesFileAsItWas_data();
    void write_failureLeavesFileAsItWas();
};

void tst_profile::read_findsValue_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("expected");

    const QByteArray crlf = "[section1]\r\nname1=val1\r\nname2=\"val2\"\r\nname3\r\nname4=a\r\n"
                            "[section2]\r\n";
    QByteArray cr = crlf;
    cr.replace("\r\n", "\r");
    for (const auto& [tag, file] : {std::pair{"crlf", crlf}, std::pair{"cr", cr}}) {
        const auto row = [&, tag = tag, file = file](const char* what, const char* s, const char* k,
                                                     const char* v) {
            QTest::addRow("%s: %s", tag, what) << file << s << k << v;
        };
        row("plain", "section1", "name1", "val1");
        row("key case ignored", "SECTION1", "NaMe1", "val1");
        row("quotes dropped", "section1", "name2", "val2");
        row("line without = is no key", "section1", "name3", "");
        row("missing key", "section1", "notakey", "");
        row("missing section", "notasection", "name1", "");
        row("empty section", "section2", "name4", "");
    }
    const auto row = [](const char* tag, const QByteArray& file, const char* v) {
        QTest::newRow(tag) << file << "s"
                           << "k" << v;
    };
    row("LF only", "[s]\nk=v\n", "v");
    row("blanks and ^Z trimmed", " \t[ s ]\x1a\r\n  k \t=  v v \x0b\r\n", "v v");
    row("text after ] ignored", "[s] trailing\r\nk=v\r\n", "v");
    row("splits at first =", "[s]\r\nk=a=b\r\n", "a=b");
    row("no inline comments", "[s]\r\nk=v ; note\r\n", "v ; note");
    row("; line is a key of its own", "[s]\r\n;k=1\r\n", "");
    row("single quotes", "[s]\r\nk=' two'\r\n", " two");
    row("one pair of quotes only", "[s]\r\nk=\"\"x\"\"\r\n", "\"x\"");
    row("unmatched quote kept", "[s]\r\nk=\"abc\r\n", "\"abc");
    row("mixed quotes kept", "[s]\r\nk='abc\"\r\n", "'abc\"");
    row("inner quotes kept", "[s]\r\nk=a\"b\"\r\n", "a\"b\"");
    row("lone quote kept", "[s]\r\nk=\"\r\n", "\"");
    row("first key wins", "[s]\r\nK=1\r\nk=2\r\n", "1");
    row("first section wins", "[s]\r\nx=1\r\n[S]\r\nk=2\r\n", "");
    row("keys before a header are in no section", "k=1\r\n[s]\r\n", "");
    row("BOM skipped", "\xEF\xBB\xBF[s]\r\nk=v\r\n", "v");
    row("last line without line end", "[s]\r\nk=v", "v");
    row("NUL and invalid bytes elsewhere", raw("\xff\0\r\n[s]\r\nk=v\r\n"), "v");
    row("Windows-1252", "[s]\r\nk=\x80 \x93q\x94 \xfc\x81\r\n", "€ “q” ü\u0081");
    row("UTF-8", "[s]\r\nk=\xe2\x82\xac \xc3\xbc\r\n", "€ ü");
    row("UTF-16 LE", utf16("[s]\r\nk=\"€ ü\"\r\n"), "€ ü");
    row("UTF-16 BE", utf16("[S]\nK = ★ \n", QStringEncoder::Utf16BE), "★");
    row("UTF-16 LE, odd byte count", utf16("[s]\r\nk=v\r\n") + 'x', "v");
    const QByteArray longValue(1000, 'x');
    QTest::newRow("value not cut at 254") << "[s]\r\nk=" + longValue << "s"
                                          << "k" << QString::fromLatin1(longValue);
}

void tst_profile::read_findsValue()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, expected);
    QCOMPARE(profile::valueIn(content, section, key), expected);
}

void tst_profile::read_missingFileGivesEmpty()
{
    QCOMPARE(profile::read(path("missing.ini"), "s", "k"), QString());
    QVERIFY(replaceFile(path("real.ini"), "[s]\r\nk=stored\r\n"));
    QCOMPARE(profile::read(path("real.ini"), "S", "K"), QStringLiteral("stored"));
}

void tst_profile::withValue_keepsEveryOtherByte_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QByteArray>("after");

    const auto row = [](const char* tag, const QByteArray& before, const char* s, const char* k,
                        const char* v, const QByteArray& after) {
        QTest::newRow(tag) << before << s << k << v << after;
    };
    row("appends missing section at end", "[a]\r\nx=1\r\n", "b", "y", "2",
        "[a]\r\nx=1\r\n[b]\r\ny=2\r\n");
    row("empty file", "", "a", "x", "1", "[a]\r\nx=1\r\n");
    row("comment and blank line kept", "; c\r\n[a]\r\n\r\nx=1\r\n", "a", "x", "2",
        "; c\r\n[a]\r\n\r\nx=2\r\n");
    row("value replaced in place", "[a]\r\n  X = old  \r\ny=3\r\n", "A", "x", "new",
        "[a]\r\n  X = new  \r\ny=3\r\n");
    row("quoted value replaced", "[a]\r\nx=\"old\"\r\n", "a", "x", "new", "[a]\r\nx=new\r\n");
    row("empty value", "[a]\r\nx=1\r\n", "a", "x", "", "[a]\r\nx=\r\n");
    row("key after last key line of its section", "[a]\r\nx=1\r\n; note\r\n\r\n[b]\r\ny=2\r\n", "a",
        "z", "3", "[a]\r\nx=1\r\nz=3\r\n; note\r\n\r\n[b]\r\ny=2\r\n");
    row("key after header of keyless section", "[a]\r\n[b]\r\n", "a", "k", "v",
        "[a]\r\nk=v\r\n[b]\r\n");
    row("LF file gets CR LF on new line only", "[a]\nx=1\n", "a", "y", "2", "[a]\nx=1\ny=2\r\n");
    row("CR-only file", "[a]\rx=1\r", "a", "x", "2", "[a]\rx=2\r");
    row("line end added before appended key", "[a]\r\nx=1", "a", "y", "2", "[a]\r\nx=1\r\ny=2\r\n");
    row("line end added before appended section", "[a]\r\nx=1", "b", "y", "2",
        "[a]\r\nx=1\r\n[b]\r\ny=2\r\n");
    row("BOM kept", "\xEF\xBB\xBF[a]\r\nx=1\r\n", "a", "x", "2", "\xEF\xBB\xBF[a]\r\nx=2\r\n");
    row("BOM-only file", "\xEF\xBB\xBF", "a", "x", "1", "\xEF\xBB\xBF[a]\r\nx=1\r\n");
    row("line breaks become spaces", "[a]\r\nx=1\r\n", "a", "x", "l1\r\nl2\nl3\rl4",
        "[a]\r\nx=l1 l2 l3 l4\r\n");
    row("first key replaced", "[a]\r\nx=1\r\nX=2\r\n", "a", "X", "9", "[a]\r\nx=9\r\nX=2\r\n");
    row("first section used", "[a]\r\nx=1\r\n[A]\r\ny=2\r\n", "a", "y", "3",
        "[a]\r\nx=1\r\ny=3\r\n[A]\r\ny=2\r\n");
    row("key outside sections untouched", "x=1\r\n", "a", "x", "2", "x=1\r\n[a]\r\nx=2\r\n");
    row("Windows-1252 file stays Windows-1252", "; \xe9\r\n[a]\r\nx=1\r\n", "a", "x",
        "“ü” € \u0081", "; \xe9\r\n[a]\r\nx=\x93\xfc\x94 \x80 \x81\r\n");
    row("Windows-1252 names found", "[\xc4]\r\n\xdf=1\r\n", "ä", "ß", "2", "[\xc4]\r\n\xdf=2\r\n");
    row("Windows-1252 file gaining a character it lacks goes UTF-8 whole",
        "; \xe9\r\n[a]\r\nx=1\r\n", "a", "x", "★", "; \xc3\xa9\r\n[a]\r\nx=\xe2\x98\x85\r\n");
    row("Windows-1252 bytes that would read as UTF-8 go UTF-8 whole", "[a]\r\nx=\xe9\r\n", "a", "x",
        "Ã©", "[a]\r\nx=\xc3\x83\xc2\xa9\r\n");
    row("Windows-1252 text that looks like UTF-8 in a Windows-1252 file",
        "; \xe9\r\n[a]\r\nx=1\r\n", "a", "x", "Ã©", "; \xe9\r\n[a]\r\nx=\xc3\xa9\r\n");
    row("UTF-8 file stays UTF-8", "[a]\r\nx=\xc3\xa9\r\n", "a", "x", "ü€",
        "[a]\r\nx=\xc3\xbc\xe2\x82\xac\r\n");
    row("UTF-16 LE value replaced in place", utf16("; ★\r\n[a]\r\n x = 1 \r\n"), "a", "x", "€",
        utf16("; ★\r\n[a]\r\n x = € \r\n"));
    row("UTF-16 BE key and section appended", utf16("[a]\r\nx=1", QStringEncoder::Utf16BE), "b",
        "y", "ü", utf16("[a]\r\nx=1\r\n[b]\r\ny=ü\r\n", QStringEncoder::Utf16BE));
    row("UTF-16 mark only", "\xFE\xFF", "a", "x", "1",
        utf16("[a]\r\nx=1\r\n", QStringEncoder::Utf16BE));
    const QString lone = QString("; ") + QChar(0xDC00) + "\r\n[a]\r\nx=" + QChar(0xD800);
    row("UTF-16 lone surrogates kept", utf16(lone), "a", "y", "2", utf16(lone + "\r\ny=2\r\n"));
    // Half a character at the end stays, completed by a zero byte.
    row("UTF-16 odd byte count", utf16("[a]\r\nx=1\r\n") + 'z', "a", "x", "2",
        utf16("[a]\r\nx=2\r\nz"));
    const QByteArray junk = raw("\xff\0junk\r\n[a]\r\nx=1\r\n\xfe");
    row("unknown and NUL bytes survive", junk, "a", "x", "2", QByteArray(junk).replace("=1", "=2"));
}

void tst_profile::withValue_keepsEveryOtherByte()
{
    QFETCH(QByteArray, before);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, value);
    QFETCH(QByteArray, after);
    QCOMPARE(profile::withValues(before, {{section, key, value}}), after);
    // A written value reads back as one line, as written.
    QCOMPARE(profile::valueIn(after, section, key),
             QString(value).replace("\r\n", " ").replace('\r', ' ').replace('\n', ' '));
}

void tst_profile::write_freshFileHasExactBytes_data()
{
    QTest::addColumn<QList<profile::Entry>>("entries");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("settings file")
        << QList<profile::Entry>{{"info", "runs", "1"},
                                 {"dir", "made", "bin"},
                                 {"file", "made", "boolist.lst"},
                                 {"export", "path", ""}}
        << QByteArray("[info]\r\nruns=1\r\n[dir]\r\nmade=bin\r\n[file]\r\nmade=boolist.lst\r\n"
                      "[export]\r\npath=\r\n");
    QTest::newRow("three sections")
        << QList<profile::Entry>{{"App1", "key1", "string1"},
                                 {"App1", "key2", "string2"},
                                 {"App1", "key3", "string3"},
                                 {"App2", "key4", "string4"},
                                 {"App3", "key5", "string5"}}
        << QByteArray("[App1]\r\nkey1=string1\r\nkey2=string2\r\nkey3=string3\r\n[App2]\r\n"
                      "key4=string4\r\n[App3]\r\nkey5=string5\r\n");
}

void tst_profile::write_freshFileHasExactBytes()
{
    QFETCH(QList<profile::Entry>, entries);
    QFETCH(QByteArray, expected);

    QVERIFY(profile::writeAll(path("all.ini"), entries));
    QCOMPARE(bytesOf("all.ini"), expected);
    // One write at a time gives the same file.
    for (const profile::Entry& e : entries)
        QVERIFY(profile::write(path("single.ini"), e.section, e.key, e.value));
    QCOMPARE(bytesOf("single.ini"), expected);
    QFile::remove(path("all.ini"));
    QFile::remove(path("single.ini"));
}

void tst_profile::write_failureLeavesFileAsItWas_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("folder in the way") << "folder";
    QTest::newRow("missing folder") << "missing/x.ini";
}

void tst_profile::write_failureLeavesFileAsItWas()
{
    QFETCH(QString, name);
    const QTemporaryDir dir;
    const auto path = [&](const QString& n) { return dir.filePath(n); };
    const QByteArray old = "; keep\r\n[a]\r\nx=1\r\n";
    if (name == "folder")
        QVERIFY(QDir(dir.path()).mkdir(name));
    else if (!name.contains('/'))
        QVERIFY(replaceFile(path(name), old));

    QVERIFY(!profile::write(path(name), "a", "x", "2"));
    if (name == "folder")
        QVERIFY(QFileInfo(path(name)).isDir());
    else if (name.contains('/'))
        QVERIFY(!QFileInfo::exists(path("missing")));
    else
        QCOMPARE(readWholeFile(path(name)).value(), old);
    QCOMPARE(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).size(),
             name.contains('/') ? 0 : 1);
}

QTEST_GUILESS_MAIN(tst_profile)
#include "tst_profile.moc"
