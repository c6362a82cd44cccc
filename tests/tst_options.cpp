#include "app/vx_main.h"
#include "art/art.h"
#include "core/verifier.h"
#include "setup/mnu_about.h"
#include "setup/mnu_options.h"
#include "support/testsupport.h"
#include "ui/base/mnu_error.h"
#include "ui/checkbox.h"
#include "ui/dialogs.h"
#include "ui/windowing.h"

#include <QAccessible>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QtTest>

Q_DECLARE_METATYPE(vx::PicturePtr)

using namespace vx;

namespace
{

const QByteArray kSettingsWithFolder = test::Sandbox::settingsBytes("/srv/roms");

// What the windows show while the file at `path` is being written.
QString writing(const QString& path, const mnu_options& options)
{
    return QStringList{QFileInfo(path).fileName(),
                       options.isVisible() && !test::isAway(options) ? "window stays" : "gone",
                       test::busyPointerShown() ? "busy" : "not busy"}
        .join(", ");
}

} // namespace

class TestOptions : public QObject
{
    Q_OBJECT

private slots:
    void firstOpening_showsStoredFolder();
    void ok_storesTypedFolderAndSlidesAway_data();
    void ok_storesTypedFolderAndSlidesAway();
    void ok_settingsNotWritable_showsNoticeAndStays();
    void ok_unreadableDat_showsNoticeAndStays();
    void cancel_keepsTypedTextStoresNothing();
    void exportOrderBox_reachedByTabTickedByKeys();
    void button_showsPressedImageWhileHeld_data();
    void button_showsPressedImageWhileHeld();
    void button_releasedOutside_runsNothing_data();
    void button_releasedOutside_runsNothing();
    void clear_asksThenEmptiesIndexOnYesOnly_data();
    void clear_asksThenEmptiesIndexOnYesOnly();
    void clear_indexNotWritable_showsNotice();
    void about_hasItsSizeAndHidesOnClick();
};

void TestOptions::firstOpening_showsStoredFolder()
{
    test::Sandbox box;
    box.makeCatalogue();
    box.writeFile("vx.log", kSettingsWithFolder);
    test::click(main::get().Label11);
    mnu_options& options = mnu_options::get();
    QVERIFY(options.isVisible());
    QCOMPARE(options.Text1->text(), QString("/srv/roms"));
    QCOMPARE(options.Width(), 4320.0);
    QCOMPARE(options.Height(), 4320.0);
    // OK without typing keeps the stored folder.
    test::click(options.cmd_ok);
    QCOMPARE(box.readFile("vx.log"), kSettingsWithFolder);
}

void TestOptions::ok_storesTypedFolderAndSlidesAway_data()
{
    QTest::addColumn<QByteArray>("settings");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("dat"); // typed in its box; {box} is the sandbox
    QTest::addColumn<bool>("z64");    // the export order's box ticked at OK
    QTest::addColumn<QByteArray>("expected");

    const QByteArray fresh =
        "[info]\r\nruns=1\r\n[dir]\r\nmade=bin\r\n[file]\r\nmade=boolist.lst\r\n";
    QTest::newRow("replaces the stored folder")
        << kSettingsWithFolder << "/home/me/out"
        << "" << false << QByteArray(fresh + "[export]\r\npath=/home/me/out\r\n");
    QTest::newRow("adds a missing section")
        << fresh << "D:\\out\\"
        << "" << false << QByteArray(fresh + "[export]\r\npath=D:\\out\\\r\n");
    // Stored as it reads back, so Export finds the folder.
    QTest::newRow("blanks and quotes around it dropped")
        << fresh << "  \"/home/me/my out\" "
        << "" << false << QByteArray(fresh + "[export]\r\npath=/home/me/my out\r\n");
    // A section of its own after the export folder's, whose bytes stay as they were.
    QTest::newRow("a DAT") << kSettingsWithFolder << "/srv/roms"
                           << " {box}/set.dat " << false
                           << QByteArray(kSettingsWithFolder + "[dat]\r\npath={box}/set.dat\r\n");
    QTest::newRow("a DAT taken away")
        << QByteArray(kSettingsWithFolder + "[dat]\r\npath={box}/set.dat\r\n") << "/srv/roms"
        << "" << false << QByteArray(kSettingsWithFolder + "[dat]\r\npath=\r\n");
    // Written once ticked, in a section of its own; never ticked, the settings stay as they were.
    const QByteArray z64 = kSettingsWithFolder + "[z64]\r\nexport=1\r\n";
    QTest::newRow("exports ticked") << kSettingsWithFolder << "/srv/roms"
                                    << "" << true << z64;
    QTest::newRow("exports unticked")
        << z64 << "/srv/roms"
        << "" << false << QByteArray(kSettingsWithFolder + "[z64]\r\nexport=0\r\n");
}

