#include "core/fields.h"
#include "support/fieldreader.h"
#include "support/testsupport.h"
#include "ui/form.h"
#include "ui/listbox.h"
#include "ui/sys_procs.h"
#include "ui/vx_modules.h"

#include <QDir>
#include <QFile>
#include <QtTest>
#include <csignal>
#include <functional>
#include <sys/resource.h>

using namespace vx;

namespace
{

// Fills in three ways, so that a long list lies in several blocks as after real fills.
void fill(ListBox& list, const QStringList& texts)
{
    list.clear();
    const qsizetype third = texts.size() / 3;
    list.addItems(TextList(texts.mid(0, third)));
    for (const QString& text : texts.mid(third, third))
        test::addItem(list, text);
    list.addItems(TextList(texts.mid(2 * third)));
}

// Writes larger than `bytes` fail for as long as the object lives, as on a full disk.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &m_saved);
        rlimit limit = m_saved;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &m_saved); }

private:
    rlimit m_saved{};
};

} // namespace

class TestSysProcs : public QObject
{
    Q_OBJECT

private slots:
    void fileExists_answersForNormalFilesOnly_data();
    void fileExists_answersForNormalFilesOnly();
    void writeTextFile_writesTextAndOneLineEnd();
    void saveList_writesEveryItemOnItsOwnLine_data();
    void saveList_writesEveryItemOnItsOwnLine();
    void loadList_appendsEveryField_data();
    void loadList_appendsEveryField();
    void loadSave_keepsEveryItemWhole_data();
    void loadSave_keepsEveryItemWhole();
    void failedRewrite_leavesOldFileByteIdentical();
    void rewrite_throughLinkOnlyToExistingFile_data();
    void rewrite_throughLinkOnlyToExistingFile();
    void pause_waitsFromRoundedStart_data();
    void pause_waitsFromRoundedStart();
    void pause_clockSetBack_keepsItsLength();
    void slideOutLeft_movesPastLeftEdgeIn300TwipSteps();
    void fileNameOf_takesTextAfterLastSeparator_data();
    void fileNameOf_takesTextAfterLastSeparator();
    void removeDuplicates_keepsFirstOfEachInOrder_data();
    void removeDuplicates_keepsFirstOfEachInOrder();
    void removeDuplicates_again_followsTheList();
};

void TestSysProcs::fileExists_answersForNormalFilesOnly_data()
{
    QTest::addColumn<QString>("relative");
    QTest::addColumn<bool>("expected");
    QTest::newRow("empty path") << QString() << false;
    QTest::newRow("normal file") << "roms/game.rom" << true;
    QTest::newRow("mask in other case") << "roms/GAME.*" << true;
    QTest::newRow("read-only file") << "roms/locked.v64" << true;
    QTest::newRow("folder") << "roms" << false;
    QTest::newRow("hidden file") << "roms/.secret.rom" << false;
    QTest::newRow("missing file") << "roms/none.rom" << false;
    QTest::newRow("missing folder") << "nowhere/game.rom" << false;
    QTest::newRow("mask matching") << "roms/*.rom" << true;
    QTest::newRow("mask with ?") << "roms/gam?.rom" << true;
    QTest::newRow("mask matching nothing") << "roms/*.zip" << false;
    QTest::newRow("mask matching only hidden") << "roms/.s*" << false;
}

void TestSysProcs::fileExists_answersForNormalFilesOnly()
{
    QFETCH(QString, relative);
    QFETCH(bool, expected);
    test::Sandbox box;
    box.writeFile("roms/game.rom", "x");
    box.writeFile("roms/.secret.rom", "x");
    box.writeFile("roms/locked.v64", "x");
    QFile::setPermissions(box.path("roms/locked.v64"), QFile::ReadOwner);
    const QString path = relative.isEmpty() ? QString() : box.path(relative);
    QCOMPARE(sys_procs::file_exists(path), expected);
}

void TestSysProcs::writeTextFile_writesTextAndOneLineEnd()
{
    test::Sandbox box;
    QVERIFY(sys_procs::write_text_file(QString(), box.path("a.txt")));
    QCOMPARE(box.readFile("a.txt"), QByteArray("\r\n"));
    QVERIFY(sys_procs::write_text_file("hello", box.path("a.txt")));
    QCOMPARE(box.readFile("a.txt"), QByteArray("hello\r\n"));
    QVERIFY(!sys_procs::write_text_file("x", box.path("missing/a.txt")));
}

