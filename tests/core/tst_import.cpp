#include "core/appfolder.h"
#include "core/catalogue.h"
#include "core/gamesave.h"
#include "core/listfile.h"
#include "core/recordlookup.h"
#include "core/romimport.h"
#include "support/cartridgeimages.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QSemaphore>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#include <thread>

using namespace vx;

namespace
{

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// A catalogue holding one game, Existing, in `folder`.
bool makeCatalogue(const QString& folder, const QByteArray& index = "\r\nExisting\r\n")
{
    return writeFile(folder + "/vx.log", "[info]\r\nruns=1\r\n") &&
           writeFile(folder + "/bin/bootlist.lst", index) &&
           writeFile(folder + "/bin/Existing.lib", "[info]\r\ngamename=Existing\r\n");
}

// "img0:NAME" .. "img2:NAME" (an image in that byte order), "zip:NAME", "junk" or "pic".
QByteArray contentOf(const QString& kind)
{
    const QByteArray header = kind.section(':', 1).toLatin1();
    if (kind.startsWith("img"))
        return test::cartridgeImage(header, 'E', 131072, kind.mid(3, 1).toInt());
    if (kind.startsWith("zip"))
        return test::zipOf({{"game.z64", test::cartridgeImage(header, 'E')}});
    return kind == "pic" ? QByteArray("\x89PNG\r\n") : QByteArray("not a cartridge image");
}

// The index's lines after its empty first one.
QStringList indexLines()
{
    QStringList lines = listfile::read(catalogue::indexPath()).value_or(TextList()).toStringList();
    return lines.mid(1);
}

// `datNames`: "file name=the DAT's name for it"; without any, no DAT is asked.
romimport::Result import(const QStringList& paths, int cancelAfter, romimport::Found* found,
                         const QStringList& datNames = {})
{
    romimport::Progress progress;
    std::function<QString(const QString&)> datName;
    if (!datNames.isEmpty())
        datName = [&](const QString& path) {
            for (const QString& pair : datNames) {
                if (path.endsWith('/' + pair.section('=', 0, 0)))
                    return pair.section('=', 1);
            }
            return QString();
        };
    *found = romimport::readFiles(romimport::filesToRead(paths, [] { return false; }),
                                  {"png", "jpg"}, progress, datName);
    romimport::Progress writing;
    return romimport::writeGames(found->games, writing, [&] {
        if (writing.done == cancelAfter)
            writing.cancelled = true;
    });
}

} // namespace

// Import many and rebuild the index, without a window; kills in a child process of this test.
class tst_import : public QObject
{
    Q_OBJECT

private slots:
    void import_addsEachCartridgeOnceAsAWholeRecord_data();
    void import_addsEachCartridgeOnceAsAWholeRecord();
    void rebuild_appendsUnlistedRecordsInNameOrder_data();
    void rebuild_appendsUnlistedRecordsInNameOrder();
    void killedImportOrRename_neverLeavesHalfAnIndexOrLosesARecord_data();
    void killedImportOrRename_neverLeavesHalfAnIndexOrLosesARecord();
    void lockHeldByImportThread_isBusyForOthers();
};

