#include "app/copy_export.h"
#include "app/vx_main.h"
#include "core/filecopy.h"
#include "setup/mnu_options.h"
#include "support/cartridgeimages.h"
#include "support/testsupport.h"
#include "ui/base/mnu_error.h"
#include "ui/base/mnu_progress.h"
#include "ui/busypointer.h"
#include "ui/dialogs.h"
#include "ui/vx_modules.h"
#include "ui/windowing.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QSemaphore>
#include <QTimer>
#include <QtTest>
#include <sys/stat.h>

using namespace vx;

namespace
{

const QByteArray kRom("\x80\x37\x12\x40 cartridge bytes", 20);

const QStringList kCopyFailed = {"The ROM could not be copied.",
                                 "Please check the destination and try again."};

// The hub with a game in its detail view whose ROM is at `rom`.
main& hubViewing(test::Sandbox& box, const QString& rom, const QString& exportFolder)
{
    box.makeCatalogue();
    box.writeFile("vx.log", test::Sandbox::settingsBytes(exportFolder.toLocal8Bit()));
    main& hub = main::get();
    hub.show();
    hub.showGame("Star Racer", {rom, {}, {}, {}, {}});
    return hub;
}

} // namespace

class TestCopyExport : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { QDir::setCurrent(QDir::tempPath()); }

    void copy_asksForSourceThenDestination();
    void copy_stopsWithNoticeWhenNothingUsableChosen_data();
    void copy_stopsWithNoticeWhenNothingUsableChosen();
    void copy_replacesExistingFileWithoutNotice();
    void copy_refusedKeepsEverything_data();
    void copy_refusedKeepsEverything();
    void copy_followsCpFileSemantics_data();
    void copy_followsCpFileSemantics();
    void copy_sparseSource_staysSparse();
    void copy_long_windowsAnswerAndCancelKeepsOldFile_data();
    void copy_long_windowsAnswerAndCancelKeepsOldFile();
    void progress_faceNamesTheWorkCounted();

    void export_writesRomIntoFolder_data();
    void export_writesRomIntoFolder();
    void export_intoWindowsFolder_copyFailedAndNothingWritten();
    void export_beforeAnyView_givesNoneNotice_data();
    void export_beforeAnyView_givesNoneNotice();
    void export_withoutFolder_noticeThenOptionsAfterPause_data();
    void export_withoutFolder_noticeThenOptionsAfterPause();
    void export_missingRom_givesNotice();
    void export_missingFolder_givesCopyNotice();
};

void TestCopyExport::copy_asksForSourceThenDestination()
{
    test::Sandbox box;
    box.makeCatalogue();
    box.writeFile("roms/game.rom", kRom);
    const QString source = box.path("roms/game.rom");
    const QString destination = box.path("copy.rom");
    dialogs::queueFile(source);
    dialogs::queueFile(destination);
    main& hub = main::get();
    hub.show();
    test::click(hub.Label6);

    QCOMPARE(box.readFile("copy.rom"), kRom);
    QVERIFY(test::visibleNotice().isEmpty());
    QVERIFY(!test::busyPointerShown());
    const auto asked = dialogs::fileRequests();
    QCOMPARE(asked.size(), 2);
    const QString filter("Basic Rom types (*.rom *.v64 *.zip *.z64 *.n64);;All Files (*)");
    QVERIFY(!asked[0].save);
    QCOMPARE(asked[0].title, QString("Choose a ROM to copy"));
    QCOMPARE(asked[0].filter, filter);
    QVERIFY(asked[1].save);
    QCOMPARE(asked[1].title, QString("Where would you like it copied too"));
    QCOMPARE(asked[1].filter, filter);
    QCOMPARE(asked[1].fileName, source);

    // The next copy starts from where the last one went.
    dialogs::queueCancel();
    test::click(hub.Label6);
    QCOMPARE(dialogs::fileRequests().at(2).fileName, destination);
}

