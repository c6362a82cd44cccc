#include "app/vx_main.h"
#include "browser/mnu_list.h"
#include "core/catalogue.h"
#include "core/profile.h"
#include "core/textfile.h"
#include "edit/edit_rom_list.h"
#include "edit/mnu_edit_rom.h"
#include "support/testsupport.h"
#include "ui/base/mnu_error.h"
#include "ui/formbuild.h"
#include "ui/listbox.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QtTest>

using namespace vx;
using namespace vx::test;

namespace
{

const QByteArray kIndex = "\r\nMario\r\nZelda\r\n";

// A catalogue with two games whose ROM and picture files exist.
void makeGames(Sandbox& sandbox)
{
    sandbox.makeCatalogue(kIndex);
    for (const char* file : {"roms/mario.v64", "roms/zelda.rom", "pics/mario.png", "pics/new.png"})
        sandbox.writeFile(file, "x");
    sandbox.writeRecord("Mario", sandbox.path("roms/mario.v64"), sandbox.path("pics/mario.png"),
                        "US", "64", "Plumber");
    sandbox.writeRecord("Zelda", sandbox.path("roms/zelda.rom"), sandbox.path("pics/mario.png"),
                        "PAL", "128", "Elf");
}

// Opens a listed game in the edit window as the user does: Edit ROM, then a click on its name.
mnu_edit_rom& openGame(const QString& name)
{
    main& hub = main::get();
    hub.show();
    return openInEditor(name);
}

void save(mnu_edit_rom& editor)
{
    click(editor.Picture3);
}

} // namespace

class EditSave : public QObject
{
    Q_OBJECT

private slots:
    void save_rewritesRecordAppendsNameAndSlidesAway();
    void save_otherNameInBox_renamesUnlessTaken_data();
    void save_otherNameInBox_renamesUnlessTaken();
    void save_emptyOrUnusableField_refusedWithNoticeNothingWritten_data();
    void save_emptyOrUnusableField_refusedWithNoticeNothingWritten();
    void save_fieldTheRecordHeldEmpty_mayStayEmpty_data();
    void save_fieldTheRecordHeldEmpty_mayStayEmpty();
    void save_missingPath_warnsAndStillWrites_data();
    void save_missingPath_warnsAndStillWrites();
    void save_size_storedAsPlainDigits_data();
    void save_size_storedAsPlainDigits();
    void save_keepsOtherKeysAndLinesOfRecord();
    void save_storesExactlyWhatWasTyped_data();
    void save_storesExactlyWhatWasTyped();
    void twoSaves_addExactlyTwoIndexLines();
    void secondClickDuringSave_isIgnored();
    void unwritableRecord_noticeAndWindowStays();
};

void EditSave::save_rewritesRecordAppendsNameAndSlidesAway()
{
    Sandbox sandbox;
    makeGames(sandbox);
    main& hub = main::get();
    hub.show();
    click(hub.Label8);
    mnu_list& browser = mnu_list::get();
    const int listed = browser.rom_list->count();

    mnu_edit_rom& editor = openGame("Mario");
    editor.Text2->setText(sandbox.path("roms/zelda.rom"));
    editor.Text3->setText(sandbox.path("pics/new.png"));
    editor.Combo1->lineEdit()->clear();
    QTest::keyClicks(editor.Combo1->lineEdit(), "Europe");
    setComboText(*editor.Combo2, "256");
    editor.Text4->setPlainText("Fast\nfun");
    save(editor);

    QCOMPARE(sandbox.stored("Mario", "paths", "file"), sandbox.path("roms/zelda.rom"));
    QCOMPARE(sandbox.stored("Mario", "paths", "image"), sandbox.path("pics/new.png"));
    QCOMPARE(sandbox.stored("Mario", "info", "gamename"), QString("Mario"));
    QCOMPARE(sandbox.stored("Mario", "info", "gametype"), QString("Europe"));
    QCOMPARE(sandbox.stored("Mario", "info", "size"), QString("256"));
    QCOMPARE(sandbox.stored("Mario", "info", "desc"), QString("Fast fun"));
    QCOMPARE(sandbox.indexLines(), QStringList({"", "Mario", "Zelda", "Mario"}));
    QVERIFY(!browser.isVisible());
    QCOMPARE(browser.rom_list->count(), listed + 4);
    QVERIFY(isAway(editor));
    QVERIFY(!mnu_error::get().isVisible());
    QCOMPARE(editor.Combo1->count(), 4);

    // Opened again, the game shows what was saved.
    openGame("Mario");
    QCOMPARE(editor.Combo1->currentText(), QString("Europe"));
    QCOMPARE(editor.Text4->toPlainText(), QString("Fast fun"));
}