void tst_import::import_addsEachCartridgeOnceAsAWholeRecord_data()
{
    QTest::addColumn<QStringList>("files");    // "path in roms=content"
    QTest::addColumn<QStringList>("given");    // what is dropped, in roms
    QTest::addColumn<int>("cancelAfter");      // games, or -1
    QTest::addColumn<QStringList>("index");    // lines added after Existing
    QTest::addColumn<QStringList>("pictures"); // "game=picture in roms"; others have none
    QTest::addColumn<QString>("summary");      // upper / lower
    QTest::addColumn<QStringList>("dat");      // "file=the DAT's name for it"

    const QStringList folder{"."};
    QTest::newRow("three byte orders, a zip, a file that is none")
        << QStringList{"Alpha Golf (USA).z64=img0:HDR",
                       "Beta.v64=img1:HDR",
                       "Gamma.n64=img2:HDR",
                       "Delta.zip=zip:HDR",
                       "junk.rom=junk",
                       "notes.txt=junk"}
        << folder << -1 << QStringList{"Alpha Golf (USA)", "Beta", "Delta", "Gamma"}
        << QStringList() << "4 games added. / 1 was not a cartridge image." << QStringList();
    QTest::newRow("named by a DAT, its name cleaned as a file's; the file's name for the rest")
        << QStringList{"a.z64=img0:X", "b.v64=img1:X", "c.zip=zip:X", "d.z64=img0:X"} << folder
        << -1 << QStringList{"Alpha Golf (USA)", "b", "Gamma", "d"} << QStringList()
        << "4 games added. / View ROM lists them."
        << QStringList{"a.z64=Alpha Golf (USA)", "b.v64=***", "c.zip=Gamma?"};
    QTest::newRow("refused characters left out; the header's name when none is left")
        << QStringList{"What? Golf: 2 .z64=img0:HDR", "???.v64=img1:HEADER NAME", "***.z64=img0:"}
        << folder << -1 << QStringList{"HEADER NAME", "What Golf: 2"} << QStringList()
        << "2 games added. / 1 had no usable name." << QStringList();
    QTest::newRow("already in the catalogue, or earlier in the import")
        << QStringList{"existing.z64=img0:X", "Twin.v64=img1:X", "Twin.z64=img0:X"} << folder << -1
        << QStringList{"Twin"} << QStringList() << "1 game added. / 2 were already there."
        << QStringList();
    QTest::newRow("pictures by base name, beside it or in a pictures folder")
        << QStringList{"Mario.z64=img0:X",     "Mario.png=pic",        "Luigi.z64=img0:X",
                       "boxart/Luigi.jpg=pic", "sub/Peach.z64=img0:X", "Images/peach.PNG=pic",
                       "Toad.z64=img0:X",      "Toad.txt=pic"}
        << folder << -1 << QStringList{"Luigi", "Mario", "Toad", "Peach"}
        << QStringList{"Mario=Mario.png", "Luigi=boxart/Luigi.jpg", "Peach=Images/peach.PNG"}
        << "4 games added. / View ROM lists them." << QStringList();
    QTest::newRow("hidden folders skipped")
        << QStringList{".hidden/Secret.z64=img0:X", "Open.z64=img0:X"} << folder << -1
        << QStringList{"Open"} << QStringList() << "1 game added. / View ROM lists them."
        << QStringList();
    QTest::newRow("files given one by one are read whatever their names")
        << QStringList{"Open.z64=img0:X", "notes.txt=junk", "Other.z64=img0:X"}
        << QStringList{"Open.z64", "notes.txt"} << -1 << QStringList{"Open"} << QStringList()
        << "1 game added. / 1 was not a cartridge image." << QStringList();
    QTest::newRow("cancelled midway: the games written so far, whole")
        << QStringList{"A.z64=img0:X", "B.z64=img0:X", "C.z64=img0:X", "D.z64=img0:X"} << folder
        << 2 << QStringList{"A", "B"} << QStringList()
        << "2 games added before the import was cancelled. / View ROM lists them." << QStringList();
}

void tst_import::import_addsEachCartridgeOnceAsAWholeRecord()
{
    QFETCH(QStringList, files);
    QFETCH(QStringList, given);
    QFETCH(int, cancelAfter);
    QFETCH(QStringList, index);
    QFETCH(QStringList, pictures);
    QFETCH(QString, summary);
    QFETCH(QStringList, dat);

    QTemporaryDir dir;
    QVERIFY(makeCatalogue(dir.path()));
    setAppFolder(dir.path());
    const QString roms = dir.path() + "/roms";
    for (const QString& file : files)
        QVERIFY(writeFile(roms + '/' + file.section('=', 0, 0), contentOf(file.section('=', 1))));
    QStringList paths;
    for (const QString& path : given)
        paths << QDir::cleanPath(roms + '/' + path);

    romimport::Found found;
    const romimport::Result result = import(paths, cancelAfter, &found, dat);
    const Notice notice = romimport::summary(found, result);
    QCOMPARE(notice.upper + " / " + notice.lower, summary);
    QCOMPARE(indexLines(), QStringList{"Existing"} + index);
    QCOMPARE(result.index.toStringList().mid(1),
             result.indexWritten ? indexLines() : QStringList());
    // Every record written is listed, and whole.
    QCOMPARE(QDir(dir.path() + "/bin").entryList({"*.lib"}, QDir::Files).size(), index.size() + 1);
    for (const QString& name : index) {
        const QString path = catalogue::findRecord(name);
        QVERIFY2(!path.isEmpty(), qPrintable(name));
        const catalogue::Record record = catalogue::readRecord(path);
        QVERIFY(record.file.startsWith(roms + '/'));
        QCOMPARE(record.gametype, QString("US"));
        QCOMPARE(record.size, QString("1"));
        QVERIFY(record.desc.isEmpty());
        QString picture;
        for (const QString& expected : pictures) {
            if (expected.section('=', 0, 0) == name)
                picture = roms + '/' + expected.section('=', 1);
        }
        QCOMPARE(record.image, picture);
    }
}