void TestCopyExport::copy_stopsWithNoticeWhenNothingUsableChosen_data()
{
    QTest::addColumn<QStringList>("answers"); // a path, or empty for a cancel
    QTest::addColumn<QStringList>("notice");
    QTest::newRow("open dialog cancelled")
        << QStringList{""}
        << QStringList{"You did not designate a ROM.", "Please designate one and try again."};
    QTest::newRow("source does not exist")
        << QStringList{"roms/none.rom"}
        << QStringList{"The file you specified does not exist.",
                       "Please choose a valid path and try again."};
    QTest::newRow("source is a folder") << QStringList{"roms"}
                                        << QStringList{"The file you specified does not exist.",
                                                       "Please choose a valid path and try again."};
    QTest::newRow("save dialog cancelled")
        << QStringList{"roms/game.rom", ""}
        << QStringList{"You did not specify an new file.",
                       "Please specify a new file and try again."};
}

void TestCopyExport::copy_stopsWithNoticeWhenNothingUsableChosen()
{
    QFETCH(QStringList, answers);
    QFETCH(QStringList, notice);
    test::Sandbox box;
    box.makeCatalogue();
    box.writeFile("roms/game.rom", kRom);
    for (const QString& answer : answers) {
        if (answer.isEmpty())
            dialogs::queueCancel();
        else
            dialogs::queueFile(box.path(answer));
    }
    const auto before = box.snapshot();
    main& hub = main::get();
    hub.show();
    test::click(hub.Label6);
    QCOMPARE(test::visibleNotice(), notice);
    QCOMPARE(dialogs::fileRequests().size(), answers.size());
    QCOMPARE(box.snapshot(), before);
    QVERIFY(!test::busyPointerShown());
}

void TestCopyExport::copy_replacesExistingFileWithoutNotice()
{
    test::Sandbox box;
    box.makeCatalogue();
    box.writeFile("roms/game.rom", kRom);
    box.writeFile("backup/game.rom", "an older and much longer file than the new one");
    dialogs::queueFile(box.path("roms/game.rom"));
    dialogs::queueFile(box.path("backup/game.rom"));
    copyRom(main::get());
    QCOMPARE(box.readFile("backup/game.rom"), kRom);
    QVERIFY(test::visibleNotice().isEmpty());
    QCOMPARE(QDir(box.path("backup")).entryList(QDir::Files | QDir::Hidden),
             QStringList{"game.rom"});
}

void TestCopyExport::copy_refusedKeepsEverything_data()
{
    QTest::addColumn<QString>("destination");
    QTest::newRow("onto itself") << "roms/game.rom";
    QTest::newRow("onto itself spelled otherwise") << "roms/../roms/./game.rom";
    QTest::newRow("onto itself through a link") << "link.rom";
    QTest::newRow("into a missing folder") << "missing/game.rom";
    QTest::newRow("onto a folder") << "roms";
}

void TestCopyExport::copy_refusedKeepsEverything()
{
    QFETCH(QString, destination);
    test::Sandbox box;
    box.makeCatalogue();
    box.writeFile("roms/game.rom", kRom);
    QVERIFY(QFile::link(box.path("roms/game.rom"), box.path("link.rom")));
    const auto before = box.snapshot();
    dialogs::queueFile(box.path("roms/game.rom"));
    dialogs::queueFile(box.path(destination));
    copyRom(main::get());
    QCOMPARE(test::visibleNotice(), kCopyFailed);
    QVERIFY(!test::busyPointerShown());
    QCOMPARE(box.snapshot(), before); // no partial or temporary file either
    QCOMPARE(box.readFile("roms/game.rom"), kRom);
}

void TestCopyExport::copy_followsCpFileSemantics_data()
{
    QTest::addColumn<int>("mask");
    QTest::addColumn<int>("sourceMode");
    QTest::addColumn<QString>("existing"); // "", "file", or "link" (to a file elsewhere)
    QTest::addColumn<int>("existingMode");
    QTest::addColumn<int>("nameBytes");    // the destination's file name
    QTest::addColumn<int>("expectedMode"); // 0: refused
    QTest::newRow("new file, private source, umask 022") << 022 << 0600 << "" << 0 << 8 << 0600;
    QTest::newRow("new file, umask 022") << 022 << 0775 << "" << 0 << 8 << 0755;
    QTest::newRow("new file, umask 077") << 077 << 0664 << "" << 0 << 8 << 0600;
    QTest::newRow("existing keeps its bits") << 022 << 0600 << "file" << 0664 << 8 << 0664;
    QTest::newRow("read-only destination refused") << 022 << 0644 << "file" << 0444 << 8 << 0;
    QTest::newRow("link written through") << 022 << 0644 << "link" << 0640 << 8 << 0640;
    QTest::newRow("255-byte name") << 022 << 0644 << "" << 0 << 255 << 0644;
}

