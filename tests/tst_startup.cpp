#include "add/mnu_add_rom.h"
#include "app/start.h"
#include "app/startupreading.h"
#include "app/vx_main.h"
#include "browser/mnu_list.h"
#include "core/recordlookup.h"
#include "core/textfile.h"
#include "core/verifier.h"
#include "setup/mnu_options.h"
#include "setup/mnu_setup.h"
#include "support/testsupport.h"
#include "ui/base/mnu_error.h"
#include "ui/dialogs.h"
#include "ui/listbox.h"
#include "ui/units.h"
#include "ui/windowing.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScopeGuard>
#include <QSemaphore>
#include <QtTest>

using namespace vx;

namespace
{

const QByteArray kFreshSettings =
    "[info]\r\nruns=1\r\n[dir]\r\nmade=bin\r\n[file]\r\nmade=boolist.lst"
    "\r\n[export]\r\npath=\r\n";

// Records what the setup window's status line says at every reading of the elapsed time.
class StatusWatchingClock final : public Clock
{
public:
    explicit StatusWatchingClock(test::FakeClock& inner) : m_inner(inner) {}
    double secondsSinceMidnight() override { return m_inner.secondsSinceMidnight(); }
    double elapsedSeconds() override
    {
        const double now = m_inner.elapsedSeconds();
        const QString status = mnu_setup::get().Label1->text();
        if (!status.isEmpty() && (m_statuses.isEmpty() || m_statuses.last() != status))
            m_statuses << status;
        m_seconds[status] += 0.25;
        return now;
    }
    void idle() override {}
    QStringList statuses() const { return m_statuses; }
    double heldFor(const QString& status) const { return m_seconds.value(status); }

private:
    test::FakeClock& m_inner;
    QStringList m_statuses;
    QMap<QString, double> m_seconds;
};

} // namespace

class TestStartup : public QObject
{
    Q_OBJECT

private slots:
    void start_withCatalogue_listsIndexWithoutNotice();
    void settled_listsIndexAndSweepsTemporaries_data();
    void settled_listsIndexAndSweepsTemporaries();
    void commandBeforeHeldBackWork_leavesBrowserAsBefore_data();
    void commandBeforeHeldBackWork_leavesBrowserAsBefore();
    void windowIcon_drawsEachSizeAsked_data();
    void windowIcon_drawsEachSizeAsked();
    void start_withoutIndex_reportsAndRecreatesIt_data();
    void start_withoutIndex_reportsAndRecreatesIt();
    void start_unreadableIndex_saysSoAndWritesNothing();
    void start_unreadableDat_saysSoAndShowsNoVerdicts();
    void start_placesDetailViewControls();
    void firstRun_createsSettingsBinAndIndex();
    void firstRun_tellsEachStepInOrder();
    void firstRun_keepsExistingIndex();
    void start_withEmptySettingsFile_skipsSetup();
    void start_whenIndexCannotBeCreated_saysSoAndKeepsRunning_data();
    void start_whenIndexCannotBeCreated_saysSoAndKeepsRunning();
    void firstRun_whenSettingsCannotBeWritten_saysSoAndKeepsRunning();
};

void TestStartup::start_withCatalogue_listsIndexWithoutNotice()
{
    test::Sandbox box;
    box.makeCatalogue("\r\nAlpha\r\nBeta\r\nAlpha\r\n");
    start();
    test::settleStartup();
    QVERIFY(main::get().isVisible());
    QVERIFY(!mnu_list::get().isVisible());
    QCOMPARE(test::listed(*mnu_list::get().rom_list), (QStringList{"", "Alpha", "Beta", "Alpha"}));
    QVERIFY(!mnu_error::get().isVisible());
    QCOMPARE(main::get().lbl_title1->text(), QString("[None]"));
}

void TestStartup::settled_listsIndexAndSweepsTemporaries_data()
{
    QTest::addColumn<bool>("shown");
    QTest::newRow("after the first paint") << true;
    QTest::newRow("hub never shown") << false;
}