void EditSave::save_otherNameInBox_renamesUnlessTaken_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("renamed");
    QTest::newRow("a new name") << "Luigi" << true;
    QTest::newRow("another game's name, in another case") << "ZELDA" << false;
}

void EditSave::save_otherNameInBox_renamesUnlessTaken()
{
    QFETCH(QString, name);
    QFETCH(bool, renamed);
    Sandbox sandbox;
    makeGames(sandbox);
    main& hub = main::get();
    hub.showGame("Mario", catalogue::readRecord(sandbox.path("bin/Mario.lib")));
    const auto before = sandbox.snapshot();
    mnu_edit_rom& editor = openGame("Mario");
    editor.Text1->setText(name);
    editor.Text4->setPlainText("Renamed");
    save(editor);

    if (!renamed) {
        QCOMPARE(mnu_error::get().Label1->text(),
                 "A game named \u201C" + name + "\u201D is already in the catalogue.");
        QCOMPARE(sandbox.snapshot(), before);
        QVERIFY(editor.isVisible() && !isAway(editor));
        QCOMPARE(hub.lbl_title1->text(), QString("Mario"));
        return;
    }
    // In place of the old name, the old record gone; the detail view follows.
    QCOMPARE(sandbox.indexLines(), QStringList({"", name, "Zelda"}));
    QVERIFY(!sandbox.exists("bin/Mario.lib"));
    QCOMPARE(sandbox.stored(name, "info", "gamename"), name);
    QCOMPARE(sandbox.stored(name, "info", "desc"), QString("Renamed"));
    QVERIFY(isAway(editor));
    QCOMPARE(hub.lbl_title1->text(), name);
    QCOMPARE(hub.Label3->text(), QString("Renamed"));
}

void EditSave::save_emptyOrUnusableField_refusedWithNoticeNothingWritten_data()
{
    QTest::addColumn<QStringList>("emptied");
    QTest::addColumn<QString>("sizeText");
    QTest::addColumn<QString>("upper");
    QTest::addColumn<QString>("lower");

    const QString size = "64";
    QTest::newRow("no game opened") << QStringList{"opened name", "Text2"} << size
                                    << "You havn't entered in a Game name, please try again."
                                    << "No Game Name entered.";
    QTest::newRow("name box") << QStringList{"Text1", "Text2"} << size
                              << "You havn't entered in a Game name, please try again."
                              << "No Game Name entered.";
    QTest::newRow("ROM path and description")
        << QStringList{"Text4", "Text2"} << size
        << "You havn't entered in a File Path, please try again."
        << "No File Path entered.";
    QTest::newRow("picture path") << QStringList{"Text3", "Combo1"} << size
                                  << "You havn't entered in a Image Path, please try again."
                                  << "No Image Path entered.";
    QTest::newRow("game type") << QStringList{"Combo1"} << QString()
                               << "You havn't entered in a Game Type, please try again."
                               << "No Game Type entered.";
    QTest::newRow("size") << QStringList{} << QString()
                          << "You havn't entered in a Size for the rom, please try again."
                          << "No Size entered.";
    QTest::newRow("description")
        << QStringList{"Text4"} << size
        << "You havn't entered in a Description for the Rom, please try again."
        << "No ROM Description entered.";
    QTest::newRow("description the record held, emptied; its empty picture kept")
        << QStringList{"Text4", "Text3", "stored image"} << size
        << "You havn't entered in a Description for the Rom, please try again."
        << "No ROM Description entered.";
    QTest::newRow("record removed since the window opened")
        << QStringList{"record"} << size << "\u201CMario\u201D is no longer in the catalogue."
        << "It was removed while it was being edited; nothing was saved.";
    const QString badSize = "The Size you entered is not a number from -32768 to 32767.";
    QTest::newRow("size offered as Other!")
        << QStringList{} << "Other!" << badSize << "Invalid Size";
    QTest::newRow("size too large") << QStringList{} << "32767.5" << badSize << "Invalid Size";
    QTest::newRow("size with letters") << QStringList{} << "12abc" << badSize << "Invalid Size";
}

