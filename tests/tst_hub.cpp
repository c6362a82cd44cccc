#include "app/main_close.h"
#include "app/vx_main.h"
#include "core/datfile.h"
#include "core/textfile.h"
#include "core/verifier.h"
#include "support/cartridgeimages.h"
#include "support/testsupport.h"
#include "ui/base/mnu_progress.h"
#include "ui/dialogs.h"
#include "ui/listbox.h"
#include "ui/units.h"
#include "ui/windowing.h"

#include <QApplication>
#include <QCursor>
#include <QMenu>
#include <QTimer>
#include <QtTest>

using namespace vx;

namespace
{

main& shownHub(test::Sandbox& box, const QByteArray& index = "\r\n")
{
    box.makeCatalogue(index);
    main& hub = main::get();
    hub.show();
    QCoreApplication::processEvents();
    return hub;
}

// As the user leaves it after moving it.
void moveHub(main& hub, QPointF place)
{
    hub.setLeft(place.x());
    hub.setTop(place.y());
    QCoreApplication::processEvents();
    QCOMPARE(QPointF(hub.Left(), hub.Top()), place);
}

// Where a point of a control lies on the hub.
// The colour a label's text is drawn in.
QColor shownColour(const Label& label)
{
    return label.palette().color(QPalette::WindowText);
}

QPoint centreOn(main& hub, QWidget* control)
{
    return control->mapTo(&hub, control->rect().center());
}

} // namespace

class TestHub : public QObject
{
    Q_OBJECT

private slots:
    void hub_firstAppearsCentred();
    void command_opensWindowBesideHubEachTime_data();
    void command_opensWindowBesideHubEachTime();
    void viewRom_listsNamesOnceWithoutEmptyEntry_data();
    void viewRom_listsNamesOnceWithoutEmptyEntry();
    void editRom_listsIndexAsLoaded();
    void hover_turnsCommandRedUntilBareSurface_data();
    void hover_turnsCommandRedUntilBareSurface();
    void hover_resetLeavesOtherColoursAlone();
    void labels_blueAtRest();
    void titleStrip_dragsHub();
    void corner_opensCloseStripAtHubCornerNotTopmost();
    void closeStrip_minimizeMinimizesHubAndHidesStrip();
    void closeStrip_xOnlyHidesStrip();
    void endControls_endProgram_data();
    void endControls_endProgram();
    void minimizeCorner_minimizesHub();
    void hubMenu_importsOrRebuilds_data();
    void hubMenu_importsOrRebuilds();
};

void TestHub::hub_firstAppearsCentred()
{
    test::Sandbox box;
    main& hub = shownHub(box);
    // 1024 x 768 pixels are 15360 x 11520 twips.
    QCOMPARE(hub.Left(), std::floor((15360 - 10620) / 2.0));
    QCOMPARE(hub.Top(), std::floor((11520 - 5220) / 2.0));
}

void TestHub::command_opensWindowBesideHubEachTime_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("window");
    QTest::addColumn<double>("offset");
    QTest::newRow("Add ROM") << "Label4"
                             << "mnu_add_rom" << 700.0;
    QTest::newRow("Edit ROM") << "Label5"
                              << "edit_rom_list" << 930.0;
    QTest::newRow("View ROM") << "Label8"
                              << "mnu_list" << 1860.0;
    QTest::newRow("Setup") << "Label11"
                           << "mnu_options" << 680.0;
    QTest::newRow("About/Help") << "Label12"
                                << "mnu_about" << 2090.0;
}

void TestHub::command_opensWindowBesideHubEachTime()
{
    QFETCH(QString, command);
    QFETCH(QString, window);
    QFETCH(double, offset);
    test::Sandbox box;
    main& hub = shownHub(box, "\r\nAlpha\r\n");
    auto* label = test::child<Label>(hub, command);

    const QList<QPointF> hubPlaces = {{hub.Left(), hub.Top()}, {600, 900}, {1215, 45}};
    for (const QPointF& place : hubPlaces) {
        moveHub(hub, place);
        test::click(label);
        Form* opened = test::topLevel(window);
        QVERIFY(opened);
        QVERIFY(opened->isVisible());
        QCOMPARE(opened->Top(), place.y() + offset);
        QCOMPARE(opened->Left(), place.x() + 300);
        QVERIFY(isTopmost(*opened));
        QVERIFY(hub.isEnabled() && hub.isVisible());
    }
}

