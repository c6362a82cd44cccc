#include "art/art.h"
#include "support/testsupport.h"
#include "ui/base/mnu_error.h"
#include "ui/controls.h"
#include "ui/vx_modules.h"
#include "ui/windowing.h"

#include <QtTest>

using namespace vx;

class TestNotice : public QObject
{
    Q_OBJECT

private slots:
    void showNotice_placesByScreenRuleOnTop();
    void okPicture_showsPressedImageThenSlidesAway_data();
    void okPicture_showsPressedImageThenSlidesAway();
    void secondNotice_replacesFirstAtSamePlace();
    void keyboard_dismissesNotice_data();
    void keyboard_dismissesNotice();
    void noticePlace_movesOnlyWhatDoesNotFit_data();
    void everyNotice_showsEveryWord_data();
    void everyNotice_showsEveryWord();
    void noticePlace_movesOnlyWhatDoesNotFit();
};

void TestNotice::showNotice_placesByScreenRuleOnTop()
{
    test::Sandbox box;
    VX_modules::show_notice("Upper", "Lower");
    mnu_error& notice = mnu_error::get();
    QVERIFY(notice.isVisible());
    QVERIFY(isTopmost(notice));
    QCOMPARE(notice.Label1->text(), QString("Upper"));
    QCOMPARE(notice.Label2->text(), QString("Lower"));
    QCOMPARE(notice.Top(), 5380.0);
    QCOMPARE(notice.Left(), 5760.0);
    QCOMPARE(notice.Width(), 4320.0);
    QCOMPARE(notice.Height(), 1920.0);
    QCOMPARE(notice.Picture1->picture(), art::okButton(false));
}

void TestNotice::okPicture_showsPressedImageThenSlidesAway_data()
{
    QTest::addColumn<bool>("releaseOutside");
    QTest::newRow("released on OK") << false;
    QTest::newRow("released after moving off") << true;
}

void TestNotice::okPicture_showsPressedImageThenSlidesAway()
{
    QFETCH(bool, releaseOutside);
    test::Sandbox box;
    VX_modules::show_notice("Upper", "Lower");
    mnu_error& notice = mnu_error::get();
    test::press(notice.Picture1);
    QCOMPARE(notice.Picture1->picture(), art::okButton(true));
    QVERIFY(art::okButton(true) != art::okButton(false));
    const QPoint at = releaseOutside ? QPoint(-20, -20) : notice.Picture1->rect().center();
    QTest::mouseRelease(notice.Picture1, Qt::LeftButton, {}, at);
    QCOMPARE(notice.Picture1->picture(), art::okButton(false));
    QVERIFY(notice.Left() < -notice.Width());
    QVERIFY(!notice.isVisible()); // nothing of it is left for a window manager to keep on screen
}

void TestNotice::secondNotice_replacesFirstAtSamePlace()
{
    test::Sandbox box;
    VX_modules::show_notice("First", "one");
    VX_modules::show_notice("Second", "two");
    mnu_error& notice = mnu_error::get();
    QCOMPARE(notice.Label1->text(), QString("Second"));
    QCOMPARE(notice.Label2->text(), QString("two"));
    QCOMPARE(notice.Top(), 5380.0);
    QCOMPARE(notice.Left(), 5760.0);
    // After a slide the next notice comes back to the same place.
    test::click(notice.Picture1);
    VX_modules::show_notice("Third", "three");
    QCOMPARE(notice.Left(), 5760.0);
}

void TestNotice::keyboard_dismissesNotice_data()
{
    QTest::addColumn<int>("key");
    QTest::newRow("escape") << int(Qt::Key_Escape);
    QTest::newRow("enter") << int(Qt::Key_Return);
    QTest::newRow("space") << int(Qt::Key_Space);
}

void TestNotice::keyboard_dismissesNotice()
{
    QFETCH(int, key);
    test::Sandbox box;
    VX_modules::show_notice("Upper", "Lower");
    mnu_error& notice = mnu_error::get();
    QTest::keyClick(&notice, static_cast<Qt::Key>(key));
    QVERIFY(notice.Left() < -notice.Width());
    QCOMPARE(notice.Picture1->picture(), art::okButton(false));
}

