#include "core/number_text.h"

#include <QTest>

#include <limits>

using namespace core;
using namespace Qt::StringLiterals;

class TestNumberText : public QObject
{
    Q_OBJECT

private slots:
    void leadingNumberRule_data();
    void leadingNumberRule();
    void halfToEven_data();
    void halfToEven();
    void wholeNumbers();
    void booleans_data();
    void booleans();
};

void TestNumberText::leadingNumberRule_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("value");
    QTest::addColumn<bool>("found");

    QTest::newRow("empty") << QString() << 0.0 << false;
    QTest::newRow("blanks, sign, unit") << u" \t -3.5x"_s << -3.5 << true;
    QTest::newRow("blank after sign") << u"- 5"_s << 0.0 << false;
    QTest::newRow("leading point") << u".5"_s << 0.5 << true;
    QTest::newRow("second point stops") << u"1.2.3"_s << 1.2 << true;
    // The process locale may use a comma; the stores never do.
    QTest::newRow("comma is no decimal point") << u"1,5"_s << 1.0 << true;
    QTest::newRow("no exponent") << u"1e3"_s << 1.0 << true;
    QTest::newRow("non-ASCII digits") << u"\u0661\u0662"_s << 0.0 << false;
    QTest::newRow("overflow") << (u"1"_s + QString(400, u'0'))
                              << std::numeric_limits<double>::infinity() << true;
    QTest::newRow("underflow") << (u"0."_s + QString(400, u'0') + u'1') << 0.0 << true;
}

void TestNumberText::leadingNumberRule()
{
    QFETCH(QString, text);
    QFETCH(double, value);
    QFETCH(bool, found);
    const LeadingNumber number = leadingNumber(text);
    QCOMPARE(number.found, found);
    QCOMPARE(number.value, value);
}

void TestNumberText::halfToEven_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<qint32>("expected");

    QTest::newRow("1.5") << 1.5 << 2;
    QTest::newRow("2.5") << 2.5 << 2;
    QTest::newRow("-1.5") << -1.5 << -2;
    QTest::newRow("-2.5") << -2.5 << -2;
    QTest::newRow("half below the top") << 2147483646.5 << 2147483646;
    QTest::newRow("half past the top") << 2147483647.5 << std::numeric_limits<qint32>::max();
    QTest::newRow("far below") << -1e20 << std::numeric_limits<qint32>::min();
    QTest::newRow("NaN") << std::numeric_limits<double>::quiet_NaN() << 0;
}

void TestNumberText::halfToEven()
{
    QFETCH(double, value);
    QFETCH(qint32, expected);
    QCOMPARE(roundHalfEven(value), expected);
}

void TestNumberText::wholeNumbers()
{
    QCOMPARE(wholeNumber(u""), 0);
    QCOMPARE(wholeNumber(u"99999999999"), std::numeric_limits<qint32>::max());
    QCOMPARE(toWholeNumber(u"-0.4"), std::optional<qint32>(0));
    QCOMPARE(toWholeNumber(u"fast"), std::nullopt);
}

void TestNumberText::booleans_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("expected"); // -1: does not convert

    QTest::newRow("blanks around") << u" True "_s << 1;
    QTest::newRow("upper FALSE") << u"FALSE"_s << 0;
    QTest::newRow("zero") << u"0"_s << 0;
    QTest::newRow("minus one") << u"-1"_s << 1;
    QTest::newRow("fraction") << u"0.5"_s << 1;
    QTest::newRow("number with unit") << u"12px"_s << -1;
    QTest::newRow("empty") << QString() << -1;
    QTest::newRow("word after True") << u"Truely"_s << -1;
}

void TestNumberText::booleans()
{
    QFETCH(QString, text);
    QFETCH(int, expected);
    const std::optional<bool> value = toBoolean(text);
    QCOMPARE(value.has_value(), expected >= 0);
    if (value)
        QCOMPARE(*value, expected == 1);
}

QTEST_GUILESS_MAIN(TestNumberText)
#include "tst_number_text.moc"
