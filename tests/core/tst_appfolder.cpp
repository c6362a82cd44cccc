#include "core/appfolder.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace vx;

// Where the catalogue of a copy of the program lives, by what lies beside the executable.
class tst_appfolder : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void chooseAppFolder_followsWhatLiesBeside_data();
    void chooseAppFolder_followsWhatLiesBeside();
};

void tst_appfolder::chooseAppFolder_followsWhatLiesBeside_data()
{
    QTest::addColumn<QStringList>("beside");
    QTest::addColumn<bool>("exeFolder");

    QTest::newRow("a build folder") << QStringList{"CMakeCache.txt"} << false;
    QTest::newRow("an install prefix's bin") << QStringList{} << false;
    QTest::newRow("a legacy catalogue copied with the program")
        << QStringList{"vx.log", "bin/bootlist.lst"} << true;
    QTest::newRow("marked portable") << QStringList{"portable"} << true;
    QTest::newRow("only an index, no settings") << QStringList{"bin/bootlist.lst"} << false;
}

void tst_appfolder::chooseAppFolder_followsWhatLiesBeside()
{
    QFETCH(QStringList, beside);
    QFETCH(bool, exeFolder);

    QTemporaryDir root;
    QVERIFY(root.isValid());
    const QDir dir(root.path());
    for (const QString& name : beside) {
        QVERIFY(dir.mkpath(QFileInfo(name).path()));
        QFile file(dir.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    const QString expected =
        exeFolder ? root.path() : QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QCOMPARE(chooseAppFolder(root.path()), QDir::toNativeSeparators(expected));
}

QTEST_GUILESS_MAIN(tst_appfolder)
#include "tst_appfolder.moc"
