#include "platform/appfolder.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace vx;

// Where the catalogue of a copy of the program lives, by how that copy was laid down.
class tst_appfolder : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void chooseAppFolder_followsLayout_data();
    void chooseAppFolder_followsLayout();
};

void tst_appfolder::chooseAppFolder_followsLayout_data()
{
    QTest::addColumn<QString>("exeFolder");
    QTest::addColumn<QString>("desktopEntry");
    QTest::addColumn<bool>("installed");

    QTest::newRow("installed: bin beside share/applications")
        << "usr/bin"
        << "usr/share/applications/vexloutil.desktop" << true;
    QTest::newRow("portable: a plain folder") << "games/vexloutil"
                                              << "" << false;
    QTest::newRow("portable: a bin folder without the desktop entry") << "opt/bin"
                                                                      << "" << false;
    QTest::newRow("portable: another program's desktop entry")
        << "usr/bin"
        << "usr/share/applications/other.desktop" << false;
    QTest::newRow("portable: the entry beside a folder not named bin")
        << "usr/build"
        << "usr/share/applications/vexloutil.desktop" << false;
}

void tst_appfolder::chooseAppFolder_followsLayout()
{
    QFETCH(QString, exeFolder);
    QFETCH(QString, desktopEntry);
    QFETCH(bool, installed);

    QTemporaryDir root;
    QVERIFY(root.isValid());
    const QDir dir(root.path());
    QVERIFY(dir.mkpath(exeFolder));
    if (!desktopEntry.isEmpty()) {
        QVERIFY(dir.mkpath(QFileInfo(desktopEntry).path()));
        QFile entry(dir.filePath(desktopEntry));
        QVERIFY(entry.open(QIODevice::WriteOnly));
    }
    const QString exe = dir.filePath(exeFolder);

    QCOMPARE(isInstalledCopy(exe), installed);
    // The folder is writable either way: an installed copy still keeps its catalogue per user.
    const QString expected =
        installed ? QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) : exe;
    QCOMPARE(chooseAppFolder(exe), QDir::toNativeSeparators(expected));
}

QTEST_GUILESS_MAIN(tst_appfolder)
#include "tst_appfolder.moc"
