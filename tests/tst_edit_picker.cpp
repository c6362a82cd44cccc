#include "app/vx_main.h"
#include "art/art.h"
#include "edit/edit_rom_list.h"
#include "edit/mnu_edit_rom.h"
#include "support/testsupport.h"
#include "ui/base/mnu_error.h"
#include "ui/dialogs.h"
#include "ui/formbuild.h"
#include "ui/listbox.h"
#include "ui/units.h"
#include "ui/windowing.h"

#include <QApplication>
#include <QComboBox>
#include <QFontMetrics>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QStyleHints>
#include <QtTest>

using namespace vx;
using namespace vx::test;

namespace
{

// What the picker fills: Text1, the name the game was opened under, Text2, Text3, Combo1,
// Combo2, Text4.
QStringList boxes(const mnu_edit_rom& editor)
{
    return {editor.Text1->text(),       editor.openedName(),          editor.Text2->text(),
            editor.Text3->text(),       editor.Combo1->currentText(), editor.Combo2->currentText(),
            editor.Text4->toPlainText()};
}

main& showHub()
{
    main& hub = main::get();
    hub.setTop(1500);
    hub.setLeft(2250);
    hub.show();
    return hub;
}

edit_rom_list& openPicker(main& hub)
{
    click(hub.Label5);
    return edit_rom_list::get();
}

// A mouse event as the platform hands it to a window, at a time of its own (milliseconds).
void sendToWindow(QWidget& window, QEvent::Type type, QPoint at, QPointF global, quint64 time)
{
    const Qt::MouseButtons held =
        type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(Qt::LeftButton);
    QMouseEvent event(type, at, at, global, Qt::LeftButton, held, Qt::NoModifier);
    event.setTimestamp(time);
    QCoreApplication::sendEvent(window.windowHandle(), &event);
}

void clickRow(ListBox& list, int row)
{
    list.doItemsLayout();
    QVERIFY(row >= 0 && row < list.count());
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, test::rowCentre(list, row));
}

} // namespace

class EditPicker : public QObject
{
    Q_OBJECT

private slots:
    void hubEditRom_listsIndexAsStored();
    void choosingGame_fillsBoxesAndOpensBesideHub_data();
    void choosingGame_fillsBoxesAndOpensBesideHub();
    void missingRecord_noticeRemovesEntryAndOpensEmpty_data();
    void missingRecord_noticeRemovesEntryAndOpensEmpty();
    void nameListedTwice_bothEntriesOpenSameRecord();
    void focusingList_choosesNothing();
    void pressOnHubAfterChoice_runsCommandUnlessItEndsDoubleClick_data();
    void pressOnHubAfterChoice_runsCommandUnlessItEndsDoubleClick();
    void cancel_slidesPickerAwayChangingNothing();
    void removeFromMenu_takesGameOutWithoutOpeningIt();
    void editWindow_loadGivesReleasedImages();
    void browseButtons_cancelChangesNothing();
    void editCancel_slidesAwayKeepingBoxes_nextChoiceBringsBack();
    void editWindow_tabOrderFollowsBoxes();
};

void EditPicker::hubEditRom_listsIndexAsStored()
{
    Sandbox sandbox;
    sandbox.makeCatalogue("\r\nA\r\nB\r\nA\r\n");
    main& hub = showHub();
    edit_rom_list& picker = openPicker(hub);
    QCOMPARE(listed(*picker.rom_list), QStringList({"", "A", "B", "A"}));
    QVERIFY(picker.isVisible());
    QCOMPARE(picker.Top(), hub.Top() + 930);
    QCOMPARE(picker.Left(), hub.Left() + 300);
    QVERIFY(isTopmost(picker));
    // The hint stays clear of Cancel and still shows whole.
    QVERIFY(picker.Label1->geometry().right() < picker.Label2->geometry().left());
    QVERIFY(QFontMetrics(picker.Label1->font()).horizontalAdvance(picker.Label1->text()) <=
            picker.Label1->width());
    // A second opening empties the list before loading it again.
    openPicker(hub);
    QCOMPARE(picker.rom_list->count(), 4);
}

