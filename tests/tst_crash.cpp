// Kills a process that saves games in a loop, at seeded random moments, and checks after every
// kill that the catalogue is whole: the index and every record parse, the index holds exactly
// the saves that finished (and perhaps the one under way), no file is empty or mixed from two
// saves, and the next start sweeps away the temporaries a kill leaves. First runs, Clears and
// options OKs are killed the same way; two copies of the program save side by side.

#include "add/mnu_add_rom.h"
#include "core/catalogue.h"
#include "core/copytemporary.h"
#include "core/fields.h"
#include "core/filecopy.h"
#include "core/profile.h"
#include "core/textfile.h"
#include "crash/crashnames.h"
#include "support/fieldreader.h"
#include "support/testsupport.h"
#include "ui/listbox.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSet>
#include <QStandardPaths>
#include <QSysInfo>
#include <QThread>
#include <algorithm>
#include <unistd.h>

using namespace vx;
using vx::test::Sandbox;

namespace
{

bool isTemporary(const QString& relative)
{
    return isTemporaryName(QFileInfo(relative).fileName());
}

QString oneLine(QString text)
{
    return text.replace(QLatin1Char('\n'), QLatin1Char(' '));
}

QStringList temporariesIn(const Sandbox& box)
{
    QStringList found;
    for (const QString& name : box.snapshot().keys()) {
        if (isTemporary(name))
            found.append(name);
    }
    return found;
}

// Starts the driver and, unless `ready` is false, waits for its "ready"; with `asUser`, setpriv's
// options, as another user.
bool startDriver(QProcess& driver, const QString& folder, int first, const QString& rom,
                 const QString& image, const QString& mode, bool ready = true,
                 const QStringList& asUser = {})
{
    const QStringList arguments{folder, QString::number(first), rom, image, mode};
    if (asUser.isEmpty())
        driver.start(QStringLiteral(VX_SAVEDRIVER), arguments);
    else
        driver.start(QStringLiteral("setpriv"),
                     asUser + QStringList{QStringLiteral(VX_SAVEDRIVER)} + arguments);
    if (!driver.waitForStarted())
        return false;
    if (!ready)
        return true;
    while (!driver.canReadLine()) {
        if (!driver.waitForReadyRead(20000))
            return false;
    }
    return driver.readLine() == "ready\n";
}

void kill(QProcess& driver)
{
    driver.kill();
    driver.waitForFinished(10000);
}

} // namespace

class tst_crash : public QObject
{
    Q_OBJECT

private slots:
    void killedSaves_leaveWholeCatalogue();
    void startUp_sweepsOnlyStrayTemporaries();
    void killedSetupClearOrOptions_leaveWorkingCatalogue_data();
    void killedSetupClearOrOptions_leaveWorkingCatalogue();
    void twoCopiesSavingSideBySide_loseNothing();
    void deadCopysLock_takenOverBySave_data();
    void deadCopysLock_takenOverBySave();
    void killedCopy_deadTemporariesGoAtNextStartOrCopy_data();
    void killedCopy_deadTemporariesGoAtNextStartOrCopy();
    void quitWhilePicturesDecode_endsCleanly();
};