void TestHub::viewRom_listsNamesOnceWithoutEmptyEntry_data()
{
    QTest::addColumn<QByteArray>("index");
    QTest::addColumn<QStringList>("listed");
    QTest::newRow("repeated names") << QByteArray("\r\nA\r\nB\r\nA\r\n") << QStringList{"A", "B"};
    QTest::newRow("only the empty line") << QByteArray("\r\n") << QStringList{};
    QTest::newRow("zero-byte index") << QByteArray() << QStringList{};
}

void TestHub::viewRom_listsNamesOnceWithoutEmptyEntry()
{
    QFETCH(QByteArray, index);
    QFETCH(QStringList, listed);
    test::Sandbox box;
    main& hub = shownHub(box, index);
    test::click(hub.Label8);
    Form* browser = test::topLevel("mnu_list");
    QVERIFY(browser && browser->isVisible());
    auto* list = test::child<ListBox>(*browser, "rom_list");
    QStringList shown;
    for (int i = 0; i < list->count(); ++i)
        shown << list->text(i);
    QCOMPARE(shown, listed);
}

void TestHub::editRom_listsIndexAsLoaded()
{
    test::Sandbox box;
    main& hub = shownHub(box, "\r\nA\r\nB\r\nA\r\n");
    test::click(hub.Label5);
    test::click(hub.Label5);
    Form* picker = test::topLevel("edit_rom_list");
    QVERIFY(picker);
    auto* list = test::child<ListBox>(*picker, "rom_list");
    QStringList shown;
    for (int i = 0; i < list->count(); ++i)
        shown << list->text(i);
    QCOMPARE(shown, QStringList({"", "A", "B", "A"}));
}

void TestHub::hover_turnsCommandRedUntilBareSurface_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("then"); // a control of the hub, or empty for the bare surface
    QTest::addColumn<QColor>("expected");
    const QColor red(Qt::red);
    const QColor blue(Qt::blue);
    QTest::newRow("Add ROM to bare surface") << "Label4"
                                             << "" << blue;
    QTest::newRow("Add ROM to description") << "Label4"
                                            << "Label3" << red;
    QTest::newRow("Add ROM to picture") << "Label4"
                                        << "Image1" << red;
    QTest::newRow("Add ROM to title strip") << "Label4"
                                            << "Label1" << red;
    QTest::newRow("About/Help to bare surface") << "Label12"
                                                << "" << blue;
    QTest::newRow("About/Help to Setup") << "Label12"
                                         << "Label11" << red;
}

void TestHub::hover_turnsCommandRedUntilBareSurface()
{
    QFETCH(QString, command);
    QFETCH(QString, then);
    QFETCH(QColor, expected);
    test::Sandbox box;
    main& hub = shownHub(box);
    auto* label = test::child<Label>(hub, command);
    QCOMPARE(shownColour(*label), QColor(Qt::blue));

    QTest::mouseMove(&hub, centreOn(hub, label));
    QCOMPARE(shownColour(*label), QColor(Qt::red));

    // A bare spot: below the command column, left of the description.
    const QPoint bare(twipsToPixels(300), twipsToPixels(3000));
    QVERIFY(hub.childAt(bare) == nullptr);
    const QPoint target = then.isEmpty() ? bare : centreOn(hub, test::child(hub, then));
    QTest::mouseMove(&hub, target);
    QCOMPARE(shownColour(*label), expected);
}

void TestHub::hover_resetLeavesOtherColoursAlone()
{
    test::Sandbox box;
    main& hub = shownHub(box);
    // Colours as the legacy forms gave them, blue-green-red.
    hub.Label5->setForeColor(0x00FF00);
    hub.Label6->setForeColor(0x0000FF);
    hub.Label7->setForeColor(0x0000FF);
    QTest::mouseMove(&hub, QPoint(20, 200));
    QCOMPARE(shownColour(*hub.Label5), QColor(Qt::green));
    QCOMPARE(shownColour(*hub.Label6), QColor(Qt::blue));
    QCOMPARE(shownColour(*hub.Label7), QColor(Qt::blue));
}

