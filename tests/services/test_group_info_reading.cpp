// PLGroupInfo::fromVariantMap reads a stored line in one walk over its
// entries. Checked against the way it read them before, one search per key,
// kept here as the reference, over generated dictionaries: every key present
// or not, values of every kind, null next to empty texts, foreign keys.

#include "BuddyManagement/PLGroupInfo.h"

#include <QRandomGenerator>
#include <gtest/gtest.h>

#include <iterator>

using namespace parley;

namespace {

std::optional<PLGroupInfo> referenceFromVariantMap(const QVariantMap &map)
{
    PLGroupInfo line;
    const QString type = map.value(QStringLiteral("type")).toString();
    if (type == QLatin1String("Buddy")) {
        if (!map.contains(QStringLiteral("buddyCMN")) || !map.contains(QStringLiteral("groupId")))
            return std::nullopt;
        line.type = PLGroupInfo::Buddy;
        line.buddyCMN = map.value(QStringLiteral("buddyCMN")).toString();
        line.groupID = map.value(QStringLiteral("groupId")).toString();
    } else if (type == QLatin1String("Group")) {
        if (!map.contains(QStringLiteral("groupId")) || !map.contains(QStringLiteral("groupName")))
            return std::nullopt;
        line.type = PLGroupInfo::Group;
        line.groupID = map.value(QStringLiteral("groupId")).toString();
        line.groupName = map.value(QStringLiteral("groupName")).toString();
    } else if (type == QLatin1String("Cache")) {
        line.type = PLGroupInfo::Cache;
        line.groupCacheNo = quint32(map.value(QStringLiteral("groupCacheNo")).toInt());
        line.willDownloadGroup = map.value(QStringLiteral("willDownloadGroup")).toBool();
    }
    line.isLast = map.value(QStringLiteral("isLast")).toBool();
    return line;
}

QVariant anyValue(QRandomGenerator &random)
{
    switch (random.bounded(10)) {
    case 0: return QVariant();
    case 1: return QString();
    case 2: return QStringLiteral("");
    case 3: return random.bounded(2) == 0;
    case 4: return int(random.generate());
    case 5: return qlonglong(random.generate64());
    case 6: return QStringLiteral("true");
    case 7: return QVariantList{QStringLiteral("x")};
    case 8: return double(random.bounded(1000)) / 7;
    default: return QString::number(random.bounded(100000));
    }
}

void expectSameLine(const std::optional<PLGroupInfo> &actual, const std::optional<PLGroupInfo> &expected,
                    const std::string &what)
{
    ASSERT_EQ(actual.has_value(), expected.has_value()) << what;
    if (!actual)
        return;
    EXPECT_EQ(actual->type, expected->type) << what;
    EXPECT_EQ(actual->groupCacheNo, expected->groupCacheNo) << what;
    EXPECT_EQ(actual->willDownloadGroup, expected->willDownloadGroup) << what;
    EXPECT_EQ(actual->isLast, expected->isLast) << what;
    for (const auto member : {&PLGroupInfo::groupID, &PLGroupInfo::groupName, &PLGroupInfo::buddyCMN}) {
        EXPECT_EQ((*actual).*member, (*expected).*member) << what;
        EXPECT_EQ(((*actual).*member).isNull(), ((*expected).*member).isNull()) << what;
    }
}

} // namespace

TEST(GroupInfoReading, GeneratedDictionariesReadAsBefore)
{
    const QString keys[] = {QStringLiteral("type"),        QStringLiteral("groupCacheNo"),
                            QStringLiteral("willDownloadGroup"), QStringLiteral("isLast"),
                            QStringLiteral("groupId"),     QStringLiteral("groupName"),
                            QStringLiteral("buddyCMN"),    QStringLiteral("typo"),
                            QStringLiteral("groupID"),     QStringLiteral("buddyCmn"),
                            QStringLiteral(""),            QStringLiteral("isLast ")};
    const QString types[] = {QStringLiteral("Buddy"), QStringLiteral("Group"), QStringLiteral("Cache"),
                             QStringLiteral("buddy"), QStringLiteral("")};
    int lines = 0;
    for (quint32 seed = 1; seed <= 5000; ++seed) {
        QRandomGenerator random(seed);
        QVariantMap map;
        for (const QString &key : keys) {
            if (random.bounded(3) != 0)
                map.insert(key, anyValue(random));
        }
        if (random.bounded(4) != 0)
            map.insert(keys[0], types[random.bounded(int(std::size(types)))]);
        const std::optional<PLGroupInfo> expected = referenceFromVariantMap(map);
        lines += expected && expected->type != PLGroupInfo::Unknown ? 1 : 0;
        expectSameLine(PLGroupInfo::fromVariantMap(map), expected, "seed " + std::to_string(seed));
        if (HasFailure())
            return;
    }
    EXPECT_GT(lines, 1000);
}