void tst_crash::killedSaves_leaveWholeCatalogue()
{
    Sandbox box;
    box.makeCatalogue();
    box.writeFile(QStringLiteral("roms/game.rom"), QByteArray(1000, 'r'));
    box.writeFile(QStringLiteral("roms/game.png"), QByteArray(10, 'p'));
    const QString rom = box.path(QStringLiteral("roms/game.rom"));
    const QString image = box.path(QStringLiteral("roms/game.png"));
    const QByteArray settings = box.readFile(QStringLiteral("vx.log"));

    QRandomGenerator random(20240607);
    QStringList index{QString()};   // the empty line a fresh index starts with
    QMap<QString, int> lastSaved;   // name -> the number of its last finished save
    QMap<QString, int> recordHolds; // name -> the save its record was last seen to hold
    int next = 0;
    int kills = 0, killedBeforeReady = 0, killedMidSave = 0, temporariesLeft = 0;
    const int wantedKills = 200;

    for (; kills < wantedKills; ++kills) {
        QProcess driver;
        driver.setProcessChannelMode(QProcess::SeparateChannels);
        driver.start(QStringLiteral(VX_SAVEDRIVER),
                     {box.folder(), QString::number(next), rom, image});
        QVERIFY2(driver.waitForStarted(), qPrintable(driver.errorString()));

        // One kill in eight lands during start-up, the rest while saves run.
        const bool duringStartUp = random.bounded(8) == 0;
        if (duringStartUp) {
            QThread::msleep(random.bounded(150));
        } else {
            while (!driver.canReadLine())
                QVERIFY2(driver.waitForReadyRead(20000), "the driver never got ready");
            QCOMPARE(driver.readLine(), QByteArray("ready\n"));
            // Start-up swept away what the previous kill left.
            QCOMPARE(temporariesIn(box), QStringList());
            driver.write("go\n");
            driver.waitForBytesWritten(5000);
            QThread::msleep(random.bounded(1, 60));
        }
        driver.kill();
        QVERIFY(driver.waitForFinished(10000));
        QCOMPARE(driver.exitStatus(), QProcess::CrashExit);

        // What the driver reported before it died.
        int underWay = -1;
        bool ready = !duringStartUp;
        for (const QByteArray& line : driver.readAllStandardOutput().split('\n')) {
            if (line == "ready") {
                ready = true;
            } else if (line.startsWith("saving ")) {
                underWay = line.mid(7).toInt();
            } else if (line.startsWith("saved ")) {
                const int n = line.mid(6).toInt();
                QCOMPARE(n, underWay);
                index.append(crash::nameFor(n));
                lastSaved[crash::nameFor(n)] = n;
                recordHolds[crash::nameFor(n)] = n;
                next = n + 1;
                underWay = -1;
            } else {
                QVERIFY2(line.isEmpty(), line.constData());
            }
        }
        killedBeforeReady += ready ? 0 : 1;
        killedMidSave += underWay >= 0 ? 1 : 0;

        // The index: the finished saves, and perhaps the one under way if its rewrite landed.
        const QByteArray indexBytes = box.readFile(QStringLiteral("bin/bootlist.lst"));
        QVERIFY(indexBytes.endsWith("\r\n"));
        const QStringList stored = readFields(indexBytes);
        if (underWay >= 0 && stored.size() == index.size() + 1) {
            index.append(crash::nameFor(underWay));
            lastSaved[crash::nameFor(underWay)] = underWay;
            recordHolds[crash::nameFor(underWay)] = underWay;
            next = underWay + 1;
            underWay = -1;
        }
        QCOMPARE(stored, index);
        if (underWay >= 0)
            next = underWay + 1; // the next start goes on with fresh numbers

        // Every file is the settings, the index, a whole record or a temporary.
        const QMap<QString, QByteArray> files = box.snapshot();
        QCOMPARE(files.value(QStringLiteral("vx.log")), settings);
        QSet<QString> records;
        for (auto it = files.begin(); it != files.end(); ++it) {
            const QString& name = it.key();
            // The lock a killed save held (or the one guarding its takeover), which the next
            // writer takes over.
            if (name == QLatin1String("vx.log") || name.startsWith(QLatin1String("roms/")) ||
                name == QLatin1String("bin/bootlist.lst") ||
                name.startsWith(QLatin1String("vx.lock")))
                continue;
            if (isTemporary(name)) {
                ++temporariesLeft;
                continue;
            }
            QVERIFY2(name.startsWith(QLatin1String("bin/")) && name.endsWith(QLatin1String(".lib")),
                     qPrintable(name));
            const QByteArray& bytes = it.value();
            const QString game =
                profile::valueIn(bytes, QStringLiteral("info"), QStringLiteral("gamename"));
            QCOMPARE(QStringLiteral("bin/") + game + QStringLiteral(".lib"), name);
            records.insert(game);
            // The record is one save's, whole: the one it held before, or the one under way
            // (whose record may land without its index line).
            const int n =
                profile::valueIn(bytes, QStringLiteral("info"), QStringLiteral("size")).toInt();
            const bool asBefore = recordHolds.value(game, -1) == n;
            const bool inFlight = underWay >= 0 && n == underWay && crash::nameFor(n) == game;
            QVERIFY2(asBefore || inFlight, qPrintable(name));
            recordHolds[game] = n;
            const GameEntry entry = crash::entryFor(n, rom, image);
            const auto key = [&](const char* section, const char* k) {
                return profile::valueIn(bytes, QLatin1String(section), QLatin1String(k));
            };
            QCOMPARE(key("paths", "file"), rom);
            QCOMPARE(key("paths", "image"), image);
            QCOMPARE(key("info", "gametype"), entry.gameType);
            QCOMPARE(key("info", "desc"), oneLine(entry.description));
        }
        // Every finished save has its record.
        for (const QString& game : lastSaved.keys())
            QVERIFY2(records.contains(game), qPrintable(game));
    }

    // The last kill's leftovers go at the next start too.
    {
        QProcess driver;
        driver.start(QStringLiteral(VX_SAVEDRIVER),
                     {box.folder(), QString::number(next), rom, image});
        QVERIFY(driver.waitForStarted());
        while (!driver.canReadLine())
            QVERIFY(driver.waitForReadyRead(20000));
        QCOMPARE(driver.readLine(), QByteArray("ready\n"));
        QCOMPARE(temporariesIn(box), QStringList());
        driver.kill();
        driver.waitForFinished();
    }

    qInfo("%d kills: %d during start-up, %d in the middle of a save; %d saves finished; %d "
          "temporaries left by kills and swept at the next start",
          kills, killedBeforeReady, killedMidSave, int(index.size() - 1), temporariesLeft);
    QVERIFY(kills >= 200);
    QVERIFY(killedMidSave > 0);
}