void TestStartup::settled_listsIndexAndSweepsTemporaries()
{
    QFETCH(bool, shown);
    test::Sandbox box;
    box.makeCatalogue("\r\nAlpha\r\n\r\nBeta\r\nAlpha\r\n");
    box.writeFile("bin/notes.txt", "kept");
    box.writeFile("bin/bootlist.lst.backup", "kept");
    const QMap<QString, QByteArray> kept = box.snapshot();
    for (const char* stray : {".~vx-a1B2c3d4.tmp", "bin/.~vx-Zz9Yy8Xx.tmp"})
        box.writeFile(QString::fromLatin1(stray), "half");

    if (shown)
        start();
    else
        main::get();
    test::settleStartup();

    QCOMPARE(box.snapshot(), kept);
    // The index as it stands: repeats and empty entries included, nothing shown.
    QCOMPARE(test::listed(*mnu_list::get().rom_list),
             (QStringList{"", "Alpha", "", "Beta", "Alpha"}));
    QVERIFY(!mnu_list::get().isVisible());
    QCOMPARE(main::get().isVisible(), shown);
}

void TestStartup::commandBeforeHeldBackWork_leavesBrowserAsBefore_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<bool>("reading");
    QTest::addColumn<QStringList>("expected");
    const QStringList viewed{"Alpha", "Beta"};
    // The index as start-up read it, then the whole index the save wrote.
    const QStringList added{"", "Alpha", "Beta", "Alpha", "", "Alpha", "Beta", "Alpha", "New"};
    const QStringList cleared{"", "Alpha", "Beta", "Alpha"};
    // Before the first paint, and while the folders and the index are read after it.
    for (const bool reading : {false, true}) {
        const char* when = reading ? " while start-up reads" : " before the first paint";
        QTest::addRow("View ROM%s", when) << "view" << reading << viewed;
        QTest::addRow("add save%s", when) << "add" << reading << added;
        QTest::addRow("clearing the index%s", when) << "clear" << reading << cleared;
        QTest::addRow("record lookup%s", when) << "lookup" << reading << cleared;
    }
}

void TestStartup::commandBeforeHeldBackWork_leavesBrowserAsBefore()
{
    QFETCH(QString, command);
    QFETCH(bool, reading);
    QFETCH(QStringList, expected);
    test::Sandbox box;
    box.makeCatalogue("\r\nAlpha\r\nBeta\r\nAlpha\r\n");
    box.writeFile("roms/new.v64", "rom");
    box.writeFile("pics/new.png", "png");
    // The reading goes on only once the command waits for it under the busy pointer.
    static QSemaphore gate;
    gate.acquire(gate.available());
    setStartupReadingGate([] { gate.acquire(); });
    QTimer waiting;
    connect(&waiting, &QTimer::timeout, [&] {
        if (QApplication::overrideCursor())
            gate.release();
    });
    waiting.start(5);
    const auto open = [] {
        setStartupReadingGate({});
        gate.release(10);
    };
    const auto opened = qScopeGuard(open);
    start();
    main& hub = main::get();
    if (reading)
        main::beginStartup();
    QVERIFY(hub.startupPending());

    if (command == "view") {
        test::click(hub.Label8);
    } else if (command == "add") {
        test::click(hub.Label4);
        mnu_add_rom& add = mnu_add_rom::get();
        test::fillAdd(add, "New", box.path("roms/new.v64"), box.path("pics/new.png"), "new");
        test::click(add.Picture5);
        QCOMPARE(box.indexLines(), (QStringList{"", "Alpha", "Beta", "Alpha", "New"}));
    } else if (command == "lookup") {
        box.writeFile("bin/Alpha.lib", "[info]\r\n");
        for (int i = 0; i < 20; ++i)
            box.writeFile(QStringLiteral("bin/Game %1.lib").arg(i), "[info]\r\n");
        QCOMPARE(catalogue::findRecord("alpha"), box.path("bin/Alpha.lib"));
        // Start-up's reading of bin, once under way, is waited for rather than made again.
        QCOMPARE(hub.startupPending(), !reading);
        for (int i = 0; i < 20; ++i)
            QCOMPARE(catalogue::findRecord(QStringLiteral("GAME %1").arg(i)),
                     box.path(QStringLiteral("bin/Game %1.lib").arg(i)));
    } else {
        dialogs::queueAnswer(QMessageBox::Yes);
        test::click(mnu_options::get().cmd_clear);
        QCOMPARE(box.readFile("bin/bootlist.lst"), QByteArray("\r\n"));
    }
    open();
    test::settleStartup();
    QCOMPARE(test::listed(*mnu_list::get().rom_list), expected);
    // Start-up's own fill never comes after the command to hide the browser it showed.
    QCOMPARE(mnu_list::get().isVisible(), command == "view");
}

void TestStartup::windowIcon_drawsEachSizeAsked_data()
{
    QTest::addColumn<int>("size");
    QTest::newRow("16") << 16;
    QTest::newRow("22, not a size drawn ahead") << 22;
    QTest::newRow("256") << 256;
}