void EditPicker::choosingGame_fillsBoxesAndOpensBesideHub_data()
{
    QTest::addColumn<QByteArray>("record");
    QTest::addColumn<QString>("how"); // "press", "End key" or the part typed before Enter
    QTest::addColumn<QStringList>("expected");

    const QByteArray full = "[paths]\r\nfile=/roms/mario.v64\r\nimage=/pics/mario.png\r\n"
                            "[info]\r\ngamename=Other name\r\ngametype=US\r\nsize=256\r\n"
                            "desc=A plumber.\r\n";
    const QStringList fullBoxes{"Mario", "Mario", "/roms/mario.v64", "/pics/mario.png",
                                "US",    "256",   "A plumber."};
    QTest::newRow("clicked") << full << "press" << fullBoxes;
    QTest::newRow("keyboard") << full << "End key" << fullBoxes;
    // Arrows move among the names found without opening one; Enter opens it.
    QTest::newRow("found by typing, arrows, Enter") << full << "A" << fullBoxes;
    QTest::newRow("no gametype")
        << QByteArray("[paths]\r\nfile=f.rom\r\nimage=i.png\r\n[info]\r\nsize=64\r\ndesc=d\r\n")
        << "press" << QStringList({"Mario", "Mario", "f.rom", "i.png", "", "64", "d"});
    QTest::newRow("typed values") << QByteArray("[info]\r\ngametype=Europe\r\nsize=  0320 \r\n")
                                  << "press"
                                  << QStringList({"Mario", "Mario", "", "", "Europe", "0320", ""});
    QTest::newRow("empty file") << QByteArray() << "press"
                                << QStringList({"Mario", "Mario", "", "", "", "", ""});
}

void EditPicker::choosingGame_fillsBoxesAndOpensBesideHub()
{
    QFETCH(QByteArray, record);
    QFETCH(QString, how);
    QFETCH(QStringList, expected);

    Sandbox sandbox;
    sandbox.makeCatalogue("\r\nZelda\r\nMario\r\n");
    sandbox.writeFile("bin/Mario.lib", record);
    sandbox.writeRecord("Zelda", "z.rom", "z.png", "PAL", "128", "Elf");
    main& hub = showHub();
    edit_rom_list& picker = openPicker(hub);
    // Whatever an earlier choice left in the boxes is replaced.
    mnu_edit_rom& editor = mnu_edit_rom::get();
    for (QLineEdit* box : {editor.Text1, editor.Text2, editor.Text3})
        box->setText("stale");
    editor.Text4->setPlainText("stale");
    setComboText(*editor.Combo1, "JAP");
    setComboText(*editor.Combo2, "96");

    ListBox& list = *picker.rom_list;
    if (how == "press") {
        clickRow(list, 2);
    } else {
        // As when the list gains focus: its first entry current, nothing selected.
        list.selectionModel()->setCurrentIndex(list.model()->index(0, 0),
                                               QItemSelectionModel::NoUpdate);
        QCOMPARE(list.selectedRow(), -1);
    }
    if (how == "End key")
        QTest::keyClick(&list, Qt::Key_End);
    if (how != "press" && how != "End key") {
        QTest::keyClicks(&list, how);
        QCOMPARE(shown(list), (QStringList{"Zelda", "Mario"}));
        QTest::keyClick(&list, Qt::Key_Down);
        QCOMPARE(list.selectedRow(), 1);
        QVERIFY(picker.isVisible() && !isAway(picker));
        QTest::keyClick(&list, Qt::Key_Return);
    }

    QCOMPARE(boxes(editor), expected);
    QVERIFY(isAway(picker));
    QVERIFY(editor.isVisible());
    QCOMPARE(editor.Top(), hub.Top() + 1860);
    QCOMPARE(editor.Left(), hub.Left() + 300);
    QVERIFY(isTopmost(editor));
    QVERIFY(!mnu_error::get().isVisible());
    QCOMPARE(picker.rom_list->total(), 3);
}

void EditPicker::missingRecord_noticeRemovesEntryAndOpensEmpty_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QStringList>("remaining");

    QTest::newRow("deleted record") << 2 << QStringList({"", "Mario", "Luigi"});
    QTest::newRow("empty first entry") << 0 << QStringList({"Mario", "Gone", "Luigi"});
    QTest::newRow("name unusable as file") << 3 << QStringList({"", "Mario", "Gone"});
}

