// The group cache writes its recording straight from the lines. Checked byte
// for byte against the way it wrote before: each line built as its
// dictionary and the list written as one value. Lines are generated, with
// hostile texts and null next to empty ones.

#include "BuddyManagement/PLGLSTManager.h"
#include "Log.h"
#include "PropertyList.h"
#include "Utils/PLUtils.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <gtest/gtest.h>

#include <iterator>

using namespace parley;

namespace {

QStringList gLogged;
void captureLog(const QString &line) { gLogged << line; }

// Plain text, markup, a carriage return, refused control characters and
// non-characters, paired and lone surrogates, multi-byte UTF-8.
const char16_t kAlphabet[] = {u'a', u'7', u' ', u'&', u'<', u'>', u'"', u'\t', u'\n', u'\r', 0x01, 0x7F,
                              0xE9, 0xD55C, 0xD83D, 0xDE00, 0xFFFE};

class LineGenerator {
public:
    explicit LineGenerator(quint32 seed) : mRandom(seed) {}

    QString text(bool hostile)
    {
        switch (mRandom.bounded(8)) {
        case 0: return QString();
        case 1: return QStringLiteral("");
        default: break;
        }
        QString s;
        const int length = 1 + int(mRandom.bounded(12));
        for (int i = 0; i < length; ++i)
            s.append(hostile ? QChar(kAlphabet[mRandom.bounded(int(std::size(kAlphabet)))])
                             : QChar(char16_t(u'0' + mRandom.bounded(10))));
        return s;
    }

    PLGroupInfo line(bool hostile)
    {
        PLGroupInfo line;
        line.isLast = mRandom.bounded(2) == 0;
        line.groupID = text(hostile);
        if (mRandom.bounded(3) == 0) {
            line.type = PLGroupInfo::Group;
            line.groupName = text(hostile);
        } else {
            line.type = PLGroupInfo::Buddy;
            line.buddyCMN = text(hostile);
        }
        return line;
    }

    bool chance(int oneIn) { return mRandom.bounded(oneIn) == 0; }

private:
    QRandomGenerator mRandom;
};

class GroupCacheWriterTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QFile::remove(path());
        cache.resetForTesting();
        setLogSink(captureLog);
    }
    void TearDown() override
    {
        setLogSink(nullptr);
        cache.resetForTesting();
    }
    static QString user() { return QStringLiteral("writer@vela.test"); }
    static QString path() { return PLGroupCachePathForUser(user()); }
    static QByteArray fileBytes()
    {
        QFile file(path());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    PLGLSTManager &cache = PLGLSTManager::sharedManager();
};

void expectSameStrings(const QVariantMap &actual, const QVariantMap &expected, const std::string &what)
{
    EXPECT_EQ(actual, expected) << what;
    for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
        if (it.value().typeId() == QMetaType::QString) {
            EXPECT_EQ(actual.value(it.key()).toString().isNull(), it.value().toString().isNull())
                << what << " " << it.key().toStdString();
        }
    }
}

} // namespace

// A list of thousands of buddies is handed to the file in pieces; the file
// must be the whole document all the same.
TEST_F(GroupCacheWriterTest, ALargeListGivesTheWholeFile)
{
    LineGenerator generator(77);
    PLGroupInfo cacheLine;
    cacheLine.type = PLGroupInfo::Cache;
    cacheLine.groupCacheNo = 12;
    cacheLine.willDownloadGroup = true;
    QVariantList reference{cacheLine.toVariantMap()};
    cache.setLoginID(user());
    cache.beginSave(cacheLine.toVariantMap());
    for (int i = 0; i < 3000; ++i) {
        if (i % 500 == 7) {
            const QVariantMap given{{QStringLiteral("type"), QStringLiteral("Group")},
                                    {QStringLiteral("groupId"), QString::number(i)},
                                    {QStringLiteral("extra"), QVariantList{}}};
            cache.saveInfo(given);
            reference.append(given);
        } else {
            const PLGroupInfo line = generator.line(false);
            cache.saveInfo(line);
            reference.append(line.toVariantMap());
        }
    }
    cache.endSave();
    const PropertyList::WriteResult expected = PropertyList::write(reference);
    ASSERT_TRUE(expected.ok()) << expected.error.toStdString();
    ASSERT_GT(expected.data.size(), 4 * 64 * 1024);
    EXPECT_EQ(fileBytes().toStdString(), expected.data.toStdString());
    EXPECT_TRUE(gLogged.isEmpty());
}

TEST_F(GroupCacheWriterTest, RecordedLinesGiveTheFileAndEntriesOfTheirDictionaries)
{
    int refused = 0;
    for (quint32 seed = 1; seed <= 400; ++seed) {
        const std::string what = "seed " + std::to_string(seed);
        LineGenerator generator(seed);
        const bool hostile = seed % 3 == 0;
        QFile::remove(path());
        gLogged.clear();

        // As a sign-in records: the cache line's dictionary, then lines;
        // now and then a dictionary given as it is.
        PLGroupInfo cacheLine;
        cacheLine.type = PLGroupInfo::Cache;
        cacheLine.groupCacheNo = seed * 2654435761u;
        cacheLine.willDownloadGroup = true;
        QVariantList reference{cacheLine.toVariantMap()};
        cache.setLoginID(user());
        cache.beginSave(cacheLine.toVariantMap());
        const int lines = int(seed % 40);
        for (int i = 0; i < lines; ++i) {
            if (generator.chance(10)) {
                const QVariantMap given{{QStringLiteral("type"), QStringLiteral("Group")},
                                        {QStringLiteral("groupId"), generator.text(hostile)},
                                        {QStringLiteral("extra"), qlonglong(i)}};
                cache.saveInfo(given);
                reference.append(given);
            } else {
                const PLGroupInfo line = generator.line(hostile);
                cache.saveInfo(line);
                reference.append(line.toVariantMap());
            }
        }
        ASSERT_EQ(cache.count(), reference.size()) << what;
        for (qsizetype i = 0; i < reference.size(); ++i)
            expectSameStrings(cache.groupInfoAtIndex(i), reference.at(i).toMap(), what);
        EXPECT_EQ(cache.mGLSTArray(), reference) << what;

        cache.endSave();
        const PropertyList::WriteResult expected = PropertyList::write(reference);
        if (expected.ok()) {
            EXPECT_EQ(fileBytes().toStdString(), expected.data.toStdString()) << what;
            EXPECT_TRUE(gLogged.isEmpty()) << what;
            // Loaded back: the entries as read from today's bytes.
            const QVariantList read = PropertyList::read(expected.data).value.toList();
            cache.setLoginID(user());
            ASSERT_EQ(cache.count(), read.size()) << what;
            for (qsizetype i = 0; i < read.size(); ++i)
                expectSameStrings(cache.groupInfoAtIndex(i), read.at(i).toMap(), what);
        } else {
            ++refused;
            EXPECT_FALSE(QFileInfo::exists(path())) << what;
            EXPECT_EQ(gLogged, QStringList{QStringLiteral("group cache could not be written: ") + expected.error})
                << what;
        }
        if (HasFailure())
            return;
    }
    // Both outcomes are covered.
    EXPECT_GT(refused, 20);
    EXPECT_LT(refused, 380);
}
