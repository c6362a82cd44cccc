#include "core/filesearch.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace vx;

class tst_filesearch : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

private slots:
    void initTestCase();
    void wildcardMatch_data();
    void wildcardMatch();
    void normalFileMatches_data();
    void normalFileMatches();
    void normalFileMatches_emptyPathIsFalse();
};

void tst_filesearch::initTestCase()
{
    QVERIFY(m_dir.isValid());
    const QDir dir(m_dir.path());
    for (const char* name : {"Game.ROM", ".hidden", "[x].bin", "sub/in.txt"}) {
        QVERIFY(dir.mkpath(QFileInfo(dir.filePath(name)).path()));
        QFile file(dir.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    QVERIFY(dir.mkdir("empty"));
    QVERIFY(dir.mkdir("folder.rom"));
    QVERIFY(QFile::link(dir.filePath("Game.ROM"), dir.filePath("link")));
    QVERIFY(QFile::link(dir.filePath("sub"), dir.filePath("dirlink")));
    QVERIFY(QFile::link(dir.filePath("gone"), dir.filePath("broken")));
}

void tst_filesearch::wildcardMatch_data()
{
    QTest::addColumn<QString>("mask");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("matches");

    const auto row = [](const char* mask, const char* name, bool matches) {
        QTest::addRow("'%s' ~ '%s'", mask, name)
            << QString::fromUtf8(mask) << QString::fromUtf8(name) << matches;
    };
    row("*", "anything", true);
    row("*.*", "README", true);
    row("abc.*", "abc", true);
    row("*.rom", "GAME.ROM", true);
    row("*.rom", "game.rom.bak", false);
    row("g?me.rom", "Game.rom", true);
    row("g?me.rom", "gme.rom", false);
    row("?", "", false);
    row("*a*b", "xaxxbxb", true);
    row("*a*b", "xaxxbx", false);
    row("[ab]", "a", false);
    row("[ab]", "[AB]", true);
    row("ä*", "Äpfel", true);
    row("exact", "exactly", false);
}

void tst_filesearch::wildcardMatch()
{
    QFETCH(QString, mask);
    QFETCH(QString, name);
    QFETCH(bool, matches);
    QCOMPARE(vx::wildcardMatch(mask, name), matches);
}

void tst_filesearch::normalFileMatches_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<bool>("matches");

    const auto row = [](const char* pattern, bool matches) {
        QTest::newRow(pattern) << QString::fromUtf8(pattern) << matches;
    };
    row("Game.ROM", true);
    row("nope", false);
    row(".hidden", false);
    row("sub", false);
    row("link", true);
    row("dirlink", false);
    row("broken", false);
    row("[x].bin", true);
    row("[x]*", true);
    row("*.rom", true);
    row("g?me.*", true);
    row("*.zip", false);
    row(".h*", false);
    row("folder.*", false);
    row("sub/*.TXT", true);
    row("empty/*", false);
    row("missing/*", false);
    row("missing/a", false);
    row("sub/", false);
    row("Game.ROM/x", false);
}

void tst_filesearch::normalFileMatches()
{
    QFETCH(QString, pattern);
    QFETCH(bool, matches);
    QCOMPARE(vx::normalFileMatches(m_dir.filePath(pattern)), matches);
}

void tst_filesearch::normalFileMatches_emptyPathIsFalse()
{
    // The empty path would otherwise mean the current folder, which has files.
    QVERIFY(QDir::setCurrent(m_dir.path()));
    QVERIFY(!vx::normalFileMatches(QString()));
    QVERIFY(vx::normalFileMatches("*"));
}

QTEST_GUILESS_MAIN(tst_filesearch)
#include "tst_filesearch.moc"
