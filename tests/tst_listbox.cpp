#include "support/testsupport.h"
#include "ui/listbox.h"
#include "ui/namefold.h"

#include <QHelpEvent>
#include <QSignalSpy>
#include <QToolTip>
#include <QtTest>

using namespace vx;

namespace
{

// A shown list, laid out, with `texts` in it.
void showWith(ListBox& list, const QStringList& texts)
{
    list.resize(200, 300);
    list.addItems(TextList(texts));
    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));
    list.doItemsLayout();
}

void pressRow(ListBox& list, int row)
{
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, test::rowCentre(list, row));
}

} // namespace

class TestListBox : public QObject
{
    Q_OBJECT

private slots:
    void fills_keepOrderRepeatsAndEmptyEntries_data();
    void fills_keepOrderRepeatsAndEmptyEntries();
    void removeItem_dropsOnlyThatRow_data();
    void removeItem_dropsOnlyThatRow();
    void userSelection_reportsTheChosenRow_data();
    void userSelection_reportsTheChosenRow();
    void focusFillAndClear_neverReportASelection();
    void removingSelectedRow_selectsTheRowThatFollows();
    void currentText_emptyUnlessCurrentRowIsSelected();
    void doubleClick_reportsItsRow();
    void filter_showsNamesHoldingPartAsideCaseAndAccents_data();
    void filter_showsNamesHoldingPartAsideCaseAndAccents();
    void tooltip_showsOnlyNamesCutByWidth();
    void foldName_isDecompositionWithoutMarksCaseFolded();
};

void TestListBox::fills_keepOrderRepeatsAndEmptyEntries_data()
{
    QTest::addColumn<QStringList>("first");
    QTest::addColumn<QStringList>("second");
    QTest::newRow("into empty") << QStringList() << QStringList{"", "A", "A", "B"};
    QTest::newRow("appended") << QStringList{"", "A"} << QStringList{"A", "", "C"};
    QTest::newRow("nothing added") << QStringList{"A"} << QStringList();
}

void TestListBox::fills_keepOrderRepeatsAndEmptyEntries()
{
    QFETCH(QStringList, first);
    QFETCH(QStringList, second);
    ListBox list;
    list.addItems(TextList(first));
    list.addItems(TextList(second));
    QCOMPARE(list.texts().toStringList(), first + second);
    QCOMPARE(list.count(), first.size() + second.size());
    QCOMPARE(list.model()->rowCount(), list.count());
    for (int i = 0; i < list.count(); ++i)
        QCOMPARE(list.model()->index(i, 0).data().toString(), list.text(i));
    QCOMPARE(list.text(list.count()), QString());
    QCOMPARE(list.text(-1), QString());
}

void TestListBox::removeItem_dropsOnlyThatRow_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QStringList>("left");
    QTest::newRow("first") << 0 << QStringList{"A", "A", "B"};
    QTest::newRow("a repeat") << 2 << QStringList{"", "A", "B"};
    QTest::newRow("last") << 3 << QStringList{"", "A", "A"};
    QTest::newRow("past the end") << 4 << QStringList{"", "A", "A", "B"};
    QTest::newRow("negative") << -1 << QStringList{"", "A", "A", "B"};
}

void TestListBox::removeItem_dropsOnlyThatRow()
{
    QFETCH(int, row);
    QFETCH(QStringList, left);
    ListBox list;
    list.addItems(TextList({"", "A", "A", "B"}));
    list.removeItem(row);
    QCOMPARE(list.texts().toStringList(), left);
}

void TestListBox::userSelection_reportsTheChosenRow_data()
{
    QTest::addColumn<bool>("byKeyboard");
    QTest::addColumn<int>("rows");
    QTest::newRow("press") << false << 3;
    QTest::newRow("keyboard") << true << 3;
    // Longer than the view lays out in one go: End still reaches the last row, in sight.
    QTest::newRow("keyboard, long list") << true << 100000;
}

void TestListBox::userSelection_reportsTheChosenRow()
{
    QFETCH(bool, byKeyboard);
    QFETCH(int, rows);
    QStringList texts;
    for (int i = 0; i < rows; ++i)
        texts << (rows <= 26 ? QString(QChar('A' + i)) : QStringLiteral("Game %1").arg(i));
    ListBox list;
    showWith(list, texts);
    QSignalSpy chosen(&list, &ListBox::entrySelected);
    if (byKeyboard) {
        list.setFocus();
        QTest::keyClick(&list, Qt::Key_End);
    } else {
        pressRow(list, 2);
    }
    const int row = byKeyboard ? rows - 1 : 2;
    QCOMPARE(chosen.count(), 1);
    QCOMPARE(chosen.first().first().toInt(), row);
    QCOMPARE(list.selectedRow(), row);
    QCOMPARE(list.currentText(), texts[row]);
    QVERIFY(
        list.viewport()->rect().contains(list.visualRect(list.model()->index(row, 0)).center()));
}

void TestListBox::focusFillAndClear_neverReportASelection()
{
    ListBox list;
    QSignalSpy chosen(&list, &ListBox::entrySelected);
    showWith(list, {"A", "B"});
    list.setFocus();
    QApplication::processEvents();
    list.addItems(TextList({"C"}));
    list.setItems(TextList({"D", "E"}));
    list.clear();
    list.addItems(TextList({"F"}));
    QCOMPARE(chosen.count(), 0);
    QCOMPARE(list.selectedRow(), -1);
}