void tst_crash::startUp_sweepsOnlyStrayTemporaries()
{
    Sandbox box;
    box.makeCatalogue("\r\nx.lib.Ab12Cd\r\n");
    box.writeRecord(QStringLiteral("x.lib.Ab12Cd"), QStringLiteral("/r"), QStringLiteral("/i"),
                    QStringLiteral("t"), QStringLiteral("1"), QStringLiteral("d"));
    box.writeFile(QStringLiteral("bin/notes.txt"), "kept");
    box.writeFile(QStringLiteral("bin/bootlist.lst.tmp"), "kept: no rewrite's temporary");
    // A user's own backups, however much they look like a catalogue file plus a suffix.
    for (const char* backup :
         {"vx.log.before", "vx.log.a1B2c3", "bin/bootlist.lst.backup", "bin/Mario.lib.oldv01",
          "bin/game 1.lib.QwErTy", "old.lib.abc123", "bin/.~vx-short.tmp", "bin/~vx-a1B2c3d4.tmp"})
        box.writeFile(QString::fromLatin1(backup), "kept");
    const QMap<QString, QByteArray> kept = box.snapshot();
    for (const char* stray :
         {".~vx-a1B2c3d4.tmp", "bin/.~vx-Zz9Yy8Xx.tmp", "bin/.~vx-00000000.tmp"})
        box.writeFile(QString::fromLatin1(stray), "half");

    catalogue::removeStrayTemporaries();

    QCOMPARE(box.snapshot(), kept);
}

void tst_crash::killedSetupClearOrOptions_leaveWorkingCatalogue_data()
{
    QTest::addColumn<QString>("mode");
    QTest::newRow("first-run setup") << "setup";
    QTest::newRow("Clear") << "clears";
    QTest::newRow("options OK") << "options";
    // Killed while the write waits on its own thread, the windows' thread serving events.
    QTest::newRow("Clear, writes slow") << "clears+slow";
    QTest::newRow("options OK, writes slow") << "options+slow";
}

