// The receive path's fast forms against the simple forms they replaced: the
// one-pass unescaping against the six ordered replacements, the line split
// into views against QString::split, the ASCII shortcut of stringWithData
// against the UTF-8 decoder, and the field table against a QHash. Null and
// empty strings are told apart throughout.

#include "Packet/PLRecvPacket.h"
#include "Utils/ParleyStringAdditions.h"

#include <QStringDecoder>
#include <gtest/gtest.h>
#include <random>

using namespace parley;

namespace {

// The unescaping as it was: each replacement over the whole text, in order.
QString referenceDecoding(const QString &wire)
{
    if (!wire.contains(QLatin1Char('%')))
        return wire;
    static const char *const steps[][2] = {{"%20", " "}, {"%0D", "\r"}, {"%0A", "\n"},
                                           {"%00", ""},  {"%09", "\t"}, {"%25", "%"}};
    QString result = wire;
    for (const auto &step : steps)
        result.replace(QLatin1String(step[0]), QLatin1String(step[1]));
    return result;
}

// stringWithData as it was: cut at the first zero byte, then the decoder.
QString referenceStringWithData(const QByteArray &bytes)
{
    const qsizetype zero = bytes.indexOf('\0');
    const QByteArray head = zero < 0 ? bytes : bytes.left(zero);
    QStringDecoder decoder(QStringConverter::Utf8,
                           QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom);
    QString text = decoder.decode(head);
    if (decoder.hasError())
        return QString();
    if (text.isNull())
        text = QLatin1String("");
    return text;
}

void expectSameString(const QString &actual, const QString &expected, const QString &input)
{
    EXPECT_EQ(actual, expected) << "input: " << input.toStdString();
    EXPECT_EQ(actual.isNull(), expected.isNull()) << "input: " << input.toStdString();
}

QString randomText(std::mt19937 &random, const QString &alphabet, int maxLength)
{
    const int length = std::uniform_int_distribution<int>(0, maxLength)(random);
    std::uniform_int_distribution<qsizetype> pick(0, alphabet.size() - 1);
    QString text(QLatin1String(""));
    for (int i = 0; i < length; ++i)
        text += alphabet.at(pick(random));
    return text;
}

void expectDecodingMatches(const QString &wire)
{
    const QString expected = referenceDecoding(wire);
    expectSameString(stringByParleyDecoding(wire), expected, wire);
    expectSameString(stringByParleyDecoding(QStringView(wire)), expected, wire);
}

// Exposes what decodeFields() sees.
class FieldProbe : public PLRecvPacket
{
public:
    QStringList fields;
    QString last;
    bool lastThrew = false;
    bool beyondThrew = false;

protected:
    void decodeFields() override
    {
        for (qsizetype i = 0; i < fieldCount(); ++i) {
            fields.append(field(i));
            readField(QStringLiteral("decoded%1").arg(i), i);
            readRawField(QStringLiteral("raw%1").arg(i), i);
        }
        try {
            last = lastField(2);
        } catch (const PLParseError &) {
            lastThrew = true;
        }
        try {
            (void)field(fieldCount());
        } catch (const PLParseError &) {
            beyondThrew = true;
        }
    }
};

// Sets the same names more than once, as a decoder that corrects a field does.
class RepeatedNames : public PLRecvPacket
{
public:
    void set(const QString &name, const QString &value) { setValue(name, value); }

protected:
    void decodeFields() override
    {
        readFields(2, {QStringLiteral("a"), QStringLiteral("b")});
        setValue(QStringLiteral("a"), QStringLiteral("again"));
        readField(QStringLiteral("b"), 4);
        setValue(QString(), QStringLiteral("no name"));
    }
};

} // namespace

TEST(DecodingEquivalence, EveryShortTextOverTheEscapeCharacters)
{
    // Every text of up to six characters over '%' and the escape digits:
    // every escape, every cut escape and every "%00" that joins neighbours.
    const QString alphabet = QStringLiteral("%0259AD");
    QStringList texts{QString(QLatin1String(""))};
    for (int length = 1; length <= 6; ++length) {
        QStringList longer;
        for (const QString &text : texts) {
            if (text.size() == length - 1)
                for (QChar c : alphabet)
                    longer.append(text + c);
        }
        texts += longer;
    }
    for (const QString &wire : texts)
        expectDecodingMatches(wire);
}

