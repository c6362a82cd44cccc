#include "core/appfolder.h"
#include "core/catalogue.h"
#include "core/gameremove.h"
#include "core/gamesave.h"
#include "core/textfile.h"

#include <QDateTime>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

using namespace vx;

// A catalogue of one game, Alpha, without its record, plus the files given.
static bool makeCatalogue(const QDir& folder, const QList<QPair<QString, QByteArray>>& more)
{
    QList<QPair<QString, QByteArray>> files{{QStringLiteral("vx.log"), "[info]\r\nruns=1\r\n"},
                                            {QStringLiteral("bin/bootlist.lst"), "\r\nAlpha\r\n"}};
    files += more;
    folder.mkpath(QStringLiteral("bin"));
    for (const auto& [relative, bytes] : files) {
        QFile file(folder.filePath(relative));
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            return false;
    }
    return true;
}

// The save without a window: what it returns, and what it leaves in the catalogue.
class tst_gamesave : public QObject
{
    Q_OBJECT

private slots:
    void saveGame_returnsOutcomeAndNotices_data();
    void saveGame_returnsOutcomeAndNotices();
    void saveStalledOrLockTakenOver_neverUndoesAnotherCopy_data();
    void saveStalledOrLockTakenOver_neverUndoesAnotherCopy();
    void renameOrAddOverAnother_writesOnlyWhatIsAllowed_data();
    void renameOrAddOverAnother_writesOnlyWhatIsAllowed();
    void removeGame_dropsEveryIndexLineThenTheRecord_data();
    void removeGame_dropsEveryIndexLineThenTheRecord();
};

void tst_gamesave::saveGame_returnsOutcomeAndNotices_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("rom"); // relative to the catalogue; empty field when empty
    QTest::addColumn<QString>("size");
    QTest::addColumn<QString>("blocker"); // a folder made where this file should be
    QTest::addColumn<QString>("refused"); // a file whose name the file system refuses
    QTest::addColumn<int>("outcome");
    QTest::addColumn<QStringList>("notices"); // the lower lines, in order
    QTest::addColumn<QByteArray>("index");    // afterwards

    const QByteArray before("\r\nAlpha\r\n");
    const auto saved = int(SaveOutcome::Saved);
    const auto refused = int(SaveOutcome::Refused);
    const auto failed = int(SaveOutcome::Failed);
    QTest::newRow("saved") << "Beta"
                           << "r.rom"
                           << "64"
                           << ""
                           << "" << saved << QStringList() << QByteArray("\r\nAlpha\r\nBeta\r\n");
    QTest::newRow("saved with a warning")
        << "Beta"
        << "none.rom"
        << "64"
        << ""
        << "" << saved << QStringList{"Invalid File Path"} << QByteArray("\r\nAlpha\r\nBeta\r\n");
    QTest::newRow("empty field") << "Beta"
                                 << ""
                                 << "64"
                                 << ""
                                 << "" << refused << QStringList{"No File Path entered."} << before;
    QTest::newRow("warning, then a size refused")
        << "Beta"
        << "none.rom"
        << "70000"
        << ""
        << "" << refused << QStringList{"Invalid File Path", "Invalid Size"} << before;
    QTest::newRow("name no file can have")
        << "a/b"
        << "r.rom"
        << "64"
        << ""
        << "" << refused << QStringList{"Invalid Game Name"} << before;
    QTest::newRow("record cannot be written")
        << "Beta"
        << "r.rom"
        << "64"
        << "bin/Beta.lib"
        << "" << failed << QStringList{"Check that the bin folder can be written."} << before;
    // Not another copy at work, so not "busy", and said at once rather than after a wait.
    QTest::newRow("a folder where the lock goes")
        << "Beta"
        << "r.rom"
        << "64"
        << "vx.lock"
        << "" << failed << QStringList{"Check that the bin folder can be written."} << before;
    // As a colon on exFAT: the rename fails with EINVAL.
    QTest::newRow("name the file system refuses")
        << "Beta"
        << "r.rom"
        << "64"
        << ""
        << "bin/Beta.lib" << failed << QStringList{"Invalid Game Name"} << before;
}

