#include "ui/controls.h"

#include <QtTest>

using namespace vx;

class TestLabel : public QObject
{
    Q_OBJECT

private slots:
    void autoSize_fitsCaptionAsQLabelWould_data();
    void autoSize_fitsCaptionAsQLabelWould();
};

void TestLabel::autoSize_fitsCaptionAsQLabelWould_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("maximumWidth"); // 0: none
    QTest::addColumn<int>("indent");
    QTest::newRow("a title") << "The Legend of Zelda - Ocarina of Time" << 0 << -1;
    QTest::newRow("empty") << "" << 0 << -1;
    QTest::newRow("ampersand stays text") << "Mario & Luigi" << 0 << -1;
    QTest::newRow("tab") << "Game type:\tUS" << 0 << -1;
    QTest::newRow("two lines") << "Game Size: 64\nMbytes" << 0 << -1;
    QTest::newRow("right to left") << QString::fromUtf8("لعبة المغامرة") << 0 << -1;
    QTest::newRow("wider than allowed") << QString(300, QLatin1Char('W')) << 293 << -1;
    QTest::newRow("indented") << "Setup" << 0 << 6;
}

void TestLabel::autoSize_fitsCaptionAsQLabelWould()
{
    QFETCH(QString, caption);
    QFETCH(int, maximumWidth);
    QFETCH(int, indent);
    QWidget window;
    QFont font = window.font();
    font.setBold(true);
    font.setItalic(true);
    font.setPointSizeF(9.75);

    Label label(QStringLiteral("lbl_title1"), &window, QStringLiteral("[None]"));
    QLabel reference(QStringLiteral("[None]"), &window);
    reference.setTextFormat(Qt::PlainText);
    for (QLabel* each : {static_cast<QLabel*>(&label), &reference}) {
        each->setFont(font);
        each->setIndent(indent);
        if (maximumWidth > 0)
            each->setMaximumWidth(maximumWidth);
    }
    label.setAutoSize(true);
    window.show();
    label.setCaption(caption);
    reference.setText(caption);
    reference.adjustSize();
    QCOMPARE(label.size(), reference.size());

    // Back to the caption after another, then in a larger font.
    label.setCaption(QStringLiteral("Game type: US"));
    label.setCaption(caption);
    QCOMPARE(label.size(), reference.size());
    font.setPointSizeF(14);
    label.setFont(font);
    reference.setFont(font);
    label.setCaption(caption);
    reference.adjustSize();
    QCOMPARE(label.size(), reference.size());
}

QTEST_MAIN(TestLabel)
#include "tst_label.moc"
