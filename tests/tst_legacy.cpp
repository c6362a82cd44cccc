// Catalogues written by the Windows program: Windows-1252 text, record names in any case or in
// Windows-1252 bytes, Windows paths; files a Windows editor saved as UTF-8 or UTF-16. They open
// whole, show every name and record, and an edit changes only what it must, byte for byte.

#include "add/mnu_add_rom.h"
#include "app/vx_main.h"
#include "browser/mnu_list.h"
#include "core/catalogue.h"
#include "core/nativepath.h"
#include "core/recordlookup.h"
#include "core/textfile.h"
#include "edit/mnu_edit_rom.h"
#include "setup/mnu_options.h"
#include "support/testsupport.h"
#include "ui/base/mnu_error.h"
#include "ui/listbox.h"

#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScopeGuard>
#include <QStringEncoder>
#include <QtTest>

using namespace vx;
using namespace vx::test;

namespace
{

// A record as the Windows program's profile functions wrote it.
QByteArray lib(const QByteArray& file, const QByteArray& name, const QByteArray& desc)
{
    return "[paths]\r\nfile=" + file + "\r\nimage=C:\\Pics\\box.jpg\r\n[info]\r\ngamename=" + name +
           "\r\ngametype=PAL\r\nsize=64\r\ndesc=" + desc + "\r\n";
}

// The text as a Windows editor saves it: "ANSI" (here only Latin-1 text), or after its byte order
// mark "UTF-8", "Unicode" (UTF-16 LE) or "Unicode big endian".
QByteArray saved(const QString& text, const QString& as)
{
    if (as == "ANSI")
        return text.toLatin1();
    const auto encoding = as == "UTF-8"     ? QStringEncoder::Utf8
                          : as == "Unicode" ? QStringEncoder::Utf16LE
                                            : QStringEncoder::Utf16BE;
    return QStringEncoder(encoding, QStringEncoder::Flag::WriteBom).encode(text);
}

// Windows-1252 throughout; the record files are named as an archive or a mount gave them.
const QByteArray kIndex = "\r\nCaf\xe9 Racer\r\nZelda\r\nM\xfcller Stra\xdf"
                          "e\r\nPok\xe9mon\r\nDonkey Kong\r\nYoshi\r\n";
const QStringList kNames = {"Café Racer", "Zelda",       "Müller Straße",
                            "Pokémon",    "Donkey Kong", "Yoshi"};
const QByteArray kSettings = Sandbox::settingsBytes("C:\\Export\\Sp\xfcle");

struct Legacy {
    QByteArray path; // below the catalogue folder, as the file system holds it
    QByteArray bytes;
};

const Legacy kRecords[] = {
    // Named in Windows-1252 bytes.
    {"bin/Caf\xe9 Racer.lib",
     lib("C:\\Roms\\Caf\xe9.v64", "Caf\xe9 Racer", "Tr\xe8s \x93rapide\x94, \x80 5")},
    // Only in upper case.
    {"bin/ZELDA.LIB", lib("C:\\Roms\\Zelda.v64", "Zelda", "\x80 5 \x96 gut")},
    // Named in UTF-8, as a mount shows it, holding Windows-1252.
    {"bin/M\xc3\xbcller Stra\xc3\x9f"
     "e.lib",
     lib("\\\\nas\\roms\\M\xfcller.v64",
         "M\xfcller Stra\xdf"
         "e",
         "Stra\xdf"
         "e")},
    // Written here, in UTF-8.
    {"bin/Pok\xc3\xa9mon.lib", lib("/roms/p.v64", "Pok\xc3\xa9mon",
                                   "Pikachu \xe2\x80\x9c"
                                   "blau\xe2\x80\x9d")},
    // Saved by an editor as "Unicode big endian".
    {"bin/Donkey Kong.lib",
     saved(QString::fromUtf8(lib("C:\\Roms\\DK.v64", "Donkey Kong", "F\xc3\xa4sser \xe2\x98\x85")),
           "Unicode big endian")},
    // Saved by an editor as UTF-8, with its mark.
    {"bin/Yoshi.lib", "\xEF\xBB\xBF" + lib("/roms/y.v64", "Yoshi", "Ei \xe2\x98\x85")},
};

QString at(const QByteArray& path)
{
    return pathFromNative(path);
}

} // namespace

