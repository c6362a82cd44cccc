#include "add/mnu_add_rom.h"
#include "app/start.h"
#include "app/vx_main.h"
#include "art/art.h"
#include "core/cartridge.h"
#include "edit/mnu_edit_rom.h"
#include "support/testsupport.h"
#include "ui/base/mnu_error.h"
#include "ui/dialogs.h"
#include "ui/formbuild.h"
#include "ui/listbox.h"
#include "ui/verdictlabel.h"
#include "ui/windowing.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QtTest>

using namespace vx;
using namespace vx::test;

namespace
{

mnu_add_rom& openAdd()
{
    main& hub = main::get();
    click(hub.Label4);
    return mnu_add_rom::get();
}

// The add window, or the edit window shown on its own: both have the two browse buttons.
Form& openBrowsing(const QString& window)
{
    if (window == "mnu_add_rom")
        return openAdd();
    mnu_edit_rom& editor = mnu_edit_rom::get();
    editor.showOnTop(editor.Text1);
    return editor;
}

// The control that has the keyboard focus, named as the window knows it.
QString focusedControl(const QWidget& window)
{
    for (QWidget* w = QApplication::focusWidget(); w && w != &window; w = w->parentWidget()) {
        if (!w->objectName().isEmpty() && w->parentWidget() == &window)
            return w->objectName();
    }
    return {};
}

} // namespace

class TestAdd : public QObject
{
    Q_OBJECT

private slots:
    void addRom_opensBesideHubOnTop();
    void tab_visitsFieldsThenButtons();
    void combos_offerItemsInOrderAndStartEmpty();
    void buttons_showReleasedImagesAndAreNamed();
    void browse_fillsPathFromDialog_data();
    void browse_fillsPathFromDialog();
    void browse_cancelChangesNoBox_data();
    void browse_cancelChangesNoBox();
    void cancel_hidesAtPressAndWritesNothing();
    void fields_keptBetweenOpenings();
    void save_pressAndReleaseSwapImages();
    void save_secondPressDuringSaveIgnored();
    void romPath_fillsEmptyBoxesFromHeader_data();
    void romPath_fillsEmptyBoxesFromHeader();
    void romPath_showsVerdictOfDat();
};

void TestAdd::addRom_opensBesideHubOnTop()
{
    Sandbox box;
    box.makeCatalogue();
    start();
    main& hub = main::get();
    hub.setTop(1500);
    hub.setLeft(2250);
    mnu_add_rom& add = openAdd();
    QVERIFY(add.isVisible());
    QCOMPARE(add.Top(), 1500.0 + 700);
    QCOMPARE(add.Left(), 2250.0 + 300);
    QVERIFY(isTopmost(add));

    hub.setTop(300);
    hub.setLeft(450);
    openAdd();
    QCOMPARE(add.Top(), 300.0 + 700);
    QCOMPARE(add.Left(), 450.0 + 300);
}

void TestAdd::tab_visitsFieldsThenButtons()
{
    Sandbox box;
    box.makeCatalogue();
    start();
    mnu_add_rom& add = openAdd();
    add.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&add));
    add.Text1->setFocus(Qt::TabFocusReason);
    QStringList visited{focusedControl(add)};
    for (int i = 0; i < 10; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited << focusedControl(add);
    }
    QCOMPARE(visited, (QStringList{"Text1", "Text2", "Text3", "Combo1", "Combo2", "Text4",
                                   "Picture1", "Picture5", "Picture4", "Picture6", "Text1"}));
}

void TestAdd::combos_offerItemsInOrderAndStartEmpty()
{
    Sandbox box;
    mnu_add_rom& add = mnu_add_rom::get();
    QCOMPARE(listed(*add.Combo1), (QStringList{"US", "JAP", "PAL", "Other!"}));
    QCOMPARE(listed(*add.Combo2), (QStringList{"64", "96", "128", "256", "320", "Other!"}));
    QCOMPARE(add.Combo1->currentText(), QString());
    QCOMPARE(add.Combo2->currentText(), QString());

    // Typed text is taken as it is and never joins the offered items.
    QTest::keyClicks(add.Combo2, "200");
    QTest::keyClick(add.Combo2, Qt::Key_Return);
    QCOMPARE(add.Combo2->currentText(), QString("200"));
    QCOMPARE(add.Combo2->count(), 6);
}

