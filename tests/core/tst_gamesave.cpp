#include "core/appfolder.h"
#include "core/gamesave.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace vx;

// The save without a window: what it returns, and what it leaves in the catalogue.
class tst_gamesave : public QObject
{
    Q_OBJECT

private slots:
    void saveGame_returnsOutcomeAndNotices_data();
    void saveGame_returnsOutcomeAndNotices();
};

void tst_gamesave::saveGame_returnsOutcomeAndNotices_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("rom"); // relative to the catalogue; empty field when empty
    QTest::addColumn<QString>("size");
    QTest::addColumn<QString>("blocker"); // a folder made where this file should be
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
                           << "" << saved << QStringList() << QByteArray("\r\nAlpha\r\nBeta\r\n");
    QTest::newRow("saved with a warning")
        << "Beta"
        << "none.rom"
        << "64"
        << "" << saved << QStringList{"Invalid File Path"} << QByteArray("\r\nAlpha\r\nBeta\r\n");
    QTest::newRow("empty field") << "Beta"
                                 << ""
                                 << "64"
                                 << "" << refused << QStringList{"No File Path entered."} << before;
    QTest::newRow("warning, then a size refused")
        << "Beta"
        << "none.rom"
        << "70000"
        << "" << refused << QStringList{"Invalid File Path", "Invalid Size"} << before;
    QTest::newRow("name no file can have")
        << "a/b"
        << "r.rom"
        << "64"
        << "" << refused << QStringList{"Invalid Game Name"} << before;
    QTest::newRow("record cannot be written")
        << "Beta"
        << "r.rom"
        << "64"
        << "bin/Beta.lib" << failed << QStringList{"Check that the bin folder can be written."}
        << before;
}

void tst_gamesave::saveGame_returnsOutcomeAndNotices()
{
    QFETCH(QString, name);
    QFETCH(QString, rom);
    QFETCH(QString, size);
    QFETCH(QString, blocker);
    QFETCH(int, outcome);
    QFETCH(QStringList, notices);
    QFETCH(QByteArray, index);

    QTemporaryDir dir;
    const QDir folder(dir.path());
    folder.mkpath(QStringLiteral("bin"));
    const auto write = [&](const QString& relative, const QByteArray& bytes) {
        QFile file(folder.filePath(relative));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    };
    write(QStringLiteral("vx.log"), "[info]\r\nruns=1\r\n");
    write(QStringLiteral("bin/bootlist.lst"), "\r\nAlpha\r\n");
    write(QStringLiteral("r.rom"), "rom");
    if (!blocker.isEmpty())
        folder.mkpath(blocker);
    setAppFolder(dir.path());

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

QTEST_GUILESS_MAIN(tst_gamesave)
#include "tst_gamesave.moc"
