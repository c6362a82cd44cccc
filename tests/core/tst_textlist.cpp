#include "core/textlist.h"

#include <QtTest>

using namespace vx;

namespace
{

// Runs a small script on `list`, one step per entry:
//   "+T"     append the single text T
//   "L:A|B"  append a list of texts A, B filled elsewhere (its block is shared)
//   "S:A|B"  append entries of another list one at a time, sharing its block
//   "-N"     remove row N
//   "C"      clear
//   "F:X"    keep the entries other than X (sharing their blocks)
void run(TextList& list, const QStringList& steps)
{
    for (const QString& step : steps) {
        if (step.startsWith('+')) {
            list.append(QStringView(step).mid(1));
        } else if (step.startsWith(QLatin1String("L:"))) {
            list.append(TextList(step.mid(2).split('|')));
        } else if (step.startsWith(QLatin1String("S:"))) {
            const TextList source(step.mid(2).split('|'));
            for (const TextList::Segment& segment : source.segments()) {
                for (const TextList::Span& span : segment.spans)
                    list.appendShared(segment, span);
            }
        } else if (step.startsWith('-')) {
            list.removeAt(step.mid(1).toLongLong());
        } else if (step == QLatin1String("C")) {
            list.clear();
        } else if (step.startsWith(QLatin1String("F:"))) {
            const QString dropped = step.mid(2);
            list = list.filtered([&](QStringView text) { return text != dropped; });
        }
    }
}

QStringList rowByRow(const TextList& list)
{
    QStringList texts;
    for (qsizetype row = 0; row < list.size(); ++row)
        texts << list.string(row);
    return texts;
}

} // namespace

class TestTextList : public QObject
{
    Q_OBJECT

private slots:
    void steps_giveEntriesInOrder_data();
    void steps_giveEntriesInOrder();
    void copies_neverChangeEachOther_data();
    void copies_neverChangeEachOther();
    void append_ofOwnEntry_keepsItsText();
    void equality_ignoresHowEntriesAreStored();
};

void TestTextList::steps_giveEntriesInOrder_data()
{
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QStringList>("expected");
    const auto row = [](const char* tag, const QStringList& steps, const QStringList& expected) {
        QTest::newRow(tag) << steps << expected;
    };
    row("nothing", {}, {});
    row("single texts", {"+", "+A", "+B"}, {"", "A", "B"});
    row("lists then singles", {"L:A|B", "+C", "L:D", "+E"}, {"A", "B", "C", "D", "E"});
    row("shared entries from two sources", {"S:A|B", "S:C", "+D", "S:E|F"},
        {"A", "B", "C", "D", "E", "F"});
    row("remove first, middle and last", {"L:A|B|C|D|E", "-0", "-1", "-2"}, {"B", "D"});
    row("remove a whole segment", {"L:A", "L:B", "L:C", "-1"}, {"A", "C"});
    row("remove outside the list", {"L:A", "-1", "--1"}, {"A"});
    row("remove then append", {"L:A|B", "+C", "-2", "-1", "+D"}, {"A", "D"});
    row("clear then refill", {"L:A|B", "+C", "C", "+D", "L:E"}, {"D", "E"});
    row("filter across segments", {"L:A|B|A", "+C", "+A", "S:D|A", "F:A"}, {"B", "C", "D"});
    row("filter then append and remove", {"L:A|B", "+C", "F:B", "+D", "-0"}, {"C", "D"});
    row("filter out everything", {"L:A|A", "+A", "F:A", "+B"}, {"B"});
}

void TestTextList::steps_giveEntriesInOrder()
{
    QFETCH(QStringList, steps);
    QFETCH(QStringList, expected);
    TextList list;
    run(list, steps);
    QCOMPARE(list.size(), expected.size());
    QCOMPARE(list.toStringList(), expected);
    QCOMPARE(rowByRow(list), expected);
}

void TestTextList::copies_neverChangeEachOther_data()
{
    QTest::addColumn<QStringList>("steps");
    QTest::newRow("append single") << QStringList{"+X"};
    QTest::newRow("append list") << QStringList{"L:X|Y"};
    QTest::newRow("remove") << QStringList{"-1"};
    QTest::newRow("clear") << QStringList{"C"};
    QTest::newRow("filter, then append") << QStringList{"F:B", "+X"};
}

void TestTextList::copies_neverChangeEachOther()
{
    QFETCH(QStringList, steps);
    TextList original;
    run(original, {"L:A|B", "+C", "+D"});
    const QStringList before = original.toStringList();

    TextList copy = original;
    run(copy, steps);
    QCOMPARE(original.toStringList(), before);

    TextList other = original;
    run(original, steps);
    QCOMPARE(other.toStringList(), before);
    QCOMPARE(copy, original);
}

void TestTextList::append_ofOwnEntry_keepsItsText()
{
    TextList list;
    list.append(u"first entry");
    // The block grows, and may move, while the text is copied from it.
    for (int i = 0; i < 100; ++i)
        list.append(list.at(0));
    QCOMPARE(list.size(), 101);
    QCOMPARE(list.string(100), QStringLiteral("first entry"));
}

void TestTextList::equality_ignoresHowEntriesAreStored()
{
    TextList a;
    run(a, {"L:A|B", "+C"});
    TextList b;
    run(b, {"+A", "S:B|C"});
    QCOMPARE(a, b);
    b.append(u"D");
    QVERIFY(a != b);
    a.append(u"E");
    QVERIFY(a != b);
}

QTEST_GUILESS_MAIN(TestTextList)
#include "tst_textlist.moc"