void EditSave::save_emptyOrUnusableField_refusedWithNoticeNothingWritten()
{
    QFETCH(QStringList, emptied);
    QFETCH(QString, sizeText);
    QFETCH(QString, upper);
    QFETCH(QString, lower);

    Sandbox sandbox;
    makeGames(sandbox);
    if (emptied.contains("stored image"))
        sandbox.writeRecord("Mario", sandbox.path("roms/mario.v64"), "", "US", "64", "Plumber");
    // Unopened, the window has no name to save under, whatever its name box shows.
    const bool opened = !emptied.contains("opened name");
    mnu_edit_rom& editor = opened ? openGame("Mario") : mnu_edit_rom::get();
    editor.show();
    if (!opened)
        editor.Text1->setText("Typed");
    if (emptied.contains("record"))
        QVERIFY(QFile::remove(sandbox.path("bin/Mario.lib")));
    const auto before = sandbox.snapshot();
    // Blanks count as filled.
    editor.Text3->setText("   ");
    for (const QString& name : emptied) {
        if (name == "stored image" || name == "record")
            continue;
        if (auto* line = editor.findChild<QLineEdit*>(name))
            line->clear();
        else if (auto* combo = editor.findChild<QComboBox*>(name))
            setComboText(*combo, QString());
        else
            editor.Text4->clear();
    }
    setComboText(*editor.Combo2, sizeText);
    const double left = editor.Left();
    save(editor);

    mnu_error& notice = mnu_error::get();
    QVERIFY(notice.isVisible());
    QCOMPARE(notice.Label1->text(), upper);
    QCOMPARE(notice.Label2->text(), lower);
    QCOMPARE(sandbox.snapshot(), before);
    QCOMPARE(editor.Left(), left);
    QVERIFY(editor.isVisible());
}

void EditSave::save_fieldTheRecordHeldEmpty_mayStayEmpty_data()
{
    QTest::addColumn<QString>("name"); // typed in the name box
    QTest::newRow("kept name") << "Imported";
    QTest::newRow("renamed") << "Renamed";
}

// An imported game: no description, and no picture when none was found.
void EditSave::save_fieldTheRecordHeldEmpty_mayStayEmpty()
{
    QFETCH(QString, name);
    Sandbox sandbox;
    sandbox.makeCatalogue("\r\nImported\r\n");
    sandbox.writeFile("roms/imported.z64", "x");
    sandbox.writeRecord("Imported", sandbox.path("roms/imported.z64"), "", "US", "8", "");
    mnu_edit_rom& editor = openGame("Imported");
    editor.Text1->setText(name);
    setComboText(*editor.Combo2, "16");
    save(editor);

    QVERIFY(!mnu_error::get().isVisible());
    QCOMPARE(sandbox.indexLines(), name == "Imported" ? QStringList({"", "Imported", "Imported"})
                                                      : QStringList({"", name}));
    QCOMPARE(sandbox.stored(name, "info", "size"), QString("16"));
    QCOMPARE(sandbox.stored(name, "info", "desc"), QString());
    QCOMPARE(sandbox.stored(name, "paths", "image"), QString());
    QVERIFY(isAway(editor));
}

void EditSave::save_missingPath_warnsAndStillWrites_data()
{
    QTest::addColumn<bool>("romExists");
    QTest::addColumn<bool>("imageExists");
    QTest::addColumn<QString>("upper");
    QTest::addColumn<QString>("lower");

    QTest::newRow("ROM") << false << true << "The File Path you entered is invalid."
                         << "Invalid File Path";
    QTest::newRow("picture") << true << false << "The Image Path you entered is invalid."
                             << "Invalid Image Path";
    QTest::newRow("both") << false << false << "The Image Path you entered is invalid."
                          << "Invalid Image Path";
}

