// The group cache's own reader checked against the property-list reader:
// whatever it reads, it must give the values the property list gives (types
// and null strings included); anything else it must leave alone. Caches are
// written by the cache itself from generated lines, clean and hostile, and
// then damaged.

#include "BuddyManagement/PLGLSTManager.h"
#include "BuddyManagement/PLGroupCacheFastReader.h"
#include "PropertyList.h"
#include "PropertyListReader.h"
#include "ServicesTestSupport.h"
#include "Utils/PLUtils.h"
#include "SameValue.h"

#include <QFile>
#include <QRandomGenerator>
#include <gtest/gtest.h>

#include <iterator>

using namespace parley;
using parley::test::sameValue;
using namespace parley::test;

namespace {

QVariant asPropertyList(const PLGroupCacheFastReader::Contents &contents)
{
    QVariantList entries{contents.cacheEntry};
    for (const PLGroupInfo &line : contents.lines)
        entries.append(line.toVariantMap());
    return entries;
}

// What the cache writes: the "Cache" entry, then lines; texts mostly plain
// (digits, ASCII), now and then empty, null or hostile.
class CacheGenerator {
public:
    explicit CacheGenerator(quint32 seed) : mRandom(seed) {}

    QString text(bool hostile)
    {
        switch (mRandom.bounded(10)) {
        case 0: return QString();
        case 1: return QStringLiteral("");
        default: break;
        }
        static const char16_t kHostile[] = {u'&', u'<', u'>', u'\r', u'\t', u'\n', u'"', 0x7F, 0x85, 0xA0,
                                            0xFEFF, 0xFDD0, 0xFFFD, 0xD83D, 0xDE00};
        QString s;
        const int length = 1 + int(mRandom.bounded(10));
        for (int i = 0; i < length; ++i) {
            if (hostile && mRandom.bounded(4) == 0)
                s.append(QChar(kHostile[mRandom.bounded(int(std::size(kHostile)))]));
            else
                s.append(QChar(plain()));
        }
        return s;
    }

    // Printable ASCII other than markup, now and then a letter beyond it.
    char16_t plain()
    {
        static const char16_t kLetters[] = {0xE9, 0xD55C, 0xAD6C, 0x4E2D};
        if (mRandom.bounded(8) == 0)
            return kLetters[mRandom.bounded(int(std::size(kLetters)))];
        for (;;) {
            const char16_t c = char16_t(0x20 + mRandom.bounded(0x5F));
            if (c != u'<' && c != u'>' && c != u'&')
                return c;
        }
    }

    QVariantList entries(bool hostile)
    {
        PLGroupInfo cache;
        cache.type = PLGroupInfo::Cache;
        cache.groupCacheNo = mRandom.generate();
        cache.willDownloadGroup = mRandom.bounded(2) == 0;
        QVariantList list{cache.toVariantMap()};
        const int n = int(mRandom.bounded(30));
        QStringList groupIDs{QStringLiteral("1")};
        for (int i = 0; i < n; ++i) {
            PLGroupInfo line;
            line.isLast = i == n - 1;
            if (mRandom.bounded(4) == 0) {
                line.type = PLGroupInfo::Group;
                line.groupID = text(hostile);
                line.groupName = text(hostile);
                groupIDs.append(line.groupID);
            } else {
                line.type = PLGroupInfo::Buddy;
                line.buddyCMN = text(hostile);
                line.groupID = groupIDs.at(mRandom.bounded(int(groupIDs.size())));
            }
            list.append(line.toVariantMap());
        }
        return list;
    }

    quint32 bounded(quint32 n) { return mRandom.bounded(n); }

private:
    QRandomGenerator mRandom;
};

// The cache's reader gives nothing, or what the property list gives.
bool expectSameAsPropertyList(const QByteArray &document, const std::string &what)
{
    const std::optional<PLGroupCacheFastReader::Contents> fast = PLGroupCacheFastReader::read(document);
    if (!fast)
        return false;
    const PropertyList::ReadResult full = PropertyListReader::read(document);
    EXPECT_TRUE(full.ok()) << what << " " << full.error.toStdString();
    EXPECT_TRUE(sameValue(asPropertyList(*fast), full.value)) << what << "\n" << document.left(3000).toStdString();
    return true;
}

const char *const kDamage[] = {"<", ">", "&amp;", "&#13;", "\r", " ", "\t", "\n", "<!-- c -->", "<true/>",
                               "<string>x</string>", "<key>type</key>", "</dict>", "<dict>", "\xC3\xA9", "\xC3",
                               "\x01", "0", "-", "<integer>1</integer>", "</array>", "Buddy", "Group", "]]>", "]]"};

} // namespace

