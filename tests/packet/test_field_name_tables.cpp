// A decoder may name its fields from a static table rather than from names
// built per line. Both ways must read every line alike: the same values, null
// or empty, the same failures and log lines, the same fields kept when a
// packet is filled again. Each table decoder below is checked against the
// same decoder written name by name, over generated and hostile lines.

#include "Log.h"
#include "Packet/PLRecvGLSTPacket.h"
#include "Packet/PLRecvLISTPacket.h"
#include "Packet/PLRecvMESGPacket.h"
#include "Packet/PLRecvPacket.h"
#include "Packet/PLRecvPacketBuilder.h"
#include "RecvPacketTestSupport.h"

#include <QStringList>
#include <gtest/gtest.h>
#include <random>
#include <type_traits>

using namespace parley;
using parley::test::recv::LogCapture;

namespace {

// Names repeat, one is empty, and a set value sits between the runs, so that
// "a later name replaces the earlier" is checked across runs and values.
class NamesOneByOne : public PLRecvPacket
{
public:
    bool raw = false;

protected:
    void decodeFields() override
    {
        if (raw)
            readRawFields(2, {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("count")});
        else
            readFields(2, {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("count")});
        setValue(QStringLiteral("b"), QStringLiteral("set"));
        if (intValue(QStringLiteral("count"), -1) == 0)
            return;
        readFields(5, {QStringLiteral("a"), QString(QLatin1String("")), QStringLiteral("ab"), QStringLiteral("ba"),
                       QStringLiteral("b")});
        readField(QStringLiteral("last"), 10);
    }
    void logParseError(const QString &what) const override { plLog(QStringLiteral("failed: ") + what); }
};

const PLFieldNames kFirst{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("count")};
const PLFieldNames kSecond{QStringLiteral("a"), QString(QLatin1String("")), QStringLiteral("ab"),
                           QStringLiteral("ba"), QStringLiteral("b")};

class NamesFromTables : public NamesOneByOne
{
public:
    // Read by position, which must answer what the name answers.
    using PLRecvPacket::intValue;
    using PLRecvPacket::value;

protected:
    void decodeFields() override
    {
        if (raw) {
            readRawFields(2, {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("count")});
        } else {
            // In two steps, which continue one run.
            readFields(2, kFirst, 0, 1);
            readFields(2, kFirst, 1);
        }
        setValue(QStringLiteral("b"), QStringLiteral("set"));
        if (intValue(QStringLiteral("count"), -1) == 0)
            return;
        readFields(5, kSecond);
        readField(QStringLiteral("last"), 10);
    }
};

// The buddy-list decoder as it was written name by name.
class LISTOneByOne : public PLRecvPacket
{
protected:
    void decodeFields() override
    {
        readFields(2, {QStringLiteral("idx"), QStringLiteral("count")});
        if (intValue(QStringLiteral("count"), 0) == 0)
            return;
        readFields(4, {QStringLiteral("buddyFlag"), QStringLiteral("id"), QStringLiteral("CMN"),
                       QStringLiteral("name"), QStringLiteral("nickName"), QStringLiteral("mobile"),
                       QStringLiteral("email"), QStringLiteral("birthday"), QStringLiteral("orchardCMN"),
                       QStringLiteral("birthdayTPCD"), QStringLiteral("authYN"), QStringLiteral("mimid"),
                       QStringLiteral("musicDate"), QStringLiteral("ewerYN")});
    }
};

// The group-list decoder as it was written name by name.
class GLSTOneByOne : public PLRecvPacket
{
public:
    qint32 type = PLRecvGLSTPacket::Unknown;

protected:
    static qint32 typeFor(qsizetype count)
    {
        return count == 3 ? PLRecvGLSTPacket::CacheLine
             : count == 8 ? PLRecvGLSTPacket::GroupLine
             : count == 7 ? PLRecvGLSTPacket::BuddyLine
                          : PLRecvGLSTPacket::Unknown;
    }
    bool hasDecodableLayout() const override { return typeFor(fieldCount()) != PLRecvGLSTPacket::Unknown; }
    void decodeFields() override
    {
        type = typeFor(fieldCount());
        if (type == PLRecvGLSTPacket::CacheLine) {
            readField(QStringLiteral("cache"), 2);
            return;
        }
        readFields(2, {QStringLiteral("idx"), QStringLiteral("count")});
        if (intValue(QStringLiteral("count"), 0) == 0)
            return;
        if (type == PLRecvGLSTPacket::GroupLine)
            readFields(4, {QStringLiteral("isGroup"), QStringLiteral("groupID"), QStringLiteral("groupName"),
                           QStringLiteral("parentGroupID")});
        else
            readFields(4, {QStringLiteral("isGroup"), QStringLiteral("buddyCMN"), QStringLiteral("parentGroupID")});
    }
};

const QStringList kGLSTNames{QStringLiteral("cache"),     QStringLiteral("idx"),         QStringLiteral("count"),
                             QStringLiteral("isGroup"),   QStringLiteral("groupID"),     QStringLiteral("groupName"),
                             QStringLiteral("buddyCMN"),  QStringLiteral("parentGroupID"), QStringLiteral("other")};

const QStringList kProbeNames{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("count"),
                              QString(QLatin1String("")), QString(), QStringLiteral("ab"),
                              QStringLiteral("ba"), QStringLiteral("last"), QStringLiteral("c")};

const QStringList kMESGNames{QStringLiteral("ID"), QStringLiteral("type"), QStringLiteral("msg")};
const QStringList kLISTNames{QStringLiteral("idx"), QStringLiteral("count"), QStringLiteral("buddyFlag"),
                             QStringLiteral("id"), QStringLiteral("CMN"), QStringLiteral("name"),
                             QStringLiteral("nickName"), QStringLiteral("mobile"), QStringLiteral("email"),
                             QStringLiteral("birthday"), QStringLiteral("orchardCMN"),
                             QStringLiteral("birthdayTPCD"), QStringLiteral("authYN"), QStringLiteral("mimid"),
                             QStringLiteral("musicDate"), QStringLiteral("ewerYN"), QStringLiteral("other")};

QString randomField(std::mt19937 &random)
{
    static const QStringList pieces{QStringLiteral("%00"), QStringLiteral("%20"), QStringLiteral("%25"),
                                    QStringLiteral("%"),   QStringLiteral("0"),   QStringLiteral("1"),
                                    QStringLiteral("-2"),  QStringLiteral("x"),   QStringLiteral("%0D%0A"),
                                    QStringLiteral("\u00e9"), QStringLiteral("%09")};
    const int length = std::uniform_int_distribution<int>(0, 3)(random);
    std::uniform_int_distribution<qsizetype> pick(0, pieces.size() - 1);
    QString field(QLatin1String(""));
    for (int i = 0; i < length; ++i)
        field += pieces.at(pick(random));
    return field;
}

// A line of `word` with up to `maxFields` generated fields; the count field
// (position 3) is often 0 or 1 so that both layouts are reached.
QString randomLine(std::mt19937 &random, const QString &word, int maxFields)
{
    QStringList fields{word};
    const int count = std::uniform_int_distribution<int>(0, maxFields)(random);
    for (int i = 1; i <= count; ++i) {
        const int choice = std::uniform_int_distribution<int>(0, 3)(random);
        fields.append(i == 3 && choice < 3 ? QString::number(choice % 2) : randomField(random));
    }
    return fields.join(QLatin1Char(' '));
}

void expectSameString(const QString &actual, const QString &expected, const QString &what)
{
    EXPECT_EQ(actual, expected) << what.toStdString();
    EXPECT_EQ(actual.isNull(), expected.isNull()) << what.toStdString();
}

// Every observable result of the two packets, after the same lines.
void expectSamePackets(const PLRecvPacket &table, const PLRecvPacket &reference, const QStringList &names,
                       const QString &what)
{
    EXPECT_EQ(table.isValid(), reference.isValid()) << what.toStdString();
    EXPECT_EQ(table.tID(), reference.tID()) << what.toStdString();
    EXPECT_EQ(table.command(), reference.command()) << what.toStdString();
    EXPECT_EQ(table.dictParams(), reference.dictParams()) << what.toStdString();
    for (auto it = reference.dictParams().cbegin(); it != reference.dictParams().cend(); ++it)
        expectSameString(table.dictParams().value(it.key()), it.value(), what + QStringLiteral(" all ") + it.key());
    for (const QString &name : names) {
        expectSameString(table.value(name), reference.value(name), what + QStringLiteral(" value ") + name);
        EXPECT_EQ(table.intValue(name, -5), reference.intValue(name, -5)) << what.toStdString() << " int "
                                                                           << name.toStdString();
    }
}

// What the group-list accessors read against what the reference read by name.
void expectSameGroupLine(const PLRecvGLSTPacket &glst, const GLSTOneByOne &reference, const QString &what)
{
    if (!reference.isValid())
        return; // an invalid line is never handed to anyone
    EXPECT_EQ(glst.packetType(), reference.type) << what.toStdString();
    const QString checks[][2] = {{glst.cache(), reference.value(QStringLiteral("cache"))},
                                 {glst.groupID(), reference.value(QStringLiteral("groupID"))},
                                 {glst.groupName(), reference.value(QStringLiteral("groupName"))},
                                 {glst.parentGroupID(), reference.value(QStringLiteral("parentGroupID"))},
                                 {glst.buddyCMN(), reference.value(QStringLiteral("buddyCMN"))}};
    for (const auto &check : checks)
        expectSameString(check[0], check[1], what + QStringLiteral(" accessor"));
    const qint32 count = reference.intValue(QStringLiteral("count"), 0);
    EXPECT_EQ(glst.count(), count) << what.toStdString();
    EXPECT_EQ(glst.index(), reference.intValue(QStringLiteral("idx"), -1)) << what.toStdString();
    EXPECT_EQ(glst.isLast(), count == 0 || reference.intValue(QStringLiteral("idx"), -1) == count - 1)
        << what.toStdString();
    const QString isGroup = reference.value(QStringLiteral("isGroup"));
    EXPECT_EQ(glst.IsGroup(), !isGroup.isNull() && isGroup != QLatin1String("N")) << what.toStdString();
}

// Lines of the group list: cache, group and buddy layouts, counts of 0 and 1
// in the count field, and lengths no layout has.
QStringList groupListLines(std::mt19937 &random, int generated)
{
    QStringList lines{QStringLiteral("GLST 3 12"), QStringLiteral("GLST 3 0 0"), QStringLiteral("GLST 3 0 1 Y 7 n%20m 0"),
                      QStringLiteral("GLST 3 0 1 N cmn 7"), QStringLiteral("GLST 3 0 0 N cmn 7"),
                      QStringLiteral("GLST 3 0 2 Y %00 %00 %00"), QStringLiteral("GLST 3 1 2 N c%25 %00"),
                      QStringLiteral("GLST 3 0 1 Y 7 nm 0 extra x")};
    for (int i = 0; i < generated; ++i)
        lines.append(randomLine(random, QStringLiteral("GLST"), 9));
    return lines;
}

// What a table packet reads by position against what the reference reads by name.
template <typename Table>
void expectSamePositions(const Table &table, const PLRecvPacket &reference, const QString &what)
{
    if constexpr (std::is_same_v<Table, NamesFromTables>) {
        for (const PLFieldNames *names : {&kFirst, &kSecond}) {
            for (qsizetype i = 0; i < names->size(); ++i) {
                expectSameString(table.value(*names, i), reference.value(names->at(i)), what + QStringLiteral(" at"));
                EXPECT_EQ(table.intValue(*names, i, -5), reference.intValue(names->at(i), -5)) << what.toStdString();
            }
        }
    } else {
        const auto *list = static_cast<const PLRecvLISTPacket *>(static_cast<const PLRecvPacket *>(&table));
        const QString checks[][2] = {{list->buddyFlag(), reference.value(QStringLiteral("buddyFlag"))},
                                     {list->ID(), reference.value(QStringLiteral("id"))},
                                     {list->CMN(), reference.value(QStringLiteral("CMN"))},
                                     {list->name(), reference.value(QStringLiteral("name"))},
                                     {list->mobile(), reference.value(QStringLiteral("mobile"))},
                                     {list->email(), reference.value(QStringLiteral("email"))},
                                     {list->birthDay(), reference.value(QStringLiteral("birthday"))},
                                     {list->orchardCMN(), reference.value(QStringLiteral("orchardCMN"))},
                                     {list->birthdayTPCD(), reference.value(QStringLiteral("birthdayTPCD"))},
                                     {list->authYN(), reference.value(QStringLiteral("authYN"))},
                                     {list->mimid(), reference.value(QStringLiteral("mimid"))},
                                     {list->musicDate(), reference.value(QStringLiteral("musicDate"))}};
        for (const auto &check : checks)
            expectSameString(check[0], check[1], what + QStringLiteral(" accessor"));
        EXPECT_EQ(list->index(), reference.intValue(QStringLiteral("idx"), -1)) << what.toStdString();
        EXPECT_EQ(list->count(), reference.intValue(QStringLiteral("count"), 0)) << what.toStdString();
        QString nick = reference.value(QStringLiteral("nickName"));
        nick.remove(QLatin1Char('\r'));
        nick.remove(QLatin1Char('\n'));
        expectSameString(list->nickName(), nick, what + QStringLiteral(" nickName"));
        const QString ewer = reference.value(QStringLiteral("ewerYN"));
        EXPECT_EQ(list->isEwer(), !ewer.isNull() && ewer != QLatin1String("N")) << what.toStdString();
    }
}

template <typename Table, typename Reference>
void expectSameDecoding(const QStringList &lines, const QStringList &names, bool raw = false)
{
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString &line = lines.at(i);
        // The second line fills the same packets again: what the first named
        // and the second does not reach keeps its first value.
        const QString &next = lines.at((i * 7 + 3) % lines.size());
        Table table;
        Reference reference;
        if constexpr (requires { table.raw; }) {
            table.raw = raw;
            reference.raw = raw;
        }
        LogCapture log;
        table.setParams(line);
        const QStringList tableLog = LogCapture::lines();
        LogCapture::lines().clear();
        reference.setParams(line);
        // The default log line names the class; the rest of it must match.
        for (QString &entry : LogCapture::lines())
            entry.replace(QStringLiteral("LISTOneByOne"), QStringLiteral("PLRecvLISTPacket"));
        EXPECT_EQ(tableLog, LogCapture::lines()) << line.toStdString();
        expectSamePackets(table, reference, names, line);
        expectSamePositions(table, reference, line);
        table.setParams(next);
        reference.setParams(next);
        expectSamePackets(table, reference, names, line + QStringLiteral(" then ") + next);
        expectSamePositions(table, reference, line + QStringLiteral(" then ") + next);
    }
}

} // namespace