void EditSave::save_missingPath_warnsAndStillWrites()
{
    QFETCH(bool, romExists);
    QFETCH(bool, imageExists);
    QFETCH(QString, upper);
    QFETCH(QString, lower);

    Sandbox sandbox;
    makeGames(sandbox);
    mnu_edit_rom& editor = openGame("Zelda");
    const QString rom = romExists ? editor.Text2->text() : sandbox.path("roms/gone.rom");
    const QString image = imageExists ? editor.Text3->text() : "pics/nowhere.png";
    editor.Text2->setText(rom);
    editor.Text3->setText(image);
    save(editor);

    mnu_error& notice = mnu_error::get();
    QVERIFY(notice.isVisible());
    QCOMPARE(notice.Label1->text(), upper);
    QCOMPARE(notice.Label2->text(), lower);
    QCOMPARE(sandbox.stored("Zelda", "paths", "file"), rom);
    QCOMPARE(sandbox.stored("Zelda", "paths", "image"), image);
    QCOMPARE(sandbox.indexLines(), QStringList({"", "Mario", "Zelda", "Zelda"}));
    QVERIFY(isAway(editor));
}

void EditSave::save_size_storedAsPlainDigits_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("expected");

    QTest::newRow("leading zero and blanks") << "  064 "
                                             << "64";
    QTest::newRow("leading zero") << "096"
                                  << "96";
    QTest::newRow("half to even") << "96.5"
                                  << "96";
    QTest::newRow("fraction") << "127.6"
                              << "128";
    QTest::newRow("negative") << "-0012"
                              << "-12";
}

void EditSave::save_size_storedAsPlainDigits()
{
    QFETCH(QString, typed);
    QFETCH(QString, expected);

    Sandbox sandbox;
    makeGames(sandbox);
    mnu_edit_rom& editor = openGame("Mario");
    editor.Combo2->lineEdit()->clear();
    QTest::keyClicks(editor.Combo2->lineEdit(), typed);
    save(editor);

    QCOMPARE(sandbox.stored("Mario", "info", "size"), expected);
    QVERIFY(isAway(editor));
}

void EditSave::save_storesExactlyWhatWasTyped_data()
{
    QTest::addColumn<QString>("field"); // typed into after emptying it; none: tabbed through
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("expected");
    // No completion from the offered items, no change of case.
    QTest::newRow("size 32, not 320") << "Combo2"
                                      << "32"
                                      << "size"
                                      << "32";
    QTest::newRow("size 9, not 96") << "Combo2"
                                    << "9"
                                    << "size"
                                    << "9";
    QTest::newRow("size 12, not 128") << "Combo2"
                                      << "12"
                                      << "size"
                                      << "12";
    QTest::newRow("type J, not JAP") << "Combo1"
                                     << "J"
                                     << "gametype"
                                     << "J";
    QTest::newRow("type pal, not PAL") << "Combo1"
                                       << "pal"
                                       << "gametype"
                                       << "pal";
    QTest::newRow("tabbed through: type") << ""
                                          << ""
                                          << "gametype"
                                          << "us";
    QTest::newRow("tabbed through: no-break space") << ""
                                                    << ""
                                                    << "desc" << QString("Old\u00A0text");
    QTest::newRow("typed no-break space")
        << "Text4" << QString("new\u00A0one") << "desc" << QString("new\u00A0one");
}

