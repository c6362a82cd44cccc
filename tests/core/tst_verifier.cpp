#include "core/appfolder.h"
#include "core/verifier.h"
#include "support/cartridgeimages.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

using namespace vx;
using namespace vx::test;

namespace
{

void write(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// The verdict once the verifier has said it, or "pending" when it has said nothing.
QString verdictAfterWait(const QString& rom)
{
    Verifier& verifier = Verifier::get();
    if (const auto now = verifier.verdict(rom))
        return now->text();
    QSignalSpy ready(&verifier, &Verifier::verdictReady);
    if (!ready.wait(20000))
        return QStringLiteral("pending");
    const auto verdict = verifier.verdict(rom);
    return verdict ? verdict->text() : QString();
}

} // namespace

class TestVerifier : public QObject
{
    Q_OBJECT

private slots:
    void verdict_keptInCacheFileWhileLengthAndTimeHold_data();
    void verdict_keptInCacheFileWhileLengthAndTimeHold();
};

void TestVerifier::verdict_keptInCacheFileWhileLengthAndTimeHold_data()
{
    QTest::addColumn<bool>("touched"); // the ROM's modification time moves on
    QTest::addColumn<QString>("second");
    // Its bytes change but not its length or time: the cache answers, unread.
    QTest::newRow("same length and time") << false << "Verified: Star Racer (Europe)";
    QTest::newRow("modified since") << true << "Header check failed: bad or modified dump";
}

void TestVerifier::verdict_keptInCacheFileWhileLengthAndTimeHold()
{
    QFETCH(bool, touched);
    QFETCH(QString, second);
    QTemporaryDir dir;
    setAppFolder(dir.path());
    Verifier& verifier = Verifier::get();
    verifier.reset();
    const QByteArray image = checkedImage(C6102);
    const QString rom = dir.filePath(QStringLiteral("rom.z64"));
    write(rom, image);
    const QString dat = dir.filePath(QStringLiteral("set.dat"));
    write(dat, "<datafile><game name=\"Star Racer (Europe)\"><rom size=\"1\" sha1=\"" +
                   QCryptographicHash::hash(image, QCryptographicHash::Sha1).toHex() +
                   "\"/></game></datafile>");
    std::optional<datfile::Loaded> loaded;
    verifier.readDat(dat, [&loaded](const datfile::Loaded& read) { loaded = read; });
    QTRY_VERIFY(loaded);
    QVERIFY(loaded->dat);
    verifier.useDat(loaded->dat, dat);

    // Nothing while the sums are computed.
    QVERIFY(!verifier.verdict(rom));
    QCOMPARE(verdictAfterWait(rom), QString("Verified: Star Racer (Europe)"));
    QVERIFY(QFile::exists(dir.filePath(QStringLiteral("vx-checksums.txt"))));

    // Another start: only the file remembers.
    QFile file(rom);
    QVERIFY(file.open(QIODevice::ReadWrite));
    const QDateTime modified = file.fileTime(QFileDevice::FileModificationTime);
    QByteArray changed = image;
    changed[0x3000] = char(changed[0x3000] ^ 1);
    file.write(changed);
    QVERIFY(file.setFileTime(touched ? modified.addSecs(5) : modified,
                             QFileDevice::FileModificationTime));
    file.close();
    verifier.reset();
    verifier.useDat(loaded->dat, dat);
    QCOMPARE(verdictAfterWait(rom), second);
    verifier.reset();
}

QTEST_GUILESS_MAIN(TestVerifier)
#include "tst_verifier.moc"