void TestAdd::buttons_showReleasedImagesAndAreNamed()
{
    Sandbox box;
    mnu_add_rom& add = mnu_add_rom::get();
    QCOMPARE(add.Picture1->picture(), art::browseButton(false));
    QCOMPARE(add.Picture6->picture(), art::browseButton(false));
    QCOMPARE(add.Picture5->picture(), art::okButton(false));
    QCOMPARE(add.Picture4->picture(), art::cancelButton(false));
    QCOMPARE(add.Picture1->accessibleName(), QString("Browse"));
    QCOMPARE(add.Picture6->accessibleName(), QString("Browse"));
    QCOMPARE(add.Picture5->accessibleName(), QString("OK"));
    QCOMPARE(add.Picture4->accessibleName(), QString("Cancel"));
}

void TestAdd::browse_fillsPathFromDialog_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("filter");
    const QString rom = "Basic Rom types (*.rom *.v64 *.zip *.z64 *.n64);;All Files (*)";
    const QString picture = "Possible image types (*.jpg *.gif *.bmp *.ico *.png *";
    QTest::newRow("ROM") << "mnu_add_rom"
                         << "Picture1"
                         << "Text2"
                         << "Path to ROM to be added..." << rom;
    QTest::newRow("picture") << "mnu_add_rom"
                             << "Picture6"
                             << "Text3"
                             << "Path to image to be used..." << picture;
    // The edit window's buttons open the same dialogs for the same boxes.
    QTest::newRow("edit ROM") << "mnu_edit_rom"
                              << "Picture1"
                              << "Text2"
                              << "Path to ROM to be added..." << rom;
    QTest::newRow("edit picture") << "mnu_edit_rom"
                                  << "Picture2"
                                  << "Text3"
                                  << "Path to image to be used..." << picture;
}

void TestAdd::browse_fillsPathFromDialog()
{
    QFETCH(QString, window);
    QFETCH(QString, button);
    QFETCH(QString, field);
    QFETCH(QString, title);
    QFETCH(QString, filter);
    Sandbox box;
    box.makeCatalogue();
    start();
    Form& form = openBrowsing(window);
    auto* browse = child<PictureBox>(form, button);
    auto* path = child<QLineEdit>(form, field);
    auto* name = child<QLineEdit>(form, "Text1");
    name->setText("Name");
    QVERIFY(QTest::qWaitForWindowActive(&form));
    browse->setFocus(Qt::TabFocusReason);

    dialogs::queueFile("/roms/chosen file.v64");
    press(browse);
    QCOMPARE(dialogs::fileRequests().size(), 1);
    const dialogs::FileRequest request = dialogs::fileRequests().constFirst();
    QVERIFY(!request.save);
    QCOMPARE(request.title, title);
    // The picture types offered from the first are followed by the others the hub can show.
    if (filter.endsWith('*'))
        QVERIFY2(QRegularExpression("^" + QRegularExpression::escape(filter.chopped(1)) +
                                    "[^)]*\\);;All Files \\(\\*\\)$")
                     .match(request.filter)
                     .hasMatch(),
                 qPrintable(request.filter));
    else
        QCOMPARE(request.filter, filter);
    QCOMPARE(request.fileName, QString());
    QCOMPARE(path->text(), QString("/roms/chosen file.v64"));
    // Back to the released image as soon as the dialog closes.
    const PicturePtr released = browse->picture();
    QCOMPARE(released, art::browseButton(false));
    release(browse);
    QCOMPARE(browse->picture(), released);
    // The keyboard comes back to the button, though the dialog's closing handed it elsewhere.
    QTRY_COMPARE(QApplication::activeWindow(), &form);
    QCOMPARE(QApplication::focusWidget(), browse);

    // Nothing else changes.
    auto* otherPath = child<QLineEdit>(form, field == "Text2" ? "Text3" : "Text2");
    QCOMPARE(otherPath->text(), QString());
    QCOMPARE(name->text(), QString("Name"));
    QVERIFY(form.isVisible());
}

void TestAdd::browse_cancelChangesNoBox_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("pictureButton");
    QTest::newRow("add") << "mnu_add_rom"
                         << "Picture6";
    QTest::newRow("edit") << "mnu_edit_rom"
                          << "Picture2";
}

