// The compose window's receivers field: written in the window's own form,
// read back from what the user may type.
#include "MemoReceivers.h"

#include <QHash>

#include <gtest/gtest.h>

namespace {

struct TokenizeCase {
    const char *name;
    QString field;
    QStringList ids;
};

class Tokenize : public ::testing::TestWithParam<TokenizeCase> {};

TEST_P(Tokenize, ReadsTheIDsInFieldOrder)
{
    EXPECT_EQ(MemoReceivers::tokenizeTargetIDs(GetParam().field), GetParam().ids) << GetParam().name;
}

const QString a = QStringLiteral("a@x.com");
const QString b = QStringLiteral("b@y.net");

INSTANTIATE_TEST_SUITE_P(
    Receivers, Tokenize,
    ::testing::Values(
        TokenizeCase{"window form", QStringLiteral("\"Ann\"<a@x.com>;<b@y.net>;"), {a, b}},
        TokenizeCase{"blank after each semicolon", QStringLiteral("\"Ann\"<a@x.com>; <b@y.net>; "), {a, b}},
        TokenizeCase{"bare IDs, one blank", QStringLiteral("a@x.com b@y.net"), {a, b}},
        TokenizeCase{"bare IDs, semicolons and blanks", QStringLiteral("a@x.com;  ;b@y.net;"), {a, b}},
        TokenizeCase{"quoted name with blanks and a semicolon",
                     QStringLiteral("\"Ann Lee; the 2nd\"<a@x.com>;<b@y.net>;"), {a, b}},
        TokenizeCase{"entry without @ dropped", QStringLiteral("ann.x.com;<b@y.net>;"), {b}},
        TokenizeCase{"entry with @ but no dot dropped", QStringLiteral("ann@localhost <b@y.net>"), {b}},
        TokenizeCase{"repeats kept once", QStringLiteral("<a@x.com>;a@x.com;\"A\"<a@x.com>;"), {a}},
        TokenizeCase{"lone quote stays part of its entry", QStringLiteral("\"a@x.com;b@y.net"),
                     {QStringLiteral("\"a@x.com"), b}},
        TokenizeCase{"empty field", QString(), {}}),
    [](const auto &info) {
        std::string n = info.param.name;
        for (char &c : n)
            if (!std::isalnum(static_cast<unsigned char>(c)))
                c = '_';
        return n;
    });

TEST(MemoReceivers, WritesBuddiesWithTheirNamesAndOthersBare)
{
    const QHash<QString, QString> buddies{{a, QStringLiteral("Ann")}};
    const auto name = [&](const QString &id) { return buddies.value(id); };
    EXPECT_EQ(MemoReceivers::receiverBuddiesString({a, b}, name), QStringLiteral("\"Ann\"<a@x.com>;<b@y.net>;"));
    EXPECT_EQ(MemoReceivers::receiverBuddiesString({}, name), QString());
}

TEST(MemoReceivers, AQuoteInABuddysNameDoesNotSwallowTheReceiver)
{
    const auto name = [](const QString &id) { return id == a ? QStringLiteral("Ann \"the\" first") : QString(); };
    const QString field = MemoReceivers::receiverBuddiesString({a, b}, name);
    EXPECT_EQ(MemoReceivers::tokenizeTargetIDs(field), (QStringList{a, b})) << field.toStdString();
}

TEST(MemoReceivers, RemoveNameTagBlanksQuotedStretchesOnly)
{
    EXPECT_EQ(MemoReceivers::removeNameTag(QStringLiteral("\"A B\"<a@x.com>; <b@y.net>")),
              QStringLiteral("<a@x.com>  <b@y.net>"));
}

TEST(MemoReceivers, ReplaceStringReplacesEveryCharacterEqualToTheFirstOfTheSearch)
{
    EXPECT_EQ(MemoReceivers::replaceString(QStringLiteral("a;b;c"), QStringLiteral(";x"), QStringLiteral(", ")),
              QStringLiteral("a, b, c"));
    EXPECT_EQ(MemoReceivers::replaceString(QStringLiteral("abc"), QString(), QStringLiteral("-")), QStringLiteral("abc"));
}

TEST(MemoReceivers, DroppedRowsGiveTheirIDsOnce)
{
    // The same buddy dragged from two groups, and a row without an ID.
    EXPECT_EQ(MemoReceivers::dragIDList({a, QString(), a, b}), (QStringList{a, b}));
}

TEST(MemoReceivers, DroppingAddsOnlyTheBuddiesNotNamedYet)
{
    EXPECT_EQ(MemoReceivers::mergeDropped({a}, {b, a}), (QStringList{a, b}));
}

} // namespace