TEST(FieldNameTables, ATableNamesFieldsAsNamesGivenOneByOne)
{
    std::mt19937 random(11);
    QStringList lines{QStringLiteral("TEST"), QStringLiteral("TEST 1"), QStringLiteral("TEST 1 a b 0"),
                      QStringLiteral("TEST 1 a b 1 c d e f g"), QStringLiteral("TEST 1 a b 1 c d e f g h i"),
                      QStringLiteral("TEST 1 a b 1 c d e f g h"), QStringLiteral("TEST 1 %00 %25 %2012 x")};
    for (int i = 0; i < 2000; ++i)
        lines.append(randomLine(random, QStringLiteral("TEST"), 13));
    expectSameDecoding<NamesFromTables, NamesOneByOne>(lines, kProbeNames);
    expectSameDecoding<NamesFromTables, NamesOneByOne>(lines, kProbeNames, true);
}

TEST(FieldNameTables, TheBuddyListDecoderReadsAsItDidNameByName)
{
    std::mt19937 random(5);
    QStringList lines{QStringLiteral("LIST 4"), QStringLiteral("LIST 4 0"), QStringLiteral("LIST 4 0 0"),
                      QStringLiteral("LIST 4 0 1 1100 id CMN nm nk%0D%0A mb em bd oc bt au mi md"),
                      QStringLiteral("LIST 4 0 1 1100 id CMN nm nk%0D%0A mb em bd oc bt au mi md Y"),
                      QStringLiteral("LIST 4 0 1 1100 id CMN nm nk mb em bd oc bt au mi md N extra")};
    for (int i = 0; i < 2000; ++i)
        lines.append(randomLine(random, QStringLiteral("LIST"), 20));
    // Through the builder, as the session decodes a line, against the reference.
    for (const QString &line : lines) {
        std::unique_ptr<PLRecvPacket> built;
        QStringList builtLog;
        {
            LogCapture log;
            built = PLRecvPacketBuilder::setPacketString(line);
            builtLog = LogCapture::lines();
        }
        if (!line.contains(QLatin1Char(' '))) {
            EXPECT_EQ(built, nullptr); // a word without a tid is dropped before decoding
            continue;
        }
        ASSERT_NE(built, nullptr) << line.toStdString();
        ASSERT_NE(dynamic_cast<PLRecvLISTPacket *>(built.get()), nullptr);
        LISTOneByOne reference;
        LogCapture log;
        reference.setParams(line);
        // The log names the class; the rest of it must match.
        for (QString &entry : LogCapture::lines())
            entry.replace(QStringLiteral("LISTOneByOne"), QStringLiteral("PLRecvLISTPacket"));
        EXPECT_EQ(builtLog, LogCapture::lines()) << line.toStdString();
        expectSamePackets(*built, reference, kLISTNames, line);
    }
    expectSameDecoding<PLRecvLISTPacket, LISTOneByOne>(lines, kLISTNames);
}

