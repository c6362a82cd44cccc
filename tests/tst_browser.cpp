#include "app/start.h"
#include "app/vx_main.h"
#include "browser/mnu_list.h"
#include "core/catalogue.h"
#include "edit/mnu_edit_rom.h"
#include "support/testsupport.h"
#include "ui/base/mnu_error.h"
#include "ui/dialogs.h"
#include "ui/findstrip.h"
#include "ui/listbox.h"
#include "ui/verdictlabel.h"
#include "ui/windowing.h"

#include <QCryptographicHash>
#include <QImage>
#include <QKeyEvent>
#include <QtTest>

using namespace vx;
using namespace vx::test;

namespace
{

// The detail view's texts, in the order the double click fills them.
QStringList detailTexts()
{
    main& hub = main::get();
    return {hub.lbl_title1->text(), hub.Label3->text(),    hub.Label13->text(), hub.Label14->text(),
            hub.Label16->text(),    hub.file_path->text(), hub.Label15->text()};
}

mnu_list& viewRom(Sandbox& box, const QByteArray& index)
{
    box.makeCatalogue(index);
    start();
    main& hub = main::get();
    click(hub.Label8);
    return mnu_list::get();
}

void viewRow(mnu_list& browser, int row)
{
    browser.rom_list->doItemsLayout();
    doubleClickItem(browser.rom_list, row);
}

void writePicture(Sandbox& box, const QString& relative)
{
    QImage image(64, 48, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    QVERIFY(image.save(box.path(relative)));
}

} // namespace

class TestBrowser : public QObject
{
    Q_OBJECT

private slots:
    void viewRom_listsEachNameOnceWithoutEmptyFirstEntry_data();
    void viewRom_listsEachNameOnceWithoutEmptyFirstEntry();
    void viewRom_placesBrowserBelowHubOnTop();
    void viewRom_withoutIndexShowsEmptyBrowser();
    void doubleClick_fillsDetailViewAndSlidesAway_data();
    void doubleClick_fillsDetailViewAndSlidesAway();
    void doubleClick_readsRecordLeftByHand_data();
    void doubleClick_readsRecordLeftByHand();
    void doubleClick_showsVerdictUnderPath_data();
    void doubleClick_showsVerdictUnderPath();
    void doubleClick_picture_data();
    void doubleClick_picture();
    void doubleClick_missingRecord_removesEntryOnScreenOnly_data();
    void doubleClick_missingRecord_removesEntryOnScreenOnly();
    void doubleClick_withoutSelection_changesNothing();
    void enterKey_viewsSelectedGame_data();
    void enterKey_viewsSelectedGame();
    void cancel_hidesBrowserAndKeepsDetailView();
    void typing_findsNamesAsideCaseAndAccents_data();
    void typing_findsNamesAsideCaseAndAccents();
    void typedEscape_clearsThenCloses();
    void remove_asksThenTakesGameOutOfCatalogue_data();
    void remove_asksThenTakesGameOutOfCatalogue();
};

void TestBrowser::viewRom_listsEachNameOnceWithoutEmptyFirstEntry_data()
{
    QTest::addColumn<QByteArray>("index");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("repeats dropped") << QByteArray("\r\nA\r\nB\r\nA\r\n") << QStringList{"A", "B"};
    QTest::newRow("fresh index") << QByteArray("\r\n") << QStringList{};
    QTest::newRow("zero-byte index") << QByteArray() << QStringList{};
    QTest::newRow("case kept apart") << QByteArray("\r\nA\r\na\r\nA\r\n") << QStringList{"A", "a"};
    QTest::newRow("quoted comma name")
        << QByteArray("\r\n\"Zelda, The\"\r\nZelda\r\n") << QStringList{"Zelda, The", "Zelda"};
    // Only an empty first entry is the index's own; a hand-written first name stays.
    QTest::newRow("written by hand, no empty line")
        << QByteArray("A\r\nB\r\n") << QStringList{"A", "B"};
    QTest::newRow("empty line further down")
        << QByteArray("A\r\n\r\nB\r\n") << QStringList{"A", "", "B"};
}

void TestBrowser::viewRom_listsEachNameOnceWithoutEmptyFirstEntry()
{
    QFETCH(QByteArray, index);
    QFETCH(QStringList, expected);
    Sandbox box;
    mnu_list& browser = viewRom(box, index);
    QVERIFY(browser.isVisible());
    QCOMPARE(listed(*browser.rom_list), expected);
    // Viewing again starts afresh rather than adding to what is shown.
    click(main::get().Label8);
    QCOMPARE(listed(*browser.rom_list), expected);
}

void TestBrowser::viewRom_placesBrowserBelowHubOnTop()
{
    Sandbox box;
    box.makeCatalogue("\r\nA\r\n");
    start();
    main& hub = main::get();
    hub.setTop(1500);
    hub.setLeft(2250);
    click(hub.Label8);
    mnu_list& browser = mnu_list::get();
    QCOMPARE(browser.Top(), 1500.0 + 1860);
    QCOMPARE(browser.Left(), 2250.0 + 300);
    QVERIFY(isTopmost(browser));

    // Moving the hub and viewing again brings the browser along.
    hub.setTop(600);
    hub.setLeft(900);
    click(hub.Label8);
    QCOMPARE(browser.Top(), 600.0 + 1860);
    QCOMPARE(browser.Left(), 900.0 + 300);
}

void TestBrowser::viewRom_withoutIndexShowsEmptyBrowser()
{
    Sandbox box;
    box.makeCatalogue();
    start();
    QVERIFY(QFile::remove(box.path("bin/bootlist.lst")));
    click(main::get().Label8);
    QVERIFY(mnu_list::get().isVisible());
    QCOMPARE(mnu_list::get().rom_list->count(), 0);
}

void TestBrowser::doubleClick_fillsDetailViewAndSlidesAway_data()
{
    QTest::addColumn<QString>("size");
    QTest::addColumn<qint64>("romBytes");
    QTest::addColumn<QString>("lengthLine");
    QTest::newRow("128, one mebibyte")
        << "128" << qint64(1048576) << "Average File Size: 1048576 bytes";
    QTest::newRow("64, empty ROM") << "64" << qint64(0) << "Average File Size: 0 bytes";
    QTest::newRow("negative size shown as stored")
        << "-5" << qint64(17) << "Average File Size: 17 bytes";
}

void TestBrowser::doubleClick_fillsDetailViewAndSlidesAway()
{
    QFETCH(QString, size);
    QFETCH(qint64, romBytes);
    QFETCH(QString, lengthLine);
    Sandbox box;
    box.makeCatalogue("\r\nOther\r\nAlpha\r\n");
    box.writeFile("roms/alpha.v64", QByteArray(romBytes, 'x'));
    writePicture(box, "alpha.png");
    const QString rom = box.path("roms/alpha.v64");
    box.writeRecord("Alpha", rom, box.path("alpha.png"), "PAL", size, "A <b>bold</b> & fine game");
    box.writeRecord("Other", rom, box.path("alpha.png"), "US", "64", "other");
    start();
    click(main::get().Label8);
    mnu_list& browser = mnu_list::get();
    viewRow(browser, 1);

    QCOMPARE(detailTexts(),
             (QStringList{"Alpha", "A <b>bold</b> & fine game", "Game type: PAL",
                          "Game Size: " + size + " Mbytes", "File Path: " + rom, rom, lengthLine}));
    waitForPicture(*main::get().Image1);
    QVERIFY(test::ImageBoxProbe::hasPicture(*main::get().Image1));
    QVERIFY(slidOut(browser));
    QVERIFY(!mnu_error::get().isVisible());
}

void TestBrowser::doubleClick_readsRecordLeftByHand_data()
{
    QTest::addColumn<QByteArray>("record");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("no desc, no gametype")
        << QByteArray("[paths]\r\nfile=\r\nimage=\r\n[info]\r\ngamename=G\r\nsize=96\r\n")
        << QStringList{"G", "", "Game type: ", "Game Size: 96 Mbytes", "File Path: ", ""};
    QTest::newRow("empty file") << QByteArray() << QStringList{"G",           "",
                                                               "Game type: ", "Game Size:  Mbytes",
                                                               "File Path: ", ""};
    QTest::newRow("names in another case, LF ends")
        << QByteArray("[INFO]\nDESC=Lower\nGameType=JAP\n")
        << QStringList{"G", "Lower", "Game type: JAP", "Game Size:  Mbytes", "File Path: ", ""};
}

void TestBrowser::doubleClick_readsRecordLeftByHand()
{
    QFETCH(QByteArray, record);
    QFETCH(QStringList, expected);
    Sandbox box;
    box.makeCatalogue("\r\nG\r\n");
    box.writeFile("bin/G.lib", record);
    start();
    click(main::get().Label8);
    viewRow(mnu_list::get(), 0);
    // With no ROM path there is no length to show, and no figure stands in for it.
    expected << "Average File Size: " + main::missingRomText();
    QCOMPARE(detailTexts(), expected);
    waitForPicture(*main::get().Image1);
    QVERIFY(!test::ImageBoxProbe::hasPicture(*main::get().Image1));
    QVERIFY(slidOut(mnu_list::get()));
}

void TestBrowser::doubleClick_showsVerdictUnderPath_data()
{
    QTest::addColumn<QByteArray>("rom");    // the file; none when empty
    QTest::addColumn<QByteArray>("listed"); // the image the DAT lists; no DAT when empty
    QTest::addColumn<QString>("verdict");

    const QByteArray good = checkedImage(C6102);
    QByteArray bad = good;
    bad[0x2345] = char(bad[0x2345] ^ 0x10);
    const QByteArray other = checkedImage(C6105);
    QTest::newRow("no DAT") << good << QByteArray() << "";
    QTest::newRow("listed") << good << good << "Verified: Star Racer (Europe)";
    QTest::newRow("listed, a .v64 file")
        << inFileOrder(good, 1) << good << "Verified: Star Racer (Europe)";
    QTest::newRow("listed, in a zip")
        << zipOf({{"a.n64", inFileOrder(good, 2)}}) << good << "Verified: Star Racer (Europe)";
    QTest::newRow("not listed") << good << other << "Not in the DAT";
    QTest::newRow("not listed, check words wrong")
        << bad << other << "Header check failed: bad or modified dump";
    // The DAT knows best: some good dumps carry wrong words.
    QTest::newRow("listed, check words wrong") << bad << bad << "Verified: Star Racer (Europe)";
    QTest::newRow("ROM file missing") << QByteArray() << good << "";
}

void TestBrowser::doubleClick_showsVerdictUnderPath()
{
    QFETCH(QByteArray, rom);
    QFETCH(QByteArray, listed);
    QFETCH(QString, verdict);
    Sandbox box;
    box.makeCatalogue("\r\nAlpha\r\nBeta\r\n");
    if (!rom.isEmpty())
        box.writeFile("roms/alpha.rom", rom);
    box.writeRecord("Alpha", box.path("roms/alpha.rom"), "", "PAL", "64", "a");
    box.writeRecord("Beta", box.path("roms/beta.rom"), "", "PAL", "64", "b");
    if (!listed.isEmpty()) {
        const QByteArray sha1 = QCryptographicHash::hash(listed, QCryptographicHash::Sha1);
        box.writeFile("set.dat", "<?xml version=\"1.0\"?><datafile><game name=\"Star Racer "
                                 "(Europe)\"><rom name=\"a.z64\" size=\"1\" sha1=\"" +
                                     sha1.toHex() + "\"/></game></datafile>");
        box.writeFile("vx.log", Sandbox::settingsBytes() +
                                    "[dat]\r\npath=" + box.path("set.dat").toUtf8() + "\r\n");
    }
    const QMap<QString, QByteArray> before = box.snapshot();
    start();
    settleStartup();
    QVERIFY(VerifierProbe::settle());
    main& hub = main::get();
    click(hub.Label8);
    viewRow(mnu_list::get(), 0);
    QVERIFY(VerifierProbe::settle());
    QCOMPARE(hub.Label17->text(), verdict);
    QCOMPARE(hub.Label16->text(), "File Path: " + box.path("roms/alpha.rom"));

    // Viewed again, the checksums come from the cache at once.
    click(hub.Label8);
    viewRow(mnu_list::get(), 1);
    QCOMPARE(hub.Label17->text(), QString());
    click(hub.Label8);
    viewRow(mnu_list::get(), 0);
    QCOMPARE(hub.Label17->text(), verdict);
    // The cache is a file of its own; the catalogue's files are as they were.
    QMap<QString, QByteArray> after = box.snapshot();
    QCOMPARE(after.remove("vx-checksums.txt"), verdict.isEmpty() ? 0 : 1);
    QCOMPARE(after, before);
}

void TestBrowser::doubleClick_picture_data()
{
    QTest::addColumn<QString>("image");
    QTest::addColumn<bool>("shown");
    QTest::newRow("readable picture") << "pic.png" << true;
    QTest::newRow("empty path clears") << "" << false;
    QTest::newRow("missing picture clears") << "gone.png" << false;
    QTest::newRow("not a picture clears") << "notes.png" << false;
}

void TestBrowser::doubleClick_picture()
{
    QFETCH(QString, image);
    QFETCH(bool, shown);
    Sandbox box;
    box.makeCatalogue("\r\nFirst\r\nSecond\r\n");
    writePicture(box, "pic.png");
    box.writeFile("notes.png", "plain words, no picture");
    box.writeRecord("First", "", box.path("pic.png"), "US", "64", "first");
    box.writeRecord("Second", "", image.isEmpty() ? QString() : box.path(image), "US", "64", "two");
    start();
    main& hub = main::get();

    click(hub.Label8);
    viewRow(mnu_list::get(), 0);
    waitForPicture(*hub.Image1);
    QVERIFY(test::ImageBoxProbe::hasPicture(*hub.Image1));

    // The second game replaces the first one's picture, or leaves none.
    click(hub.Label8);
    viewRow(mnu_list::get(), 1);
    QCOMPARE(hub.lbl_title1->text(), QString("Second"));
    waitForPicture(*hub.Image1);
    QCOMPARE(test::ImageBoxProbe::hasPicture(*hub.Image1), shown);
}

void TestBrowser::doubleClick_missingRecord_removesEntryOnScreenOnly_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("deleted record") << "Gone";
    QTest::newRow("name leading out of bin") << "../Gone";
    QTest::newRow("name with a colon") << "a:b";
}