void tst_crash::killedSetupClearOrOptions_leaveWorkingCatalogue()
{
    QFETCH(QString, mode);
    Sandbox box;
    box.writeFile(QStringLiteral("roms/game.rom"), "r");
    const QString rom = box.path(QStringLiteral("roms/game.rom"));
    QRandomGenerator random(20241208);
    const int kills = 30;
    QStringList index{QString()}; // clears: the index as the last finished step left it
    QString folder;               // options: the export folder the last finished OK stored
    int next = 0;
    if (mode != QLatin1String("setup"))
        box.makeCatalogue();

    for (int kill = 0; kill < kills; ++kill) {
        QProcess driver;
        if (mode == QLatin1String("setup")) {
            // A first run in a fresh folder, killed at any moment of its half-second setup;
            // the next start must end with a catalogue that takes a save.
            const QString fresh = box.path(QStringLiteral("run%1").arg(kill));
            QVERIFY(QDir().mkpath(fresh));
            QVERIFY(startDriver(driver, fresh, 0, rom, rom, mode, false));
            QThread::msleep(random.bounded(900));
            ::kill(driver);
            QProcess restarted;
            QVERIFY2(startDriver(restarted, fresh, 0, rom, rom, mode), qPrintable(fresh));
            restarted.write("go\n");
            QByteArray line;
            while (line != "saved 0\n") {
                while (!restarted.canReadLine())
                    QVERIFY2(restarted.waitForReadyRead(20000), qPrintable(fresh));
                line = restarted.readLine();
                QVERIFY2(line == "saving 0\n" || line == "saved 0\n", line.constData());
            }
            ::kill(restarted);
            const QStringList stored = readFields(
                readWholeFile(fresh + QStringLiteral("/bin/bootlist.lst")).value_or("?"));
            QCOMPARE(stored.value(0), QString());
            QVERIFY(stored.contains(crash::nameFor(0)));
            QVERIFY(QFileInfo(fresh + QStringLiteral("/vx.log")).isFile());
            continue;
        }

        QVERIFY(startDriver(driver, box.folder(), next, rom, rom, mode));
        driver.write("go\n");
        driver.waitForBytesWritten(5000);
        QThread::msleep(random.bounded(1, 60));
        ::kill(driver);

        // What the kill may have caught under way, besides the steps that finished.
        QStringList underWayIndex;
        QString underWayFolder;
        for (const QByteArray& line : driver.readAllStandardOutput().split('\n')) {
            const int n = line.mid(line.indexOf(' ') + 1).toInt();
            if (line.startsWith("saving ")) {
                underWayIndex = index + QStringList{crash::nameFor(n)};
            } else if (line.startsWith("saved ")) {
                index = underWayIndex;
                underWayIndex.clear();
                next = n + 1;
            } else if (line == "clearing") {
                underWayIndex = QStringList{QString()};
            } else if (line == "cleared") {
                index = underWayIndex;
                underWayIndex.clear();
            } else if (line.startsWith("storing ")) {
                underWayFolder = crash::folderFor(n);
            } else if (line.startsWith("stored ")) {
                folder = underWayFolder;
                underWayFolder.clear();
                next = n + 1;
            } else {
                QVERIFY2(line.isEmpty() || line == "ready", line.constData());
            }
        }
        const QStringList stored = readFields(box.readFile(QStringLiteral("bin/bootlist.lst")));
        QVERIFY2(stored == index || (!underWayIndex.isEmpty() && stored == underWayIndex),
                 qPrintable(stored.join('|')));
        index = stored;
        const QByteArray settings = box.readFile(QStringLiteral("vx.log"));
        if (!underWayFolder.isEmpty() &&
            settings == Sandbox::settingsBytes(underWayFolder.toUtf8()))
            folder = underWayFolder;
        QCOMPARE(settings, Sandbox::settingsBytes(folder.toUtf8()));
        if (mode.startsWith(QLatin1String("options")))
            next += underWayFolder.isEmpty() ? 0 : 1;
    }
}