void TestOptions::ok_storesTypedFolderAndSlidesAway()
{
    QFETCH(QByteArray, settings);
    QFETCH(QString, typed);
    QFETCH(QString, dat);
    QFETCH(bool, z64);
    QFETCH(QByteArray, expected);
    test::Sandbox box;
    box.makeCatalogue();
    const QByteArray folder = box.folder().toUtf8();
    box.writeFile("vx.log", QByteArray(settings).replace("{box}", folder));
    box.writeFile("set.dat", "<datafile><game name=\"G\"><rom name=\"g.z64\" size=\"4\" "
                             "crc=\"01234567\"/></game></datafile>");
    test::click(main::get().Label11);
    mnu_options& options = mnu_options::get();
    options.Text1->clear();
    QTest::keyClicks(options.Text1, typed);
    options.Text2->setText(QString(dat).replace("{box}", box.folder()));
    // Shown as stored.
    QCOMPARE(options.chk_z64->isChecked(), settings.contains("export=1"));
    if (options.chk_z64->isChecked() != z64)
        test::click(options.chk_z64);
    QStringList seen;
    const test::DuringWrites during([&](const QString& path) { seen << writing(path, options); });
    test::click(options.cmd_ok);
    // The write waits on its own thread, the window staying until it is done.
    QCOMPARE(seen, QStringList{"vx.log, window stays, busy"});
    QCOMPARE(box.readFile("vx.log"), QByteArray(expected).replace("{box}", folder));
    QVERIFY(options.Left() < -options.Width());
    QVERIFY(test::visibleNotice().isEmpty());
    QCOMPARE(Verifier::get().hasDat(), !dat.isEmpty());
}

void TestOptions::ok_settingsNotWritable_showsNoticeAndStays()
{
    test::Sandbox box;
    box.makeCatalogue();
    // A folder where the settings file should be cannot be replaced.
    QFile::remove(box.path("vx.log"));
    QVERIFY(QDir(box.folder()).mkdir("vx.log"));
    mnu_options& options = mnu_options::get();
    options.setLeft(3000);
    options.show();
    options.Text1->setText("/home/me/out");
    test::click(options.cmd_ok);
    QCOMPARE(test::visibleNotice(), QStringList({"The export folder could not be saved.",
                                                 "Check that the program folder can be written."}));
    QCOMPARE(options.Left(), 3000.0);
    QVERIFY(options.isVisible());
    QCOMPARE(options.Text1->text(), QString("/home/me/out"));
}

void TestOptions::ok_unreadableDat_showsNoticeAndStays()
{
    test::Sandbox box;
    box.makeCatalogue();
    box.writeFile("set.dat", "<datafile><game name=\"G\"><rom size=\"4\" crc=\"1\"/></datafile>");
    const QMap<QString, QByteArray> before = box.snapshot();
    test::click(main::get().Label11);
    mnu_options& options = mnu_options::get();
    const double left = options.Left();
    options.Text1->setText("/home/me/out");
    options.Text2->setText(box.path("set.dat"));
    test::click(options.cmd_ok);
    QCOMPARE(test::visibleNotice(), QStringList({"The DAT could not be read.",
                                                 "Opening and ending tag mismatch. (line 1)."}));
    QCOMPARE(box.snapshot(), before);
    QCOMPARE(options.Left(), left);
    QCOMPARE(options.Text2->text(), box.path("set.dat"));
    QVERIFY(!Verifier::get().hasDat());
}