class TestLegacy : public QObject
{
    Q_OBJECT

private slots:
    void legacyCatalogue_opensAndKeepsEveryUntouchedByte_data();
    void legacyCatalogue_opensAndKeepsEveryUntouchedByte();
    void findRecord_exactCaseFirstThenByteOrder_data();
    void findRecord_exactCaseFirstThenByteOrder();
};

void TestLegacy::legacyCatalogue_opensAndKeepsEveryUntouchedByte_data()
{
    QTest::addColumn<QString>("form");      // how the index and the settings are saved
    QTest::addColumn<QString>("name");      // the game opened, or added when no record has it
    QTest::addColumn<QString>("desc");      // shown for it
    QTest::addColumn<QString>("romPath");   // shown for it
    QTest::addColumn<QString>("newDesc");   // typed before the save
    QTest::addColumn<QByteArray>("record"); // where its record is on disk
    QTest::addColumn<QByteArray>("recordAfter");
    QTest::addColumn<QByteArray>("indexAfter");

    QTest::newRow("record named in Windows-1252, rewritten where it lies")
        << "ANSI"
        << "Café Racer"
        << "Très “rapide”, € 5"
        << "C:\\Roms\\Café.v64"
        << "Très “rapide”, € 6" << kRecords[0].path
        << lib("C:\\Roms\\Caf\xe9.v64", "Caf\xe9 Racer", "Tr\xe8s \x93rapide\x94, \x80 6")
        << kIndex + "Caf\xe9 Racer\r\n";
    QTest::newRow("Windows-1252 record saved unchanged")
        << "ANSI"
        << "Müller Straße"
        << "Straße"
        << "\\\\nas\\roms\\Müller.v64"
        << "Straße" << kRecords[2].path << kRecords[2].bytes
        << kIndex + "M\xfcller Stra\xdf"
                    "e\r\n";
    QTest::newRow("record only in upper case, rewritten in Windows-1252")
        << "ANSI"
        << "Zelda"
        << "€ 5 – gut"
        << "C:\\Roms\\Zelda.v64"
        << "Neu: “Zelda” für 5 €" << kRecords[1].path
        << lib("C:\\Roms\\Zelda.v64", "Zelda", "Neu: \x93Zelda\x94 f\xfcr 5 \x80")
        << kIndex + "Zelda\r\n";
    QTest::newRow("a character Windows-1252 lacks: the record goes UTF-8 whole")
        << "ANSI"
        << "Müller Straße"
        << "Straße"
        << "\\\\nas\\roms\\Müller.v64"
        << "Straße ★" << kRecords[2].path
        << lib("\\\\nas\\roms\\M\xc3\xbcller.v64",
               "M\xc3\xbcller Stra\xc3\x9f"
               "e",
               "Stra\xc3\x9f"
               "e \xe2\x98\x85")
        << kIndex + "M\xfcller Stra\xdf"
                    "e\r\n";
    QTest::newRow("UTF-8 record stays UTF-8") << "ANSI"
                                              << "Pokémon"
                                              << "Pikachu “blau”"
                                              << "/roms/p.v64"
                                              << "Pikachu „gelb“" << kRecords[3].path
                                              << lib("/roms/p.v64", "Pok\xc3\xa9mon",
                                                     "Pikachu \xe2\x80\x9e"
                                                     "gelb\xe2\x80\x9c")
                                              << kIndex + "Pok\xe9mon\r\n";
    QTest::newRow("added name Windows-1252 lacks: the index goes UTF-8 whole")
        << "ANSI"
        << "ポケモン"
        << ""
        << ""
        << "Neu" << QByteArray("bin/\xe3\x83\x9d\xe3\x82\xb1\xe3\x83\xa2\xe3\x83\xb3.lib")
        << lib("C:\\Roms\\p.v64", "\xe3\x83\x9d\xe3\x82\xb1\xe3\x83\xa2\xe3\x83\xb3", "Neu")
        << QByteArray("\r\nCaf\xc3\xa9 Racer\r\nZelda\r\nM\xc3\xbcller Stra\xc3\x9f"
                      "e\r\nPok\xc3\xa9mon\r\nDonkey Kong\r\nYoshi\r\n"
                      "\xe3\x83\x9d\xe3\x82\xb1\xe3\x83\xa2\xe3\x83\xb3\r\n");
    QTest::newRow("UTF-16 BE record shown, and an edit keeps it UTF-16 BE")
        << "ANSI"
        << "Donkey Kong"
        << "Fässer ★"
        << "C:\\Roms\\DK.v64"
        << "Fässer ★ rollen" << kRecords[4].path
        << saved(QString::fromUtf8(
                     lib("C:\\Roms\\DK.v64", "Donkey Kong", "F\xc3\xa4sser \xe2\x98\x85 rollen")),
                 "Unicode big endian")
        << kIndex + "Donkey Kong\r\n";
    QTest::newRow("UTF-8 index and record keep their mark")
        << "UTF-8"
        << "Yoshi"
        << "Ei ★"
        << "/roms/y.v64"
        << "Ei ★★" << kRecords[5].path
        << "\xEF\xBB\xBF" + lib("/roms/y.v64", "Yoshi", "Ei \xe2\x98\x85\xe2\x98\x85")
        << saved(QString::fromLatin1(kIndex + "Yoshi\r\n"), "UTF-8");
    QTest::newRow("UTF-16 LE index: an added name keeps it UTF-16 LE, every old line too")
        << "Unicode"
        << "ポケモン"
        << ""
        << ""
        << "Neu" << QByteArray("bin/\xe3\x83\x9d\xe3\x82\xb1\xe3\x83\xa2\xe3\x83\xb3.lib")
        << lib("C:\\Roms\\p.v64", "\xe3\x83\x9d\xe3\x82\xb1\xe3\x83\xa2\xe3\x83\xb3", "Neu")
        << saved(QString::fromLatin1(kIndex) + "ポケモン\r\n", "Unicode");
}

