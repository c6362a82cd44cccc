#include "add/mnu_add_rom.h"
#include "app/start.h"
#include "app/vx_main.h"
#include "browser/mnu_list.h"
#include "core/catalogue.h"
#include "edit/mnu_edit_rom.h"
#include "setup/mnu_options.h"
#include "support/testsupport.h"
#include "ui/base/mnu_error.h"
#include "ui/dialogs.h"
#include "ui/listbox.h"
#include "ui/windowing.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTimer>
#include <QtTest>
#include <utility>

using namespace vx;
using namespace vx::test;

namespace
{

struct Fields {
    QString name, rom, image, type, size, desc;
};

QStringList fieldTexts(const mnu_add_rom& add)
{
    return {add.Text1->text(),         add.Text2->text(),         add.Text3->text(),
            add.Combo1->currentText(), add.Combo2->currentText(), add.Text4->toPlainText()};
}

// A catalogue with a ROM and a picture that exist, and the hub started on it.
class Scene
{
public:
    explicit Scene(const QByteArray& index = "\r\n")
    {
        box.makeCatalogue(index);
        box.writeFile("roms/game.v64", QByteArray(300, 'r'));
        box.writeFile("pics/game.jpg", "jpg");
        rom = QDir::toNativeSeparators(box.path("roms/game.v64"));
        image = QDir::toNativeSeparators(box.path("pics/game.jpg"));
        start();
    }

    Fields good(const QString& name) const { return {name, rom, image, "PAL", "128", "Fine"}; }

    // Opens the add window, fills it and presses and releases the save button.
    mnu_add_rom& save(const Fields& f)
    {
        click(main::get().Label4);
        mnu_add_rom& add = mnu_add_rom::get();
        add.Text1->setText(f.name);
        add.Text2->setText(f.rom);
        add.Text3->setText(f.image);
        add.Combo1->setCurrentText(f.type);
        add.Combo2->setCurrentText(f.size);
        add.Text4->setPlainText(f.desc);
        click(add.Picture5);
        return add;
    }

    QByteArray index() const { return box.readFile("bin/bootlist.lst"); }
    QByteArray record(const QString& name) const { return box.readFile("bin/" + name + ".lib"); }

    Sandbox box;
    QString rom;
    QString image;
};

QStringList shownNoticeLines()
{
    mnu_error& notice = mnu_error::get();
    if (!notice.isVisible())
        return {};
    return {notice.Label1->text(), notice.Label2->text()};
}

// A temporary a killed write left in bin, swept at once.
void sweepAround(const Sandbox& box)
{
    box.writeFile("bin/.~vx-Left0ver.tmp", "half");
    catalogue::removeStrayTemporaries();
    QVERIFY(!box.exists("bin/.~vx-Left0ver.tmp"));
}

} // namespace

class TestAddSave : public QObject
{
    Q_OBJECT

private slots:
    void save_stopsAtFirstEmptyField_data();
    void save_stopsAtFirstEmptyField();
    void save_writesRecordAndIndexThenSlidesAway();
    void save_blankFieldsCountAsFilled();
    void save_pathThatNamesNoFileOnlyWarns_data();
    void save_pathThatNamesNoFileOnlyWarns();
    void save_storesSizeAsWholeNumber_data();
    void save_storesSizeAsWholeNumber();
    void save_refusesNameOrSizeItCannotStore_data();
    void save_refusesNameOrSizeItCannotStore();
    void save_sameNameReplacesOtherValuesOnlyAfterYes_data();
    void save_sameNameReplacesOtherValuesOnlyAfterYes();
    void save_eachSaveAddsExactlyOneIndexLine();
    void save_nameWithCommaSurvivesNextSaveAndView();
    void save_refreshesBrowserListWhileHidden();
    void save_failedWriteReportedAndNothingLost_data();
    void save_failedWriteReportedAndNothingLost();
    void save_writesIndexAnewWhenItWentMissing();
    void save_fromOtherWindowDuringSave_losesNoIndexLine();
    void clearDuringSave_isIgnored();
    void heldWrite_windowsAnswerInOrderAndIgnoreSecondWrite_data();
    void heldWrite_windowsAnswerInOrderAndIgnoreSecondWrite();
};