void TestBrowser::doubleClick_missingRecord_removesEntryOnScreenOnly()
{
    QFETCH(QString, name);
    Sandbox box;
    const QByteArray index = "\r\nKept\r\n" + name.toLatin1() + "\r\n";
    box.makeCatalogue(index);
    // Where the unusable names would lead, a record that must not be read.
    box.writeRecord("Gone", "/nowhere", "", "US", "64", "outside bin");
    QFile::rename(box.path("bin/Gone.lib"), box.path("Gone.lib"));
    box.writeRecord("Kept", "", "", "US", "64", "kept");
    start();
    main& hub = main::get();
    click(hub.Label8);
    mnu_list& browser = mnu_list::get();
    const QMap<QString, QByteArray> before = box.snapshot();

    viewRow(browser, 1);
    mnu_error& notice = mnu_error::get();
    QVERIFY(notice.isVisible());
    QCOMPARE(notice.Label1->text(), QString("This Games data file is missing or deleted."));
    QCOMPARE(notice.Label2->text(), QString("Deleting Entry"));
    QCOMPARE(notice.Top(), 15360.0 / 2 - 2300);
    QCOMPARE(notice.Left(), 11520.0 / 2);
    QVERIFY(isTopmost(notice));
    QTRY_COMPARE(QApplication::activeWindow(), &notice);
    QCOMPARE(listed(*browser.rom_list), QStringList{"Kept"});
    // The browser stays for another choice and the detail view is untouched.
    QVERIFY(browser.isVisible() && !slidOut(browser));
    QCOMPARE(hub.lbl_title1->text(), QString("[None]"));
    QCOMPARE(box.snapshot(), before);

    click(hub.Label8);
    QCOMPARE(listed(*browser.rom_list), (QStringList{"Kept", name}));
}