TEST(DecodingEquivalence, RandomLongerTexts)
{
    std::mt19937 random(20261210);
    const QString alphabet = QStringLiteral("%%%00259ADdax \t\r\n") + QChar(0xD55C) + QChar(0xD83D) + QChar(0);
    for (int i = 0; i < 100000; ++i)
        expectDecodingMatches(randomText(random, alphabet, 24));
}

TEST(DecodingEquivalence, NullAndEmptyAndJoinedEscapes)
{
    for (const QString &wire :
         {QString(), QString(QLatin1String("")), QStringLiteral("%00"), QStringLiteral("%00%00"),
          QStringLiteral("%%0009"), QStringLiteral("%0%009"), QStringLiteral("%2%005"), QStringLiteral("%%000D"),
          QStringLiteral("%%%0000"), QStringLiteral("%%00%0025"), QStringLiteral("%2509"), QStringLiteral("%%"),
          QStringLiteral("%0"), QStringLiteral("abc%"), QStringLiteral("%%00")})
        expectDecodingMatches(wire);
    // The joined cases read as the ordered replacements read them.
    EXPECT_EQ(stringByParleyDecoding(QStringLiteral("%%0009")), QStringLiteral("\t"));
    EXPECT_EQ(stringByParleyDecoding(QStringLiteral("%2%005")), QStringLiteral("%"));
    EXPECT_EQ(stringByParleyDecoding(QStringLiteral("%%000D")), QStringLiteral("%0D"));
    EXPECT_TRUE(stringByParleyDecoding(QStringView()).isNull());
    EXPECT_FALSE(stringByParleyDecoding(QStringLiteral("%00")).isNull());
}

TEST(DecodingEquivalence, StringWithDataMatchesTheDecoder)
{
    std::mt19937 random(7);
    static const char kBytes[] = "aZ %\r\n\t0\0\x7f\x80\xc3\xa9\xed\x95\x9c\xef\xbb\xbf\xff";
    const QByteArray bytes(kBytes, sizeof kBytes - 1); // the zero inside included
    std::uniform_int_distribution<int> pick(0, int(bytes.size()) - 1);
    std::uniform_int_distribution<int> length(0, 40);
    QList<QByteArray> inputs{QByteArray(), QByteArray(""), QByteArray("\0abc", 4), QByteArray("abc\0\xff", 5),
                             QByteArray("\xef\xbb\xbf" "abc"), QByteArray("0123456789abcdef\x80")};
    for (int i = 0; i < 20000; ++i) {
        QByteArray input;
        for (int n = length(random); n > 0; --n)
            input += bytes.at(pick(random));
        inputs.append(input);
    }
    for (const QByteArray &input : inputs) {
        const QString expected = referenceStringWithData(input);
        const QString label = QString::fromLatin1(input.toHex());
        expectSameString(stringWithData(input, QStringConverter::Utf8), expected, label);
        expectSameString(stringWithData(QByteArrayView(input), QStringConverter::Utf8), expected, label);
    }
}