void TestOptions::cancel_keepsTypedTextStoresNothing()
{
    test::Sandbox box;
    box.makeCatalogue();
    main& hub = main::get();
    const auto before = box.snapshot();
    test::click(hub.Label11);
    mnu_options& options = mnu_options::get();
    QTest::keyClicks(options.Text1, "/home/me/out");
    test::click(options.cmd_cancel);
    QVERIFY(options.Left() < -options.Width());
    test::click(hub.Label11);
    QCOMPARE(options.Left(), hub.Left() + 300);
    QCOMPARE(options.Text1->text(), QString("/home/me/out"));
    QCOMPARE(box.snapshot(), before);
}

void TestOptions::exportOrderBox_reachedByTabTickedByKeys()
{
    test::Sandbox box;
    box.makeCatalogue();
    test::click(main::get().Label11);
    mnu_options& options = mnu_options::get();
    options.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&options));
    CheckBox* check = options.chk_z64;
    QCOMPARE(check->accessibleName(), QString("Export in big-endian order (.z64)"));
    QCOMPARE(QAccessible::queryAccessibleInterface(check)->role(), QAccessible::CheckBox);
    // Inside the window, clear of every other control.
    QVERIFY(options.rect().contains(check->geometry()));
    for (QWidget* other : options.findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        QVERIFY2(other == check || !other->geometry().intersects(check->geometry()),
                 qPrintable(other->objectName()));
    options.cmd_dat->setFocus(Qt::TabFocusReason);
    QTest::keyClick(options.cmd_dat, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), check);
    const QImage unticked = check->grab().toImage();
    QTest::keyClick(check, Qt::Key_Space);
    QVERIFY(check->isChecked());
    QVERIFY(check->grab().toImage() != unticked);
    QTest::keyClick(check, Qt::Key_Return);
    QVERIFY(!check->isChecked());
    QTest::keyClick(check, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), options.cmd_ok);
    QTest::keyClick(check, Qt::Key_Space);
    test::click(options.cmd_cancel);
    QCOMPARE(box.readFile("vx.log"), test::Sandbox::settingsBytes());
}

void TestOptions::button_showsPressedImageWhileHeld_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<PicturePtr>("normal");
    QTest::addColumn<PicturePtr>("pressed");
    QTest::newRow("ok") << "cmd_ok" << art::okButton(false) << art::okButton(true);
    QTest::newRow("cancel") << "cmd_cancel" << art::cancelButton(false) << art::cancelButton(true);
    QTest::newRow("clear") << "cmd_clear" << art::clearButton(false) << art::clearButton(true);
}

void TestOptions::button_showsPressedImageWhileHeld()
{
    QFETCH(QString, button);
    QFETCH(PicturePtr, normal);
    QFETCH(PicturePtr, pressed);
    test::Sandbox box;
    box.makeCatalogue();
    mnu_options& options = mnu_options::get();
    options.show();
    auto* cmd = test::child<PictureBox>(options, button);
    QVERIFY(cmd);
    QCOMPARE(cmd->picture(), normal);
    test::press(cmd);
    QCOMPARE(cmd->picture(), pressed);
    QTest::mouseRelease(cmd, Qt::LeftButton, {}, QPoint(-30, -30));
    QCOMPARE(cmd->picture(), normal);
}

void TestOptions::button_releasedOutside_runsNothing_data()
{
    QTest::addColumn<QString>("button");
    QTest::newRow("ok") << "cmd_ok";
    QTest::newRow("cancel") << "cmd_cancel";
    QTest::newRow("clear") << "cmd_clear";
}

void TestOptions::button_releasedOutside_runsNothing()
{
    QFETCH(QString, button);
    test::Sandbox box;
    box.makeCatalogue("\r\nAlpha\r\n");
    dialogs::queueAnswer(QMessageBox::Yes);
    mnu_options& options = mnu_options::get();
    options.setLeft(3000);
    options.show();
    options.Text1->setText("/home/me/out");
    const auto before = box.snapshot();
    auto* cmd = test::child<PictureBox>(options, button);
    test::press(cmd);
    QTest::mouseRelease(cmd, Qt::LeftButton, {}, QPoint(cmd->width() + 20, -10));
    QCOMPARE(options.Left(), 3000.0);
    QVERIFY(dialogs::questions().isEmpty());
    QCOMPARE(box.snapshot(), before);
}