void TestSysProcs::saveList_writesEveryItemOnItsOwnLine_data()
{
    QTest::addColumn<QStringList>("list");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("empty list") << QStringList() << QByteArray();
    QTest::newRow("index") << QStringList{"", "Alpha", "Beta"}
                           << QByteArray("\r\nAlpha\r\nBeta\r\n");
    QTest::newRow("comma quoted") << QStringList{"Zelda, The"} << QByteArray("\"Zelda, The\"\r\n");
    QTest::newRow("leading blank quoted") << QStringList{" x"} << QByteArray("\" x\"\r\n");
    QTest::newRow("trailing blank quoted") << QStringList{"x "} << QByteArray("\"x \"\r\n");
    QTest::newRow("inner quote plain") << QStringList{"a\"b"} << QByteArray("a\"b\r\n");
    QTest::newRow("non-ASCII") << QStringList{"Pokémon 日本"}
                               << QString("Pokémon 日本\r\n").toUtf8();
    QTest::newRow("Latin-1 letter after plain names")
        << QStringList{"", "Alpha", "Café, Le"}
        << QString("\r\nAlpha\r\n\"Café, Le\"\r\n").toUtf8();
}

void TestSysProcs::saveList_writesEveryItemOnItsOwnLine()
{
    QFETCH(QStringList, list);
    QFETCH(QByteArray, bytes);
    test::Sandbox box;
    ListBox widget;
    fill(widget, list);
    QVERIFY(test::saveList(box.path("l.lst"), widget));
    QCOMPARE(box.readFile("l.lst"), bytes);
}

void TestSysProcs::loadList_appendsEveryField_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("one empty line") << QByteArray("\r\n") << QStringList{""};
    QTest::newRow("zero bytes") << QByteArray() << QStringList();
    QTest::newRow("comma splits") << QByteArray("a,b\r\n") << QStringList{"a", "b"};
    QTest::newRow("blank after comma skipped")
        << QByteArray("Zelda, The\r\n") << QStringList{"Zelda", "The"};
    QTest::newRow("quotes dropped")
        << QByteArray("\"Alpha, Beta\"\r\n") << QStringList{"Alpha, Beta"};
    QTest::newRow("LF only") << QByteArray("a\nb\n") << QStringList{"a", "b"};
}

void TestSysProcs::loadList_appendsEveryField()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, expected);
    test::Sandbox box;
    box.writeFile("l.lst", bytes);
    ListBox widget;
    test::addItem(widget, "kept");
    sys_procs::load_list(box.path("l.lst"), widget);
    QCOMPARE(test::listed(widget), QStringList{"kept"} + expected);
    sys_procs::load_list(box.path("missing.lst"), widget);
    QCOMPARE(widget.count(), 1 + expected.size());
}

void TestSysProcs::loadSave_keepsEveryItemWhole_data()
{
    QTest::addColumn<QStringList>("list");
    QTest::newRow("plain") << QStringList{"", "A", "B"};
    QTest::newRow("comma") << QStringList{"", "Zelda, The", "x,y,z"};
    QTest::newRow("blanks") << QStringList{"", " lead", "trail ", "   "};
    QTest::newRow("large") << [] {
        QStringList many;
        for (int i = 0; i < 40000; ++i)
            many << QStringLiteral("Game %1").arg(i);
        return many;
    }();
}

void TestSysProcs::loadSave_keepsEveryItemWhole()
{
    QFETCH(QStringList, list);
    test::Sandbox box;
    ListBox widget;
    fill(widget, list);
    for (int round = 0; round < 2; ++round) {
        QVERIFY(test::saveList(box.path("l.lst"), widget));
        widget.clear();
        sys_procs::load_list(box.path("l.lst"), widget);
        QCOMPARE(test::listed(widget), list);
    }
}