void TestCopyExport::copy_followsCpFileSemantics()
{
    QFETCH(int, mask);
    QFETCH(int, sourceMode);
    QFETCH(QString, existing);
    QFETCH(int, existingMode);
    QFETCH(int, nameBytes);
    QFETCH(int, expectedMode);
    test::Sandbox box;
    box.makeCatalogue();
    box.writeFile("roms/game.rom", kRom);
    ::chmod(QFile::encodeName(box.path("roms/game.rom")), mode_t(sourceMode));
    QDir(box.folder()).mkdir("out");
    const QString name = QString(nameBytes - 4, 'n') + ".rom";
    const QString landing = existing == "link" ? "elsewhere/kept.rom" : "out/" + name;
    if (!existing.isEmpty()) {
        box.writeFile(landing, "an older and much longer file than the new one");
        ::chmod(QFile::encodeName(box.path(landing)), mode_t(existingMode));
    }
    if (existing == "link")
        QVERIFY(QFile::link(box.path(landing), box.path("out/" + name)));
    const QByteArray old = box.exists(landing) ? box.readFile(landing) : QByteArray();
    const mode_t before = ::umask(mode_t(mask));
    dialogs::queueFile(box.path("roms/game.rom"));
    dialogs::queueFile(box.path("out/" + name));
    copyRom(main::get());
    ::umask(before);

    struct stat st {
    };
    QCOMPARE(::stat(QFile::encodeName(box.path(landing)), &st), 0);
    QCOMPARE(box.readFile(landing), expectedMode ? kRom : old);
    QCOMPARE(test::visibleNotice(), expectedMode ? QStringList() : kCopyFailed);
    QCOMPARE(int(st.st_mode & 07777), expectedMode ? expectedMode : existingMode);
    QCOMPARE(QFileInfo(box.path("out/" + name)).isSymLink(), existing == "link");
    QCOMPARE(QDir(box.path("out"))
                 .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot),
             QStringList{name});
}

void TestCopyExport::copy_sparseSource_staysSparse()
{
    test::Sandbox box;
    box.makeCatalogue();
    QFile sparse(box.path("sparse.rom"));
    QVERIFY(sparse.open(QIODevice::WriteOnly));
    QVERIFY(sparse.seek(32 << 20));
    sparse.write(kRom);
    QVERIFY(sparse.resize(64 << 20));
    sparse.close();
    dialogs::queueFile(box.path("sparse.rom"));
    dialogs::queueFile(box.path("copy.rom"));
    copyRom(main::get());
    QVERIFY(test::visibleNotice().isEmpty());
    QCOMPARE(box.readFile("copy.rom"), box.readFile("sparse.rom"));
    struct stat from {
    }, to{};
    QCOMPARE(::stat(QFile::encodeName(box.path("sparse.rom")), &from), 0);
    QCOMPARE(::stat(QFile::encodeName(box.path("copy.rom")), &to), 0);
    QVERIFY2(to.st_blocks <= from.st_blocks, qPrintable(QString::number(to.st_blocks)));
}

void TestCopyExport::copy_long_windowsAnswerAndCancelKeepsOldFile_data()
{
    QTest::addColumn<bool>("exporting");
    QTest::addColumn<QString>("stop"); // how the user stops it, or "" to let it finish
    QTest::addColumn<bool>("z64");     // Export ROM turning a .v64 into a .z64
    QTest::newRow("Copy ROM, Cancel") << false << "Cancel" << false;
    QTest::newRow("Export ROM, Esc") << true << "Esc" << false;
    QTest::newRow("Copy ROM, runs to the end") << false << "" << false;
    QTest::newRow("Export ROM as .z64, Cancel") << true << "Cancel" << true;
    QTest::newRow("Export ROM as .z64, runs to the end") << true << "" << true;
}