void TestAddSave::save_stopsAtFirstEmptyField_data()
{
    QTest::addColumn<int>("filled");
    QTest::addColumn<QString>("upper");
    QTest::addColumn<QString>("lower");
    QTest::newRow("all empty") << 0 << "You havn't entered in a Game name, please try again."
                               << "No Game Name entered.";
    QTest::newRow("only name") << 1 << "You havn't entered in a File Path, please try again."
                               << "No File Path entered.";
    QTest::newRow("no picture") << 2 << "You havn't entered in a Image Path, please try again."
                                << "No Image Path entered.";
    QTest::newRow("no type") << 3 << "You havn't entered in a Game Type, please try again."
                             << "No Game Type entered.";
    QTest::newRow("no size") << 4 << "You havn't entered in a Size for the rom, please try again."
                             << "No Size entered.";
    QTest::newRow("no description")
        << 5 << "You havn't entered in a Description for the Rom, please try again."
        << "No ROM Description entered.";
}

void TestAddSave::save_stopsAtFirstEmptyField()
{
    QFETCH(int, filled);
    QFETCH(QString, upper);
    QFETCH(QString, lower);
    Scene scene("\r\nA\r\n");
    const Fields all = scene.good("New");
    // The first `filled` fields hold text; the description is filled whenever a field before
    // it is not, so only the order of the checks decides which notice shows.
    QStringList values{all.name, all.rom, all.image, all.type, all.size, all.desc};
    for (int i = filled; i < 5; ++i)
        values[i].clear();
    if (filled == 5)
        values[5].clear();
    const auto before = scene.box.snapshot();

    mnu_add_rom& add =
        scene.save({values[0], values[1], values[2], values[3], values[4], values[5]});
    QCOMPARE(shownNoticeLines(), (QStringList{upper, lower}));
    QVERIFY(isTopmost(mnu_error::get()));
    QCOMPARE(scene.box.snapshot(), before);
    QVERIFY(add.isVisible() && !slidOut(add));
    QCOMPARE(fieldTexts(add), values);
}

void TestAddSave::save_writesRecordAndIndexThenSlidesAway()
{
    Scene scene;
    Fields f = scene.good("Alpha");
    f.desc = "First line\nsecond line";
    mnu_add_rom& add = scene.save(f);

    QCOMPARE(shownNoticeLines(), QStringList());
    QCOMPARE(scene.record("Alpha"),
             "[paths]\r\nfile=" + scene.rom.toLocal8Bit() +
                 "\r\nimage=" + scene.image.toLocal8Bit() +
                 "\r\n[info]\r\ngamename=Alpha\r\ngametype=PAL\r\nsize=128\r\n"
                 "desc=First line second line\r\n");
    QCOMPARE(scene.index(), QByteArray("\r\nAlpha\r\n"));
    QVERIFY(slidOut(add));
    QVERIFY(!mnu_list::get().isVisible());
    // The fields stay for the next opening, which brings the window back.
    click(main::get().Label4);
    QCOMPARE(add.Left(), main::get().Left() + 300);
    QCOMPARE(fieldTexts(add), (QStringList{"Alpha", scene.rom, scene.image, "PAL", "128",
                                           "First line\nsecond line"}));
}

void TestAddSave::save_blankFieldsCountAsFilled()
{
    Scene scene;
    Fields f = scene.good("   ");
    f.type = " ";
    f.desc = " ";
    mnu_add_rom& add = scene.save(f);
    QVERIFY(slidOut(add));
    QVERIFY(scene.box.exists("bin/   .lib"));
    // Quoted, so the blanks read back.
    QCOMPARE(scene.index(), QByteArray("\r\n\"   \"\r\n"));
    click(main::get().Label8);
    QCOMPARE(listed(*mnu_list::get().rom_list), QStringList{"   "});
}