void tst_gamesave::saveGame_returnsOutcomeAndNotices()
{
    QFETCH(QString, name);
    QFETCH(QString, rom);
    QFETCH(QString, size);
    QFETCH(QString, blocker);
    QFETCH(QString, refused);
    QFETCH(int, outcome);
    QFETCH(QStringList, notices);
    QFETCH(QByteArray, index);

    QTemporaryDir dir;
    const QDir folder(dir.path());
    QVERIFY(makeCatalogue(folder, {{QStringLiteral("r.rom"), "rom"}}));
    if (!blocker.isEmpty())
        folder.mkpath(blocker);
    setAppFolder(dir.path());
    failRenamesTo(refused.isEmpty() ? QString() : folder.filePath(refused), EINVAL);

    const SaveResult result =
        saveGame({name, rom.isEmpty() ? QString() : folder.filePath(rom), folder.filePath("r.rom"),
                  QStringLiteral("US"), size, QStringLiteral("A game")});
    QCOMPARE(int(result.outcome), outcome);
    QStringList lower;
    for (const Notice& notice : result.notices)
        lower << notice.lower;
    QCOMPARE(lower, notices);
    QFile written(folder.filePath(QStringLiteral("bin/bootlist.lst")));
    QVERIFY(written.open(QIODevice::ReadOnly));
    QCOMPARE(written.readAll(), index);
    if (result.outcome == SaveOutcome::Saved)
        QCOMPARE(result.index.toStringList(), QString::fromLatin1(index).split("\r\n").mid(0, 3));
}

void tst_gamesave::saveStalledOrLockTakenOver_neverUndoesAnotherCopy_data()
{
    QTest::addColumn<QString>("before"); // the file whose replacing the other copy's move precedes
    QTest::addColumn<bool>("takeOver");  // else the save stalls past the time a lock goes stale
    QTest::addColumn<QByteArray>("index"); // afterwards; Alpha's record is new only when saved

    const QByteArray before("\r\nAlpha\r\n");
    QTest::newRow("stalled past the stale time")
        << "bootlist.lst" << false << QByteArray("\r\nAlpha\r\nAlpha\r\n");
    QTest::newRow("taken over before the record is replaced") << "Alpha.lib" << true << before;
    // The record, already replaced, is put back.
    QTest::newRow("taken over before the index is replaced") << "bootlist.lst" << true << before;
}

void tst_gamesave::saveStalledOrLockTakenOver_neverUndoesAnotherCopy()
{
    QFETCH(QString, before);
    QFETCH(bool, takeOver);
    QFETCH(QByteArray, index);

    QTemporaryDir dir;
    const QDir folder(dir.path());
    const QByteArray oldRecord("[info]\r\ngamename=Alpha\r\n");
    QVERIFY(makeCatalogue(folder, {{QStringLiteral("bin/Alpha.lib"), oldRecord}}));
    setAppFolder(dir.path());
    const QString lock = catalogue::lockPath();
    // Another machine's copy, holding the lock now.
    const QByteArray otherLock("4242\nvexloutil\nanother-machine\n\n\n");
    bool refreshed = false;
    bool moved = false;
    beforeRenameForTests([&](const QString& path) {
        if (moved || QFileInfo(path).fileName() != before)
            return;
        moved = true;
        QFile file(lock);
        if (takeOver) {
            // It took this copy for dead and made the lock its own.
            file.remove();
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(otherLock);
            return;
        }
        // A write that hangs (a slow share) while the lock looks an hour old from another machine,
        // where this copy's flock is not seen; only a refresh from outside this thread makes it
        // young again.
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(-3600),
                                 QFileDevice::FileModificationTime));
        file.close();
        const auto young = [&] {
            return QFileInfo(lock).lastModified().secsTo(QDateTime::currentDateTime()) <= 30;
        };
        const QDeadlineTimer patience(10000);
        while (!young() && !patience.hasExpired())
            QThread::msleep(50);
        refreshed = young();
    });
    const SaveResult result =
        saveGame({QStringLiteral("Alpha"), folder.filePath("vx.log"), folder.filePath("vx.log"),
                  QStringLiteral("US"), QStringLiteral("64"), QStringLiteral("A game"),
                  QStringLiteral("Alpha")});
    beforeRenameForTests({});
    QVERIFY(moved);
    QFile written(folder.filePath(QStringLiteral("bin/bootlist.lst")));
    QVERIFY(written.open(QIODevice::ReadOnly));
    QCOMPARE(written.readAll(), index);
    QFile record(folder.filePath(QStringLiteral("bin/Alpha.lib")));
    QVERIFY(record.open(QIODevice::ReadOnly));
    if (!takeOver) {
        QVERIFY(refreshed);
        QCOMPARE(int(result.outcome), int(SaveOutcome::Saved));
        QVERIFY(record.readAll() != oldRecord);
        QVERIFY(!QFile::exists(lock));
        return;
    }
    QCOMPARE(int(result.outcome), int(SaveOutcome::Failed));
    QCOMPARE(result.notices.constLast().lower,
             QString("Another copy of the program is busy with the catalogue; try again."));
    QCOMPARE(record.readAll(), oldRecord);
    // Its lock is the other copy's: this one leaves it alone.
    QFile other(lock);
    QVERIFY(other.open(QIODevice::ReadOnly));
    QCOMPARE(other.readAll(), otherLock);
}