void TestBrowser::doubleClick_withoutSelection_changesNothing()
{
    for (const QByteArray& index : {QByteArray("\r\n"), QByteArray("\r\nA\r\n")}) {
        Sandbox box;
        box.makeCatalogue(index);
        box.writeRecord("A", "", "", "US", "64", "a");
        start();
        click(main::get().Label8);
        mnu_list& browser = mnu_list::get();
        browser.rom_list->clearSelection();
        browser.rom_list->setCurrentRow(-1);
        browser.rom_list_DblClick();
        QTest::mouseDClick(browser.rom_list->viewport(), Qt::LeftButton, {},
                           browser.rom_list->viewport()->rect().bottomRight() - QPoint(2, 2));
        QVERIFY(!mnu_error::get().isVisible());
        QCOMPARE(browser.rom_list->count(), index.count("\r\n") - 1);
        QCOMPARE(main::get().lbl_title1->text(), QString("[None]"));
        QVERIFY(browser.isVisible() && !slidOut(browser));
    }
}

void TestBrowser::enterKey_viewsSelectedGame_data()
{
    QTest::addColumn<bool>("selected");
    QTest::newRow("selected") << true;
    // As the list shows when it gets the keyboard: the cursor on a row, nothing chosen yet.
    QTest::newRow("under the keyboard's cursor") << false;
}