void EditSave::save_storesExactlyWhatWasTyped()
{
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(QString, key);
    QFETCH(QString, expected);
    Sandbox sandbox;
    makeGames(sandbox);
    sandbox.writeRecord("Mario", sandbox.path("roms/mario.v64"), sandbox.path("pics/mario.png"),
                        "us", "64", QString("Old\u00A0text"));
    mnu_edit_rom& editor = openGame("Mario");
    // Completion and the check on leaving a box work on the focused box of the active window.
    QApplication::setActiveWindow(&editor);
    QVERIFY(QTest::qWaitForWindowActive(&editor));
    if (field.isEmpty()) {
        editor.Text1->setFocus();
        for (int i = 0; i < 6; ++i)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    } else {
        QWidget* box = child(editor, field);
        if (auto* combo = qobject_cast<QComboBox*>(box))
            box = combo->lineEdit();
        if (auto* text = qobject_cast<QPlainTextEdit*>(box))
            text->clear();
        else
            static_cast<QLineEdit*>(box)->clear();
        box->setFocus();
        QTest::keyClicks(box, typed);
        // Leaving the box, as the user does on the way to the save.
        QTest::keyClick(box, Qt::Key_Tab);
    }
    save(editor);
    QCOMPARE(sandbox.stored("Mario", "info", key.toLatin1().constData()), expected);
}

void EditSave::save_keepsOtherKeysAndLinesOfRecord()
{
    Sandbox sandbox;
    makeGames(sandbox);
    const QString rom = sandbox.path("roms/mario.v64");
    const QString image = sandbox.path("pics/mario.png");
    sandbox.writeFile("bin/Mario.lib",
                      ("; kept\r\n[paths]\r\nfile=" + rom + "\r\nextra=1\r\nimage=" + image +
                       "\r\n\r\n[info]\r\ngamename=Mario\r\ngametype=US\r\n"
                       "size=64\r\nrating=5\r\ndesc=old\r\n[notes]\r\n"
                       "note=keep me\r\n")
                          .toLocal8Bit());
    mnu_edit_rom& editor = openGame("Mario");
    setComboText(*editor.Combo1, "JAP");
    editor.Text4->setPlainText("new");
    save(editor);

    QCOMPARE(sandbox.readFile("bin/Mario.lib"),
             ("; kept\r\n[paths]\r\nfile=" + rom + "\r\nextra=1\r\nimage=" + image +
              "\r\n\r\n[info]\r\ngamename=Mario\r\ngametype=JAP\r\nsize=64\r\nrating=5\r\n"
              "desc=new\r\n[notes]\r\nnote=keep me\r\n")
                 .toLocal8Bit());
}

void EditSave::twoSaves_addExactlyTwoIndexLines()
{
    Sandbox sandbox;
    makeGames(sandbox);
    save(openGame("Zelda"));
    mnu_edit_rom& editor = openGame("Zelda");
    editor.Text4->setPlainText("Again");
    save(editor);

    QCOMPARE(sandbox.indexLines(), QStringList({"", "Mario", "Zelda", "Zelda", "Zelda"}));
    QCOMPARE(sandbox.stored("Zelda", "info", "desc"), QString("Again"));
}

void EditSave::secondClickDuringSave_isIgnored()
{
    Sandbox sandbox;
    makeGames(sandbox);
    mnu_edit_rom& editor = openGame("Mario");
    // Runs while the first save is still handling events.
    QMetaObject::invokeMethod(
        &editor, [&editor] { editor.Picture3_Click(); }, Qt::QueuedConnection);
    save(editor);
    QCoreApplication::processEvents();

    QCOMPARE(sandbox.indexLines(), QStringList({"", "Mario", "Zelda", "Mario"}));
}

void EditSave::unwritableRecord_noticeAndWindowStays()
{
    Sandbox sandbox;
    makeGames(sandbox);
    mnu_edit_rom& editor = openGame("Mario");
    // The record can no longer be replaced.
    failRenamesTo(sandbox.path("bin/Mario.lib"), EIO);
    const auto before = sandbox.snapshot();
    const double left = editor.Left();
    editor.Text4->setPlainText("Kept on screen");
    save(editor);
    failRenamesTo(QString(), 0);

    mnu_error& notice = mnu_error::get();
    QVERIFY(notice.isVisible());
    QCOMPARE(notice.Label1->text(), QString("The game could not be saved."));
    QCOMPARE(notice.Label2->text(), QString("Check that the bin folder can be written."));
    QCOMPARE(sandbox.snapshot(), before);
    QCOMPARE(editor.Left(), left);
    QCOMPARE(editor.Text4->toPlainText(), QString("Kept on screen"));
}

QTEST_MAIN(EditSave)
#include "tst_edit_save.moc"