void TestListBox::removingSelectedRow_selectsTheRowThatFollows()
{
    ListBox list;
    showWith(list, {"A", "B", "C"});
    pressRow(list, 1);
    QCOMPARE(list.selectedRow(), 1);
    // As any single-selection list view does; the windows that remove a chosen entry guard
    // against the choice this reports.
    QSignalSpy chosen(&list, &ListBox::entrySelected);
    list.removeItem(1);
    QCOMPARE(list.texts().toStringList(), QStringList({"A", "C"}));
    QCOMPARE(list.selectedRow(), 1);
    QCOMPARE(list.currentText(), QString("C"));
    QVERIFY(!chosen.isEmpty());
    list.removeItem(1);
    list.removeItem(0);
    QCOMPARE(list.selectedRow(), -1);
}

void TestListBox::currentText_emptyUnlessCurrentRowIsSelected()
{
    ListBox list;
    list.addItems(TextList({"A", "B"}));
    QCOMPARE(list.currentRow(), -1);
    QCOMPARE(list.currentText(), QString());
    list.setCurrentRow(1);
    QCOMPARE(list.currentRow(), 1);
    QCOMPARE(list.currentText(), QString("B"));
    list.clearSelection();
    QCOMPARE(list.currentRow(), 1);
    QCOMPARE(list.currentText(), QString());
    list.setCurrentRow(-1);
    QCOMPARE(list.currentRow(), -1);
}

void TestListBox::doubleClick_reportsItsRow()
{
    ListBox list;
    showWith(list, {"A", "B", "C"});
    QSignalSpy doubled(&list, &ListBox::itemDoubleClicked);
    const QPoint at = test::rowCentre(list, 1);
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, at);
    QCOMPARE(doubled.count(), 1);
    QCOMPARE(doubled.first().first().toInt(), 1);
}

void TestListBox::filter_showsNamesHoldingPartAsideCaseAndAccents_data()
{
    QTest::addColumn<QString>("part");
    QTest::addColumn<QStringList>("shown");
    QTest::addColumn<QStringList>(
        "afterAdding");                    // "Zoe Eclair" added, then the first shown removed
    QTest::addColumn<QString>("selected"); // "zoe" was selected before the part was typed
    QTest::newRow("nothing typed")
        << "" << QStringList{"Éclair", "Mario", "L'éclair du Zoë", "zoe"}
        << QStringList{"Mario", "L'éclair du Zoë", "zoe", "Zoe Eclair"} << "zoe";
    QTest::newRow("accents and case aside") << "ECLAIR" << QStringList{"Éclair", "L'éclair du Zoë"}
                                            << QStringList{"L'éclair du Zoë", "Zoe Eclair"} << "";
    QTest::newRow("accent typed") << "zoë" << QStringList{"L'éclair du Zoë", "zoe"}
                                  << QStringList{"zoe", "Zoe Eclair"} << "zoe";
    QTest::newRow("none") << "luigi" << QStringList{} << QStringList{} << "";
}

void TestListBox::filter_showsNamesHoldingPartAsideCaseAndAccents()
{
    QFETCH(QString, part);
    QFETCH(QStringList, shown);
    QFETCH(QStringList, afterAdding);
    QFETCH(QString, selected);
    ListBox list;
    const QStringList all{"Éclair", "Mario", "L'éclair du Zoë", "zoe"};
    list.addItems(TextList(all));
    list.setCurrentRow(3);
    list.setFilter(part);
    QCOMPARE(test::shown(list), shown);
    QCOMPARE(list.currentText(), selected);
    QCOMPARE(list.total(), 4);
    list.addItems(TextList({"Zoe Eclair"}));
    list.removeItem(0);
    QCOMPARE(test::shown(list), afterAdding);
    QCOMPARE(list.total(), shown.isEmpty() ? 5 : 4);
    // A list replaced keeps the part: only its holders show.
    list.setItems(TextList(all));
    QCOMPARE(test::shown(list), shown);
    list.setFilter(QString());
    QCOMPARE(list.count(), list.total());
}

void TestListBox::tooltip_showsOnlyNamesCutByWidth()
{
    ListBox list;
    const QString longName("A game whose name runs far past the width of its list");
    showWith(list, {"Short", longName});
    list.resize(120, 200);
    list.doItemsLayout();
    for (int row : {1, 0}) {
        QHelpEvent help(QEvent::ToolTip, test::rowCentre(list, row),
                        list.viewport()->mapToGlobal(test::rowCentre(list, row)));
        QApplication::sendEvent(list.viewport(), &help);
        if (row == 1)
            QCOMPARE(QToolTip::text(), longName);
        else
            QTRY_VERIFY(!QToolTip::isVisible());
    }
}

void TestListBox::foldName_isDecompositionWithoutMarksCaseFolded()
{
    // Against the whole-string normalization the folding stands in for.
    for (const QString& name : {QStringLiteral("Pokémon Stadium"), QStringLiteral("ǕBER Åström"),
                                QStringLiteral("한국 Ⅻ ﬁ"), QStringLiteral("𝒜𐐀 straße"),
                                QStringLiteral("e\u0301\u20DD plain")}) {
        QString expected;
        for (const QChar c : name.normalized(QString::NormalizationForm_D)) {
            if (c.category() != QChar::Mark_NonSpacing && c.category() != QChar::Mark_Enclosing)
                expected.append(c);
        }
        QCOMPARE(foldName(name), expected.toCaseFolded());
    }
}

QTEST_MAIN(TestListBox)
#include "tst_listbox.moc"