TEST(GroupCacheFastReader, WrittenCachesReadAsThePropertyListGivesThem)
{
    int read = 0;
    for (quint32 seed = 1; seed <= 1500; ++seed) {
        CacheGenerator generator(seed);
        const bool hostile = seed % 3 == 0;
        const QVariantList entries = generator.entries(hostile);
        const PropertyList::WriteResult written = PropertyList::write(entries);
        if (!written.ok())
            continue;
        const bool taken = expectSameAsPropertyList(written.data, "seed " + std::to_string(seed));
        read += taken ? 1 : 0;
        // Texts of printable characters without markup are always read here.
        if (!hostile) {
            EXPECT_TRUE(taken) << "seed " << seed;
        }
        if (HasFailure())
            return;
    }
    EXPECT_GT(read, 1000);
}

TEST(GroupCacheFastReader, DamagedCachesAreLeftAloneOrReadTheSame)
{
    int read = 0, left = 0;
    for (quint32 seed = 1; seed <= 4000; ++seed) {
        CacheGenerator generator(seed);
        QByteArray document = PropertyList::write(generator.entries(false)).data;
        const int edits = 1 + int(generator.bounded(2));
        for (int e = 0; e < edits; ++e) {
            const qsizetype at = generator.bounded(quint32(document.size() + 1));
            switch (generator.bounded(3)) {
            case 0: document.insert(at, kDamage[generator.bounded(quint32(std::size(kDamage)))]); break;
            case 1: document.remove(at, 1 + generator.bounded(3)); break;
            default:
                if (at < document.size())
                    document[at] = char(generator.bounded(256));
                break;
            }
        }
        (expectSameAsPropertyList(document, "seed " + std::to_string(seed)) ? read : left) += 1;
        if (HasFailure())
            return;
    }
    // Both outcomes occur: damage inside a text is still a cache.
    EXPECT_GT(read, 20);
    EXPECT_GT(left, 1000);
}

TEST(GroupCacheFastReader, EdgeDocuments)
{
    const QByteArray head = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                            "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
                            "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
                            "<plist version=\"1.0\">\n<array>\n";
    const QByteArray cacheEntry = "\t<dict>\n\t\t<key>groupCacheNo</key>\n\t\t<integer>%n</integer>\n"
                                  "\t\t<key>type</key>\n\t\t<string>Cache</string>\n"
                                  "\t\t<key>willDownloadGroup</key>\n\t\t<false/>\n\t</dict>\n";
    const QByteArray tail = "</array>\n</plist>\n";
    const struct {
        const char *number;
        bool taken;
    } numbers[] = {{"0", true},     {"007", true}, {"4294967295", true}, {"999999999999999999", true},
                   {"9999999999999999999", false}, {"", false},          {"-1", false}, {" 1", false}};
    for (const auto &n : numbers) {
        QByteArray entry = cacheEntry;
        entry.replace("%n", n.number);
        EXPECT_EQ(expectSameAsPropertyList(head + entry + tail, n.number), n.taken) << n.number;
    }
    QByteArray entry = cacheEntry;
    entry.replace("%n", "5");
    // Texts the property list refuses or reads otherwise than as they stand
    // are left to it; other UTF-8 and tabs are read here.
    const struct {
        const char *text;
        bool taken;
    } texts[] = {{"a]]>b", false},         {"a>b", false},          {"a&amp;b", false},
                 {"a&#65;b", false},       {"a\rb", false},         {"a<!-- c -->b", false},
                 {"\xC3", false},          {"\xC0\xAF", false},     {"\xED\xA0\x80", false},
                 {"\xEF\xBF\xBE", false},  {"\xEF\xBB\xBF", false},  {"\xC2\x85", false},
                 {"\x01", false},          {"\x7F", false},          {"a\tb\nc", true},
                 {"\xC3\xA9", true},       {"\xED\x95\x9C", true},  {"\xF0\x9F\x98\x80", true},
                 {"\xC2\xA0", true}};
    for (const auto &[text, taken] : texts) {
        const QByteArray line = QByteArray("\t<dict>\n\t\t<key>buddyCMN</key>\n\t\t<string>") + text +
                                "</string>\n\t\t<key>groupId</key>\n\t\t<string>1</string>\n"
                                "\t\t<key>isLast</key>\n\t\t<true/>\n"
                                "\t\t<key>type</key>\n\t\t<string>Buddy</string>\n\t</dict>\n";
        EXPECT_EQ(expectSameAsPropertyList(head + entry + line + tail, text), taken) << text;
    }
    // Nothing after the cache entry; the end missing or followed by more.
    EXPECT_TRUE(expectSameAsPropertyList(head + entry + tail, "cache entry alone"));
    EXPECT_FALSE(expectSameAsPropertyList(head + entry, "no end"));
    EXPECT_FALSE(expectSameAsPropertyList(head + entry + tail + "\n", "more after the end"));
    EXPECT_FALSE(expectSameAsPropertyList(head + tail, "no cache entry"));
    EXPECT_FALSE(expectSameAsPropertyList(QByteArray(), "empty"));
}