void TestBrowser::enterKey_viewsSelectedGame()
{
    QFETCH(bool, selected);
    Sandbox box;
    box.makeCatalogue("\r\nA\r\nB\r\n");
    box.writeRecord("B", "", "", "JAP", "256", "bee");
    start();
    click(main::get().Label8);
    mnu_list& browser = mnu_list::get();
    if (selected)
        browser.rom_list->setCurrentRow(1);
    else
        browser.rom_list->selectionModel()->setCurrentIndex(browser.rom_list->model()->index(1, 0),
                                                            QItemSelectionModel::NoUpdate);
    QTest::keyClick(browser.rom_list, Qt::Key_Return);
    QCOMPARE(main::get().lbl_title1->text(), QString("B"));
    QCOMPARE(main::get().Label14->text(), QString("Game Size: 256 Mbytes"));
    QVERIFY(slidOut(browser));
}

void TestBrowser::cancel_hidesBrowserAndKeepsDetailView()
{
    Sandbox box;
    box.makeCatalogue("\r\nA\r\nB\r\n");
    box.writeRecord("A", "", "", "PAL", "128", "first");
    start();
    main& hub = main::get();
    click(hub.Label8);
    viewRow(mnu_list::get(), 0);
    const QStringList shown = detailTexts();

    click(hub.Label8);
    mnu_list& browser = mnu_list::get();
    browser.rom_list->setCurrentRow(1);
    click(browser.Label2);
    QVERIFY(!browser.isVisible());
    QCOMPARE(detailTexts(), shown);
    QCOMPARE(listed(*browser.rom_list), (QStringList{"A", "B"}));

    // Escape cancels as well.
    click(hub.Label8);
    QTest::keyClick(browser.rom_list, Qt::Key_Escape);
    QVERIFY(!browser.isVisible());
}