void tst_gamesave::renameOrAddOverAnother_writesOnlyWhatIsAllowed_data()
{
    QTest::addColumn<QString>("openedAs"); // empty: an add
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("confirmed");
    QTest::addColumn<bool>("indexFails");
    QTest::addColumn<int>("outcome");
    QTest::addColumn<QByteArray>("index"); // afterwards; before: "\r\nAlpha\r\nBeta\r\nAlpha\r\n"
    QTest::addColumn<QStringList>("records"); // bin's record files afterwards

    const QByteArray before("\r\nAlpha\r\nBeta\r\nAlpha\r\n");
    const QStringList both{"Alpha.lib", "Beta.lib"};
    const auto saved = int(SaveOutcome::Saved);
    QTest::newRow("renamed: every line in place, old record gone")
        << "Alpha"
        << "Gamma" << false << false << saved << QByteArray("\r\nGamma\r\nBeta\r\nGamma\r\n")
        << QStringList{"Beta.lib", "Gamma.lib"};
    QTest::newRow("renamed to another case")
        << "Alpha"
        << "ALPHA" << false << false << saved << QByteArray("\r\nALPHA\r\nBeta\r\nALPHA\r\n")
        << QStringList{"ALPHA.lib", "Beta.lib"};
    QTest::newRow("rename onto another game's name: refused")
        << "Alpha"
        << "beta" << false << false << int(SaveOutcome::Refused) << before << both;
    QTest::newRow("rename whose index cannot be written: as before")
        << "Alpha"
        << "Gamma" << false << true << int(SaveOutcome::Failed) << before << both;
    QTest::newRow("unrenamed edit appends as ever")
        << "Alpha"
        << "Alpha" << false << false << saved << before + "Alpha\r\n"
        << both;
    QTest::newRow("add over other values: asks first, nothing written")
        << ""
        << "Beta" << false << false << int(SaveOutcome::WouldReplace) << before << both;
    QTest::newRow("add over other values, confirmed")
        << ""
        << "Beta" << true << false << saved << before + "Beta\r\n"
        << both;
}

void tst_gamesave::renameOrAddOverAnother_writesOnlyWhatIsAllowed()
{
    QFETCH(QString, openedAs);
    QFETCH(QString, name);
    QFETCH(bool, confirmed);
    QFETCH(bool, indexFails);
    QFETCH(int, outcome);
    QFETCH(QByteArray, index);
    QFETCH(QStringList, records);

    QTemporaryDir dir;
    const QDir folder(dir.path());
    // Alpha's record holds a key of its own, which a rename keeps.
    const QByteArray alpha("[paths]\r\nfile=a.rom\r\n[info]\r\nmine=kept\r\n");
    const QByteArray beta("[info]\r\ngamename=Beta\r\n");
    QVERIFY(makeCatalogue(folder, {{"bin/bootlist.lst", "\r\nAlpha\r\nBeta\r\nAlpha\r\n"},
                                   {"bin/Alpha.lib", alpha},
                                   {"bin/Beta.lib", beta}}));
    setAppFolder(dir.path());
    const QString indexPath = folder.filePath("bin/bootlist.lst");
    failRenamesTo(indexFails ? indexPath : QString(), EIO);
    GameEntry entry{name,
                    folder.filePath("vx.log"),
                    folder.filePath("vx.log"),
                    QStringLiteral("US"),
                    QStringLiteral("64"),
                    QStringLiteral("Renamed"),
                    openedAs,
                    confirmed};
    const SaveResult result = saveGame(entry);
    failRenamesTo(QString(), 0);

    QCOMPARE(int(result.outcome), outcome);
    QFile written(indexPath);
    QVERIFY(written.open(QIODevice::ReadOnly));
    QCOMPARE(written.readAll(), index);
    QCOMPARE(QDir(folder.filePath("bin")).entryList({"*.lib"}, QDir::Files), records);
    QFile record(
        folder.filePath("bin/" + (outcome == int(SaveOutcome::Saved) ? name : openedAs) + ".lib"));
    if (openedAs.isEmpty()) {
        record.setFileName(folder.filePath("bin/Beta.lib"));
        QVERIFY(record.open(QIODevice::ReadOnly));
        QCOMPARE(record.readAll().contains("Renamed"), outcome == int(SaveOutcome::Saved));
        return;
    }
    QVERIFY(record.open(QIODevice::ReadOnly));
    const QByteArray content = record.readAll();
    QVERIFY(content.contains("mine=kept"));
    QCOMPARE(content.contains("gamename=" + name.toUtf8()), outcome == int(SaveOutcome::Saved));
    QCOMPARE(result.renamedFrom,
             outcome == int(SaveOutcome::Saved) && name != openedAs ? openedAs : QString());
}