void TestAddSave::save_pathThatNamesNoFileOnlyWarns_data()
{
    QTest::addColumn<bool>("romFound");
    QTest::addColumn<bool>("imageFound");
    QTest::addColumn<QStringList>("notice");
    QTest::newRow("ROM missing") << false << true
                                 << QStringList{"The File Path you entered is invalid.",
                                                "Invalid File Path"};
    QTest::newRow("picture missing")
        << true << false
        << QStringList{"The Image Path you entered is invalid.", "Invalid Image Path"};
    QTest::newRow("both missing: the second remains")
        << false << false
        << QStringList{"The Image Path you entered is invalid.", "Invalid Image Path"};
}

void TestAddSave::save_pathThatNamesNoFileOnlyWarns()
{
    QFETCH(bool, romFound);
    QFETCH(bool, imageFound);
    QFETCH(QStringList, notice);
    Scene scene;
    Fields f = scene.good("Beta");
    if (!romFound)
        f.rom = scene.box.path("roms/none.v64");
    if (!imageFound)
        f.image = scene.box.path("roms"); // a folder is no picture file
    mnu_add_rom& add = scene.save(f);

    QCOMPARE(shownNoticeLines(), notice);
    QVERIFY(isTopmost(mnu_error::get()));
    QVERIFY(scene.record("Beta").contains("file=" + f.rom.toLocal8Bit() + "\r\n"));
    QVERIFY(scene.record("Beta").contains("image=" + f.image.toLocal8Bit() + "\r\n"));
    QCOMPARE(scene.index(), QByteArray("\r\nBeta\r\n"));
    QVERIFY(slidOut(add));
}

void TestAddSave::save_storesSizeAsWholeNumber_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QByteArray>("stored");
    QTest::newRow("leading zero") << "096" << QByteArray("96");
    QTest::newRow("half to even") << "96.5" << QByteArray("96");
    QTest::newRow("fraction rounds") << "12345.67" << QByteArray("12346");
    QTest::newRow("blanks around") << "  42 " << QByteArray("42");
    QTest::newRow("negative") << "-32768" << QByteArray("-32768");
    QTest::newRow("largest") << "32767" << QByteArray("32767");
}

void TestAddSave::save_storesSizeAsWholeNumber()
{
    QFETCH(QString, typed);
    QFETCH(QByteArray, stored);
    Scene scene;
    Fields f = scene.good("Sized");
    f.size = typed;
    scene.save(f);
    QVERIFY(scene.record("Sized").contains("\r\nsize=" + stored + "\r\n"));

    // The browser shows the stored number.
    click(main::get().Label8);
    mnu_list& browser = mnu_list::get();
    browser.rom_list->doItemsLayout();
    doubleClickItem(browser.rom_list, 0);
    QCOMPARE(main::get().Label14->text(), "Game Size: " + QString::fromLatin1(stored) + " Mbytes");
}

void TestAddSave::save_refusesNameOrSizeItCannotStore_data()
{
    QTest::addColumn<QString>("field"); // Text1 (name) or Combo2 (size)
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("notice");
    const QStringList badSize{"The Size you entered is not a number from -32768 to 32767.",
                              "Invalid Size"};
    for (const char* size : {"Other!", "32768", "32767.5", "-32769", "12abc", "1.2.3", "   "})
        QTest::newRow(qPrintable(QString("size ") + size)) << "Combo2" << QString(size) << badSize;
    const QStringList badName{"The Game name cannot be used as a file name.", "Invalid Game Name"};
    for (const char* name : {"../x", "a/b", "a\\b", "what?", "star*", "<tag>", "pipe|d",
                             "say \"hi\"", "two\nlines", "a\tb"})
        QTest::newRow(qPrintable("name " + QString(name).replace('\n', "\\n").replace('\t', "\\t")))
            << "Text1" << QString(name) << badName;
#ifdef Q_OS_WIN
    QTest::newRow("name a:b") << "Text1" << QString("a:b") << badName;
#endif
}

void TestAddSave::save_refusesNameOrSizeItCannotStore()
{
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(QStringList, notice);
    Scene scene("\r\nA\r\n");
    const auto before = scene.box.snapshot();
    Fields f = scene.good("Sized");
    if (field == "Text1") {
        f.name = typed;
        // Paths that name no file: the name check comes first, so no path warning follows.
        f.rom = "/nowhere/x.rom";
        f.image = "/nowhere/x.jpg";
    } else {
        f.size = typed;
    }
    mnu_add_rom& add = scene.save(f);
    QCOMPARE(shownNoticeLines(), notice);
    QCOMPARE(scene.box.snapshot(), before);
    QVERIFY(add.isVisible() && !slidOut(add));
    QCOMPARE(field == "Text1" ? add.Text1->text() : add.Combo2->currentText(), typed);
}