void EditPicker::missingRecord_noticeRemovesEntryAndOpensEmpty()
{
    QFETCH(int, row);
    QFETCH(QStringList, remaining);

    Sandbox sandbox;
    // An index edited by hand can hold a name no record file can have.
    sandbox.makeCatalogue(row == 3 ? "\r\nMario\r\nGone\r\na/b\r\n"
                                   : "\r\nMario\r\nGone\r\nLuigi\r\n");
    sandbox.writeRecord("Mario", "m.rom", "m.png", "US", "64", "Plumber");
    const auto before = sandbox.snapshot();
    main& hub = showHub();
    edit_rom_list& picker = openPicker(hub);

    mnu_edit_rom& editor = mnu_edit_rom::get();
    editor.Text2->setText("left over");
    setComboText(*editor.Combo2, "96");
    clickRow(*picker.rom_list, row);

    mnu_error& notice = mnu_error::get();
    QVERIFY(notice.isVisible());
    QCOMPARE(notice.Label1->text(), QString("This Games data file is missing or deleted."));
    QCOMPARE(notice.Label2->text(), QString("Deleting Entry"));
    // Above the edit window that opens after it, with the keyboard.
    QVERIFY(isTopmost(notice));
    QTRY_COMPARE(QApplication::activeWindow(), &notice);
    const QSizeF screen = screenSizeTwips();
    QCOMPARE(notice.Top(), screen.width() / 2 - 2300);
    QCOMPARE(notice.Left(), screen.height() / 2);

    QCOMPARE(listed(*picker.rom_list), remaining);
    QCOMPARE(picker.rom_list->selectedRow(), -1);
    QCOMPARE(boxes(editor), QStringList(7, QString()));
    QVERIFY(editor.isVisible());
    QCOMPARE(editor.Top(), hub.Top() + 1860);
    QVERIFY(isAway(picker));
    QCOMPARE(sandbox.snapshot(), before);

    // Dismissed, the notice gives the keyboard to the edit window, where the picker's choice
    // went on.
    QTest::keyClick(&notice, Qt::Key_Return);
    QTRY_VERIFY(isAway(notice));
    QTRY_COMPARE(QApplication::activeWindow(), &editor);

    // The index still holds the name: the next opening lists it again.
    openPicker(hub);
    QCOMPARE(picker.rom_list->count(), 4);
}

void EditPicker::nameListedTwice_bothEntriesOpenSameRecord()
{
    Sandbox sandbox;
    sandbox.makeCatalogue("\r\nMario\r\nZelda\r\nMario\r\n");
    sandbox.writeRecord("Mario", "m.rom", "m.png", "US", "64", "Plumber");
    sandbox.writeRecord("Zelda", "z.rom", "z.png", "PAL", "128", "Elf");
    main& hub = showHub();
    mnu_edit_rom& editor = mnu_edit_rom::get();
    const QStringList mario{"Mario", "Mario", "m.rom", "m.png", "US", "64", "Plumber"};
    for (int row : {1, 3}) {
        edit_rom_list& picker = openPicker(hub);
        QCOMPARE(listed(*picker.rom_list), QStringList({"", "Mario", "Zelda", "Mario"}));
        clickRow(*picker.rom_list, 2);
        QCOMPARE(editor.Text2->text(), QString("z.rom"));
        openPicker(hub);
        clickRow(*picker.rom_list, row);
        QCOMPARE(boxes(editor), mario);
    }
}

void EditPicker::pressOnHubAfterChoice_runsCommandUnlessItEndsDoubleClick_data()
{
    // The second press, after the first one's time and away from its place.
    const int interval = QGuiApplication::styleHints()->mouseDoubleClickInterval();
    const int distance = QGuiApplication::styleHints()->mouseDoubleClickDistance();
    QTest::addColumn<int>("later");
    QTest::addColumn<int>("away");
    QTest::addColumn<bool>("runs");
    QTest::newRow("double click") << 80 << 0 << false;
    QTest::newRow("double click, a little off") << interval - 1 << distance << false;
    QTest::newRow("after the double-click time") << interval << 0 << true;
    QTest::newRow("too far for a double click") << 80 << distance + 1 << true;
}

