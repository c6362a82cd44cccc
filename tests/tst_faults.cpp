// Every path that writes, made to fail: a folder where the file should be, a file where the bin
// folder should be, a missing destination folder. Each shows its notice, leaves every existing
// file byte for byte as it was, and the program goes on answering.

#include "add/mnu_add_rom.h"
#include "app/copy_export.h"
#include "app/vx_main.h"
#include "browser/mnu_list.h"
#include "core/logging.h"
#include "core/textfile.h"
#include "edit/edit_rom_list.h"
#include "edit/mnu_edit_rom.h"
#include "setup/mnu_options.h"
#include "support/testsupport.h"
#include "ui/base/mnu_error.h"
#include "ui/dialogs.h"
#include "ui/listbox.h"

#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QtTest>

using namespace vx;
using namespace vx::test;

namespace
{

const QStringList kSaveFailed = {"The game could not be saved.",
                                 "Check that the bin folder can be written."};
const QStringList kSettingsFailed = {"The export folder could not be saved.",
                                     "Check that the program folder can be written."};
const QStringList kClearFailed = {"The index could not be cleared.",
                                  "Check that the bin folder can be written."};
const QStringList kClearUnreadable = {"The index could not be cleared.",
                                      "Check that the bin folder can be read."};
const QStringList kCopyFailed = {"The ROM could not be copied.",
                                 "Please check the destination and try again."};

enum class Action { Add, Edit, Options, Clear, Copy, Export };

// How the target is made unwritable.
enum class Fault {
    FolderAtRecord,
    FolderAtIndex,
    FolderAtSettings,
    FileAtBin,
    FolderAtTarget,
    MissingFolder,
    UnreadableIndex, // there, but every read of it fails (as on a failing disk)
};

void makeGames(Sandbox& box)
{
    box.makeCatalogue("\r\nMario\r\n");
    box.writeFile("roms/mario.v64", QByteArray(4096, 'm'));
    box.writeFile("pics/mario.png", "p");
    box.writeRecord("Mario", box.path("roms/mario.v64"), box.path("pics/mario.png"), "US", "64",
                    "Plumber");
}

// Replaces a file by a folder of that name (keeping nothing: the file's bytes are the fault).
void folderAt(Sandbox& box, const QString& relative)
{
    QFile::remove(box.path(relative));
    QDir(box.folder()).mkpath(relative + "/inside");
}

void fillAdd(const QString& name, const Sandbox& box)
{
    test::fillAdd(mnu_add_rom::get(), name, box.path("roms/mario.v64"), box.path("pics/mario.png"),
                  "New game", "US", "8");
}

// The program still answers: View ROM lists the catalogue and a double click shows a game.
void checkStillAnswers(const QStringList& expectedNames)
{
    main& hub = main::get();
    click(hub.Label8);
    ListBox& list = *mnu_list::get().rom_list;
    QVERIFY(mnu_list::get().isVisible());
    QCOMPARE(listed(list), expectedNames);
}

} // namespace

class TestFaults : public QObject
{
    Q_OBJECT

private slots:
    void write_unwritableTarget_noticeAndNothingChanged_data();
    void write_unwritableTarget_noticeAndNothingChanged();
};

void TestFaults::write_unwritableTarget_noticeAndNothingChanged_data()
{
    QTest::addColumn<Action>("action");
    QTest::addColumn<Fault>("fault");
    QTest::addColumn<QStringList>("notice");
    QTest::addColumn<QStringList>("listedAfter");
    QTest::addColumn<QStringList>("logged"); // category, reason

    const QStringList mario{"Mario"};
    QTest::newRow("add: folder at the record")
        << Action::Add << Fault::FolderAtRecord << kSaveFailed << mario
        << QStringList{"vexloutil.store", "Is a directory"};
    QTest::newRow("add: folder at the index")
        << Action::Add << Fault::FolderAtIndex << kSaveFailed << QStringList()
        << QStringList{"vexloutil.store", "Is a directory"};
    QTest::newRow("add: file at bin")
        << Action::Add << Fault::FileAtBin << kSaveFailed << QStringList()
        << QStringList{"vexloutil.store", "Not a directory"};
    QTest::newRow("edit: folder at the record")
        << Action::Edit << Fault::FolderAtRecord << kSaveFailed << mario
        << QStringList{"vexloutil.store", "Is a directory"};
    QTest::newRow("edit: folder at the index")
        << Action::Edit << Fault::FolderAtIndex << kSaveFailed << QStringList()
        << QStringList{"vexloutil.store", "Is a directory"};
    // Written back from what could be read, the index would lose every name.
    QTest::newRow("add: unreadable index")
        << Action::Add << Fault::UnreadableIndex << kSaveFailed << QStringList()
        << QStringList{"vexloutil.store", "Input/output error"};
    QTest::newRow("edit: unreadable index")
        << Action::Edit << Fault::UnreadableIndex << kSaveFailed << QStringList()
        << QStringList{"vexloutil.store", "Input/output error"};
    QTest::newRow("clear: unreadable index")
        << Action::Clear << Fault::UnreadableIndex << kClearUnreadable << QStringList()
        << QStringList{"vexloutil.store", "Input/output error"};
    QTest::newRow("options: folder at the settings")
        << Action::Options << Fault::FolderAtSettings << kSettingsFailed << mario
        << QStringList{"vexloutil.store", "Is a directory"};
    QTest::newRow("clear: folder at the index")
        << Action::Clear << Fault::FolderAtIndex << kClearFailed << QStringList()
        << QStringList{"vexloutil.store", "not a file"};
    QTest::newRow("clear: file at bin")
        << Action::Clear << Fault::FileAtBin << kClearFailed << QStringList()
        << QStringList{"vexloutil.store", "Not a directory"};
    QTest::newRow("copy: folder at the target")
        << Action::Copy << Fault::FolderAtTarget << kCopyFailed << mario
        << QStringList{"vexloutil.copy", "not a file"};
    QTest::newRow("copy: missing folder")
        << Action::Copy << Fault::MissingFolder << kCopyFailed << mario
        << QStringList{"vexloutil.copy", "No such file or directory"};
    QTest::newRow("export: folder at the target")
        << Action::Export << Fault::FolderAtTarget << kCopyFailed << mario
        << QStringList{"vexloutil.copy", "not a file"};
    QTest::newRow("export: missing folder")
        << Action::Export << Fault::MissingFolder << kCopyFailed << mario
        << QStringList{"vexloutil.copy", "No such file or directory"};
}