void TestStartup::windowIcon_drawsEachSizeAsked()
{
    QFETCH(int, size);
    test::Sandbox box;
    box.makeCatalogue();
    start();
    const QIcon icon = QApplication::windowIcon();
    QVERIFY(!icon.isNull());
    const QImage image = icon.pixmap(QSize(size, size), 1.0).toImage();
    QCOMPARE(image.size(), QSize(size, size));
    // The cartridge fills the middle; the corners stay clear.
    QCOMPARE(qAlpha(image.pixel(size / 2, size / 2)), 255);
    QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
}

void TestStartup::start_withoutIndex_reportsAndRecreatesIt_data()
{
    QTest::addColumn<QString>("removed");
    QTest::newRow("index deleted") << "bin/bootlist.lst";
    // A first run killed after writing the settings, before making bin.
    QTest::newRow("bin never made") << "bin";
}

void TestStartup::start_withoutIndex_reportsAndRecreatesIt()
{
    QFETCH(QString, removed);
    test::Sandbox box;
    box.makeCatalogue();
    QFile::remove(box.path("bin/bootlist.lst"));
    QDir(box.folder()).rmdir(removed);
    start();
    mnu_error& notice = mnu_error::get();
    QVERIFY(notice.isVisible());
    QCOMPARE(notice.Label1->text(),
             QString("Your ROM archives main index file has been deleted or moved."));
    QCOMPARE(notice.Label2->text(), QString("New index created."));
    QVERIFY(isTopmost(notice));
    // 1024 x 768 pixels is 15360 x 11520 twips.
    QCOMPARE(notice.Top(), 5380.0);
    QCOMPARE(notice.Left(), 5760.0);
    QCOMPARE(box.readFile("bin/bootlist.lst"), QByteArray("\r\n"));
    test::settleStartup();
    QCOMPARE(test::listed(*mnu_list::get().rom_list), QStringList{""});
}

void TestStartup::start_unreadableIndex_saysSoAndWritesNothing()
{
    test::Sandbox box;
    box.makeCatalogue("\r\nAlpha\r\n");
    failReadsOf(box.path("bin/bootlist.lst"));
    const QMap<QString, QByteArray> before = box.snapshot();
    start();
    test::settleStartup();
    QCOMPARE(test::visibleNotice(),
             (QStringList{"Your ROM archives main index file could not be read.",
                          "Check that the bin folder can be read."}));
    QCOMPARE(box.snapshot(), before);
    QVERIFY(main::get().isVisible());
}

void TestStartup::start_unreadableDat_saysSoAndShowsNoVerdicts()
{
    test::Sandbox box;
    box.makeCatalogue();
    box.writeFile("vx.log", test::Sandbox::settingsBytes() +
                                "[dat]\r\npath=" + box.path("gone.dat").toUtf8() + "\r\n");
    const QMap<QString, QByteArray> before = box.snapshot();
    start();
    test::settleStartup();
    QVERIFY(test::VerifierProbe::settle());
    QCOMPARE(test::visibleNotice(), (QStringList{"The DAT set in Setup could not be read.",
                                                 "The file is missing or is not a file."}));
    QVERIFY(!Verifier::get().hasDat());
    QCOMPARE(box.snapshot(), before);
}

void TestStartup::start_placesDetailViewControls()
{
    QList<QRect> firstLaunch;
    for (int launch = 0; launch < 2; ++launch) {
        test::Sandbox box;
        box.makeCatalogue();
        start();
        main& hub = main::get();
        const QRect title = hub.lbl_title1->geometry();
        const QRect picture = hub.Image1->geometry();
        // The title heads the description, the picture stands clear of it, below the title
        // strip and above its own captions, inside the hub.
        QVERIFY(title.bottom() < hub.Label3->y());
        QVERIFY(title.left() < hub.Label3->x());
        // Lifted a little above the first command, whose row it shares in the form's design.
        QVERIFY(title.top() < hub.Label4->y());
        QVERIFY(picture.left() > hub.Label3->geometry().right());
        QVERIFY(picture.top() > hub.Label1->geometry().bottom());
        QVERIFY(picture.bottom() < hub.Label13->y());
        QVERIFY(picture.left() < hub.Label13->x());
        QVERIFY(hub.rect().contains(picture));
        // Every launch alike.
        if (launch == 0)
            firstLaunch = {title, picture};
        else
            QCOMPARE(QList<QRect>({title, picture}), firstLaunch);
    }
}