void EditPicker::pressOnHubAfterChoice_runsCommandUnlessItEndsDoubleClick()
{
    QFETCH(int, later);
    QFETCH(int, away);
    QFETCH(bool, runs);
    Sandbox sandbox;
    sandbox.makeCatalogue("\r\nZelda\r\n");
    sandbox.writeRecord("Zelda", "z.rom", "z.png", "PAL", "128", "Elf");
    main& hub = showHub();
    edit_rom_list& picker = openPicker(hub);
    picker.rom_list->doItemsLayout();
    const QPoint row = picker.rom_list->viewport()->mapTo(&picker, rowCentre(*picker.rom_list, 1));
    const QPointF first = picker.mapToGlobal(QPointF(row));
    static quint64 time = 1'000'000;
    time += 10'000;
    sendToWindow(picker, QEvent::MouseButtonPress, row, first, time);
    sendToWindow(picker, QEvent::MouseButtonRelease, row, first, time + 20);
    QVERIFY(mnu_edit_rom::get().isVisible());
    QVERIFY(isAway(picker));

    // The picker is gone from under the pointer: the second press lands on Export ROM, which
    // with nothing viewed says so.
    const QPoint command = hub.Label7->geometry().center();
    const QPointF second = first + QPointF(away, 0);
    sendToWindow(hub, QEvent::MouseButtonPress, command, second, time + later);
    if (!runs) // as the platform follows a press that ends a double click
        sendToWindow(hub, QEvent::MouseButtonDblClick, command, second, time + later);
    sendToWindow(hub, QEvent::MouseButtonRelease, command, second, time + later + 20);
    QCOMPARE(!visibleNotice().isEmpty(), runs);
    // The next click is a click again.
    if (runs)
        click(mnu_error::get().Picture1);
    sendToWindow(hub, QEvent::MouseButtonPress, command, second, time + 5000);
    sendToWindow(hub, QEvent::MouseButtonRelease, command, second, time + 5020);
    QVERIFY(!visibleNotice().isEmpty());
}

void EditPicker::focusingList_choosesNothing()
{
    Sandbox sandbox;
    sandbox.makeCatalogue("\r\nMario\r\n");
    main& hub = showHub();
    edit_rom_list& picker = openPicker(hub);
    const double left = picker.Left();
    picker.activateWindow();
    if (!QTest::qWaitForWindowActive(&picker))
        QSKIP("the platform cannot activate windows");
    picker.rom_list->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
    // Focus makes an entry current without choosing it.
    QCOMPARE(picker.rom_list->currentRow(), 0);
    openPicker(hub);
    QCOMPARE(picker.Left(), left);
    QVERIFY(!mnu_error::get().isVisible());
    QVERIFY(!mnu_edit_rom::get().isVisible());
    QCOMPARE(picker.rom_list->count(), 2);
}

void EditPicker::cancel_slidesPickerAwayChangingNothing()
{
    Sandbox sandbox;
    sandbox.makeCatalogue("\r\nMario\r\n");
    sandbox.writeRecord("Mario", "m.rom", "m.png", "US", "64", "Plumber");
    const auto before = sandbox.snapshot();
    main& hub = showHub();
    edit_rom_list& picker = openPicker(hub);
    clickRow(*picker.rom_list, 1);
    mnu_edit_rom& editor = mnu_edit_rom::get();
    const QStringList shown = boxes(editor);

    openPicker(hub);
    QCOMPARE(picker.Label2->text(), QString("Cancel"));
    click(picker.Label2);
    QVERIFY(slidOut(picker));
    QCOMPARE(listed(*picker.rom_list), QStringList({"", "Mario"}));
    QCOMPARE(boxes(editor), shown);
    QCOMPARE(editor.Top(), hub.Top() + 1860);
    QCOMPARE(sandbox.snapshot(), before);
}

void EditPicker::removeFromMenu_takesGameOutWithoutOpeningIt()
{
    Sandbox sandbox;
    sandbox.makeCatalogue("\r\nMario\r\nLuigi\r\n");
    sandbox.writeRecord("Mario", "m.rom", "m.png", "US", "64", "Plumber");
    edit_rom_list& picker = openPicker(showHub());
    ListBox& list = *picker.rom_list;
    list.doItemsLayout();
    // The entry under the pointer is the one the menu removes.
    QTimer::singleShot(0, [] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        QVERIFY(menu);
        QCOMPARE(menu->actions().first()->text(), QString("Remove from catalogue\u2026"));
        menu->setActiveAction(menu->actions().first());
        QTest::keyClick(menu, Qt::Key_Return);
    });
    dialogs::queueAnswer(QMessageBox::Yes);
    QContextMenuEvent menuKey(QContextMenuEvent::Mouse, rowCentre(list, 1),
                              list.viewport()->mapToGlobal(rowCentre(list, 1)));
    QApplication::sendEvent(list.viewport(), &menuKey);
    QCOMPARE(dialogs::questions().size(), 1);
    QCOMPARE(sandbox.readFile("bin/bootlist.lst"), QByteArray("\r\nLuigi\r\n"));
    QVERIFY(!QFile::exists(sandbox.path("bin/Mario.lib")));
    QCOMPARE(listed(list), QStringList({"", "Luigi"}));
    QVERIFY(picker.isVisible() && !isAway(picker));
    QVERIFY(!mnu_edit_rom::get().isVisible());
}