void tst_import::rebuild_appendsUnlistedRecordsInNameOrder_data()
{
    QTest::addColumn<QByteArray>("index"); // before; "-" for none at all
    QTest::addColumn<QStringList>("records");
    QTest::addColumn<QByteArray>("after");
    QTest::addColumn<int>("added");

    QTest::newRow("after Clear") << QByteArray("\r\n") << QStringList{"beta", "Alpha", "Gamma"}
                                 << QByteArray("\r\nAlpha\r\nbeta\r\nExisting\r\nGamma\r\n") << 4;
    QTest::newRow("index lost") << QByteArray("-") << QStringList{"Alpha"}
                                << QByteArray("\r\nAlpha\r\nExisting\r\n") << 2;
    QTest::newRow("listed under another case, or without a record: kept as they are")
        << QByteArray("\r\nGhost\r\nEXISTING\r\n") << QStringList{"Zed"}
        << QByteArray("\r\nGhost\r\nEXISTING\r\nZed\r\n") << 1;
    QTest::newRow("a name from a Windows archive, in its code page")
        << QByteArray("\r\nExisting\r\n") << QStringList{"Caf<E9>"}
        << QByteArray("\r\nExisting\r\nCaf\xC3\xA9\r\n") << 1;
    QTest::newRow("nothing to add")
        << QByteArray("\r\nExisting\r\n") << QStringList() << QByteArray("\r\nExisting\r\n") << 0;
}

void tst_import::rebuild_appendsUnlistedRecordsInNameOrder()
{
    QFETCH(QByteArray, index);
    QFETCH(QStringList, records);
    QFETCH(QByteArray, after);
    QFETCH(int, added);

    QTemporaryDir dir;
    QVERIFY(makeCatalogue(dir.path(), index == "-" ? QByteArray() : index));
    if (index == "-")
        QVERIFY(QFile::remove(dir.path() + "/bin/bootlist.lst"));
    for (const QString& name : records) {
        // By its bytes: <E9> is the byte a Windows archive leaves for é.
        const QByteArray path = QFile::encodeName(dir.path()) + "/bin/" +
                                name.toUtf8().replace("<E9>", "\xE9") + ".lib";
        std::FILE* file = std::fopen(path.constData(), "wb");
        QVERIFY(file && std::fputs("[info]\r\n", file) >= 0 && std::fclose(file) == 0);
    }
    setAppFolder(dir.path());
    const romimport::Rebuilt rebuilt = romimport::rebuildIndex();
    QVERIFY(rebuilt.written);
    QCOMPARE(rebuilt.added, added);
    QFile written(dir.path() + "/bin/bootlist.lst");
    QVERIFY(written.open(QIODevice::ReadOnly));
    QCOMPARE(written.readAll(), after);
}

void tst_import::killedImportOrRename_neverLeavesHalfAnIndexOrLosesARecord_data()
{
    QTest::addColumn<QString>("mode");
    QTest::newRow("import") << "import";
    QTest::newRow("rename") << "rename";
}