TEST(DecodingEquivalence, FieldsAreTheSplitOfTheLine)
{
    std::mt19937 random(42);
    QStringList lines{QString(), QString(QLatin1String("")), QStringLiteral(" "), QStringLiteral("A"), QStringLiteral("A 1"),
                      QStringLiteral("A  1 "), QStringLiteral("  ")};
    for (int i = 0; i < 3000; ++i)
        lines.append(randomText(random, QStringLiteral("  a%0092"), 20));
    // Longer lines, read several characters a step: spaces at every place
    // within and across the steps, and runs of them.
    for (int i = 0; i < 3000; ++i)
        lines.append(randomText(random, QStringLiteral("    a%\u00e9\u2020"), 50));
    for (const QString &line : lines) {
        FieldProbe probe;
        probe.setParams(line);
        const QStringList expected = line.split(QLatin1Char(' '));
        ASSERT_EQ(probe.fields.size(), expected.size()) << line.toStdString();
        for (qsizetype i = 0; i < expected.size(); ++i) {
            expectSameString(probe.fields.at(i), expected.at(i), line);
            expectSameString(probe.value(QStringLiteral("raw%1").arg(i)), expected.at(i), line);
            expectSameString(probe.value(QStringLiteral("decoded%1").arg(i)), referenceDecoding(expected.at(i)), line);
        }
        EXPECT_EQ(probe.lastThrew, expected.size() <= 2) << line.toStdString();
        if (!probe.lastThrew)
            expectSameString(probe.last, expected.last(), line);
        EXPECT_TRUE(probe.beyondThrew);
        EXPECT_EQ(probe.command(), expected.first());
        EXPECT_FALSE(probe.command().isNull());
        EXPECT_EQ(probe.packetString(), line);
        EXPECT_EQ(probe.countParams(), 2 * expected.size());
    }
}

TEST(DecodingEquivalence, ALaterValueForANameReplacesTheEarlier)
{
    RepeatedNames packet;
    packet.setParams(QStringLiteral("TEST 1 x y z"));
    EXPECT_EQ(packet.value(QStringLiteral("a")), QStringLiteral("again"));
    EXPECT_EQ(packet.value(QStringLiteral("b")), QStringLiteral("z"));
    EXPECT_EQ(packet.value(QString(QLatin1String(""))), QStringLiteral("no name"));
    EXPECT_TRUE(packet.value(QStringLiteral("c")).isNull());
    EXPECT_EQ(packet.intValue(QStringLiteral("c"), -7), -7);
    const QHash<QString, QString> expected{{QStringLiteral("a"), QStringLiteral("again")},
                                           {QStringLiteral("b"), QStringLiteral("z")},
                                           {QString(), QStringLiteral("no name")}};
    EXPECT_EQ(packet.dictParams(), expected);
    EXPECT_EQ(packet.countParams(), 3);

    // A table set whole replaces every field, and a value set afterwards shows
    // in the table too.
    packet.setMDictParams({{QStringLiteral("n"), QStringLiteral("12")}});
    EXPECT_TRUE(packet.value(QStringLiteral("a")).isNull());
    EXPECT_EQ(packet.intValue(QStringLiteral("n")), 12);
    packet.set(QStringLiteral("m"), QStringLiteral("x"));
    EXPECT_EQ(packet.dictParams().value(QStringLiteral("m")), QStringLiteral("x"));
    EXPECT_EQ(packet.countParams(), 2);
}

TEST(DecodingEquivalence, FieldsReadEarlierKeepTheirValueWhenThePacketIsFilledAgain)
{
    RepeatedNames packet;
    packet.setParams(QStringLiteral("TEST 1 first%20a b c"));
    packet.setParams(QStringLiteral("TEST 2 x"));
    // The second line sets "a" again and is too short for "b", which keeps
    // what the first line's field 4 gave it.
    EXPECT_EQ(packet.value(QStringLiteral("a")), QStringLiteral("x"));
    EXPECT_EQ(packet.value(QStringLiteral("b")), QStringLiteral("c"));
    EXPECT_EQ(packet.tID(), 2);
}

TEST(DecodingEquivalence, IntValueReadsEscapedAndPlainFieldsAlike)
{
    FieldProbe probe;
    probe.setParams(QStringLiteral("TEST 7 %2012 12 %0012 -3%25 %00"));
    EXPECT_EQ(probe.intValue(QStringLiteral("decoded2")), 12);
    EXPECT_EQ(probe.intValue(QStringLiteral("raw2")), 0);
    EXPECT_EQ(probe.intValue(QStringLiteral("decoded3")), 12);
    EXPECT_EQ(probe.intValue(QStringLiteral("decoded4")), 12);
    EXPECT_EQ(probe.intValue(QStringLiteral("decoded5")), -3);
    EXPECT_EQ(probe.intValue(QStringLiteral("decoded6"), 9), 0);
    EXPECT_EQ(probe.intValue(QStringLiteral("missing"), 9), 9);
}
