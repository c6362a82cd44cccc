#include "app/mnu_error.h"
#include "app/start.h"
#include "app/vx_main.h"
#include "browser/mnu_list.h"
#include "platform/listbox.h"
#include "platform/units.h"
#include "platform/windowing.h"
#include "setup/mnu_setup.h"
#include "support/testsupport.h"

#include <QtTest>

using namespace vx;

namespace
{

const QByteArray kFreshSettings =
    "[info]\r\nruns=1\r\n[dir]\r\nmade=bin\r\n[file]\r\nmade=boolist.lst"
    "\r\n[export]\r\npath=\r\n";

// Records what the setup window's status line says at every reading of the timer.
class StatusWatchingClock final : public Clock
{
public:
    explicit StatusWatchingClock(test::FakeClock& inner) : m_inner(inner) {}
    double secondsSinceMidnight() override
    {
        const double now = m_inner.secondsSinceMidnight();
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
    void start_withoutIndex_reportsAndRecreatesIt();
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
    QVERIFY(main::get().isVisible());
    QVERIFY(!mnu_list::get().isVisible());
    QCOMPARE(test::listed(*mnu_list::get().rom_list), (QStringList{"", "Alpha", "Beta", "Alpha"}));
    QVERIFY(!mnu_error::get().isVisible());
    QCOMPARE(main::get().lbl_title1->text(), QString("[None]"));
}

void TestStartup::start_withoutIndex_reportsAndRecreatesIt()
{
    test::Sandbox box;
    box.makeCatalogue();
    QFile::remove(box.path("bin/bootlist.lst"));
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
    QCOMPARE(test::listed(*mnu_list::get().rom_list), QStringList{""});
}

void TestStartup::start_placesDetailViewControls()
{
    for (int launch = 0; launch < 2; ++launch) {
        test::Sandbox box;
        box.makeCatalogue();
        start();
        main& hub = main::get();
        // Twips 544 and 5925/470 land on these pixels at 15 twips a pixel, every launch.
        QCOMPARE(hub.lbl_title1->y(), twipsToPixels(544));
        QCOMPARE(hub.Image1->geometry(), QRect(twipsToPixels(5925), twipsToPixels(470),
                                               twipsToPixels(4575), twipsToPixels(3113)));
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