void tst_import::killedImportOrRename_neverLeavesHalfAnIndexOrLosesARecord()
{
    QFETCH(QString, mode);
    QTemporaryDir dir;
    const QString roms = dir.path() + "/roms";
    QStringList names;
    for (int n = 0; n < 40; ++n) {
        names << QString("Game %1, é").arg(n);
        QVERIFY(writeFile(roms + '/' + names.back() + ".v64", contentOf("img1:X")));
    }
    // Kills land anywhere in the time a whole run takes here.
    qint64 wholeRun = 0;
    {
        const QString folder = dir.path() + "/whole";
        QVERIFY(makeCatalogue(folder, "\r\nExisting\r\nExisting\r\n"));
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(), {"--child", mode, folder, roms});
        QVERIFY(child.waitForReadyRead(10000));
        QElapsedTimer timer;
        timer.start();
        QVERIFY(child.waitForFinished(60000));
        QCOMPARE(child.exitCode(), 0);
        wholeRun = timer.elapsed();
    }
    QRandomGenerator random(25);
    int kills = 0;
    int midway = 0;
    int changed = 0; // kills after the index or a record had changed
    for (; kills < 25; ++kills) {
        const QString folder = dir.path() + QString("/run%1").arg(kills);
        QVERIFY(makeCatalogue(folder, "\r\nExisting\r\nExisting\r\n"));
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(), {"--child", mode, folder, roms});
        QVERIFY(child.waitForReadyRead(10000));
        QTest::qWait(int(random.bounded(wholeRun + 1)));
        const QByteArray said = child.readAllStandardOutput();
        child.kill();
        child.waitForFinished(10000);
        QCOMPARE(child.state(), QProcess::NotRunning);
        midway += said.contains("done") ? 0 : 1;

        setAppFolder(folder);
        const std::optional<TextList> read = listfile::read(catalogue::indexPath());
        QVERIFY(read);
        const QStringList lines = read->toStringList();
        QCOMPARE(lines.value(0), QString());
        // Every line finds a whole record.
        for (const QString& line : lines.mid(1)) {
            const QString path = catalogue::findRecord(line);
            QVERIFY2(!path.isEmpty(), qPrintable(line));
            QFile record(path);
            QVERIFY(record.open(QIODevice::ReadOnly));
            QVERIFY2(record.readAll().endsWith("\r\n"), qPrintable(line));
        }
        changed += lines.mid(1).contains("Renamed") || lines.size() > 3 ||
                           QFile::exists(folder + "/bin/Renamed.lib") ||
                           QDir(folder + "/bin").entryList({"*.lib"}).size() > 1
                       ? 1
                       : 0;
        if (mode == "import") {
            // As before, or with every game after Existing at once: never half an index.
            const QStringList added = lines.mid(3);
            QVERIFY2(added.isEmpty() || added.size() == names.size(),
                     qPrintable(QString::number(added.size())));
        } else {
            // Existing, or the name it has now, never neither: both records at worst.
            QVERIFY(!catalogue::findRecord("Existing").isEmpty() ||
                    !catalogue::findRecord("Renamed").isEmpty());
            QCOMPARE(lines.mid(1).size(), 2);
            QCOMPARE(lines.value(1), lines.value(2));
        }
    }
    qInfo("%d kills, %d before the child finished, %d after it had written", kills, midway,
          changed);
    QVERIFY(midway > 0 && changed > 0);
}

// An import writes on a thread of its own: a write elsewhere in the program meanwhile waits for it
// as for another copy, never nests in it.
void tst_import::lockHeldByImportThread_isBusyForOthers()
{
    QTemporaryDir dir;
    QVERIFY(makeCatalogue(dir.path()));
    setAppFolder(dir.path());
    QSemaphore taken;
    QSemaphore release;
    std::thread importer([&] {
        const catalogue::WriteLock lock;
        taken.release();
        release.acquire();
    });
    taken.acquire();
    {
        const catalogue::WriteLock here(0);
        QCOMPARE(here.state(), catalogue::WriteLock::State::Busy);
    }
    release.release();
    importer.join();
    const catalogue::WriteLock after(0);
    QVERIFY(after.held());
}

// The child a kill test starts: an import of every image in <roms>, or renames back and forth,
// in the catalogue at <folder>.
static int runChild(const QString& mode, const QString& folder, const QString& roms)
{
    setAppFolder(folder);
    std::printf("started\n");
    std::fflush(stdout);
    if (mode == "import") {
        romimport::Progress progress;
        const romimport::Found found = romimport::readFiles(
            romimport::filesToRead({roms}, [] { return false; }), {}, progress);
        romimport::writeGames(found.games, progress, {});
    } else {
        QString name = "Existing";
        for (int n = 0; n < 40; ++n) {
            const QString next = name == "Existing" ? "Renamed" : "Existing";
            if (saveGame({next, roms, roms, "US", "64", QString("Save %1").arg(n), name}).outcome !=
                SaveOutcome::Saved)
                return 1;
            name = next;
        }
    }
    std::printf("done\n");
    std::fflush(stdout);
    return 0;
}

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc == 5 && qstrcmp(argv[1], "--child") == 0)
        return runChild(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]),
                        QString::fromLocal8Bit(argv[4]));
    tst_import test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_import.moc"