void TestSysProcs::failedRewrite_leavesOldFileByteIdentical()
{
    test::Sandbox box;
    QByteArray old;
    for (int i = 0; i < 100; ++i)
        old += "Game " + QByteArray::number(i) + "\r\n";
    box.writeFile("l.lst", old);
    ListBox widget;
    for (int i = 0; i < 5000; ++i)
        test::addItem(widget, QStringLiteral("A much longer game name %1").arg(i));
    {
        FileSizeLimit limit(4096);
        QVERIFY(!test::saveList(box.path("l.lst"), widget));
        QVERIFY(!sys_procs::write_text_file(QString(10000, 'x'), box.path("l.lst")));
    }
    QCOMPARE(box.readFile("l.lst"), old);
    QCOMPARE(QDir(box.folder()).entryList(QDir::Files | QDir::Hidden), QStringList{"l.lst"});
}

void TestSysProcs::rewrite_throughLinkOnlyToExistingFile_data()
{
    QTest::addColumn<QString>("target"); // where the link in bin points, outside it
    QTest::addColumn<bool>("written");
    QTest::newRow("existing file: written through") << "outside/old.lst" << true;
    QTest::newRow("dangling: nothing made outside") << "outside/new.lst" << false;
    QTest::newRow("folder") << "outside" << false;
}

void TestSysProcs::rewrite_throughLinkOnlyToExistingFile()
{
    QFETCH(QString, target);
    QFETCH(bool, written);
    test::Sandbox box;
    box.writeFile("outside/old.lst", "old\r\n");
    QDir(box.folder()).mkpath("bin");
    QVERIFY(QFile::link(box.path(target), box.path("bin/l.lst")));
    const QMap<QString, QByteArray> before = box.snapshot();

    QCOMPARE(sys_procs::write_text_file("new", box.path("bin/l.lst")), written);
    QVERIFY(QFileInfo(box.path("bin/l.lst")).isSymLink());
    if (written)
        QCOMPARE(box.readFile(target), QByteArray("new\r\n"));
    else
        QCOMPARE(box.snapshot(), before);
    QCOMPARE(QDir(box.path("bin"))
                 .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System),
             QStringList{"l.lst"});
}

void TestSysProcs::pause_waitsFromRoundedStart_data()
{
    QTest::addColumn<double>("start");
    QTest::addColumn<int>("seconds");
    QTest::addColumn<double>("end");
    QTest::newRow("100.4 rounds down") << 100.4 << 3 << 103.0;
    QTest::newRow("100.6 rounds up") << 100.6 << 3 << 104.0;
    QTest::newRow("half to even") << 100.5 << 1 << 101.0;
    QTest::newRow("zero returns at once") << 100.0 << 0 << 100.0;
    QTest::newRow("negative returns at once") << 100.0 << -5 << 100.0;
    QTest::newRow("across midnight") << 86399.0 << 3 << 2.0;
    QTest::newRow("start rounded up past the timer") << 86399.6 << 1 << 1.0;
}

void TestSysProcs::pause_waitsFromRoundedStart()
{
    QFETCH(double, start);
    QFETCH(int, seconds);
    QFETCH(double, end);
    test::Sandbox box;
    box.clock().set(start);
    sys_procs::pause(seconds);
    // The last reading was the first at or past the end; the clock steps 0.25 a reading.
    const double last = box.clock().peek() - 0.25;
    if (seconds <= 0) {
        QCOMPARE(last, start + 0.25); // one reading for the test, no wait
    } else {
        QVERIFY2(last >= end && last < end + 0.25, qPrintable(QString::number(last)));
    }
}

void TestSysProcs::pause_clockSetBack_keepsItsLength()
{
    // Both times move on 0.25 a reading; the time of day is set back an hour (time sync, the
    // end of daylight saving) right after the wait reads it first.
    class SetBackClock final : public Clock
    {
    public:
        double secondsSinceMidnight() override
        {
            const double now = m_day - (m_dayReads++ > 0 ? 3600 : 0);
            advance();
            return now;
        }
        double elapsedSeconds() override
        {
            const double now = m_elapsed;
            advance();
            return now;
        }
        void idle() override {}
        double elapsed() const { return m_elapsed; }

    private:
        void advance()
        {
            m_day += 0.25;
            m_elapsed += 0.25;
        }
        double m_day = 100.4;
        double m_elapsed = 0;
        int m_dayReads = 0;
    };
    test::Sandbox box;
    SetBackClock setBack;
    setClock(&setBack);
    sys_procs::pause(3);
    QVERIFY2(setBack.elapsed() >= 2.6 && setBack.elapsed() <= 3.5,
             qPrintable(QString::number(setBack.elapsed())));
}

