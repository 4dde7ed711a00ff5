// Numbers and Booleans written as text: every form of each text below, and the rounding of each
// number, compared with tests/data/values/number_text.golden.

#include "core/number_text.h"
#include "test_environment.h"

#include <QTest>

using namespace core;
using namespace Qt::StringLiterals;

class TestNumberText : public QObject
{
    Q_OBJECT

private slots:
    void everyForm();
};

void TestNumberText::everyForm()
{
    const QStringList texts{QString(),
                            u" \t -3.5x"_s,
                            u"- 5"_s,
                            u".5"_s,
                            u"1.2.3"_s,
                            u"1,5"_s, // the process locale may use a comma; the stores never do
                            u"1e3"_s,
                            u"\u0661\u0662"_s,
                            u"1"_s + QString(400, u'0'),
                            u"0."_s + QString(400, u'0') + u'1',
                            u"99999999999"_s,
                            u"-0.4"_s,
                            u"2.5"_s,
                            u"3.5"_s,
                            u"fast"_s,
                            u" True "_s,
                            u"FALSE"_s,
                            u"0"_s,
                            u"-1"_s,
                            u"0.5"_s,
                            u"12px"_s,
                            u"Truely"_s};
    const auto shown = [](bool found, auto value) {
        return found ? QByteArray::number(value) : QByteArray("none");
    };
    QByteArray out;
    for (const QString &text : texts) {
        const LeadingNumber number = leadingNumber(text);
        const std::optional<qint32> whole = toWholeNumber(text);
        const std::optional<bool> boolean = toBoolean(text);
        out += '"' + text.left(16).toUtf8().replace('\t', "\\t") + (text.size() > 16 ? "..." : "") +
               "\": leading " + shown(number.found, number.value) + ", whole " +
               shown(whole.has_value(), whole.value_or(0)) + " or " +
               QByteArray::number(wholeNumber(text)) + ", Boolean " +
               (boolean ? (*boolean ? "true" : "false") : "none") + '\n';
    }
    for (const double value : {1.5, 2.5, -1.5, -2.5, 2147483646.5, 2147483647.5, -1e20, qQNaN()})
        out += "rounded " + QByteArray::number(value, 'f', 1) + ": " +
               QByteArray::number(roundHalfEven(value)) + '\n';
    compareWithGolden(out, testData(u"values/number_text.golden"_s));
}

QTEST_GUILESS_MAIN(TestNumberText)
#include "tst_number_text.moc"
