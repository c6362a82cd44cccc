#include "app/mnu_error.h"
#include "platform/windowing.h"
#include "store/vx_modules.h"
#include "support/testsupport.h"

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
    QCOMPARE(notice.Picture1->picture(), notice.Picture2->picture());
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
    QCOMPARE(notice.Picture1->picture(), notice.Picture3->picture());
    QVERIFY(notice.Picture1->picture() != notice.Picture2->picture());
    const QPoint at = releaseOutside ? QPoint(-20, -20) : notice.Picture1->rect().center();
    QTest::mouseRelease(notice.Picture1, Qt::LeftButton, {}, at);
    QCOMPARE(notice.Picture1->picture(), notice.Picture2->picture());
    QVERIFY(notice.Left() < -notice.Width());
    QVERIFY(notice.isVisible()); // slid away, not hidden
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
    QCOMPARE(notice.Picture1->picture(), notice.Picture2->picture());
}

QTEST_MAIN(TestNotice)
#include "tst_notice.moc"
