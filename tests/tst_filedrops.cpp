#include "add/mnu_add_rom.h"
#include "app/start.h"
#include "app/vx_main.h"
#include "edit/mnu_edit_rom.h"
#include "store/cartridge.h"
#include "support/testsupport.h"

#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QtTest>

using namespace vx;
using namespace vx::test;

class TestFileDrops : public QObject
{
    Q_OBJECT

private slots:
    void drop_takesFirstFileThatFits_data();
    void drop_takesFirstFileThatFits();
};

void TestFileDrops::drop_takesFirstFileThatFits_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QStringList>("dropped");
    QTest::addColumn<bool>("taken");
    QTest::addColumn<QString>("romPath"); // relative, after the drop
    QTest::addColumn<QString>("picturePath");

    const QStringList mixed{"notes.txt", "cover.png", "game.zip", "game.z64"};
    QTest::newRow("add: picture") << "add" << QStringList{"cover.png"} << true << ""
                                  << "cover.png";
    QTest::newRow("add: ROM") << "add" << QStringList{"game.z64"} << true << "game.z64"
                              << "";
    QTest::newRow("add: ROM named in capitals")
        << "add" << QStringList{"LOUD.V64"} << true << "LOUD.V64"
        << "";
    QTest::newRow("add: several") << "add" << mixed << true << ""
                                  << "cover.png";
    QTest::newRow("add: folder") << "add" << QStringList{"set"} << true << ""
                                 << "set/b.png";
    QTest::newRow("add: nothing that fits") << "add" << QStringList{"notes.txt"} << false << ""
                                            << "";
    QTest::newRow("hub: ROM") << "hub" << QStringList{"game.zip"} << true << "game.zip"
                              << "";
    QTest::newRow("hub: several") << "hub" << mixed << true << "game.zip"
                                  << "";
    QTest::newRow("hub: folder") << "hub" << QStringList{"set"} << true << "set/c.v64"
                                 << "";
    QTest::newRow("hub: drop without data")
        << "hub" << QStringList{"game.zip"} << true << "game.zip"
        << "";
    QTest::newRow("hub: picture") << "hub" << QStringList{"cover.png"} << false << ""
                                  << "";
    QTest::newRow("edit: ROM") << "edit" << QStringList{"game.z64"} << true << "game.z64"
                               << "old.png";
    QTest::newRow("edit: several") << "edit" << mixed << true << "old.z64"
                                   << "cover.png";
    QTest::newRow("edit: folder") << "edit" << QStringList{"set"} << true << "old.z64"
                                  << "set/b.png";
    QTest::newRow("edit: nothing that fits")
        << "edit" << QStringList{"notes.txt", "set/a.txt"} << false << "old.z64"
        << "old.png";
}

void TestFileDrops::drop_takesFirstFileThatFits()
{
    QFETCH(QString, window);
    QFETCH(QStringList, dropped);
    Sandbox box;
    box.makeCatalogue();
    const QByteArray image = cartridgeImage("DROPPED", 'E', 1 << 20);
    for (const char* name : {"game.z64", "LOUD.V64", "set/c.v64"})
        box.writeFile(name, image);
    box.writeFile("game.zip", zipOf({{"game.z64", image}}));
    for (const char* name : {"notes.txt", "cover.png", "set/a.txt", "set/b.png"})
        box.writeFile(name, "x");
    QStringList paths;
    for (const QString& name : dropped)
        paths << box.path(name);
    start();
    mnu_add_rom& add = mnu_add_rom::get();
    mnu_edit_rom& edit = mnu_edit_rom::get();
    edit.Text2->setText(box.path("old.z64"));
    edit.Text3->setText(box.path("old.png"));

    // Dropped where a field would otherwise take the paths as text.
    QWidget* target = window == "hub"   ? static_cast<QWidget*>(main::get().Label3)
                      : window == "add" ? add.Text4->viewport()
                                        : static_cast<QWidget*>(edit.Text1);
    QTEST(dropFiles(target, paths, !QByteArray(QTest::currentDataTag()).contains("without")),
          "taken");
    QVERIFY(cartridge::Reader::settle(10000));

    const auto inBox = [&](const QString& name) {
        return name.isEmpty() ? name : QDir::toNativeSeparators(box.path(name));
    };
    QLineEdit* rom = window == "edit" ? edit.Text2 : add.Text2;
    QLineEdit* picture = window == "edit" ? edit.Text3 : add.Text3;
    QFETCH(QString, romPath);
    QFETCH(QString, picturePath);
    QCOMPARE(rom->text(), inBox(romPath));
    QCOMPARE(picture->text(), inBox(picturePath));
    if (window == "hub")
        QCOMPARE(add.isVisible(), !romPath.isEmpty());
    // The edit window never fills a box by itself; the add window fills its empty ones.
    QCOMPARE(edit.Text1->text(), QString());
    QCOMPARE(edit.Combo1->currentText(), QString());
    QCOMPARE(add.Text1->text(), romPath.isEmpty() || window == "edit" ? "" : "DROPPED");
    QCOMPARE(add.Text4->toPlainText(), QString());
}

QTEST_MAIN(TestFileDrops)
#include "tst_filedrops.moc"