void EditPicker::editWindow_loadGivesReleasedImages()
{
    Sandbox sandbox;
    mnu_edit_rom& editor = mnu_edit_rom::get();
    QCOMPARE(editor.Picture1->picture(), art::browseButton(false));
    QCOMPARE(editor.Picture2->picture(), art::browseButton(false));
    QCOMPARE(editor.Picture3->picture(), art::okButton(false));
    QCOMPARE(editor.Picture4->picture(), art::cancelButton(false));
    // No game opened yet, so no name to save under.
    QCOMPARE(editor.openedName(), QString());
    QCOMPARE(editor.Combo1->currentText(), QString());
    QCOMPARE(editor.Combo2->currentText(), QString());
    // Nothing lies hidden below what the user sees.
    for (const QWidget* control : editor.findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        QVERIFY2(control->y() < editor.height(), qPrintable(control->objectName()));
    QCOMPARE(editor.Picture3->accessibleName(), QString("OK"));
    QCOMPARE(editor.Picture4->accessibleName(), QString("Cancel"));
    QCOMPARE(editor.Picture1->accessibleName(), QString("Browse"));
}

void EditPicker::browseButtons_cancelChangesNothing()
{
    Sandbox sandbox;
    sandbox.makeCatalogue("\r\nMario\r\n");
    sandbox.writeRecord("Mario", "m.rom", "m.png", "US", "64", "Plumber");
    main& hub = showHub();
    clickRow(*openPicker(hub).rom_list, 1);
    mnu_edit_rom& editor = mnu_edit_rom::get();
    const QStringList shown = boxes(editor);
    const double left = editor.Left();
    for (PictureBox* browse : {editor.Picture1, editor.Picture2}) {
        dialogs::queueCancel();
        press(browse);
        // Released again as soon as the dialog closes.
        QCOMPARE(browse->picture(), art::browseButton(false));
        release(browse);
        QCOMPARE(browse->picture(), art::browseButton(false));
    }
    QCOMPARE(dialogs::fileRequests().size(), 2);
    QCOMPARE(boxes(editor), shown);
    QCOMPARE(editor.Left(), left);
}

void EditPicker::editCancel_slidesAwayKeepingBoxes_nextChoiceBringsBack()
{
    Sandbox sandbox;
    sandbox.makeCatalogue("\r\nMario\r\nZelda\r\n");
    sandbox.writeRecord("Mario", "m.rom", "m.png", "US", "64", "Plumber");
    sandbox.writeRecord("Zelda", "z.rom", "z.png", "PAL", "128", "Elf");
    const auto before = sandbox.snapshot();
    main& hub = showHub();
    clickRow(*openPicker(hub).rom_list, 1);
    mnu_edit_rom& editor = mnu_edit_rom::get();
    editor.Text4->setPlainText("Typed but not saved");
    const QStringList shown = boxes(editor);

    press(editor.Picture4);
    QCOMPARE(editor.Picture4->picture(), art::cancelButton(true));
    release(editor.Picture4);
    QCOMPARE(editor.Picture4->picture(), art::cancelButton(false));
    QVERIFY(isAway(editor));
    QCOMPARE(boxes(editor), shown);
    QCOMPARE(sandbox.snapshot(), before);

    hub.setLeft(900);
    clickRow(*openPicker(hub).rom_list, 2);
    QCOMPARE(boxes(editor), QStringList({"Zelda", "Zelda", "z.rom", "z.png", "PAL", "128", "Elf"}));
    QCOMPARE(editor.Left(), 1200.0);
}

void EditPicker::editWindow_tabOrderFollowsBoxes()
{
    Sandbox sandbox;
    mnu_edit_rom& editor = mnu_edit_rom::get();
    editor.show();
    editor.activateWindow();
    if (!QTest::qWaitForWindowActive(&editor))
        QSKIP("the platform cannot activate windows");
    editor.Text1->setFocus(Qt::TabFocusReason);
    const QList<QWidget*> expected{
        editor.Text2,    editor.Text3,    editor.Combo1,   editor.Combo2,   editor.Text4,
        editor.Picture1, editor.Picture2, editor.Picture3, editor.Picture4, editor.Text1};
    for (QWidget* next : expected) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QWidget* focused = QApplication::focusWidget();
        // An editable combo box gives focus to its line edit.
        if (focused && focused->parentWidget() != &editor)
            focused = focused->parentWidget();
        QCOMPARE(focused, next);
    }
}

QTEST_MAIN(EditPicker)
#include "tst_edit_picker.moc"