TEST(FieldNameTables, AccessorsReadATableSetWholeByName)
{
    auto list = parley::test::recv::decodeAs<PLRecvLISTPacket>(
        QStringLiteral("LIST 4 0 2 1100 id cmn nm nk mb em bd oc bt au mi md Y"));
    ASSERT_TRUE(list);
    EXPECT_EQ(list->CMN(), QStringLiteral("cmn"));
    list->setMDictParams({{QStringLiteral("CMN"), QStringLiteral("x")}, {QStringLiteral("count"), QStringLiteral("3")},
                          {QStringLiteral("idx"), QStringLiteral("2")}});
    EXPECT_EQ(list->CMN(), QStringLiteral("x"));
    EXPECT_TRUE(list->name().isNull());
    EXPECT_EQ(list->count(), 3);
    EXPECT_TRUE(list->isLast());
    EXPECT_FALSE(list->isEwer());
}

TEST(FieldNameTables, TheGroupListDecoderReadsAsItDidNameByName)
{
    std::mt19937 random(8);
    for (const QString &line : groupListLines(random, 3000)) {
        PLRecvGLSTPacket table;
        GLSTOneByOne reference;
        table.setParams(line);
        reference.setParams(line);
        expectSamePackets(table, reference, kGLSTNames, line);
        expectSameGroupLine(table, reference, line);
    }
}