void TestOptions::clear_asksThenEmptiesIndexOnYesOnly_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QByteArray>("index");
    const QByteArray plain = "\r\nAlpha\r\nBeta\r\n";
    QTest::newRow("no keeps the index") << int(QMessageBox::No) << plain << plain;
    QTest::newRow("yes leaves one empty line")
        << int(QMessageBox::Yes) << plain << QByteArray("\r\n");
    QTest::newRow("yes keeps a UTF-16 index UTF-16")
        << int(QMessageBox::Yes) << QByteArray("\xFF\xFE\r\0A\0l\0\r\0", 10)
        << QByteArray("\xFF\xFE\r\0\n\0", 6);
    QTest::newRow("yes keeps a UTF-8 mark")
        << int(QMessageBox::Yes) << "\xEF\xBB\xBF" + plain << QByteArray("\xEF\xBB\xBF\r\n");
}

void TestOptions::clear_asksThenEmptiesIndexOnYesOnly()
{
    QFETCH(int, answer);
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, index);
    test::Sandbox box;
    box.makeCatalogue(before);
    box.writeRecord("Alpha", "/r/a.rom", "/r/a.png", "US", "64", "First");
    const QByteArray record = box.readFile("bin/Alpha.lib");
    dialogs::queueAnswer(QMessageBox::StandardButton(answer));
    main::get().show();
    mnu_options& options = mnu_options::get();
    options.setLeft(3000);
    options.showOnTop(options.cmd_clear);
    QVERIFY(QTest::qWaitForWindowActive(&options));
    QStringList seen;
    const test::DuringWrites during([&](const QString& path) { seen << writing(path, options); });
    test::click(options.cmd_clear);
    QCOMPARE(seen, answer == QMessageBox::Yes ? QStringList{"bootlist.lst, window stays, busy"}
                                              : QStringList());
    QVERIFY(!test::busyPointerShown());

    const auto asked = dialogs::questions();
    QCOMPARE(asked.size(), 1);
    QCOMPARE(asked[0].text, QString("Do you want to clear the items?"));
    QCOMPARE(asked[0].title, QString("MsgBox Demonstration"));
    QCOMPARE(asked[0].buttons, QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(asked[0].icon, QMessageBox::Critical);
    QCOMPARE(asked[0].defaultButton, QMessageBox::No);

    QCOMPARE(box.readFile("bin/bootlist.lst"), index);
    QCOMPARE(box.readFile("bin/Alpha.lib"), record);
    QCOMPARE(options.Left(), 3000.0);
    QVERIFY(test::visibleNotice().isEmpty());
    // Whatever the answer, the keyboard is back on Clear.
    QTRY_COMPARE(QApplication::activeWindow(), &options);
    QCOMPARE(QApplication::focusWidget(), options.cmd_clear);
}

void TestOptions::clear_indexNotWritable_showsNotice()
{
    test::Sandbox box;
    box.makeCatalogue();
    QFile::remove(box.path("bin/bootlist.lst"));
    QVERIFY(QDir(box.path("bin")).mkdir("bootlist.lst"));
    dialogs::queueAnswer(QMessageBox::Yes);
    test::click(mnu_options::get().cmd_clear);
    QCOMPARE(test::visibleNotice(), QStringList({"The index could not be cleared.",
                                                 "Check that the bin folder can be written."}));
}

void TestOptions::about_hasItsSizeAndHidesOnClick()
{
    test::Sandbox box;
    box.makeCatalogue();
    main& hub = main::get();
    hub.show();
    test::click(hub.Label11);
    test::click(hub.Label12);
    mnu_about& about = mnu_about::get();
    QCOMPARE(about.Width(), 4320.0);
    QCOMPARE(about.Height(), 4305.0);
    QVERIFY(about.background());
    QVERIFY(about.isVisible());
    QTest::mouseClick(&about, Qt::LeftButton, {}, QPoint(10, about.height() - 10));
    QVERIFY(!about.isVisible());
    // Every other window as it was.
    QVERIFY(hub.isVisible());
    QVERIFY(mnu_options::get().isVisible());
}

QTEST_MAIN(TestOptions)
#include "tst_options.moc"