void TestAddSave::save_sameNameReplacesOtherValuesOnlyAfterYes_data()
{
    QTest::addColumn<QString>("desc"); // the second save's; the first stored "Fine"
    QTest::addColumn<int>("answer");   // to the question, when asked
    QTest::addColumn<bool>("asked");
    QTest::addColumn<bool>("replaced");
    QTest::newRow("other values, yes") << "Changed" << int(QMessageBox::Yes) << true << true;
    QTest::newRow("other values, no: nothing written, the window stays")
        << "Changed" << int(QMessageBox::No) << true << false;
    QTest::newRow("other values, unanswered: no") << "Changed" << -1 << true << false;
    QTest::newRow("the same values: nothing to ask") << "Fine" << -1 << false << true;
}

void TestAddSave::save_sameNameReplacesOtherValuesOnlyAfterYes()
{
    QFETCH(QString, desc);
    QFETCH(int, answer);
    QFETCH(bool, asked);
    QFETCH(bool, replaced);
    Scene scene;
    scene.save(scene.good("Alpha"));
    const auto before = scene.box.snapshot();
    Fields second = scene.good("Alpha");
    second.type = desc == "Fine" ? second.type : "JAP";
    second.desc = desc;
    if (answer >= 0)
        dialogs::queueAnswer(QMessageBox::StandardButton(answer));
    mnu_add_rom& add = scene.save(second);

    const QList<dialogs::Question> questions = dialogs::questions();
    QCOMPARE(questions.size(), asked ? 1 : 0);
    if (asked) {
        QCOMPARE(
            questions[0].text,
            QString("A game named \u201CAlpha\u201D is already in the catalogue. Replace it?"));
        QCOMPARE(questions[0].buttons, QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(questions[0].defaultButton, QMessageBox::No);
    }
    if (!replaced) {
        QCOMPARE(scene.box.snapshot(), before);
        QVERIFY(add.isVisible() && !slidOut(add));
        QCOMPARE(fieldTexts(add).last(), desc);
        return;
    }
    const QByteArray record = scene.record("Alpha");
    QVERIFY(record.contains("\r\ngametype=" + second.type.toUtf8() +
                            "\r\nsize=128\r\ndesc=" + desc.toUtf8() + "\r\n"));
    QCOMPARE(record.count("size="), 1);
    QCOMPARE(scene.index(), QByteArray("\r\nAlpha\r\nAlpha\r\n"));
    click(main::get().Label8);
    QCOMPARE(listed(*mnu_list::get().rom_list), QStringList{"Alpha"});
}

void TestAddSave::save_eachSaveAddsExactlyOneIndexLine()
{
    Scene scene("\r\nOld\r\n");
    scene.save(scene.good("One"));
    scene.save(scene.good("Two"));
    QCOMPARE(scene.index(), QByteArray("\r\nOld\r\nOne\r\nTwo\r\n"));
    QVERIFY(scene.box.exists("bin/One.lib"));
    QVERIFY(scene.box.exists("bin/Two.lib"));
}

void TestAddSave::save_nameWithCommaSurvivesNextSaveAndView()
{
    Scene scene;
    scene.save(scene.good("Zelda, The"));
    scene.save(scene.good("Next"));
    QCOMPARE(scene.index(), QByteArray("\r\n\"Zelda, The\"\r\nNext\r\n"));

    click(main::get().Label8);
    mnu_list& browser = mnu_list::get();
    QCOMPARE(listed(*browser.rom_list), (QStringList{"Zelda, The", "Next"}));
    browser.rom_list->doItemsLayout();
    doubleClickItem(browser.rom_list, 0);
    QCOMPARE(main::get().lbl_title1->text(), QString("Zelda, The"));
    QCOMPARE(main::get().Label13->text(), QString("Game type: PAL"));
    QCOMPARE(main::get().Label15->text(), QString("Average File Size: 300 bytes"));
}

void TestAddSave::save_refreshesBrowserListWhileHidden()
{
    Scene scene("\r\nA\r\nA\r\n");
    click(main::get().Label8);
    mnu_list& browser = mnu_list::get();
    QVERIFY(browser.isVisible());
    QCOMPARE(listed(*browser.rom_list), QStringList{"A"});

    scene.save(scene.good("B"));
    QVERIFY(!browser.isVisible());
    // Appended after what it held; the next View ROM starts afresh.
    QCOMPARE(listed(*browser.rom_list), (QStringList{"A", "", "A", "A", "B"}));
    click(main::get().Label8);
    QCOMPARE(listed(*browser.rom_list), (QStringList{"A", "B"}));
}

void TestAddSave::save_failedWriteReportedAndNothingLost_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("folderInTheWay");
    QTest::newRow("record cannot be written") << "Alpha"
                                              << "bin/Alpha.lib";
    QTest::newRow("index cannot be written, new game") << "Beta"
                                                       << "bin/bootlist.lst";
    QTest::newRow("index cannot be written, game already stored") << "Alpha"
                                                                  << "bin/bootlist.lst";
}