// A session decodes its next line into the packet of the last when the word
// is the same: every line must read as it does in a new packet, whatever the
// line before it named, and a packet of another word or kind is never used.
TEST(FieldNameTables, APacketFilledAgainForTheNextLineReadsLikeANewOne)
{
    std::mt19937 random(21);
    QStringList lines = groupListLines(random, 1500);
    for (int i = 0; i < 1500; ++i)
        lines.append(randomLine(random, QStringLiteral("LIST"), 20));
    // Chat lines: acknowledgements, messages, and lines cut short of a message.
    for (int i = 0; i < 1500; ++i)
        lines.append(randomLine(random, QStringLiteral("MESG"), 6));
    lines.append({QStringLiteral("GLST"), QString(), QStringLiteral("PING 0"), QStringLiteral("GLST 3 0 1 N a 7"),
                  QStringLiteral("911 4"), QStringLiteral("LIST 4 0 0")});
    std::shuffle(lines.begin(), lines.end() - 6, random);
    std::unique_ptr<PLRecvPacket> spare;
    int reused = 0;
    for (const QString &line : lines) {
        const PLRecvPacket *before = spare.get();
        const bool sameWord = before && before->isReusable() && line.startsWith(before->command() + QLatin1Char(' '));
        std::unique_ptr<PLRecvPacket> again = PLRecvPacketBuilder::setPacketString(line, std::move(spare));
        const std::unique_ptr<PLRecvPacket> fresh = PLRecvPacketBuilder::setPacketString(line);
        ASSERT_EQ(again == nullptr, fresh == nullptr) << line.toStdString();
        if (!fresh)
            continue;
        EXPECT_EQ(again.get() == before, sameWord) << line.toStdString();
        reused += again.get() == before;
        EXPECT_EQ(again->isReusable(), fresh->isReusable());
        expectSamePackets(*again, *fresh, kGLSTNames + kLISTNames + kMESGNames, line);
        EXPECT_EQ(again->packetString(), line);
        if (auto *mesg = dynamic_cast<PLRecvMESGPacket *>(again.get())) {
            EXPECT_EQ(mesg->packetType(), static_cast<PLRecvMESGPacket &>(*fresh).packetType()) << line.toStdString();
        }
        if (auto *glst = dynamic_cast<PLRecvGLSTPacket *>(again.get())) {
            GLSTOneByOne reference;
            reference.setParams(line);
            expectSameGroupLine(*glst, reference, line);
            EXPECT_EQ(glst->packetType(), static_cast<PLRecvGLSTPacket &>(*fresh).packetType());
        }
        if (auto *list = dynamic_cast<PLRecvLISTPacket *>(again.get())) {
            LISTOneByOne reference;
            reference.setParams(line);
            expectSamePositions(*list, reference, line);
        }
        spare = std::move(again);
    }
    EXPECT_GT(reused, 1000);
}