namespace {

class GroupCacheLoadTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QFile::remove(path());
        cache.resetForTesting();
    }
    void TearDown() override { cache.resetForTesting(); }
    static QString user() { return QStringLiteral("fast@vela.test"); }
    static QString path() { return PLGroupCachePathForUser(user()); }
    PLGLSTManager &cache = PLGLSTManager::sharedManager();
};

} // namespace

// Loaded either way, the cache answers alike: its number, its entries as
// dictionaries, and its lines.
TEST_F(GroupCacheLoadTest, LoadedCacheAnswersAsThePropertyListGivesIt)
{
    int taken = 0;
    for (quint32 seed = 1; seed <= 150; ++seed) {
        const std::string what = "seed " + std::to_string(seed);
        CacheGenerator generator(seed);
        const PropertyList::WriteResult written = PropertyList::write(generator.entries(seed % 4 == 0));
        if (!written.ok())
            continue;
        taken += PLGroupCacheFastReader::read(written.data) ? 1 : 0;
        cache.setLoginID(user()); // makes the user's folder
        writeFile(path(), written.data);
        cache.setLoginID(user());
        const QVariantList expected = PropertyList::read(written.data).value.toList();
        ASSERT_EQ(cache.count(), expected.size()) << what;
        EXPECT_EQ(cache.version(), expected.first().toMap().value(QStringLiteral("groupCacheNo")).toInt()) << what;
        EXPECT_TRUE(sameValue(cache.mGLSTArray(), expected)) << what;
        for (qsizetype i = -1; i <= expected.size(); ++i) {
            EXPECT_TRUE(sameValue(cache.groupInfoAtIndex(i), expected.value(i).toMap())) << what << " " << i;
            const std::optional<PLGroupInfo> line = cache.lineAtIndex(i);
            const std::optional<PLGroupInfo> reference = PLGroupInfo::fromVariantMap(expected.value(i).toMap());
            ASSERT_EQ(line.has_value(), reference.has_value()) << what << " " << i;
            if (line) {
                EXPECT_EQ(line->type, reference->type) << what << " " << i;
                EXPECT_EQ(line->groupCacheNo, reference->groupCacheNo) << what << " " << i;
                EXPECT_EQ(line->willDownloadGroup, reference->willDownloadGroup) << what << " " << i;
                EXPECT_EQ(line->isLast, reference->isLast) << what << " " << i;
                EXPECT_TRUE(sameValue(line->groupID, reference->groupID)) << what << " " << i;
                EXPECT_TRUE(sameValue(line->groupName, reference->groupName)) << what << " " << i;
                EXPECT_TRUE(sameValue(line->buddyCMN, reference->buddyCMN)) << what << " " << i;
            }
        }
        if (HasFailure())
            return;
    }
    // Both ways of loading are covered.
    EXPECT_GT(taken, 50);
    EXPECT_LT(taken, 140);
}