void TestAddSave::save_failedWriteReportedAndNothingLost()
{
    QFETCH(QString, name);
    QFETCH(QString, folderInTheWay);
    Scene scene("\r\nAlpha\r\n");
    if (folderInTheWay != "bin/Alpha.lib")
        scene.box.writeRecord("Alpha", scene.rom, scene.image, "US", "64", "Stored before");
    // A folder where a file should be replaced cannot be written over.
    QFile::remove(scene.box.path(folderInTheWay));
    scene.box.writeFile(folderInTheWay + "/keep", "kept");
    const auto before = scene.box.snapshot();

    Fields f = scene.good(name);
    f.desc = "New text";
    // Over a stored game only once the user said so.
    dialogs::queueAnswer(QMessageBox::Yes);
    mnu_add_rom& add = scene.save(f);
    QCOMPARE(shownNoticeLines(), (QStringList{"The game could not be saved.",
                                              "Check that the bin folder can be written."}));
    QCOMPARE(scene.box.snapshot(), before);
    QVERIFY(add.isVisible() && !slidOut(add));
    QCOMPARE(fieldTexts(add),
             (QStringList{name, scene.rom, scene.image, "PAL", "128", "New text"}));
}

void TestAddSave::save_writesIndexAnewWhenItWentMissing()
{
    Scene scene("\r\nOld\r\n");
    QVERIFY(QFile::remove(scene.box.path("bin/bootlist.lst")));
    scene.save(scene.good("Only"));
    // Begun as every index is, so View ROM still lists the game.
    QCOMPARE(scene.index(), QByteArray("\r\nOnly\r\n"));
    click(main::get().Label8);
    QCOMPARE(listed(*mnu_list::get().rom_list), QStringList{"Only"});
}

void TestAddSave::save_fromOtherWindowDuringSave_losesNoIndexLine()
{
    Scene scene("\r\nBeta\r\n");
    scene.box.writeRecord("Beta", scene.rom, scene.image, "US", "64", "Old");
    mnu_edit_rom& editor = openInEditor("Beta");
    editor.Text4->setPlainText("New");
    // The edit save's click lands while the add save is serving events mid-way.
    QTimer::singleShot(0, &editor, [&editor] { editor.Picture3_Click(); });
    scene.save(scene.good("Alpha"));
    QCoreApplication::processEvents();
    // Either the edit save ran whole (its line is in the index) or not at all.
    const QStringList lines = scene.box.indexLines();
    if (scene.box.stored("Beta", "info", "desc") == "New")
        QCOMPARE(lines.count("Beta"), 2);
    else
        QCOMPARE(lines, (QStringList{"", "Beta", "Alpha"}));
    QCOMPARE(lines.count("Alpha"), 1);
}