// A packet filled again copies the line into the buffer of its last line when
// nothing else holds that buffer, rather than holding the caller's. Copies
// taken from the packet (its line, its values) must keep their text, and a
// lookup value read into a kept string must read as value() does.
TEST(FieldNameTables, APacketFilledInPlaceLeavesEveryCopyTakenFromItAlone)
{
    std::mt19937 random(34);
    QStringList lines = groupListLines(random, 800);
    for (int i = 0; i < 800; ++i)
        lines.append(randomLine(random, QStringLiteral("LIST"), 20));
    std::shuffle(lines.begin(), lines.end(), random);
    std::unique_ptr<PLRecvPacket> spare;
    QList<std::pair<QString, QString>> copies; // a copy taken and the text it had
    QString lookup;                            // read into again and again, as a session does
    int inPlace = 0;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QChar *lastBuffer = spare ? spare->packetString().constData() : nullptr;
        // A line of its own buffer that only this call holds, as the reader hands it on.
        std::unique_ptr<PLRecvPacket> packet
            = PLRecvPacketBuilder::setPacketString(QString(lines[i].constData(), lines[i].size()), std::move(spare));
        if (!packet)
            continue;
        EXPECT_EQ(packet->packetString(), lines[i]);
        inPlace += packet->packetString().constData() == lastBuffer;
        const std::unique_ptr<PLRecvPacket> fresh = PLRecvPacketBuilder::setPacketString(lines[i]);
        expectSamePackets(*packet, *fresh, kGLSTNames + kLISTNames, lines[i]);
        if (auto *list = dynamic_cast<PLRecvLISTPacket *>(packet.get()); list && list->isValid()) {
            list->CMNInto(lookup);
            expectSameString(lookup, list->CMN(), lines[i] + QStringLiteral(" CMN"));
        }
        if (auto *glst = dynamic_cast<PLRecvGLSTPacket *>(packet.get());
            glst && glst->isValid() && glst->packetType() != PLRecvGLSTPacket::CacheLine) {
            glst->parentGroupIDInto(lookup);
            expectSameString(lookup, glst->parentGroupID(), lines[i] + QStringLiteral(" parent"));
        }
        if (i % 5 == 0) {
            copies.append({packet->packetString(), lines[i]});
            const QString field = packet->value(QStringLiteral("CMN"));
            copies.append({field, QString(field.constData(), field.size())});
        }
        if (i % 7 == 0) {
            // Held by a copy, the lookup string is left to it and replaced.
            copies.append({lookup, QString(lookup.constData(), lookup.size())});
        }
        spare = std::move(packet);
    }
    for (const auto &[copy, text] : copies)
        EXPECT_EQ(copy, text);
    EXPECT_GT(inPlace, 200);
}