void TestFaults::write_unwritableTarget_noticeAndNothingChanged()
{
    QFETCH(Action, action);
    QFETCH(Fault, fault);
    QFETCH(QStringList, notice);
    QFETCH(QStringList, listedAfter);
    QFETCH(QStringList, logged);

    Sandbox box;
    makeGames(box);
    const QString target = box.path("out/mario.v64");
    QDir(box.folder()).mkpath("out");
    if (action == Action::Export) {
        box.writeFile("vx.log",
                      "[export]\r\npath=" +
                          (fault == Fault::MissingFolder ? box.path("gone/away") : box.path("out"))
                              .toLocal8Bit() +
                          "\r\n");
    }

    main& hub = main::get();
    hub.show();
    // Windows opened before the fault, as a user has them open when the disk changes.
    if (action == Action::Edit)
        openInEditor("Mario");
    if (action == Action::Export) {
        click(hub.Label8);
        ListBox& list = *mnu_list::get().rom_list;
        list.setCurrentRow(0);
        doubleClickItem(&list, 0);
        QCOMPARE(hub.lbl_title1->text(), QString("Mario"));
    }

    switch (fault) {
    case Fault::FolderAtRecord:
        folderAt(box, action == Action::Add ? "bin/Luigi.lib" : "bin/Mario.lib");
        break;
    case Fault::FolderAtIndex:
        folderAt(box, "bin/bootlist.lst");
        break;
    case Fault::FolderAtSettings:
        folderAt(box, "vx.log");
        break;
    case Fault::FileAtBin:
        QDir(box.path("bin")).removeRecursively();
        box.writeFile("bin", "not a folder");
        break;
    case Fault::FolderAtTarget:
        folderAt(box, "out/mario.v64");
        break;
    case Fault::MissingFolder:
        break;
    case Fault::UnreadableIndex:
        failReadsOf(box.path("bin/bootlist.lst"));
        break;
    }
    const QMap<QString, QByteArray> before = box.snapshot();
    if (qEnvironmentVariableIsEmpty("QT_LOGGING_RULES"))
        QVERIFY(!lcStore().isWarningEnabled() && !lcCopy().isWarningEnabled());
    const LogCapture log;
    mnu_error::get().Label1->setCaption(QString());
    mnu_error::get().Label2->setCaption(QString());

    switch (action) {
    case Action::Add: {
        fillAdd("Luigi", box);
        mnu_add_rom& add = mnu_add_rom::get();
        add.show();
        click(add.Picture5);
        // The window stays with what was typed.
        QVERIFY(add.Left() > -add.Width());
        QCOMPARE(add.Text1->text(), QString("Luigi"));
        break;
    }
    case Action::Edit: {
        mnu_edit_rom& editor = mnu_edit_rom::get();
        QCOMPARE(editor.openedName(), QString("Mario"));
        editor.Text4->setPlainText("Changed");
        click(editor.Picture3);
        QVERIFY(editor.Left() > -editor.Width());
        QCOMPARE(editor.Text4->toPlainText(), QString("Changed"));
        break;
    }
    case Action::Options: {
        mnu_options& options = mnu_options::get();
        click(hub.Label11);
        options.Text1->setText(box.path("out"));
        click(options.cmd_ok);
        QVERIFY(options.Left() > -options.Width());
        break;
    }
    case Action::Clear:
        click(hub.Label11);
        dialogs::queueAnswer(QMessageBox::Yes);
        click(mnu_options::get().cmd_clear);
        break;
    case Action::Copy:
        dialogs::queueFile(box.path("roms/mario.v64"));
        dialogs::queueFile(fault == Fault::MissingFolder ? box.path("gone/mario.v64") : target);
        click(hub.Label6);
        break;
    case Action::Export:
        click(hub.Label7);
        break;
    }

    QCOMPARE(noticeLines(), notice);
    // The system's reason reaches the log, which is silent unless asked for.
    const QStringList lines = log.lines();
    QVERIFY2(std::any_of(lines.begin(), lines.end(),
                         [&](const QString& line) {
                             return line.startsWith(logged[0] + ": ") &&
                                    line.endsWith(": " + logged[1]);
                         }),
             qPrintable(lines.join('\n')));
    QCOMPARE(box.snapshot(), before);
    checkStillAnswers(listedAfter);
}

QTEST_MAIN(TestFaults)
#include "tst_faults.moc"