void TestStartup::firstRun_createsSettingsBinAndIndex()
{
    test::Sandbox box;
    start();
    QCOMPARE(box.readFile("vx.log"), kFreshSettings);
    QCOMPARE(kFreshSettings.size(), 76);
    QCOMPARE(box.readFile("bin/bootlist.lst"), QByteArray("\r\n"));
    QVERIFY(main::get().isVisible());
    QVERIFY(!mnu_setup::get().isVisible());
    QCOMPARE(mnu_setup::get().windowTitle(), QString("Setup..."));
    QVERIFY(!mnu_error::get().isVisible());
    test::settleStartup();
    QCOMPARE(test::listed(*mnu_list::get().rom_list), QStringList{""});
}

void TestStartup::firstRun_tellsEachStepInOrder()
{
    test::Sandbox box;
    StatusWatchingClock watcher(box.clock());
    setClock(&watcher);
    start();
    setClock(&box.clock());
    QCOMPARE(watcher.statuses(), (QStringList{"Creating log file(s)", "Creating Bin", "Bin Created",
                                              "Creating Bootlist"}));
    // Each status stays for the pauses that follow it (within the timer's rounding).
    const struct {
        const char* status;
        double seconds;
    } held[] = {{"Creating log file(s)", 3},
                {"Creating Bin", 1},
                {"Bin Created", 2},
                {"Creating Bootlist", 4}};
    for (const auto& h : held) {
        const double t = watcher.heldFor(h.status);
        QVERIFY2(t >= h.seconds - 1 && t <= h.seconds + 1.5,
                 qPrintable(QString("%1: %2").arg(h.status).arg(t)));
    }
}

void TestStartup::firstRun_keepsExistingIndex()
{
    test::Sandbox box;
    box.writeFile("bin/bootlist.lst", "\r\nAlpha\r\nBeta\r\n");
    start();
    QCOMPARE(box.readFile("bin/bootlist.lst"), QByteArray("\r\nAlpha\r\nBeta\r\n"));
    QCOMPARE(box.readFile("vx.log"), kFreshSettings);
    test::settleStartup();
    QCOMPARE(test::listed(*mnu_list::get().rom_list), (QStringList{"", "Alpha", "Beta"}));
}

void TestStartup::start_withEmptySettingsFile_skipsSetup()
{
    test::Sandbox box;
    box.makeCatalogue("\r\nA\r\n");
    box.writeFile("vx.log", "");
    start();
    QCOMPARE(box.readFile("vx.log"), QByteArray());
    QVERIFY(main::get().isVisible());
    test::settleStartup();
    QCOMPARE(test::listed(*mnu_list::get().rom_list), (QStringList{"", "A"}));
}

void TestStartup::start_whenIndexCannotBeCreated_saysSoAndKeepsRunning_data()
{
    QTest::addColumn<bool>("firstRun");
    QTest::newRow("bin is a file") << false;
    QTest::newRow("first run with bin a file") << true;
}

void TestStartup::start_whenIndexCannotBeCreated_saysSoAndKeepsRunning()
{
    QFETCH(bool, firstRun);
    test::Sandbox box;
    if (!firstRun)
        box.writeFile("vx.log", kFreshSettings);
    box.writeFile("bin", "not a folder");
    start();
    mnu_error& notice = mnu_error::get();
    QVERIFY(notice.isVisible());
    QCOMPARE(notice.Label1->text(),
             QString("Your ROM archives main index file could not be created."));
    QCOMPARE(notice.Label2->text(), QString("Check that the bin folder can be written."));
    QCOMPARE(box.readFile("bin"), QByteArray("not a folder"));
    QVERIFY(main::get().isVisible());
    test::settleStartup();
    QCOMPARE(mnu_list::get().rom_list->count(), 0);
}

void TestStartup::firstRun_whenSettingsCannotBeWritten_saysSoAndKeepsRunning()
{
    test::Sandbox box;
    box.writeFile("vx.log/keep.txt", "a folder where the settings file should be");
    start();
    mnu_error& notice = mnu_error::get();
    QVERIFY(notice.isVisible());
    QCOMPARE(notice.Label1->text(), QString("The settings file could not be created."));
    QCOMPARE(notice.Label2->text(), QString("Check that the program folder can be written."));
    QCOMPARE(box.readFile("vx.log/keep.txt"),
             QByteArray("a folder where the settings file should be"));
    QCOMPARE(box.readFile("bin/bootlist.lst"), QByteArray("\r\n"));
    QVERIFY(main::get().isVisible());
}

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