void tst_gamesave::removeGame_dropsEveryIndexLineThenTheRecord_data()
{
    QTest::addColumn<QByteArray>("index");
    QTest::addColumn<QString>("blocker"); // a folder made where this file should be
    QTest::addColumn<bool>("indexRefused");
    QTest::addColumn<int>("outcome");
    QTest::addColumn<QByteArray>("after");
    QTest::addColumn<QStringList>("records"); // afterwards, of Alpha.lib and Beta.lib

    const QByteArray both("\r\nAlpha\r\nBeta\r\nAlpha\r\n");
    const auto removed = int(RemoveOutcome::Removed);
    const auto failed = int(RemoveOutcome::Failed);
    QTest::newRow("every line, then the record")
        << both << "" << false << removed << QByteArray("\r\nBeta\r\n") << QStringList{"Beta.lib"};
    QTest::newRow("a record no line names")
        << QByteArray("\r\nBeta\r\n") << "" << false << removed << QByteArray("\r\nBeta\r\n")
        << QStringList{"Beta.lib"};
    // The record stays while the index still names it.
    QTest::newRow("index cannot be replaced")
        << both << "" << true << failed << both << QStringList{"Alpha.lib", "Beta.lib"};
    QTest::newRow("a folder where the lock goes")
        << both << "vx.lock" << false << failed << both << QStringList{"Alpha.lib", "Beta.lib"};
}

void tst_gamesave::removeGame_dropsEveryIndexLineThenTheRecord()
{
    QFETCH(QByteArray, index);
    QFETCH(QString, blocker);
    QFETCH(bool, indexRefused);
    QFETCH(int, outcome);
    QFETCH(QByteArray, after);
    QFETCH(QStringList, records);

    QTemporaryDir dir;
    const QDir folder(dir.path());
    QVERIFY(makeCatalogue(folder, {{QStringLiteral("bin/bootlist.lst"), index},
                                   {QStringLiteral("bin/Alpha.lib"), "[info]\r\n"},
                                   {QStringLiteral("bin/Beta.lib"), "[info]\r\n"},
                                   {QStringLiteral("alpha.rom"), "rom"}}));
    if (!blocker.isEmpty())
        folder.mkpath(blocker);
    setAppFolder(dir.path());
    const QString indexPath = folder.filePath(QStringLiteral("bin/bootlist.lst"));
    failRenamesTo(indexRefused ? indexPath : QString(), EIO);
    // A kill as the index is replaced finds the record still there.
    bool recordKeptForIndex = true;
    beforeRenameForTests([&](const QString& path) {
        if (QFileInfo(path).fileName() == QLatin1String("bootlist.lst"))
            recordKeptForIndex = QFile::exists(folder.filePath(QStringLiteral("bin/Alpha.lib")));
    });
    const RemoveResult result = removeGame(QStringLiteral("Alpha"));
    beforeRenameForTests({});
    failRenamesTo(QString(), 0);

    QCOMPARE(int(result.outcome), outcome);
    QCOMPARE(result.notices.isEmpty(), outcome == int(RemoveOutcome::Removed));
    QVERIFY(recordKeptForIndex);
    QFile written(indexPath);
    QVERIFY(written.open(QIODevice::ReadOnly));
    QCOMPARE(written.readAll(), after);
    QCOMPARE(QDir(folder.filePath(QStringLiteral("bin"))).entryList({"*.lib"}), records);
    QVERIFY(QFile::exists(folder.filePath(QStringLiteral("alpha.rom"))));
}

QTEST_GUILESS_MAIN(tst_gamesave)
#include "tst_gamesave.moc"