void TestAdd::browse_cancelChangesNoBox()
{
    QFETCH(QString, window);
    QFETCH(QString, pictureButton);
    Sandbox box;
    box.makeCatalogue();
    box.writeFile("roms/a.rom", "rom");
    box.writeFile("pictures/a.png", "png");
    start();
    Form& form = openBrowsing(window);
    auto* romBrowse = child<PictureBox>(form, "Picture1");
    auto* pictureBrowse = child<PictureBox>(form, pictureButton);
    auto* rom = child<QLineEdit>(form, "Text2");
    auto* picture = child<QLineEdit>(form, "Text3");
    const auto boxes = [&] { return QStringList{rom->text(), picture->text()}; };

    // Before anything was chosen, a typed path stays.
    picture->setText("typed");
    dialogs::queueCancel();
    press(pictureBrowse);
    QCOMPARE(boxes(), (QStringList{"", "typed"}));

    // A ROM chosen, then the picture dialog cancelled: the picture box keeps its path.
    dialogs::queueFile(box.path("roms/a.rom"));
    press(romBrowse);
    dialogs::queueCancel();
    press(pictureBrowse);
    QCOMPARE(boxes(), (QStringList{box.path("roms/a.rom"), "typed"}));

    // And the other way round.
    dialogs::queueFile(box.path("pictures/a.png"));
    press(pictureBrowse);
    dialogs::queueCancel();
    press(romBrowse);
    QCOMPARE(boxes(), (QStringList{box.path("roms/a.rom"), box.path("pictures/a.png")}));

    // Each dialog starts from its box's file, else in the folder of the file chosen last.
    QStringList startedFrom;
    for (const dialogs::FileRequest& request : dialogs::fileRequests())
        startedFrom << request.fileName;
    QCOMPARE(startedFrom,
             (QStringList{"", "", box.path("roms"), box.path("roms"), box.path("roms/a.rom")}));
}

void TestAdd::cancel_hidesAtPressAndWritesNothing()
{
    Sandbox box;
    box.makeCatalogue("\r\nA\r\n");
    start();
    mnu_add_rom& add = openAdd();
    add.Text1->setText("New");
    add.Text2->setText("x");
    const auto before = box.snapshot();

    press(add.Picture4);
    QVERIFY(!add.isVisible());
    QCOMPARE(add.Picture4->picture(), art::cancelButton(true));
    release(add.Picture4);
    QCOMPARE(add.Picture4->picture(), art::cancelButton(false));
    QCOMPARE(box.snapshot(), before);
    QVERIFY(!mnu_error::get().isVisible());

    // Escape does the same.
    openAdd();
    QTest::keyClick(add.Text1, Qt::Key_Escape);
    QVERIFY(!add.isVisible());
    QCOMPARE(add.Text1->text(), QString("New"));
}

void TestAdd::fields_keptBetweenOpenings()
{
    Sandbox box;
    box.makeCatalogue();
    start();
    mnu_add_rom& add = openAdd();
    add.Text1->setText("Name");
    add.Text2->setText("/r.rom");
    add.Text3->setText("/p.jpg");
    add.Combo1->setCurrentText("PAL");
    add.Combo2->setCurrentText("Other!");
    add.Text4->setPlainText("two\nlines");
    click(add.Picture4);
    openAdd();
    QCOMPARE((QStringList{add.Text1->text(), add.Text2->text(), add.Text3->text(),
                          add.Combo1->currentText(), add.Combo2->currentText(),
                          add.Text4->toPlainText()}),
             (QStringList{"Name", "/r.rom", "/p.jpg", "PAL", "Other!", "two\nlines"}));
}

void TestAdd::save_pressAndReleaseSwapImages()
{
    Sandbox box;
    box.makeCatalogue();
    start();
    mnu_add_rom& add = openAdd();
    // All fields empty: the save stops at once and the window stays.
    press(add.Picture5);
    QCOMPARE(add.Picture5->picture(), art::okButton(true));
    QVERIFY(add.isVisible());
    release(add.Picture5);
    QCOMPARE(add.Picture5->picture(), art::okButton(false));
}

void TestAdd::save_secondPressDuringSaveIgnored()
{
    Sandbox box;
    box.makeCatalogue("\r\nA\r\n");
    box.writeFile("r.rom", "rom");
    box.writeFile("p.jpg", "jpg");
    start();
    mnu_add_rom& add = openAdd();
    fillAdd(add, "B", box.path("r.rom"), box.path("p.jpg"));

    // A second press waiting in the queue arrives while the save reads the index.
    const QPointF centre = QRectF(add.Picture5->rect()).center();
    QCoreApplication::postEvent(add.Picture5,
                                new QMouseEvent(QEvent::MouseButtonPress, centre,
                                                add.Picture5->mapToGlobal(centre), Qt::LeftButton,
                                                Qt::LeftButton, Qt::NoModifier));
    press(add.Picture5);
    QCoreApplication::processEvents();
    release(add.Picture5);
    QCOMPARE(box.readFile("bin/bootlist.lst"), QByteArray("\r\nA\r\nB\r\n"));
}

