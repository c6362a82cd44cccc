// Hostile catalogue files and hostile names: the program keeps running, shows what the reading
// rules give, stores every usable name exactly and never reads or writes outside bin.

#include "add/mnu_add_rom.h"
#include "app/vx_main.h"
#include "browser/mnu_list.h"
#include "core/catalogue.h"
#include "core/fields.h"
#include "core/profile.h"
#include "edit/edit_rom_list.h"
#include "edit/mnu_edit_rom.h"
#include "setup/mnu_options.h"
#include "support/fieldreader.h"
#include "support/testsupport.h"
#include "ui/base/mnu_error.h"
#include "ui/listbox.h"

#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QStringEncoder>
#include <QtTest>

using namespace vx;
using namespace vx::test;

namespace
{

const QStringList kInvalidName = {"The Game name cannot be used as a file name.",
                                  "Invalid Game Name"};
const QStringList kMissingRecord = {"This Games data file is missing or deleted.",
                                    "Deleting Entry"};

QByteArray record(const QByteArray& desc)
{
    return "[paths]\r\nfile=/r\r\nimage=/i\r\n[info]\r\ngamename=g\r\ngametype=US\r\nsize=8\r\n"
           "desc=" +
           desc + "\r\n";
}

// The text as UTF-16 after its byte order mark, as a Windows editor saves "Unicode".
QByteArray utf16(const QString& text, QStringEncoder::Encoding order = QStringEncoder::Utf16LE)
{
    return QStringEncoder(order, QStringEncoder::Flag::WriteBom).encode(text);
}

void clearNotice()
{
    mnu_error::get().Label1->setCaption(QString());
    mnu_error::get().Label2->setCaption(QString());
}

// View ROM, then a double click on the name; the browser list as it was shown.
QStringList viewGame(const QString& name)
{
    main& hub = main::get();
    click(hub.Label8);
    ListBox& list = *mnu_list::get().rom_list;
    const QStringList shown = listed(list);
    const int row = shown.indexOf(name);
    if (row >= 0) {
        list.setCurrentRow(row);
        doubleClickItem(&list, row);
    }
    return shown;
}

// Edit ROM, then a click on the name; the picker's list as it was shown.
QStringList editGame(const QString& name)
{
    click(main::get().Label5);
    ListBox& list = *edit_rom_list::get().rom_list;
    const QStringList shown = listed(list);
    if (shown.contains(name))
        clickListed(list, name);
    return shown;
}

} // namespace

class TestHostile : public QObject
{
    Q_OBJECT

private slots:
    void hostileFile_programRunsAndShowsRules_data();
    void hostileFile_programRunsAndShowsRules();
    void hostileSettings_startUpAndOptionsRun_data();
    void hostileSettings_startUpAndOptionsRun();
    void hostileName_storedExactlyOrRefused_data();
    void hostileName_storedExactlyOrRefused();
    void longNameWrittenElsewhere_viewedAndPicked_data();
    void longNameWrittenElsewhere_viewedAndPicked();
    void traversalNameInIndex_nothingOutsideBinTouched_data();
    void traversalNameInIndex_nothingOutsideBinTouched();
    void descriptionWithKeyLines_changesNoOtherKey();
};

