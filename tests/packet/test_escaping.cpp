#include "Utils/ParleyStringAdditions.h"

#include <gtest/gtest.h>

using namespace parley;

struct EscapeCase {
    const char *text;
    const char *wire;
};

class EscapingTest : public ::testing::TestWithParam<EscapeCase> {};

TEST_P(EscapingTest, EncodesAndDecodesBothWays)
{
    const QString text = QString::fromUtf8(GetParam().text);
    const QString wire = QString::fromUtf8(GetParam().wire);
    EXPECT_EQ(stringByParleyEncoding(text), wire);
    EXPECT_EQ(stringByParleyDecoding(wire), text);
}

INSTANTIATE_TEST_SUITE_P(Table, EscapingTest,
                         ::testing::Values(EscapeCase{"50% of a b", "50%25%20of%20a%20b"},
                                           EscapeCase{"%20", "%2520"}, EscapeCase{"%00", "%2500"},
                                           EscapeCase{"%09", "%2509"}, EscapeCase{"a\tb", "a%09b"},
                                           EscapeCase{"line\r\nnext", "line%0D%0Anext"},
                                           EscapeCase{"%%20 %", "%25%2520%20%25"},
                                           EscapeCase{"plain", "plain"},
                                           EscapeCase{"한글 text", "한글%20text"}));

TEST(Escaping, DecodingSpecialCases)
{
    EXPECT_EQ(stringByParleyDecoding(QStringLiteral("%00")), QString());
    EXPECT_EQ(stringByParleyDecoding(QStringLiteral("a%00b")), QStringLiteral("ab"));
    // Lower-case hex is no escape, and an unknown or cut escape stays.
    EXPECT_EQ(stringByParleyDecoding(QStringLiteral("%0d%0a")), QStringLiteral("%0d%0a"));
    EXPECT_EQ(stringByParleyDecoding(QStringLiteral("%41%")), QStringLiteral("%41%"));
    EXPECT_EQ(stringByParleyDecoding(QStringLiteral("100%")), QStringLiteral("100%"));
}

TEST(Escaping, RoundTripOfEveryEscapableCombination)
{
    // Every string of length 3 over the characters that matter.
    const QString alphabet = QStringLiteral("% \r\n\t02A59D");
    for (QChar a : alphabet)
        for (QChar b : alphabet)
            for (QChar c : alphabet) {
                const QString text = QString(a) + b + c;
                const QString wire = stringByParleyEncoding(text);
                EXPECT_FALSE(wire.contains(QLatin1Char(' ')) || wire.contains(QLatin1Char('\r'))
                             || wire.contains(QLatin1Char('\n')) || wire.contains(QLatin1Char('\t')));
                EXPECT_EQ(stringByParleyDecoding(wire), text) << text.toStdString();
            }
}

TEST(IntValue, ReadsLeadingDecimalLikeTheWireModel)
{
    const struct {
        const char *text;
        qint32 value;
    } cases[] = {{"12", 12}, {"-7", -7}, {"+3", 3}, {"  42x", 42}, {"x42", 0}, {"", 0},
                 {"0", 0},   {"99999999999", 2147483647}, {"-99999999999", -2147483647 - 1},
                 // Around the plain-digits shortcut: nine digits, ten, the limit, a digit of another script.
                 {"123456789", 123456789}, {"000000012", 12}, {"1234567890", 1234567890}, {"2147483647", 2147483647},
                 {"2147483648", 2147483647}, {"12a", 12}, {"1 2", 1}, {"7\xd9\xa3", 7}, {"\xd9\xa3", 0}, {"/", 0}, {":", 0}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(plIntValue(QString::fromUtf8(c.text)), c.value);
    }
}