void TestCopyExport::copy_long_windowsAnswerAndCancelKeepsOldFile()
{
    QFETCH(bool, exporting);
    QFETCH(QString, stop);
    QFETCH(bool, z64);
    test::Sandbox box;
    // No boot chip: the check words would need more than the MiB copied.
    const QByteArray image = test::checkedImage(0, 1 << 20);
    const QByteArray rom = z64 ? test::inFileOrder(image, 1) : QByteArray(1 << 20, 'r');
    const QString source = z64 ? "roms/game.v64" : "roms/game.rom";
    const QString target = z64 ? "out/game.z64" : "out/game.rom";
    box.writeFile(source, rom);
    box.writeFile(target, "the old copy");
    main& hub = hubViewing(box, box.path(source), box.path("out"));
    if (z64)
        box.writeFile("vx.log", test::Sandbox::settingsBytes(box.path("out").toLocal8Bit()) +
                                    "[z64]\r\nexport=1\r\n");
    // The copy waits after each 64 KiB piece until the test lets it go on; a copy run on the
    // GUI thread is not held, so it cannot hang the test.
    QSemaphore gate;
    setCopyPieceHook(
        [&] {
            if (QThread::currentThread() != qApp->thread())
                gate.tryAcquire(1, 10000);
        },
        64 << 10);
    if (!exporting) {
        dialogs::queueFile(box.path(source));
        dialogs::queueFile(box.path(target));
    }

    int turns = 0;
    bool busy = false, secondIgnored = false, topmostWithCancel = false;
    QString shownBytes;
    QTimer poll;
    const QDeadlineTimer deadline(5000);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        ++turns;
        Form* window = test::topLevel("mnu_progress");
        // Shown, and active once the window system has caught up.
        if (!(window && window->isVisible() && QApplication::activeWindow() == window) &&
            !deadline.hasExpired())
            return;
        poll.stop();
        if (window && window->isVisible()) {
            mnu_progress& progress = mnu_progress::get();
            busy = test::busyPointerShown();
            shownBytes = progress.Label2->caption();
            topmostWithCancel = isTopmost(progress) && progress.Picture1->hasFocus();
            const int asked = dialogs::fileRequests().size();
            test::click(hub.Label6);
            test::click(hub.Label7);
            secondIgnored = dialogs::fileRequests().size() == asked;
            if (stop == "Cancel")
                test::click(progress.Picture1);
            else if (stop == "Esc")
                QTest::keyClick(&progress, Qt::Key_Escape);
        }
        gate.release(1000);
    });
    poll.start(10);
    test::click(exporting ? hub.Label7 : hub.Label6);
    setCopyPieceHook(nullptr, 0);

    QVERIFY2(turns > 1, "no event was handled while the copy ran");
    QVERIFY(busy);
    QVERIFY(topmostWithCancel);
    QCOMPARE(shownBytes, QString("64.0 kB of 1.0 MB"));
    QVERIFY(secondIgnored);
    QCOMPARE(box.readFile(target),
             stop.isEmpty() ? (z64 ? image : rom) : QByteArray("the old copy"));
    QCOMPARE(QDir(box.path("out")).entryList(QDir::Files | QDir::Hidden),
             QStringList{QFileInfo(target).fileName()});
    QVERIFY(test::visibleNotice().isEmpty());
    QVERIFY(!test::busyPointerShown());
    QVERIFY(!mnu_progress::get().isVisible());
}

// The window counting an import is not headed "Copying".
void TestCopyExport::progress_faceNamesTheWorkCounted()
{
    test::Sandbox box;
    mnu_progress& progress = mnu_progress::get();
    const QWidget over;
    const auto faceFor = [&](const QString& title) {
        progress.followCount(
            title, QStringLiteral("roms"),
            [] {
                return mnu_progress::Count{1, 2, false};
            },
            [] {}, over);
        const QImage face = progress.background()->toPixmap(progress.size()).toImage();
        progress.finish();
        return face;
    };
    QVERIFY(faceFor(QStringLiteral("Importing ROMs")) != faceFor(QStringLiteral("Rebuilding")));
}