void tst_crash::twoCopiesSavingSideBySide_loseNothing()
{
    Sandbox box;
    box.makeCatalogue();
    box.writeFile(QStringLiteral("roms/game.rom"), "r");
    const QString rom = box.path(QStringLiteral("roms/game.rom"));
    const int each = 100;
    QProcess first, second;
    QVERIFY(startDriver(first, box.folder(), 0, rom, rom, QStringLiteral("batch:%1").arg(each)));
    QVERIFY(
        startDriver(second, box.folder(), 1000, rom, rom, QStringLiteral("batch:%1").arg(each)));
    // Both started at once: a write waits for the process's own waitFor call otherwise.
    for (QProcess* driver : {&first, &second}) {
        driver->write("go\n");
        QVERIFY(driver->waitForBytesWritten(5000));
    }
    for (QProcess* driver : {&first, &second}) {
        QVERIFY(driver->waitForFinished(120000));
        QCOMPARE(driver->exitCode(), 0);
        QVERIFY(driver->readAllStandardOutput().endsWith("done\n"));
    }

    QStringList expected{QString()};
    for (int n = 0; n < each; ++n)
        expected << crash::batchEntryFor(n, rom, rom).name
                 << crash::batchEntryFor(1000 + n, rom, rom).name;
    QStringList stored = readFields(box.readFile(QStringLiteral("bin/bootlist.lst")));
    std::sort(stored.begin(), stored.end());
    std::sort(expected.begin(), expected.end());
    QCOMPARE(stored, expected);
    QCOMPARE(QDir(box.path(QStringLiteral("bin"))).entryList({QStringLiteral("*.lib")}).size(),
             2 * each);
    QVERIFY(!box.exists(QStringLiteral("vx.lock")));
}

void tst_crash::deadCopysLock_takenOverBySave_data()
{
    QTest::addColumn<bool>("empty");     // killed between making the lock and writing itself in
    QTest::addColumn<bool>("otherUser"); // the save runs as another user than the lock's owner
    QTest::newRow("empty, a second old") << true << false;
    // A shared folder: the other user may remove the lock, not write into it.
    QTest::newRow("another user's, killed") << false << true;
}

void tst_crash::deadCopysLock_takenOverBySave()
{
    QFETCH(bool, empty);
    QFETCH(bool, otherUser);
    if (otherUser && (::geteuid() != 0 || QStandardPaths::findExecutable("setpriv").isEmpty()))
        QSKIP("running as a second user takes root and setpriv");
    Sandbox box;
    box.makeCatalogue();
    QByteArray owner;
    if (!empty) {
        QProcess gone;
        gone.start(QStringLiteral("true"));
        QVERIFY(gone.waitForStarted());
        const qint64 pid = gone.processId();
        QVERIFY(gone.waitForFinished());
        owner = QByteArray::number(pid) + "\nsavedriver\n" + QSysInfo::machineHostName().toUtf8() +
                '\n' + QSysInfo::machineUniqueId() + '\n' + QSysInfo::bootUniqueId() + '\n';
    }
    box.writeFile(QStringLiteral("vx.lock"), owner);
    QFile lock(box.path(QStringLiteral("vx.lock")));
    QVERIFY(lock.open(QIODevice::ReadWrite));
    QVERIFY(lock.setFileTime(QDateTime::currentDateTime().addSecs(-2),
                             QFileDevice::FileModificationTime));
    lock.close();
    QVERIFY(lock.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup |
                                QFile::ReadOther));
    QStringList asUser;
    if (otherUser) {
        for (const QString& folder : {box.folder(), box.path(QStringLiteral("bin"))})
            QVERIFY(QFile::setPermissions(folder, QFile::Permissions(0x7777)));
        asUser = QStringList{"--reuid=65534", "--regid=65534", "--clear-groups"};
    }
    const QString rom = box.path(QStringLiteral("vx.log"));
    QProcess driver;
    QVERIFY(
        startDriver(driver, box.folder(), 0, rom, rom, QStringLiteral("batch:1"), true, asUser));
    driver.write("go\n");
    QVERIFY(driver.waitForFinished(30000));
    QCOMPARE(driver.readAllStandardOutput(), QByteArray("saving 0\nsaved 0\ndone\n"));
    QCOMPARE(box.indexLines(), (QStringList{QString(), crash::batchEntryFor(0, rom, rom).name}));
    QVERIFY(!box.exists(QStringLiteral("vx.lock")));
}

void tst_crash::killedCopy_deadTemporariesGoAtNextStartOrCopy_data()
{
    QTest::addColumn<bool>("byCopy"); // else by a start with this export folder
    QTest::newRow("next start") << false;
    QTest::newRow("next copy into the folder") << true;
}