void TestNotice::noticePlace_movesOnlyWhatDoesNotFit_data()
{
    // Screens and the room left by panels, in pixels; the place in twips (15 a pixel).
    QTest::addColumn<QSize>("screen");
    QTest::addColumn<QRect>("room");
    QTest::addColumn<QPointF>("place");
    QTest::newRow("1024x768: the rule")
        << QSize(1024, 768) << QRect(0, 0, 1024, 768) << QPointF(5760, 5380);
    QTest::newRow("1920x1080 with a panel: the rule")
        << QSize(1920, 1080) << QRect(0, 0, 1920, 1040) << QPointF(8100, 12100);
    QTest::newRow("2560x1080: raised onto the screen")
        << QSize(2560, 1080) << QRect(0, 0, 2560, 1080) << QPointF(8100, 16200 - 1920);
    QTest::newRow("2560x1080 with a bottom panel: above it")
        << QSize(2560, 1080) << QRect(0, 0, 2560, 1040) << QPointF(8100, 15600 - 1920);
    QTest::newRow("1080x1920 portrait: moved left onto it")
        << QSize(1080, 1920) << QRect(0, 0, 1080, 1920) << QPointF(16200 - 4320, 5800);
}

void TestNotice::noticePlace_movesOnlyWhatDoesNotFit()
{
    QFETCH(QSize, screen);
    QFETCH(QRect, room);
    QFETCH(QPointF, place);
    const auto twips = [](QRectF r) { return QRectF(r.topLeft() * 15, r.size() * 15); };
    QCOMPARE(noticePlace(QSizeF(screen) * 15, twips(room), QSizeF(4320, 1920)), place);
}

void TestNotice::everyNotice_showsEveryWord_data()
{
    QTest::addColumn<QString>("upper");
    QTest::addColumn<QString>("lower");
    const QList<std::pair<const char*, const char*>> notices{
        {"You havn't entered in a Game name, please try again.", "No Game Name entered."},
        {"You havn't entered in a File Path, please try again.", "No File Path entered."},
        {"You havn't entered in a Image Path, please try again.", "No Image Path entered."},
        {"You havn't entered in a Game Type, please try again.", "No Game Type entered."},
        {"You havn't entered in a Size for the rom, please try again.", "No Size entered."},
        {"You havn't entered in a Description for the Rom, please try again.",
         "No ROM Description entered."},
        {"The Game name cannot be used as a file name.", "Invalid Game Name"},
        {"The File Path you entered is invalid.", "Invalid File Path"},
        {"The Image Path you entered is invalid.", "Invalid Image Path"},
        {"The Size you entered is not a number from -32768 to 32767.", "Invalid Size"},
        {"The game could not be saved.", "Check that the bin folder can be written."},
        {"The game could not be saved.",
         "Another copy of the program is busy with the catalogue; try again."},
        {"The ROM could not be copied.", "Please check the destination and try again."},
        {"You did not designate a ROM.", "Please designate one and try again."},
        {"The file you specified does not exist.", "Please choose a valid path and try again."},
        {"You did not specify an new file.", "Please specify a new file and try again."},
        {"You must view a ROM before you may export it.", "Please view a rom."},
        {"You have no export directory setting.", "Loading Setup Menu."},
        {"File does not exist.", "Please check the path and try again."},
        {"Your ROM archives main index file could not be read.",
         "Check that the bin folder can be read."},
        {"Your ROM archives main index file has been deleted or moved.", "New index created."},
        {"Your ROM archives main index file could not be created.",
         "Check that the bin folder can be written."},
        {"The export folder could not be saved.", "Check that the program folder can be written."},
        {"The index could not be cleared.", "Check that the bin folder can be read."},
        {"The settings file could not be created.",
         "Check that the program folder can be written."},
        {"This Games data file is missing or deleted.", "Deleting Entry"},
    };
    for (const auto& [upper, lower] : notices)
        QTest::newRow(lower) << QString(upper) << QString(lower);
}

void TestNotice::everyNotice_showsEveryWord()
{
    QFETCH(QString, upper);
    QFETCH(QString, lower);
    test::Sandbox box;
    VX_modules::show_notice(upper, lower);
    mnu_error& notice = mnu_error::get();
    for (Label* line : {notice.Label1, notice.Label2}) {
        // The words as given, laid out as the label draws them, within the label, the label
        // within the notice and clear of OK; in a size that can still be read.
        QCOMPARE(line->text(), line == notice.Label1 ? upper : lower);
        QVERIFY(!line->geometry().intersects(notice.Picture1->geometry()));
        QVERIFY(notice.rect().contains(line->geometry()));
        const int flags = int(line->alignment() & Qt::AlignHorizontal_Mask) |
                          (line->wordWrap() ? Qt::TextWordWrap : 0);
        const QRect room = line->contentsRect();
        const QRect drawn =
            QFontMetrics(line->font())
                .boundingRect(QRect(room.topLeft(), QSize(room.width(), QWIDGETSIZE_MAX)), flags,
                              line->text());
        QVERIFY2(room.contains(drawn), qPrintable(line->objectName()));
        QVERIFY(line->font().pointSizeF() >= 6.75);
    }
}

QTEST_MAIN(TestNotice)
#include "tst_notice.moc"