void TestLegacy::legacyCatalogue_opensAndKeepsEveryUntouchedByte()
{
    QFETCH(QString, form);
    QFETCH(QString, name);
    QFETCH(QString, desc);
    QFETCH(QString, romPath);
    QFETCH(QString, newDesc);
    QFETCH(QByteArray, record);
    QFETCH(QByteArray, recordAfter);
    QFETCH(QByteArray, indexAfter);

    Sandbox box;
    box.makeCatalogue(saved(QString::fromLatin1(kIndex), form));
    box.writeFile("vx.log", saved(QString::fromLatin1(kSettings), form));
    for (const Legacy& legacy : kRecords)
        QVERIFY(replaceFile(box.path(at(legacy.path)), legacy.bytes));
    // Files here named as the Windows paths read, were they relative names.
    const QString folder = QDir::currentPath();
    QDir::setCurrent(box.folder());
    const auto back = qScopeGuard([&] { QDir::setCurrent(folder); });
    for (const char* path :
         {"C:\\Roms\\Zelda.v64", "C:\\Roms\\Café.v64", "\\\\nas\\roms\\Müller.v64"})
        box.writeFile(QString::fromUtf8(path), "rom");
    const QMap<QString, QByteArray> before = box.snapshot();

    main& hub = main::get();
    hub.show();
    click(hub.Label8);
    QCOMPARE(listed(*mnu_list::get().rom_list), kNames);

    if (!desc.isEmpty()) {
        ListBox& list = *mnu_list::get().rom_list;
        const int row = listed(list).indexOf(name);
        list.setCurrentRow(row);
        doubleClickItem(&list, row);
        QCOMPARE(hub.lbl_title1->text(), name);
        QCOMPARE(hub.Label3->text(), desc);
        QCOMPARE(hub.Label16->text(), "File Path: " + romPath);
        // A Windows path names no file here, whatever the current folder holds.
        QCOMPARE(hub.Label15->text(), "Average File Size: " + main::missingRomText());
        click(hub.Label7);
        QCOMPARE(noticeLines(),
                 QStringList({"File does not exist.", "Please check the path and try again."}));

        mnu_edit_rom& editor = openInEditor(name);
        QCOMPARE(editor.openedName(), name);
        QCOMPARE(editor.Text2->text(), romPath);
        QCOMPARE(editor.Text4->toPlainText(), desc);
        editor.Text4->setPlainText(newDesc);
        click(editor.Picture3);
        QVERIFY(slidOut(editor));
    } else {
        mnu_add_rom& add = mnu_add_rom::get();
        click(hub.Label4);
        fillAdd(add, name, "C:\\Roms\\p.v64", "C:\\Pics\\box.jpg", newDesc, "PAL", "64");
        click(add.Picture5);
        QVERIFY(slidOut(add));
    }

    // The options window shows the stored folder and its OK keeps the settings' bytes.
    click(hub.Label11);
    QCOMPARE(mnu_options::get().Text1->text(), QString("C:\\Export\\Spüle"));
    click(mnu_options::get().cmd_ok);

    QMap<QString, QByteArray> expected = before;
    expected.insert(at(record), recordAfter);
    expected.insert("bin/bootlist.lst", indexAfter);
    const QMap<QString, QByteArray> after = box.snapshot();
    QCOMPARE(after.keys(), expected.keys());
    for (const QString& file : expected.keys())
        QVERIFY2(after.value(file) == expected.value(file),
                 qPrintable(file + ": " + after.value(file).toHex(' ')));
}