void TestHostile::hostileFile_programRunsAndShowsRules_data()
{
    QTest::addColumn<QByteArray>("index");
    QTest::addColumn<QByteArray>("recordBytes");
    QTest::addColumn<QStringList>("names"); // View ROM's list
    QTest::addColumn<QString>("desc");      // shown for g
    QTest::addColumn<QString>("type");

    const QByteArray plainIndex = "\r\ng\r\n";
    const QByteArray plain = record("Plumber");
    const QString bigValue(100000, QLatin1Char('v'));
    const QByteArray tenMB(10 * 1024 * 1024, 'x');

    QTest::newRow("index: NUL bytes")
        << QByteArray("\r\nn\0l\r\ng\r\n", 10) << plain
        << QStringList{QString("n") + QChar(0) + "l", "g"} << "Plumber"
        << "US";
    QTest::newRow("index: invalid UTF-8, read as Windows-1252")
        << QByteArray("\r\n\xff\xfe\r\ng\r\n") << plain << QStringList{"ÿþ", "g"} << "Plumber"
        << "US";
    QTest::newRow("index: BOM") << QByteArray("\xEF\xBB\xBF\r\ng\r\n") << plain << QStringList{"g"}
                                << "Plumber"
                                << "US";
    const QChar high(0xD800);
    const QChar low(0xDC00);
    QTest::newRow("index: UTF-16, odd byte count")
        << utf16("\r\ng\r\n") + 'x' << plain << QStringList{"g", "x"} << "Plumber"
        << "US";
    QTest::newRow("index: UTF-16 BE, lone surrogates")
        << utf16(QString("\r\n") + low + "\r\ng\r\n" + high, QStringEncoder::Utf16BE) << plain
        << QStringList{low, "g", high} << "Plumber"
        << "US";
    QTest::newRow("index: CR only")
        << QByteArray("\rh\rg\r") << plain << QStringList{"h", "g"} << "Plumber"
        << "US";
    QTest::newRow("index: LF only")
        << QByteArray("\nh\ng\n") << plain << QStringList{"h", "g"} << "Plumber"
        << "US";
    QTest::newRow("index: unterminated quote")
        << QByteArray("\r\ng\r\n\"open, never closed\r\n") << plain
        << QStringList{"g", "open, never closed\r\n"} << "Plumber"
        << "US";
    QTest::newRow("index: 10 MB line") << QByteArray("\r\ng\r\n" + tenMB) << plain
                                       << QStringList{"g", QString::fromLatin1(tenMB)} << "Plumber"
                                       << "US";
    QTest::newRow("record: NUL in value") << plainIndex << record(QByteArray("a\0b", 3))
                                          << QStringList{"g"} << QString("a") + QChar(0) + "b"
                                          << "US";
    QTest::newRow("record: invalid UTF-8, read as Windows-1252")
        << plainIndex << record("\xff ok") << QStringList{"g"} << "ÿ ok"
        << "US";
    QTest::newRow("record: BOM") << plainIndex << "\xEF\xBB\xBF" + plain << QStringList{"g"}
                                 << "Plumber"
                                 << "US";
    QTest::newRow("record: UTF-16 mark only")
        << plainIndex << QByteArray("\xFF\xFE") << QStringList{"g"} << ""
        << "";
    QTest::newRow("record: UTF-16 BE, odd byte count, lone surrogate")
        << plainIndex
        << utf16(QString::fromLatin1(record("a")) + high, QStringEncoder::Utf16BE) + 'z'
        << QStringList{"g"} << "a"
        << "US";
    QByteArray crOnly = plain;
    crOnly.replace("\r\n", "\r");
    QTest::newRow("record: CR only") << plainIndex << crOnly << QStringList{"g"} << "Plumber"
                                     << "US";
    QByteArray lfOnly = plain;
    lfOnly.replace("\r\n", "\n");
    QTest::newRow("record: LF only") << plainIndex << lfOnly << QStringList{"g"} << "Plumber"
                                     << "US";
    QTest::newRow("record: 100,000-character value")
        << plainIndex << record(bigValue.toLatin1()) << QStringList{"g"} << bigValue << "US";
    QTest::newRow("record: 10 MB line")
        << plainIndex << plain + tenMB << QStringList{"g"} << "Plumber"
        << "US";
    QTest::newRow("record: unterminated quote")
        << plainIndex << record("\"abc") << QStringList{"g"} << "\"abc"
        << "US";
    QTest::newRow("record: repeated sections and keys")
        << plainIndex
        << "gametype=outside\r\n" + record("first") + "desc=second\r\n[info]\r\ngametype=later\r\n"
        << QStringList{"g"} << "first"
        << "US";
}