void TestAddSave::clearDuringSave_isIgnored()
{
    Scene scene("\r\nBeta\r\n");
    click(main::get().Label11);
    mnu_options& options = mnu_options::get();
    // The Clear lands while the save is serving events mid-way; confirmed, it would be undone
    // by the save writing the index it read before.
    dialogs::queueAnswer(QMessageBox::Yes);
    QTimer::singleShot(0, &options, [&options] { options.cmd_clear_Click(); });
    scene.save(scene.good("Alpha"));
    QCoreApplication::processEvents();
    QCOMPARE(dialogs::questions().size(), 0);
    QCOMPARE(scene.box.indexLines(), (QStringList{"", "Beta", "Alpha"}));
    // Once the save is done, Clear works as ever.
    dialogs::queueAnswer(QMessageBox::Yes);
    click(options.cmd_clear);
    QCOMPARE(scene.index(), QByteArray("\r\n"));
}

void TestAddSave::heldWrite_windowsAnswerInOrderAndIgnoreSecondWrite_data()
{
    QTest::addColumn<QString>("meanwhile"); // what runs while the record is being written
    QTest::addColumn<QString>("other");     // the game already in the index
    QTest::newRow("nothing") << ""
                             << "Beta";
    // The index is then read back from its bytes, beside the windows.
    QTest::newRow("nothing, a name beyond ASCII") << ""
                                                  << "B\u00EAta \u00E9t\u00E9";
    QTest::newRow("the save again") << "save"
                                    << "Beta";
    QTest::newRow("Clear, confirmed") << "clear"
                                      << "Beta";
    QTest::newRow("an edit save") << "edit"
                                  << "Beta";
    // It removes what a killed write left, never a write under way.
    QTest::newRow("a sweep for stray temporaries") << "sweep"
                                                   << "Beta";
}

void TestAddSave::heldWrite_windowsAnswerInOrderAndIgnoreSecondWrite()
{
    QFETCH(QString, meanwhile);
    QFETCH(QString, other);
    Scene scene("\r\n" + other.toUtf8() + "\r\n");
    scene.box.writeRecord(other, scene.rom, scene.image, "US", "64", "Old");
    const QByteArray otherRecord = scene.record(other);
    if (meanwhile == "edit") {
        openInEditor(other).Text4->setPlainText("New");
    } else if (meanwhile == "clear") {
        click(main::get().Label11);
        dialogs::queueAnswer(QMessageBox::Yes);
    }
    // Each write is held on its own thread while the windows' thread looks on.
    QStringList seen;
    bool started = false;
    const DuringWrites during([&](const QString& path) {
        mnu_add_rom& add = mnu_add_rom::get();
        seen << QStringList{QFileInfo(path).fileName(),
                            scene.record("Alpha").isEmpty() ? "no record" : "record",
                            scene.box.indexLines().join('|'),
                            listed(*mnu_list::get().rom_list).join('|'),
                            add.isVisible() && !isAway(add) ? "window stays" : "window gone",
                            busyPointerShown() ? "busy" : "not busy"}
                    .join(", ");
        if (std::exchange(started, true))
            return;
        if (meanwhile == "save")
            add.Picture5_MouseDown();
        else if (meanwhile == "clear")
            mnu_options::get().cmd_clear_Click();
        else if (meanwhile == "edit")
            mnu_edit_rom::get().Picture3_Click();
        else if (meanwhile == "sweep")
            sweepAround(scene.box);
    });
    mnu_add_rom& add = scene.save(scene.good("Alpha"));
    QCoreApplication::processEvents();

    // Record, index, then the browser and the slide; the second write never started.
    QCOMPARE(
        seen,
        (QStringList{"Alpha.lib, no record, |" + other + ", |" + other + ", window stays, busy",
                     "bootlist.lst, record, |" + other + ", |" + other + ", window stays, busy"}));
    QCOMPARE(scene.box.indexLines(), (QStringList{"", other, "Alpha"}));
    QCOMPARE(scene.record(other), otherRecord);
    QCOMPARE(dialogs::questions().size(), 0);
    QCOMPARE(listed(*mnu_list::get().rom_list), (QStringList{"", other, "", other, "Alpha"}));
    QVERIFY(slidOut(add));
    QVERIFY(!busyPointerShown());
}

QTEST_MAIN(TestAddSave)
#include "tst_addsave.moc"