void TestCopyExport::export_writesRomIntoFolder_data()
{
    QTest::addColumn<QString>("rom"); // as the detail view shows it; relative to the app folder
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("folderEnd");
    QTest::addColumn<QByteArray>("stale"); // a file already at the target, if any
    QTest::addColumn<bool>("z64");         // the option to export in the cartridge's order
    QTest::addColumn<QString>("exported"); // the name in the folder
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("no separator") << "roms/game.rom" << kRom << "" << QByteArray() << false
                                  << "game.rom" << kRom;
    QTest::newRow("slash") << "roms/game.rom" << kRom << "/" << QByteArray() << false << "game.rom"
                           << kRom;
    QTest::newRow("backslash") << "roms/game.rom" << kRom << "\\" << QByteArray() << false
                               << "game.rom" << kRom;
    // A path without a separator is used whole as the file's name.
    QTest::newRow("path without separator")
        << "game.rom" << kRom << "" << QByteArray() << false << "game.rom" << kRom;
    QTest::newRow("replaces existing file")
        << "roms/game.rom" << kRom << "" << QByteArray("stale") << false << "game.rom" << kRom;

    // Over a megabyte and not a whole number of them, so the turned pieces meet.
    const QByteArray image = test::checkedImage(test::C6102, (2 << 20) + 12, 5);
    const QByteArray v64 = test::inFileOrder(image, 1);
    const QByteArray n64 = test::inFileOrder(image, 2);
    QTest::newRow("option off: a .v64 as it is")
        << "roms/game.v64" << v64 << "" << QByteArray() << false << "game.v64" << v64;
    QTest::newRow(".v64 as .z64") << "roms/game.v64" << v64 << "" << QByteArray() << true
                                  << "game.z64" << image;
    QTest::newRow(".n64 as .z64") << "roms/game.n64" << n64 << "" << QByteArray() << true
                                  << "game.z64" << image;
    QTest::newRow(".z64 as it is")
        << "roms/game.z64" << image << "" << QByteArray() << true << "game.z64" << image;
    QTest::newRow(".rom named with dots, replacing a .z64")
        << "roms/Star.Racer.ROM" << n64 << "" << QByteArray("stale") << true << "Star.Racer.z64"
        << image;
    QTest::newRow(".rom holding no image: its bytes as they are")
        << "roms/game.rom" << QByteArray("no cartridge here") << "" << QByteArray() << true
        << "game.z64" << QByteArray("no cartridge here");
    const QByteArray zip = test::zipOf({{"game.v64", v64}});
    QTest::newRow("a zip stays a zip")
        << "roms/game.zip" << zip << "" << QByteArray() << true << "game.zip" << zip;
}

void TestCopyExport::export_writesRomIntoFolder()
{
    QFETCH(QString, rom);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, folderEnd);
    QFETCH(QByteArray, stale);
    QFETCH(bool, z64);
    QFETCH(QString, exported);
    QFETCH(QByteArray, expected);
    test::Sandbox box;
    box.writeFile(rom, bytes);
    QDir(box.folder()).mkdir("out");
    if (!stale.isEmpty())
        box.writeFile("out/" + exported, stale);
    QDir::setCurrent(box.folder());
    const QString shown = rom.contains('/') ? box.path(rom) : rom;
    main& hub = hubViewing(box, shown, box.path("out") + folderEnd);
    if (z64)
        box.writeFile("vx.log", test::Sandbox::settingsBytes(box.path("out").toLocal8Bit()) +
                                    "[z64]\r\nexport=1\r\n");
    const QByteArray settings = box.readFile("vx.log");
    test::click(hub.Label7);
    QCOMPARE(box.readFile("out/" + exported), expected);
    QCOMPARE(QDir(box.path("out")).entryList(QDir::Files | QDir::Hidden), QStringList{exported});
    QCOMPARE(box.readFile("vx.log"), settings);
    QVERIFY(test::visibleNotice().isEmpty());
    QVERIFY(!test::busyPointerShown());
}

void TestCopyExport::export_intoWindowsFolder_copyFailedAndNothingWritten()
{
    test::Sandbox box;
    box.writeFile("roms/game.rom", kRom);
    // A folder here that the Windows path would name, read as a name under the current folder.
    QDir(box.folder()).mkdir("C:\\Export");
    QDir::setCurrent(box.folder());
    main& hub = hubViewing(box, box.path("roms/game.rom"), "C:\\Export");
    const auto before = box.snapshot();
    test::click(hub.Label7);
    QCOMPARE(test::visibleNotice(), kCopyFailed);
    QCOMPARE(box.snapshot(), before);
}