void TestSysProcs::slideOutLeft_movesPastLeftEdgeIn300TwipSteps()
{
    test::Sandbox box;
    Form window("probe");
    window.setClientSize(4320, 1920);
    window.setLeft(5760);
    sys_procs::slide_out_left(window);
    // 34 steps of 300 twips: the first position left of -Width.
    QCOMPARE(window.Left(), 5760.0 - 34 * 300);
    // A window already off screen moves one step further.
    sys_procs::slide_out_left(window);
    QCOMPARE(window.Left(), -4740.0);
    // Fractions are dropped before each step.
    window.setLeft(100.5);
    sys_procs::slide_out_left(window);
    QCOMPARE(window.Left(), 100.0 - 300 * 15);
}

void TestSysProcs::fileNameOf_takesTextAfterLastSeparator_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("name");
    QTest::newRow("backslash path") << "C:\\roms\\game.rom"
                                    << "game.rom";
    QTest::newRow("bare name") << "game.rom"
                               << "game.rom";
    QTest::newRow("trailing backslash") << "C:\\roms\\"
                                        << "";
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("slash path") << "/home/me/roms/game.v64"
                                << "game.v64";
    QTest::newRow("mixed") << "C:\\roms/sub\\x.zip"
                           << "x.zip";
}

void TestSysProcs::fileNameOf_takesTextAfterLastSeparator()
{
    QFETCH(QString, path);
    QFETCH(QString, name);
    QCOMPARE(VX_modules::file_name_of(path), name);
}

void TestSysProcs::removeDuplicates_keepsFirstOfEachInOrder_data()
{
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<QStringList>("after");
    QTest::newRow("case sensitive")
        << QStringList{"", "A", "B", "A", "a", "A"} << QStringList{"", "A", "B", "a"};
    QTest::newRow("none repeated") << QStringList{"x", "y"} << QStringList{"x", "y"};
    QTest::newRow("empty list") << QStringList() << QStringList();
    QTest::newRow("all the same") << QStringList{"z", "z", "z"} << QStringList{"z"};
    // Several fills, each a block of its own, long enough to be read in runs.
    QStringList many;
    QStringList firsts;
    QSet<QString> seen;
    for (int i = 0; i < 12000; ++i) {
        const QString name = QStringLiteral("Game %1").arg(i * 7919 % 5003);
        many << name;
        if (!seen.contains(name)) {
            seen.insert(name);
            firsts << name;
        }
    }
    QTest::newRow("repeats across fills") << many << firsts;
}

void TestSysProcs::removeDuplicates_keepsFirstOfEachInOrder()
{
    QFETCH(QStringList, before);
    QFETCH(QStringList, after);
    ListBox widget;
    fill(widget, before);
    VX_modules::remove_duplicates(widget);
    QCOMPARE(test::listed(widget), after);
}

void TestSysProcs::removeDuplicates_again_followsTheList()
{
    const TextList index = readFieldTexts("\r\nA\r\nB\r\nA\r\nC\r\nB\r\n");
    ListBox widget;
    const auto again = [&](const std::function<void()>& fill, const QStringList& expected) {
        widget.clear();
        fill();
        VX_modules::remove_duplicates(widget);
        QCOMPARE(test::listed(widget), expected);
    };
    // The same stored entries twice, as View ROM fills the browser from an unchanged index.
    for (int round = 0; round < 2; ++round)
        again([&] { widget.addItems(index); }, {"", "A", "B", "C"});
    again(
        [&] {
            widget.addItems(index);
            widget.removeItem(1);
        },
        {"", "B", "A", "C"});
    again([&] { widget.addItems(readFieldTexts("X\r\nX\r\n")); }, {"X"});
    again(
        [&] {
            widget.addItems(index);
            test::addItem(widget, "D");
            test::addItem(widget, "A");
        },
        {"", "A", "B", "C", "D"});
    again([&] { widget.addItems(index); }, {"", "A", "B", "C"});
    // Equal texts stored elsewhere.
    again([&] { widget.addItems(TextList({"", "A", "B", "A", "C", "B"})); }, {"", "A", "B", "C"});
}

QTEST_MAIN(TestSysProcs)
#include "tst_sysprocs.moc"
