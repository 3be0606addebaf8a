// A received memo's texts and what reply, reply to all and forward make of it;
// the message box's payloads and records.
#include "MessageBoxMemo.h"
#include "ReceivedMemo.h"

#include <QHash>
#include <QTimeZone>

#include <gtest/gtest.h>

namespace {

class FixedNames final : public MemoNames
{
public:
    QString nameForID(const QString &id) const override { return names.value(id, id); }
    QHash<QString, QString> names{{QStringLiteral("a@p.test"), QStringLiteral("A")},
                                  {QStringLiteral("b@p.test"), QStringLiteral("B")},
                                  {QStringLiteral("s@p.test"), QStringLiteral("Sam")}};
};

QVariantMap memo(const QVariantMap &extra = {})
{
    QVariantMap info{{"from", "s@p.test"},
                     {"ref", "a@p.test;b@p.test"},
                     {"date", "20240301094507"},
                     {"message", "Hello%20there%0D%0Aline%25two"},
                     {"font-name", "Gulim"},
                     {"font-style", "%00"},
                     {"font-size", "9"},
                     {"font-color", "#050505"},
                     {"cookie", "ck1"}};
    for (auto it = extra.begin(); it != extra.end(); ++it)
        info.insert(it.key(), it.value());
    return info;
}

TEST(ReceivedMemo, NamesItsPeopleAndDecodesItsText)
{
    const FixedNames names;
    const ReceivedMemo m(memo(), names);
    EXPECT_EQ(m.fromName(), QStringLiteral("Sam"));
    EXPECT_EQ(m.receiversText(), QStringLiteral("A, B"));
    EXPECT_EQ(m.receiveMessage(), QStringLiteral("Hello there\r\nline%two"));
    EXPECT_EQ(m.sentDate(), QStringLiteral("2024-03-01 09:45:07"));
    EXPECT_EQ(m.cookie(), QStringLiteral("ck1"));
}

TEST(ReceivedMemo, DateStampsAreShownAsTheyCome)
{
    EXPECT_EQ(ReceivedMemo::formatStamp(QStringLiteral("20240301094507")), QStringLiteral("2024-03-01 09:45:07"));
    EXPECT_EQ(ReceivedMemo::formatStamp(QStringLiteral("2024030109")), QStringLiteral("2024030109"));
    EXPECT_EQ(ReceivedMemo::formatStamp(QString()), QString());
    const FixedNames names;
    QVariantMap noDate = memo();
    noDate.remove(QStringLiteral("date"));
    EXPECT_TRUE(ReceivedMemo(noDate, names).sentDate().isNull());
}

struct ReplyAllCase {
    const char *name;
    QVariant ref; // invalid: no "ref"
    QStringList targets;
};

class ReplyAll : public ::testing::TestWithParam<ReplyAllCase> {};

TEST_P(ReplyAll, Targets)
{
    const FixedNames names;
    QVariantMap info = memo();
    info.remove(QStringLiteral("ref"));
    if (GetParam().ref.isValid())
        info.insert(QStringLiteral("ref"), GetParam().ref);
    EXPECT_EQ(ReceivedMemo(info, names).replyAllTargets(QStringLiteral("me@p.test")), GetParam().targets)
        << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(
    Memo, ReplyAll,
    ::testing::Values(
        ReplyAllCase{"others and the sender last", QStringLiteral("a@p.test;me@p.test;b@p.test"),
                     {"a@p.test", "b@p.test", "s@p.test"}},
        ReplyAllCase{"only the first own ID goes", QStringLiteral("me@p.test;a@p.test;me@p.test"),
                     {"a@p.test", "me@p.test", "s@p.test"}},
        ReplyAllCase{"the sender is added even when listed", QStringLiteral("s@p.test;me@p.test"),
                     {"s@p.test", "s@p.test"}},
        ReplyAllCase{"no receivers: the sender alone", QVariant(), {"s@p.test"}}),
    [](const auto &info) {
        std::string n = info.param.name;
        for (char &c : n)
            if (!std::isalnum(static_cast<unsigned char>(c)))
                c = '_';
        return n;
    });

TEST(ReceivedMemo, TheForwardedTextCarriesTheOriginalsHeading)
{
    const FixedNames names;
    EXPECT_EQ(ReceivedMemo(memo(), names).originalMessageString(QStringLiteral("Hello there")),
              QStringLiteral("\n\n\n----- Original Message -----\nFrom : Sam<s@p.test>\n"
                             "To : A<a@p.test>;B<b@p.test>;\nSent: 2024-03-01 09:45:07\n"
                             "Subject: Hello there\nHello there\r\nline%two"));
    QVariantMap noRef = memo();
    noRef.remove(QStringLiteral("ref"));
    EXPECT_TRUE(ReceivedMemo(noRef, names).originalMessageString({}).contains(QStringLiteral("\nTo : \n")));
}

TEST(ReceivedMemo, PeerTextWithPlaceholdersStaysAsWritten)
{
    const FixedNames names;
    const QString text = ReceivedMemo(memo({{"message", "%1 %2 100%25"}}), names).originalMessageString(QStringLiteral("%1"));
    EXPECT_TRUE(text.endsWith(QStringLiteral("Subject: %1\n%1 %2 100%"))) << text.toStdString();
}

TEST(ReceivedMemo, IsTheFirstMemoOfItsThread)
{
    const FixedNames names;
    const RelatedMemoEntry entry = ReceivedMemo(memo(), names).asRelatedEntry();
    EXPECT_EQ(entry.toList(),
              (QVariantList{0, "0", "0", "R", "s@p.test", "a@p.test;b@p.test", "20240301094507", true,
                            "font-name:Gulim;font-style:%00;font-size:9;font-color:#050505",
                            "Hello%20there%0D%0Aline%25two"}));
}

TEST(ReceivedMemo, TheRelatedMarkDecidesThePane)
{
    const FixedNames names;
    EXPECT_FALSE(ReceivedMemo(memo({{"related", "N"}}), names).relatedPaneEnabled());
    EXPECT_TRUE(ReceivedMemo(memo({{"related", "Y"}}), names).serverHasRelatedMemos());
    const ReceivedMemo missing(memo(), names);
    EXPECT_TRUE(missing.relatedPaneEnabled());
    EXPECT_FALSE(missing.serverHasRelatedMemos());
}

QVariantMap payload()
{
    return {{"suser", "Sam"},
            {"suserID", "s@p.test"},
            {"ruser", QStringList{"A", "B", "C"}},
            {"ruserID", QVariantList{"a@p.test", "b@p.test", "c@p.test"}},
            {"subject", "Hi"},
            {"date", QDateTime(QDate(2024, 3, 1), QTime(9, 45, 7))},
            {"bodyData", "Hi all"}};
}

TEST(MessageBoxMemo, APayloadBecomesAReceivedMemo)
{
    QVariantMap box = payload();
    box.insert(QStringLiteral("uuid"), QStringLiteral("old-uuid"));
    const std::optional<QVariantMap> d = MessageBoxMemo::memoDictForMessageBoxDict(box, QStringLiteral("new-uuid"));
    ASSERT_TRUE(d);
    EXPECT_EQ(d->value("ref").toString(), QStringLiteral("a@p.test;b@p.test;c@p.test"));
    EXPECT_EQ(d->value("date").toString(), QStringLiteral("20240301094507"));
    EXPECT_EQ(d->value("from").toString(), QStringLiteral("s@p.test"));
    EXPECT_EQ(d->value("title").toString(), QStringLiteral("Hi"));
    EXPECT_EQ(d->value("message").toString(), QStringLiteral("Hi all"));
    EXPECT_EQ(d->value("length").toInt(), 6);
    EXPECT_EQ(d->value("uuid").toString(), QStringLiteral("new-uuid"));
    EXPECT_EQ(d->value("re-uuid").toString(), QStringLiteral("old-uuid"));
    EXPECT_EQ(d->value("cookie").toString(), QString(QLatin1String("")));
    EXPECT_EQ(d->value("command").toString(), QStringLiteral("IMSG"));
    EXPECT_EQ(d->value("font-size").toInt(), 11);
    EXPECT_EQ(d->value("session_id").toInt(), 3147538);
}

TEST(MessageBoxMemo, NoReceiversMakeAnEmptyRef)
{
    QVariantMap box = payload();
    box.insert(QStringLiteral("ruserID"), QVariantList());
    const std::optional<QVariantMap> d = MessageBoxMemo::memoDictForMessageBoxDict(box, QStringLiteral("u"));
    ASSERT_TRUE(d);
    EXPECT_EQ(d->value("ref").toString(), QString());
    EXPECT_TRUE(d->value("ref").isValid());
}

struct PayloadCase {
    const char *name;
    const char *key;
    QVariant value; // invalid: the key removed
};

class BadPayload : public ::testing::TestWithParam<PayloadCase> {};

TEST_P(BadPayload, OpensNothing)
{
    QVariantMap box = payload();
    box.remove(QLatin1String(GetParam().key));
    if (GetParam().value.isValid())
        box.insert(QLatin1String(GetParam().key), GetParam().value);
    EXPECT_FALSE(MessageBoxMemo::memoDictForMessageBoxDict(box, QStringLiteral("u"))) << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(
    Memo, BadPayload,
    ::testing::Values(PayloadCase{"no body", "bodyData", QVariant()},
                      PayloadCase{"no receivers", "ruserID", QVariant()},
                      PayloadCase{"no sender", "suserID", QVariant()},
                      PayloadCase{"no date", "date", QVariant()},
                      PayloadCase{"no subject", "subject", QVariant()},
                      PayloadCase{"body of another type", "bodyData", QVariant(42)},
                      PayloadCase{"receivers not a list", "ruserID", QVariant(QStringLiteral("a@p.test"))},
                      PayloadCase{"a receiver not text", "ruserID", QVariant(QVariantList{"a@p.test", 3})},
                      PayloadCase{"date as text", "date", QVariant(QStringLiteral("20240301094507"))},
                      PayloadCase{"sender as a list", "suserID", QVariant(QStringList{"s@p.test"})}),
    [](const auto &info) {
        std::string n = info.param.name;
        for (char &c : n)
            if (!std::isalnum(static_cast<unsigned char>(c)))
                c = '_';
        return n;
    });

TEST(MessageBoxMemo, AChatLogPayloadOpensNothing)
{
    const QVariantMap chat{{"chatUser", QStringList{"A"}},
                           {"chatUserID", QStringList{"a@p.test"}},
                           {"date", QDateTime::currentDateTime()},
                           {"bodyData", "log"}};
    EXPECT_FALSE(MessageBoxMemo::memoDictForMessageBoxDict(chat, QStringLiteral("u")));
}

TEST(MessageBoxMemo, RecordsCarryTheBoxsKeys)
{
    const QDateTime when(QDate(2024, 3, 1), QTime(9, 45, 7));
    const QVariantMap in = MessageBoxMemo::inboxRecord(QStringLiteral("u1"), QStringLiteral("Hi"),
                                                       {QStringLiteral("s@p.test"), QStringLiteral("Sam")},
                                                       {{QStringLiteral("a@p.test"), QStringLiteral("A")}}, when,
                                                       QString(1025, QLatin1Char('x')));
    EXPECT_EQ(in.value("msgType").toString(), QStringLiteral("inbox"));
    EXPECT_EQ(in.value("unread").toInt(), 1);
    EXPECT_EQ(in.value("suser").toString(), QStringLiteral("Sam"));
    EXPECT_EQ(in.value("ruserID").toStringList(), QStringList{QStringLiteral("a@p.test")});
    EXPECT_EQ(in.value("ruser").toStringList(), QStringList{QStringLiteral("A")});
    EXPECT_EQ(in.value("date").toDateTime(), when);
    EXPECT_EQ(in.value("size").toInt(), 2);
    const QStringList keys{"msgType", "uuid", "unread", "subject", "suser", "suserID",
                           "ruser", "ruserID", "date", "bodyData", "size"};
    EXPECT_EQ(in.keys(), [&] { QStringList k = keys; k.sort(); return k; }());

    const QVariantMap out = MessageBoxMemo::outboxRecord(QStringLiteral("u2"), QStringLiteral("Hi"), {}, {}, {}, {});
    EXPECT_EQ(out.value("msgType").toString(), QStringLiteral("outbox"));
    EXPECT_EQ(out.value("unread").toInt(), 0);
    EXPECT_TRUE(out.value("date").toDateTime().isValid());
    EXPECT_EQ(out.value("size").toInt(), 0);
}

TEST(MessageBoxMemo, SizesAreWholeKilobytesRoundedUp)
{
    EXPECT_EQ(MessageBoxMemo::sizeInKilobytes(QString()), 0);
    EXPECT_EQ(MessageBoxMemo::sizeInKilobytes(QString(1024, QLatin1Char('x'))), 1);
    EXPECT_EQ(MessageBoxMemo::sizeInKilobytes(QString(1025, QLatin1Char('x'))), 2);
    // Korean text is three bytes a character in UTF-8.
    EXPECT_EQ(MessageBoxMemo::sizeInKilobytes(QString(342, QChar(0xAC00))), 2);
}

TEST(MessageBoxMemo, StampsReadAsLocalTime)
{
    EXPECT_EQ(MessageBoxMemo::dateFromStamp(QStringLiteral("20240301094507")),
              QDateTime(QDate(2024, 3, 1), QTime(9, 45, 7)));
    EXPECT_FALSE(MessageBoxMemo::dateFromStamp(QStringLiteral("2024030109")).isValid());
    EXPECT_FALSE(MessageBoxMemo::dateFromStamp(QStringLiteral("2024x301094507")).isValid());
}

} // namespace