void TestBrowser::typing_findsNamesAsideCaseAndAccents_data()
{
    QTest::addColumn<int>("numbered"); // "Game 1" ... after the four names
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("backspaces");
    QTest::addColumn<QStringList>("found");
    QTest::addColumn<QString>("count");
    QTest::newRow("case and accents aside")
        << 0 << "pokemon" << 0 << QStringList{"Pokémon Stadium", "POKEMON Snap"} << "2 of 4";
    QTest::newRow("anywhere in the name, typed accent")
        << 0 << "ÓLF" << 0 << QStringList{"Mystic Golf", "Golf Pro"} << "2 of 4";
    QTest::newRow("backspace edits")
        << 0 << "golfz" << 1 << QStringList{"Mystic Golf", "Golf Pro"} << "2 of 4";
    QTest::newRow("nothing found") << 0 << "zelda" << 0 << QStringList{} << "0 of 4";
    // 1, 10-19, 100-199 and 1000-1230.
    QTest::newRow("thousands grouped") << 1230 << "game 1" << 0 << QStringList{} << "342 of 1,234";
}

void TestBrowser::typing_findsNamesAsideCaseAndAccents()
{
    QFETCH(int, numbered);
    QFETCH(QString, typed);
    QFETCH(int, backspaces);
    QFETCH(QStringList, found);
    QFETCH(QString, count);
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    Sandbox box;
    QByteArray index = "\r\nPokémon Stadium\r\nMystic Golf\r\nPOKEMON Snap\r\nGolf Pro\r\n";
    for (int i = 1; i <= numbered; ++i)
        index += "Game " + QByteArray::number(i) + "\r\n";
    box.makeCatalogue(index);
    for (const QString& name : found)
        box.writeRecord(name, "", "", "US", "64", name);
    start();
    click(main::get().Label8);
    mnu_list& browser = mnu_list::get();
    ListBox& list = *browser.rom_list;
    QTest::keyClicks(&list, typed);
    for (int i = 0; i < backspaces; ++i)
        QTest::keyClick(&list, Qt::Key_Backspace);
    if (numbered == 0)
        QCOMPARE(shown(list), found);
    FindStrip& strip = *browser.findStrip();
    QVERIFY(strip.isVisible());
    QCOMPARE(strip.typed(), typed.left(typed.size() - backspaces));
    QCOMPARE(strip.countText(), count);
    // Over the list's bottom edge, inside it.
    QVERIFY(list.geometry().contains(strip.geometry()));
    QVERIFY(strip.geometry().bottom() >= list.geometry().bottom() - 4);
    if (found.isEmpty())
        return;

    // Enter views the name found first, though other names stand before it in the index.
    QTest::keyClick(&list, Qt::Key_Return);
    QCOMPARE(main::get().lbl_title1->text(), found.first());
    QVERIFY(slidOut(browser));
    // The next opening shows every name again.
    click(main::get().Label8);
    QCOMPARE(list.count(), 4 + numbered);
    QVERIFY(!strip.isVisible());
}

