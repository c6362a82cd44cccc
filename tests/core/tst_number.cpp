#include "core/number.h"

#include <QLocale>
#include <QTest>

using namespace vx;

class tst_number : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { QLocale::setDefault(QLocale::c()); }
    void toInt16_data();
    void toInt16();
};

void tst_number::toInt16_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<int>("expected");

    const auto ok = [](const char* text, int value, const char* locale = "C") {
        QTest::addRow("%s '%s'", locale, text) << locale << text << true << value;
    };
    const auto bad = [](const char* text, const char* locale = "C") {
        QTest::addRow("%s '%s' refused", locale, text) << locale << text << false << 0;
    };
    ok("42", 42);
    ok("  42 ", 42);
    ok("064", 64);
    ok("-7", -7);
    ok("+7", 7);
    ok("0.5", 0);
    ok("1.5", 2);
    ok("2.5", 2);
    ok("96.5", 96);
    ok("-1.5", -2);
    ok("-0.5", 0);
    ok("12345.67", 12346);
    ok("12345.5", 12346);
    ok("2.50000000000000000001", 3);
    ok("2.49999999999999999999", 2);
    ok(".5", 0);
    ok("5.", 5);
    ok("32767", 32767);
    ok("32767.49", 32767);
    ok("-32768", -32768);
    ok("-32768.5", -32768);
    ok("0000000000000000012", 12);
    bad("32768");
    bad("-32769");
    bad("32767.5");
    bad("99999999999999999999");
    bad("Other!");
    bad("");
    bad("12abc");
    bad("1.2.3");
    bad("1e3");
    bad(".");
    bad("-");
    bad("- 5");
    bad("1 2");
    bad("1,5");
    ok("1,5", 2, "de_DE");
    ok("2,5", 2, "de_DE");
    ok("3.5", 4, "de_DE");
    bad("1,2,3", "de_DE");
}

void tst_number::toInt16()
{
    QFETCH(QString, locale);
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QFETCH(int, expected);
    QLocale::setDefault(QLocale(locale));

    const std::optional<int> value = vx::toInt16(text);
    QCOMPARE(value.has_value(), valid);
    if (valid)
        QCOMPARE(*value, expected);
}

QTEST_GUILESS_MAIN(tst_number)
#include "tst_number.moc"