void TestHostile::hostileFile_programRunsAndShowsRules()
{
    QFETCH(QByteArray, index);
    QFETCH(QByteArray, recordBytes);
    QFETCH(QStringList, names);
    QFETCH(QString, desc);
    QFETCH(QString, type);

    Sandbox box;
    box.makeCatalogue(index);
    box.writeFile("bin/g.lib", recordBytes);
    const QMap<QString, QByteArray> before = box.snapshot();

    main& hub = main::get();
    hub.show();
    QCOMPARE(viewGame("g"), names);
    QCOMPARE(hub.lbl_title1->text(), QString("g"));
    QCOMPARE(hub.Label3->text(), desc);
    QCOMPARE(hub.Label13->text(), "Game type: " + type);

    QVERIFY(editGame("g").contains("g"));
    mnu_edit_rom& editor = mnu_edit_rom::get();
    QCOMPARE(editor.openedName(), QString("g"));
    QCOMPARE(editor.Text4->toPlainText(), desc);
    QCOMPARE(editor.Combo1->currentText(), type);

    // Looking changes nothing.
    QCOMPARE(box.snapshot(), before);
}

void TestHostile::hostileSettings_startUpAndOptionsRun_data()
{
    QTest::addColumn<QByteArray>("settings");
    QTest::addColumn<QString>("exportPath");

    QTest::newRow("NUL bytes") << QByteArray("[export]\r\npath=/a\0b\r\n", 21)
                               << QString("/a") + QChar(0) + "b";
    QTest::newRow("invalid UTF-8, read as Windows-1252")
        << QByteArray("[export]\r\npath=/\xff\r\n") << "/ÿ";
    QTest::newRow("BOM") << QByteArray("\xEF\xBB\xBF[export]\r\npath=/e\r\n") << "/e";
    QTest::newRow("CR only") << QByteArray("[info]\rruns=1\r[export]\rpath=/e\r") << "/e";
    QTest::newRow("UTF-16 LE") << utf16("[export]\r\npath=/€\r\n") << "/€";
    QTest::newRow("UTF-16 BE, odd byte count")
        << utf16("[export]\r\npath=/e\r\n", QStringEncoder::Utf16BE) + 'z' << "/e";
    QTest::newRow("LF only") << QByteArray("[info]\nruns=1\n[export]\npath=/e\n") << "/e";
    QTest::newRow("10 MB line") << QByteArray("[export]\r\npath=/e\r\n" + QByteArray(10 << 20, 'z'))
                                << "/e";
    QTest::newRow("unterminated quote") << QByteArray("[export]\r\npath=\"/e\r\n") << "\"/e";
    QTest::newRow("repeated")
        << QByteArray("path=/no\r\n[export]\r\npath=/e\r\npath=/f\r\n[export]\r\npath=/g\r\n")
        << "/e";
    QTest::newRow("keys outside sections") << QByteArray("path=/no\r\n") << "";
}

void TestHostile::hostileSettings_startUpAndOptionsRun()
{
    QFETCH(QByteArray, settings);
    QFETCH(QString, exportPath);

    Sandbox box;
    box.makeCatalogue("\r\ng\r\n");
    box.writeFile("bin/g.lib", record("d"));
    box.writeFile("vx.log", settings);
    const QMap<QString, QByteArray> before = box.snapshot();

    main& hub = main::get();
    hub.show();
    QCOMPARE(viewGame("g"), QStringList{"g"});
    click(hub.Label11);
    QVERIFY(mnu_options::get().isVisible());
    QCOMPARE(catalogue::exportFolder(), exportPath);
    QCOMPARE(box.snapshot(), before);
}

void TestHostile::hostileName_storedExactlyOrRefused_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("usable");

    QString printable;
    for (char c = 0x20; c < 0x7f; ++c) {
        if (!QByteArray("\\/:*?\"<>|").contains(c))
            printable += QLatin1Char(c);
    }
    QTest::newRow("every usable printable ASCII") << printable << true;
    QTest::newRow("letters beyond ASCII") << QString("é ß 日本語 🎮") << true;
    QTest::newRow("blanks at both ends") << QString("  padded  ") << true;
    QTest::newRow("commas") << QString("a, b,c") << true;
    QTest::newRow("quotes at both ends") << QString("'quoted'") << true;
    QTest::newRow("leading dot") << QString(".hidden") << true;
    QTest::newRow("dots only") << QString("..") << true;