void TestBrowser::typedEscape_clearsThenCloses()
{
    Sandbox box;
    mnu_list& browser = viewRom(box, "\r\nAlpha\r\nBeta\r\nGamma\r\n");
    ListBox& list = *browser.rom_list;
    QTest::keyClicks(&list, "ta");
    QCOMPARE(shown(list), (QStringList{"Beta"}));
    QTest::keyClick(&list, Qt::Key_Escape);
    QCOMPARE(shown(list), (QStringList{"Alpha", "Beta", "Gamma"}));
    QVERIFY(!browser.findStrip()->isVisible());
    QVERIFY(browser.isVisible());
    QTest::keyClick(&list, Qt::Key_Escape);
    QVERIFY(!browser.isVisible());
}

void TestBrowser::remove_asksThenTakesGameOutOfCatalogue_data()
{
    QTest::addColumn<QMessageBox::StandardButton>("answer");
    QTest::addColumn<bool>("viewedFirst"); // the detail view shows the game
    QTest::addColumn<QString>("typed");    // found by typing first
    QTest::addColumn<QString>("edited");   // the game the edit window holds meanwhile
    QTest::newRow("yes, the game viewed and edited") << QMessageBox::Yes << true << ""
                                                     << "Beta";
    QTest::newRow("yes, found by typing, another edited") << QMessageBox::Yes << false << "et"
                                                          << "Alpha";
    QTest::newRow("no") << QMessageBox::No << true << ""
                        << "Beta";
}

void TestBrowser::remove_asksThenTakesGameOutOfCatalogue()
{
    QFETCH(QMessageBox::StandardButton, answer);
    QFETCH(bool, viewedFirst);
    QFETCH(QString, typed);
    QFETCH(QString, edited);
    Sandbox box;
    box.makeCatalogue("\r\nAlpha\r\nBeta\r\nAlpha\r\nBeta\r\n");
    box.writeFile("beta.rom", "rom");
    box.writeRecord("Alpha", "", "", "US", "64", "a");
    box.writeRecord("Beta", box.path("beta.rom"), "", "US", "64", "b");
    start();
    main& hub = main::get();
    click(hub.Label8);
    if (viewedFirst) {
        viewRow(mnu_list::get(), 1);
        click(hub.Label8);
    }
    mnu_edit_rom& editor = mnu_edit_rom::get();
    editor.open(edited, catalogue::readRecord(catalogue::findRecord(edited)));
    editor.show();
    mnu_list& browser = mnu_list::get();
    browser.activateWindow();
    ListBox& list = *browser.rom_list;
    QTest::keyClicks(&list, typed);
    list.setCurrentRow(typed.isEmpty() ? 1 : 0);
    const QMap<QString, QByteArray> before = box.snapshot();

    dialogs::queueAnswer(answer);
    QTest::keyClick(&list, Qt::Key_Delete);
    const QList<dialogs::Question> asked = dialogs::questions();
    QCOMPARE(asked.size(), 1);
    QCOMPARE(asked.first().text,
             QString("Remove \u201CBeta\u201D from the catalogue? Its record is "
                     "deleted; its ROM and picture files are kept."));
    QCOMPARE(asked.first().defaultButton, QMessageBox::No);
    QVERIFY(browser.isVisible());
    // Saved, the removed game would come back.
    QCOMPARE(isAway(editor), answer == QMessageBox::Yes && edited == "Beta");
    if (answer == QMessageBox::No) {
        QCOMPARE(box.snapshot(), before);
        QCOMPARE(listed(list), (QStringList{"Alpha", "Beta"}));
        QCOMPARE(hub.lbl_title1->text(), QString("Beta"));
        return;
    }
    QCOMPARE(box.readFile("bin/bootlist.lst"), QByteArray("\r\nAlpha\r\nAlpha\r\n"));
    QVERIFY(!QFile::exists(box.path("bin/Beta.lib")));
    QVERIFY(QFile::exists(box.path("bin/Alpha.lib")) && QFile::exists(box.path("beta.rom")));
    QCOMPARE(listed(list), QStringList{"Alpha"});
    QCOMPARE(hub.lbl_title1->text(), QString("[None]"));
    QCOMPARE(hub.Label3->text(), QString());
    QVERIFY(!hub.viewedGame());
}

QTEST_MAIN(TestBrowser)
#include "tst_browser.moc"
