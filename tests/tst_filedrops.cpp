#include "add/mnu_add_rom.h"
#include "app/start.h"
#include "app/vx_main.h"
#include "core/cartridge.h"
#include "core/nativepath.h"
#include "edit/mnu_edit_rom.h"
#include "support/testsupport.h"
#include "ui/filedrops.h"

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
    QTest::addColumn<QString>("dropped"); // files and folders, comma-separated
    QTest::addColumn<QString>("paths");   // the ROM and picture paths after it, "" if refused,
                                          // "notice" if taken and then found to hold nothing

    // The window is the tag's first word.
    const auto row = [](const char* tag, const char* dropped, const char* paths) {
        QTest::newRow(tag) << dropped << paths;
    };
    const char* mixed = "notes.txt,cover.png,game.zip,game.z64";
    row("add: picture", "cover.png", "|cover.png");
    row("add: ROM named in capitals", "LOUD.V64", "LOUD.V64|");
    row("add: several", mixed, "|cover.png");
    row("add: folder", "set", "|set/b.png");
    row("add: nothing that fits", "notes.txt", "");
    // Several ROMs or a folder on the hub are imported; one notice tells what came of it.
    row("hub: several", mixed, "import:1 game added.");
    row("hub: folder", "set", "import:1 game added.");
    row("hub: folder with the ROM deep inside", "deep", "import:1 game added.");
    row("hub: folder without a ROM", "set/empty", "import:No game was added.");
    row("hub: folder without a ROM, then a ROM", "set/empty,game.z64", "import:1 game added.");
    row("hub: name in Windows-1252 bytes", "caf<E9>.z64", "caf<E9>.z64|");
    row("hub: drop without data", "game.zip", "game.zip|");
    row("hub: picture", "cover.png", "");
    row("edit: ROM", "game.z64", "game.z64|old.png");
    row("edit: several", mixed, "old.z64|cover.png");
    row("edit: nothing that fits", "notes.txt,set/a.txt", "");
}

void TestFileDrops::drop_takesFirstFileThatFits()
{
    QFETCH(QString, dropped);
    QFETCH(QString, paths);
    const QByteArray tag = QTest::currentDataTag();
    const QByteArray window = tag.left(tag.indexOf(':'));
    Sandbox box;
    box.makeCatalogue();
    const QByteArray image = cartridgeImage("DROPPED", 'E', 1 << 20);
    // A name that is no UTF-8, as an archive made on Windows leaves it.
    const QString foreign = pathFromNative("caf\xE9");
    const auto named = [&](QString name) { return name.replace("<E9>", foreign); };
    for (const char* name : {"game.z64", "LOUD.V64", "set/c.v64", "deep/b/c/inner.z64",
                             "deep/.hidden.z64", "caf<E9>.z64"})
        box.writeFile(named(name), image);
    box.writeFile("game.zip", zipOf({{"game.z64", image}}));
    for (const char* name : {"notes.txt", "cover.png", "set/a.txt", "set/b.png",
                             "set/empty/notes.txt", "deep/a/notes.txt", "deep/z.txt"})
        box.writeFile(name, "x");
    start();
    mnu_add_rom& add = mnu_add_rom::get();
    mnu_edit_rom& edit = mnu_edit_rom::get();
    edit.Text2->setText(box.path("old.z64"));
    edit.Text3->setText(box.path("old.png"));
    const bool editing = window == "edit";

    QStringList files;
    for (const QString& name : dropped.split(','))
        files << box.path(named(name));
    // Dropped where a field would otherwise take the paths as text.
    QWidget* target = window == "hub" ? static_cast<QWidget*>(main::get().Label3)
                      : editing       ? static_cast<QWidget*>(edit.Text1)
                                      : add.Text4->viewport();
    const bool taken = !paths.isEmpty();
    QCOMPARE(dropFiles(target, files, !tag.contains("without data")), taken);
    if (paths.startsWith("import:")) {
        QTRY_VERIFY_WITH_TIMEOUT(!visibleNotice().isEmpty(), 10000);
        QCOMPARE(visibleNotice().value(0), paths.mid(7));
        QVERIFY(!add.isVisible());
        QVERIFY(!QGuiApplication::overrideCursor());
        return;
    }
    // A dropped folder is searched after the drop, the windows answering meanwhile.
    const bool searching = taken && QFileInfo(files[0]).isDir();
    QCOMPARE(QGuiApplication::overrideCursor() != nullptr, searching);
    QVERIFY(settleFolderDrops(10000));
    QVERIFY(test::ReaderProbe::settle(10000));
    QVERIFY(!QGuiApplication::overrideCursor());
    const bool nothingFound = paths == "notice";
    QCOMPARE(visibleNotice().value(0),
             nothingFound ? "No ROM was found in the dropped folder." : QString());
    if (nothingFound)
        paths.clear();

    QStringList after;
    for (const QLineEdit* field :
         {editing ? edit.Text2 : add.Text2, editing ? edit.Text3 : add.Text3})
        after << (field->text().isEmpty() ? ""
                                          : QDir(box.folder()).relativeFilePath(field->text()));
    QCOMPARE(after.join('|'), paths.isEmpty() ? editing ? "old.z64|old.png" : "|" : named(paths));
    QCOMPARE(add.isVisible(), window == "hub" && !paths.isEmpty());
    // The edit window never fills a box by itself; the add window fills its empty ones, the name
    // from the file's.
    QCOMPARE(edit.Combo1->currentText(), QString());
    QCOMPARE(add.Text1->text(), !editing && !after[0].isEmpty()
                                    ? QFileInfo(named(paths.section('|', 0, 0)))
                                          .completeBaseName()
                                          .replace(foreign, "caf\u00E9")
                                    : "");
    QCOMPARE(add.Text4->toPlainText(), QString());
}

QTEST_MAIN(TestFileDrops)
#include "tst_filedrops.moc"