void TestAdd::romPath_fillsEmptyBoxesFromHeader_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<QString>("file");  // the ROM's name
    QTest::addColumn<QString>("typed"); // name, type and size before the path comes
    QTest::addColumn<QString>("shown"); // and after its header was read

    // The game is named after its file; the header gives the type and the size.
    const QString file = "Wave Rider (J).v64";
    for (const char* how : {"dialog", "typed", "dropped"})
        QTest::newRow(how) << how << file << "||"
                           << "Wave Rider (J)|JAP|96";
    QTest::newRow("file name without a usable name: the header's") << "dropped"
                                                                   << "???.v64"
                                                                   << "||"
                                                                   << "WAVE RIDER|JAP|96";
    // The newer path is the user's choice; a header read for the old one is dropped.
    QTest::newRow("path changed meanwhile") << "changed" << file << "||"
                                            << "||";
    QTest::newRow("typed name kept") << "dropped" << file << "Mine||"
                                     << "Mine|JAP|96";
    QTest::newRow("typed type and size kept") << "typed" << file << "|PAL|32"
                                              << "Wave Rider (J)|PAL|32";
    QTest::newRow("not a cartridge") << "dialog" << file << "||"
                                     << "||";
}

void TestAdd::romPath_fillsEmptyBoxesFromHeader()
{
    QFETCH(QString, how);
    QFETCH(QString, file);
    QFETCH(QString, typed);
    Sandbox box;
    box.makeCatalogue();
    const bool image = QByteArray(QTest::currentDataTag()) != "not a cartridge";
    box.writeFile(file, image ? cartridgeImage("WAVE RIDER", 'J', 12 << 20, 1) : "text");
    const QString path = box.path(file);
    start();
    mnu_add_rom& add = openAdd();
    add.Text1->setText(typed.section('|', 0, 0));
    setComboText(*add.Combo1, typed.section('|', 1, 1));
    setComboText(*add.Combo2, typed.section('|', 2, 2));

    if (how == "dialog") {
        dialogs::queueFile(path);
        press(add.Picture1);
    } else if (how == "typed") {
        add.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&add));
        add.Text2->setFocus();
        QTest::keyClicks(add.Text2, path);
        add.Text4->setFocus();
    } else if (how == "changed") {
        add.takeRomPath(path);
        add.Text2->setText(path + ".old");
    } else {
        QVERIFY(dropFiles(&add, {path}));
    }
    QCOMPARE(add.Text2->text(), how == "changed" ? path + ".old" : path);
    QVERIFY(test::ReaderProbe::settle(10000));
    const QStringList shown{add.Text1->text(), add.Combo1->currentText(),
                            add.Combo2->currentText()};
    QTEST(shown.join('|'), "shown");
    QCOMPARE(add.Text3->text(), QString());
    QVERIFY(visibleNotice().isEmpty());
}

void TestAdd::romPath_showsVerdictOfDat()
{
    Sandbox box;
    box.makeCatalogue();
    const QByteArray image = checkedImage(C6103);
    box.writeFile("game.v64", inFileOrder(image, 1));
    box.writeFile("set.dat",
                  "<datafile><game name=\"Wave Rider (Japan)\"><rom name=\"w.z64\" size=\"" +
                      QByteArray::number(image.size()) + "\" crc=\"" +
                      QByteArray::number(bitwiseCrc32(image), 16) + "\"/></game></datafile>");
    box.writeFile("vx.log",
                  Sandbox::settingsBytes() + "[dat]\r\npath=" + box.path("set.dat").toUtf8());
    start();
    settleStartup();
    QVERIFY(VerifierProbe::settle());
    mnu_add_rom& add = openAdd();
    add.takeRomPath(box.path("game.v64"));
    QVERIFY(VerifierProbe::settle());
    QCOMPARE(add.lbl_verdict->text(), QString("Verified: Wave Rider (Japan)"));
    // It speaks of the path in the box only.
    QTest::keyClicks(add.Text2, "x");
    QCOMPARE(add.lbl_verdict->text(), QString());
}

QTEST_MAIN(TestAdd)
#include "tst_add.moc"