#ifndef Q_OS_WIN
    QTest::newRow("a colon, as titles have it")
        << QString("Castlevania: Symphony of the Night") << true;
#endif
    // Saves stay 11 bytes short of the 255-byte name limit after ".lib".
    QTest::newRow("244 bytes") << QString(244, QLatin1Char('n')) << true;
    QTest::newRow("244 bytes in UTF-8") << QString::fromUtf8("🎮").repeated(61) << true;
    QTest::newRow("245 bytes") << QString(245, QLatin1Char('n')) << false;
    QTest::newRow("250+ bytes in UTF-8") << QString(84, QChar(0x65E5)) << false;
    for (const char* name :
         {"../x", "a/b", "..\\x", "/etc/passwd", "C:\\x", "a*", "a?", "<a>", "a|b", "a\"b"})
        QTest::addRow("unusable: %s", name) << QString::fromUtf8(name) << false;
    QTest::newRow("unusable: tab") << QString("tab\there") << false;
    QTest::newRow("unusable: line break") << QString("line\nbreak") << false;
    QTest::newRow("unusable: DEL") << QString("a\x7f") << false;
}

void TestHostile::hostileName_storedExactlyOrRefused()
{
    QFETCH(QString, name);
    QFETCH(bool, usable);

    Sandbox box;
    box.makeCatalogue("\r\nMario\r\n");
    box.writeFile("roms/a.rom", "r");
    box.writeFile("pics/a.png", "p");
    const QMap<QString, QByteArray> before = box.snapshot();

    main& hub = main::get();
    hub.show();
    mnu_add_rom& add = mnu_add_rom::get();
    add.Text1->setText(name);
    add.Text2->setText(box.path("roms/a.rom"));
    add.Text3->setText(box.path("pics/a.png"));
    add.Combo1->setEditText("US");
    add.Combo2->setEditText("8");
    add.Text4->setPlainText("desc");
    add.show();
    clearNotice();
    click(add.Picture5);

    if (!usable) {
        QCOMPARE(noticeLines(), kInvalidName);
        QCOMPARE(box.snapshot(), before);
        QVERIFY(add.Left() > -add.Width());
        return;
    }
    QCOMPARE(noticeLines(), QStringList({"", ""}));
    QCOMPARE(readFields(box.readFile("bin/bootlist.lst")), QStringList({"", "Mario", name}));
    QVERIFY(QFileInfo(box.path("bin/" + name + ".lib")).isFile());
    QCOMPARE(profile::read(box.path("bin/" + name + ".lib"), "info", "gamename"), name);

    QCOMPARE(viewGame(name), QStringList({"Mario", name}));
    QCOMPARE(hub.lbl_title1->text(), name);
    QCOMPARE(hub.Label3->text(), QString("desc"));

    QVERIFY(editGame(name).contains(name));
    mnu_edit_rom& editor = mnu_edit_rom::get();
    QCOMPARE(editor.Text1->text(), name);
    QCOMPARE(editor.Text4->toPlainText(), QString("desc"));
    editor.Text4->setPlainText("edited");
    click(editor.Picture3);
    QCOMPARE(noticeLines(), QStringList({"", ""}));
    QCOMPARE(profile::read(box.path("bin/" + name + ".lib"), "info", "desc"), QString("edited"));
    QCOMPARE(readFields(box.readFile("bin/bootlist.lst")), QStringList({"", "Mario", name, name}));
}

void TestHostile::longNameWrittenElsewhere_viewedAndPicked_data()
{
    // Too long for a save here, yet a file name: such records are read.
    QTest::addColumn<QString>("name");
    QTest::newRow("245 bytes") << QString(245, QLatin1Char('n'));
    QTest::newRow("251 bytes, the most a record name can hold") << QString(251, QLatin1Char('n'));
    QTest::newRow("251 bytes in UTF-8") << QString(83, QChar(0x65E5)) + "nn";
}