void TestLegacy::findRecord_exactCaseFirstThenByteOrder_data()
{
    QTest::addColumn<QByteArrayList>("files"); // in bin; a final '/' makes a folder
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("found"); // empty: none

    QTest::newRow("exact case wins") << QByteArrayList{"ZELDA.LIB", "zelda.lib", "Zelda.lib"}
                                     << "Zelda" << QByteArray("Zelda.lib");
    QTest::newRow("then the first in byte order")
        << QByteArrayList{"zelda.lib", "ZELDA.LIB", "zELDA.lib"} << "Zelda"
        << QByteArray("ZELDA.LIB");
    QTest::newRow("extension in another case")
        << QByteArrayList{"Zelda.LIB"} << "Zelda" << QByteArray("Zelda.LIB");
    QTest::newRow("Windows-1252 name")
        << QByteArrayList{"Caf\xe9.lib"} << "Café" << QByteArray("Caf\xe9.lib");
    QTest::newRow("Windows-1252 name in another case")
        << QByteArrayList{"CAF\xc9.LIB"} << "café" << QByteArray("CAF\xc9.LIB");
    QTest::newRow("UTF-8 name before its Windows-1252 twin")
        << QByteArrayList{"Caf\xe9.lib", "Caf\xc3\xa9.lib"} << "Café"
        << QByteArray("Caf\xc3\xa9.lib");
    QTest::newRow("exact text in Windows-1252 before another case in UTF-8")
        << QByteArrayList{"CAF\xc3\x89.LIB", "Caf\xe9.lib"} << "Café" << QByteArray("Caf\xe9.lib");
    QTest::newRow("a folder is no record")
        << QByteArrayList{"Zelda.lib/", "ZELDA.LIB"} << "Zelda" << QByteArray("ZELDA.LIB");
    QTest::newRow("none") << QByteArrayList{"Zelda.txt", "Zelde.lib", "Zeld.lib", "Zelda.lib.bak"}
                          << "Zelda" << QByteArray();
}

void TestLegacy::findRecord_exactCaseFirstThenByteOrder()
{
    QFETCH(QByteArrayList, files);
    QFETCH(QString, name);
    QFETCH(QByteArray, found);

    Sandbox box;
    box.makeCatalogue();
    // Looked up once before the files come: what that lookup learnt of bin must not hide them.
    QCOMPARE(catalogue::findRecord(name), QString());
    for (const QByteArray& file : files) {
        const QString path = box.path(at("bin/" + file));
        if (file.endsWith('/'))
            QVERIFY(QDir().mkpath(path));
        else
            QVERIFY(replaceFile(path, "[info]\r\n"));
    }
    QCOMPARE(catalogue::findRecord(name),
             found.isEmpty() ? QString() : box.path(at("bin/" + found)));
}

QTEST_MAIN(TestLegacy)
#include "tst_legacy.moc"