void TestCopyExport::export_beforeAnyView_givesNoneNotice_data()
{
    QTest::addColumn<QString>("title"); // empty: as start-up leaves it
    QTest::newRow("right after start-up") << "";
    QTest::newRow("lower case") << "[none]";
    QTest::newRow("capitals") << "[NONE]";
}

void TestCopyExport::export_beforeAnyView_givesNoneNotice()
{
    QFETCH(QString, title);
    test::Sandbox box;
    box.writeFile("roms/game.rom", kRom);
    QDir(box.folder()).mkdir("out");
    box.makeCatalogue();
    box.writeFile("vx.log", test::Sandbox::settingsBytes(box.path("out").toLocal8Bit()));
    main& hub = main::get();
    hub.show();
    if (!title.isEmpty())
        hub.showGame(title, {box.path("roms/game.rom"), {}, {}, {}, {}});
    test::click(hub.Label7);
    QCOMPARE(test::visibleNotice(),
             QStringList({"You must view a ROM before you may export it.", "Please view a rom."}));
    QVERIFY(!box.exists("out/game.rom"));
}

void TestCopyExport::export_withoutFolder_noticeThenOptionsAfterPause_data()
{
    QTest::addColumn<QByteArray>("settings");
    QTest::newRow("no export section")
        << QByteArray("[info]\r\nruns=1\r\n[dir]\r\nmade=bin\r\n[file]\r\nmade=boolist.lst\r\n");
    QTest::newRow("empty export folder") << QByteArray("[info]\r\nruns=1\r\n[export]\r\npath=\r\n");
    QTest::newRow("no settings file") << QByteArray();
}

void TestCopyExport::export_withoutFolder_noticeThenOptionsAfterPause()
{
    QFETCH(QByteArray, settings);
    test::Sandbox box;
    box.writeFile("roms/game.rom", kRom);
    main& hub = hubViewing(box, box.path("roms/game.rom"), QString());
    if (settings.isEmpty())
        QFile::remove(box.path("vx.log"));
    else
        box.writeFile("vx.log", settings);
    hub.setLeft(1200);
    hub.setTop(900);
    QCoreApplication::processEvents();

    // What the user sees while the pause runs.
    QStringList noticeDuringPause;
    bool optionsDuringPause = true;
    QTimer::singleShot(0, &hub, [&] {
        noticeDuringPause = test::visibleNotice();
        const Form* shown = test::topLevel("mnu_options");
        optionsDuringPause = shown && shown->isVisible();
    });
    const double started = box.clock().peek();
    test::click(hub.Label7);

    const QStringList notice{"You have no export directory setting.", "Loading Setup Menu."};
    QCOMPARE(noticeDuringPause, notice);
    QVERIFY(!optionsDuringPause);
    QVERIFY(box.clock().peek() - started >= 2.5);
    mnu_options& options = mnu_options::get();
    QVERIFY(options.isVisible());
    QCOMPARE(options.Top(), 900.0 + 700);
    QCOMPARE(options.Left(), 1200.0 + 300);
    QVERIFY(!isTopmost(options));
    QCOMPARE(test::visibleNotice(), notice);
}

void TestCopyExport::export_missingRom_givesNotice()
{
    test::Sandbox box;
    QDir(box.folder()).mkdir("out");
    main& hub = hubViewing(box, box.path("roms/gone.rom"), box.path("out"));
    test::click(hub.Label7);
    QCOMPARE(test::visibleNotice(),
             QStringList({"File does not exist.", "Please check the path and try again."}));
    QVERIFY(!test::busyPointerShown());
    QVERIFY(QDir(box.path("out")).isEmpty());
}

void TestCopyExport::export_missingFolder_givesCopyNotice()
{
    test::Sandbox box;
    box.writeFile("roms/game.rom", kRom);
    main& hub = hubViewing(box, box.path("roms/game.rom"), box.path("gone"));
    const auto before = box.snapshot();
    test::click(hub.Label7);
    QCOMPARE(test::visibleNotice(), kCopyFailed);
    QVERIFY(!test::busyPointerShown());
    QCOMPARE(box.snapshot(), before);
}

QTEST_MAIN(TestCopyExport)
#include "tst_copyexport.moc"