void TestHostile::longNameWrittenElsewhere_viewedAndPicked()
{
    QFETCH(QString, name);
    Sandbox box;
    box.makeCatalogue("\r\n" + name.toUtf8() + "\r\n");
    box.writeRecord(name, "/r", "", "US", "8", "long");
    main& hub = main::get();
    hub.show();
    viewGame(name);
    QCOMPARE(hub.lbl_title1->text(), name);
    QCOMPARE(hub.Label3->text(), QString("long"));
    editGame(name);
    QCOMPARE(mnu_edit_rom::get().openedName(), name);
    QCOMPARE(mnu_edit_rom::get().Text4->toPlainText(), QString("long"));
}

void TestHostile::traversalNameInIndex_nothingOutsideBinTouched_data()
{
    QTest::addColumn<QString>("name");
    for (const char* name : {"../x", "a/b", "..\\x", "/x", "../bin/Mario", "*", "Mari?"})
        QTest::newRow(name) << QString::fromLatin1(name);
}

void TestHostile::traversalNameInIndex_nothingOutsideBinTouched()
{
    QFETCH(QString, name);

    Sandbox box;
    box.makeCatalogue("\r\nMario\r\n" + name.toLocal8Bit() + "\r\n");
    box.writeRecord("Mario", "/r", "/i", "US", "8", "Plumber");
    // Records a name could reach outside bin, were it used as a path.
    box.writeFile("x.lib", record("outside"));
    box.writeFile("a/b.lib", record("outside"));
    box.writeFile("bin/a/b.lib", record("outside"));
    box.writeFile("bin/..\\x.lib", record("outside"));
    const QMap<QString, QByteArray> before = box.snapshot();

    main& hub = main::get();
    hub.show();
    clearNotice();
    QVERIFY(viewGame(name).contains(name));
    QCOMPARE(noticeLines(), kMissingRecord);
    QVERIFY(hub.Label3->text() != QLatin1String("outside"));

    clearNotice();
    QVERIFY(editGame(name).contains(name));
    QCOMPARE(noticeLines(), kMissingRecord);
    mnu_edit_rom& editor = mnu_edit_rom::get();
    QVERIFY(editor.Text4->toPlainText() != QLatin1String("outside"));
    // Saving what the edit window holds writes nothing for that name.
    editor.Text2->setText("/r");
    editor.Text3->setText("/i");
    editor.Text4->setPlainText("d");
    editor.Combo1->setEditText("US");
    editor.Combo2->setEditText("8");
    click(editor.Picture3);
    QCOMPARE(box.snapshot(), before);
}

void TestHostile::descriptionWithKeyLines_changesNoOtherKey()
{
    Sandbox box;
    box.makeCatalogue("\r\nMario\r\n");
    box.writeFile("roms/a.rom", "r");
    box.writeFile("pics/a.png", "p");
    box.writeRecord("Mario", box.path("roms/a.rom"), box.path("pics/a.png"), "US", "8", "Plumber");

    main& hub = main::get();
    hub.show();
    editGame("Mario");
    mnu_edit_rom& editor = mnu_edit_rom::get();
    const QString desc = "line\r\n[paths]\r\nfile=/etc/passwd\n[info]\rgametype=EVIL\nsize=1";
    editor.Text4->setPlainText(desc);
    click(editor.Picture3);

    const QString path = box.path("bin/Mario.lib");
    QCOMPARE(profile::read(path, "paths", "file"), box.path("roms/a.rom"));
    QCOMPARE(profile::read(path, "paths", "image"), box.path("pics/a.png"));
    QCOMPARE(profile::read(path, "info", "gametype"), QString("US"));
    QCOMPARE(profile::read(path, "info", "size"), QString("8"));
    QCOMPARE(profile::read(path, "info", "desc"),
             QString("line [paths] file=/etc/passwd [info] gametype=EVIL size=1"));
    QCOMPARE(box.readFile("bin/Mario.lib").count('\n'), 8);
    viewGame("Mario");
    QCOMPARE(hub.Label13->text(), QString("Game type: US"));
}

QTEST_MAIN(TestHostile)
#include "tst_hostile.moc"