// The buddy line's flags are kept in one string from line to line: a line
// that reads the same leaves that string (and every buddy sharing it) as it
// is, any other reading replaces it, nullness included.
TEST(FieldNameTables, FlagsKeptFromTheLastLineAreSharedOnlyWhenTheyReadTheSame)
{
    struct Case {
        const char *flags; // field 4 of the line; nullptr: the line stops before it
        const char *keptBefore;
        bool shared;
    };
    const Case cases[] = {
        {"1100", "1100", true},     {"1100", "1000", false},      {"1100", nullptr, false},
        {"11%2500", "11%00", true}, {"11%2500", "11%2500", false}, {nullptr, "1100", false},
        {"1100", "", false},        {"%00", "", false},           {"%00", nullptr, false},
    };
    for (const Case &c : cases) {
        const QString line = QStringLiteral("LIST 4 0 2") + (c.flags ? QLatin1String(" ") + QLatin1String(c.flags)
                                                                      + QLatin1String(" id cmn nm") : QString());
        auto list = parley::test::recv::decodeAs<PLRecvLISTPacket>(line);
        ASSERT_TRUE(list) << line.toStdString();
        QString kept = c.keptBefore ? QString::fromLatin1(c.keptBefore) : QString();
        const QString holder = kept; // a buddy stored with the last line's flags
        list->buddyFlagKeptIfSame(kept);
        expectSameString(kept, list->buddyFlag(), line);
        // Empty strings share no buffer to speak of: only their nullness counts.
        EXPECT_EQ(!holder.isEmpty() && kept.constData() == holder.constData(), c.shared) << line.toStdString();
        EXPECT_EQ(holder, c.keptBefore ? QString::fromLatin1(c.keptBefore) : QString()) << line.toStdString();
    }
}