void TestHub::labels_blueAtRest()
{
    test::Sandbox box;
    main& hub = shownHub(box);
    for (const Label* label : hub.findChildren<Label*>())
        QVERIFY2(shownColour(*label) == QColor(Qt::blue), qPrintable(label->objectName()));
}

void TestHub::titleStrip_dragsHub()
{
    test::Sandbox box;
    main& hub = shownHub(box);
    hub.setLeft(1500);
    hub.setTop(1500);
    const QPoint grip = centreOn(hub, hub.Label1);
    QCursor::setPos(hub.mapToGlobal(grip));
    QTest::mousePress(hub.Label1, Qt::LeftButton, {}, hub.Label1->rect().center());
    // Where the system cannot move the window, the hub follows the pointer until release.
    QCursor::setPos(hub.mapToGlobal(grip) + QPoint(40, 20));
    QMouseEvent move(QEvent::MouseMove, QPointF(grip), QPointF(hub.mapToGlobal(grip)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&hub, &move);
    QMouseEvent up(QEvent::MouseButtonRelease, QPointF(grip), QPointF(hub.mapToGlobal(grip)),
                   Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&hub, &up);
    QCOMPARE(hub.Left(), 1500.0 + 40 * 15);
    QCOMPARE(hub.Top(), 1500.0 + 20 * 15);
}

void TestHub::corner_opensCloseStripAtHubCornerNotTopmost()
{
    test::Sandbox box;
    main& hub = shownHub(box);
    for (const QPointF place : {QPointF(hub.Left(), hub.Top()), QPointF(450, 600)}) {
        moveHub(hub, place);
        test::click(hub.Label2);
        main_close& strip = main_close::get();
        QVERIFY(strip.isVisible());
        QCOMPARE(strip.Left(), place.x());
        QCOMPARE(strip.Top(), place.y());
        QCOMPARE(strip.Width(), 1860.0);
        QCOMPARE(strip.Height(), 885.0);
        QVERIFY(!isTopmost(strip));
    }
}

void TestHub::closeStrip_minimizeMinimizesHubAndHidesStrip()
{
    test::Sandbox box;
    main& hub = shownHub(box);
    test::click(hub.Label2);
    main_close& strip = main_close::get();
    test::click(strip.Label1);
    QVERIFY(hub.isMinimized());
    QVERIFY(!strip.isVisible());
}

void TestHub::closeStrip_xOnlyHidesStrip()
{
    test::Sandbox box;
    main& hub = shownHub(box);
    const int ends = test::endRequests();
    test::click(hub.Label2);
    main_close& strip = main_close::get();
    test::click(strip.Label3);
    QVERIFY(!strip.isVisible());
    QVERIFY(!hub.isMinimized());
    QVERIFY(hub.isVisible());
    QCOMPARE(test::endRequests(), ends);
    // Escape does the same.
    test::click(hub.Label2);
    QTest::keyClick(&strip, Qt::Key_Escape);
    QVERIFY(!strip.isVisible());
}

void TestHub::endControls_endProgram_data()
{
    QTest::addColumn<bool>("fromStrip");
    QTest::newRow("hub's end corner") << false;
    QTest::newRow("strip's Close") << true;
}

void TestHub::endControls_endProgram()
{
    QFETCH(bool, fromStrip);
    test::Sandbox box;
    main& hub = shownHub(box);
    const int ends = test::endRequests();
    if (fromStrip) {
        test::click(hub.Label2);
        test::click(main_close::get().Label2);
    } else {
        test::click(hub.Label10);
    }
    QCOMPARE(test::endRequests(), ends + 1);
}

void TestHub::minimizeCorner_minimizesHub()
{
    test::Sandbox box;
    main& hub = shownHub(box);
    test::click(hub.Label9);
    QVERIFY(hub.isMinimized());
}

void TestHub::hubMenu_importsOrRebuilds_data()
{
    QTest::addColumn<QString>("how");       // what opens the menu
    QTest::addColumn<QString>("entry");     // chosen in it
    QTest::addColumn<QStringList>("index"); // afterwards, after the empty first line
    QTest::addColumn<QString>("notice");    // its upper line
    // "dat": a DAT listing Rally's image is in force; "cancel": Cancel is pressed while the first
    // record is written.
    QTest::addColumn<QString>("also");
    QTest::newRow("right button, a folder")
        << "right"
        << "Import a ROM Folder\u2026" << QStringList{"Old", "Rally", "Dump"} << "2 games added."
        << "";
    QTest::newRow("a folder, a game the DAT lists")
        << "right"
        << "Import a ROM Folder\u2026" << QStringList{"Old", "Rally Racer (Europe)", "Dump"}
        << "2 games added."
        << "dat";
    QTest::newRow("a folder, cancelled while writing")
        << "right"
        << "Import a ROM Folder\u2026" << QStringList{"Old", "Rally"}
        << "1 game added before the import was cancelled."
        << "cancel";
    QTest::newRow("menu key, files")
        << "menu"
        << "Import ROM Files\u2026" << QStringList{"Old", "Rally"} << "1 game added."
        << "";
    QTest::newRow("Shift+F10, rebuild")
        << "shift+f10"
        << "Rebuild the Index" << QStringList{"Old", "Lost"} << "1 game was added to the index."
        << "";
}

void TestHub::hubMenu_importsOrRebuilds()
{
    QFETCH(QString, how);
    QFETCH(QString, entry);
    QFETCH(QStringList, index);
    QFETCH(QString, notice);
    QFETCH(QString, also);
    test::Sandbox box;
    main& hub = shownHub(box, "\r\nOld\r\n");
    box.writeRecord("Old", "", "", "US", "64", "d");
    const QByteArray rally = test::cartridgeImage("X", 'E');
    box.writeFile("roms/Rally.z64", rally);
    const auto noDat = qScopeGuard([] { Verifier::get().reset(); });
    if (also == "dat") {
        box.writeFile("set.dat",
                      "<datafile><game name=\"Rally Racer? (Europe)\"><rom name=\"r\" "
                      "sha1=\"" +
                          QCryptographicHash::hash(rally, QCryptographicHash::Sha1).toHex() +
                          "\"/></game></datafile>");
        Verifier::get().useDat(datfile::load(box.path("set.dat")).dat, box.path("set.dat"));
    }
    // The records are written away from the windows, which answer meanwhile: Cancel among them.
    int writtenHere = 0;
    beforeRenameForTests([&](const QString& path) {
        if (!path.endsWith(".lib"))
            return;
        if (QThread::currentThread() == qApp->thread()) {
            ++writtenHere;
        } else if (also == "cancel" && path.endsWith("Rally.lib")) {
            QMetaObject::invokeMethod(
                qApp,
                [] {
                    mnu_progress& progress = mnu_progress::get();
                    QVERIFY(QTest::qWaitFor([&] { return progress.isVisible(); }));
                    test::click(progress.Picture1);
                },
                Qt::BlockingQueuedConnection);
        }
    });
    const auto noHook = qScopeGuard([] { beforeRenameForTests({}); });
    box.writeFile("roms/deep/Dump.v64", test::cartridgeImage("Y", 'E', 131072, 1));
    if (entry.startsWith("Rebuild"))
        box.writeFile("bin/Lost.lib", "[info]\r\n");
    dialogs::queueFile(entry.contains("Folder") ? box.path("roms") : box.path("roms/Rally.z64"));
    // The entry is chosen as soon as the menu shows.
    QTimer chooser;
    QObject::connect(&chooser, &QTimer::timeout, [&] {
        if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
            for (QAction* action : menu->actions()) {
                if (action->text() == entry) {
                    chooser.stop();
                    menu->setActiveAction(action);
                    QTest::keyClick(menu, Qt::Key_Return);
                    return;
                }
            }
        }
    });
    chooser.start(20);
    if (how == "right")
        QTest::mouseClick(hub.windowHandle(), Qt::RightButton, {}, centreOn(hub, hub.Label3));
    else if (how == "menu")
        QTest::keyClick(&hub, Qt::Key_Menu);
    else
        QTest::keyClick(&hub, Qt::Key_F10, Qt::ShiftModifier);
    QTRY_VERIFY_WITH_TIMEOUT(!test::visibleNotice().isEmpty(), 10000);
    QCOMPARE(test::visibleNotice().value(0), notice);
    QCOMPARE(box.indexLines(), QStringList{""} + index);
    QCOMPARE(writtenHere, 0);
    // The checksums the DAT names were taken with are kept for the view.
    QCOMPARE(QFile::exists(box.path("vx-checksums.txt")), also == "dat");
}

QTEST_MAIN(TestHub)
#include "tst_hub.moc"