void tst_crash::killedCopy_deadTemporariesGoAtNextStartOrCopy()
{
    QFETCH(bool, byCopy);
    Sandbox box;
    box.makeCatalogue();
    box.writeFile(QStringLiteral("vx.log"),
                  Sandbox::settingsBytes(box.path(QStringLiteral("out")).toUtf8()));
    const QByteArray romBytes(256 << 10, 'r');
    box.writeFile(QStringLiteral("roms/game.rom"), romBytes);
    box.writeFile(QStringLiteral("out/game.rom"), "the old copy");
    const QString rom = box.path(QStringLiteral("roms/game.rom"));
    const auto plant = [&box](const QString& name, qint64 ageSecs) {
        box.writeFile(QStringLiteral("out/") + name, "half");
        QFile file(box.path(QStringLiteral("out/") + name));
        return file.open(QIODevice::ReadWrite) &&
               file.setFileTime(QDateTime::currentDateTime().addSecs(-ageSecs),
                                QFileDevice::FileModificationTime);
    };
    const qint64 day = kForeignTemporaryAgeSecs;
    // Kept: a live copy's (this process's), another system's or an older program's not yet a
    // day untouched, and files that only look like temporaries.
    for (const auto& [name, age] : QList<std::pair<QString, qint64>>{
             {QString::fromLatin1(copyTemporaryName()), day + 3600},
             {QStringLiteral(".vx-copy-0123456789ab-1-k3j5"), day - 3600},
             {QStringLiteral(".vx-copy-k3j5h2"), day - 3600},
             {QStringLiteral(".vx-copy-notes.txt"), 2 * day},
             {QStringLiteral(".vx-copy-"), 2 * day},
             {QStringLiteral("notes.txt"), 2 * day}})
        QVERIFY2(plant(name, age), qPrintable(name));
    const QMap<QString, QByteArray> kept = box.snapshot();
    // Gone: another system's and an older program's untouched for over a day.
    QVERIFY(plant(QStringLiteral(".vx-copy-0123456789ab-1-k3j6"), day + 3600));
    QVERIFY(plant(QStringLiteral(".vx-copy-k3j5h3"), day + 3600));

    // And one of this system whose writer was killed midway.
    QProcess copier;
    QVERIFY(startDriver(copier, box.folder(), 0, rom, box.path(QStringLiteral("out/game.rom")),
                        QStringLiteral("copy")));
    const QByteArray pid = QByteArray::number(copier.processId());
    copier.write("go\n");
    while (!copier.canReadLine())
        QVERIFY(copier.waitForReadyRead(20000));
    QCOMPARE(copier.readLine(), QByteArray("copying\n"));
    ::kill(copier);
    QCOMPARE(
        QDir(box.path(QStringLiteral("out")))
            .entryList({QStringLiteral(".vx-copy-*-%1-*").arg(pid)}, QDir::Files | QDir::Hidden)
            .size(),
        1);

    QMap<QString, QByteArray> expected = kept;
    if (byCopy) {
        const QString other = box.path(QStringLiteral("out/other.rom"));
        QCOMPARE(copyFileReplacing(rom, other), CopyResult::Copied);
        expected.insert(QStringLiteral("out/other.rom"), romBytes);
    } else {
        QProcess next;
        QVERIFY(startDriver(next, box.folder(), 0, rom, rom, QStringLiteral("saves")));
        ::kill(next);
    }
    QCOMPARE(box.snapshot(), expected);
}

void tst_crash::quitWhilePicturesDecode_endsCleanly()
{
    Sandbox box;
    box.makeCatalogue();
    // Noise, so each decode takes a while.
    QImage noise(64, 64, QImage::Format_RGB32);
    QRandomGenerator random(7);
    for (int y = 0; y < noise.height(); ++y) {
        auto* line = reinterpret_cast<quint32*>(noise.scanLine(y));
        for (int x = 0; x < noise.width(); ++x)
            line[x] = random.generate();
    }
    const QString image = box.path(QStringLiteral("noise.png"));
    QVERIFY(noise.save(image));
    for (int n = 0; n < 3; ++n) {
        QProcess driver;
        QVERIFY(startDriver(driver, box.folder(), 0, image, image, QStringLiteral("quit")));
        driver.write("go\n");
        QVERIFY(driver.waitForFinished(20000));
        QCOMPARE(driver.exitStatus(), QProcess::NormalExit);
        QCOMPARE(driver.exitCode(), 0);
    }
}

QTEST_MAIN(tst_crash)
#include "tst_crash.moc"
