// The catalogue: languages in order, lookups, missing and broken files, and
// the catalogue we ship.
#include "EmoticonFixture.h"

#include "EmoticonManager.h"
#include "KCResourceDirectory.h"
#include "Log.h"
#include "TestSupport.h"
#include "Utils/KCUtilities.h"

#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QJsonArray>
#include <QJsonObject>
#include <QRegularExpression>
#include <gtest/gtest.h>

using parley::test::EmoticonFolder;

namespace {

QStringList gLogged;
void recordLog(const QString &line) { gLogged << line; }

// Collects the log lines written while it lives.
class LogCapture
{
public:
    LogCapture()
    {
        gLogged.clear();
        parley::setLogSink(&recordLog);
    }
    ~LogCapture() { parley::setLogSink(nullptr); }
    QStringList lines() const { return gLogged; }
};

} // namespace

TEST(EmoticonCatalogue, ListsEveryLanguageInOrderAndTheCurrentOneApart)
{
    EmoticonFolder folder;
    ASSERT_TRUE(parley::test::writeSmallCatalogue(folder));
    const EmoticonManager catalogue(folder.path(), QStringLiteral("en"));

    EXPECT_EQ(catalogue.emoticonArray(),
              (QStringList{"/smile/", "/웃음/", "/ghost/", "/cup/", "/smile/", "/grin/"}));
    EXPECT_EQ(catalogue.emoticonCategories(), (QStringList{"얼굴", "물건", "Faces"}));
    EXPECT_EQ(catalogue.emoticonLocalCategories(), QStringList{"Faces"});
    EXPECT_EQ(catalogue.emoticonListForCategory("Faces"), (QStringList{"/smile/", "/grin/"}));
    EXPECT_EQ(catalogue.emoticonListForCategory(QStringLiteral("얼굴")), std::nullopt);

    // Images are looked up in every language, the first language first.
    EXPECT_EQ(catalogue.emoticonFileNameForEmoticon("/smile/"), folder.filePath("images/smile.png"));
    EXPECT_EQ(catalogue.emoticonFileNameForEmoticon("/grin/"), folder.filePath("images/grin.png"));
    EXPECT_EQ(catalogue.emoticonFileNameForEmoticon("/cup/"), folder.filePath("images/cup.png"));
    EXPECT_TRUE(catalogue.emoticonFileNameForEmoticon("/nothing/").isNull());
    EXPECT_EQ(catalogue.emoticonImageSize("/grin/"), QSize(20, 12));
    EXPECT_FALSE(catalogue.emoticonImageSize("/ghost/").isValid()) << "its file is missing";
    EXPECT_FALSE(catalogue.emoticonImageSize("/nothing/").isValid());

    // File names back to tokens through the current language's table only.
    EXPECT_EQ(catalogue.emoticonNameForFileName("grin.png"), QStringLiteral("/grin/"));
    EXPECT_EQ(catalogue.emoticonNameForFileName("smile_en.png"), QStringLiteral("/smile/"));
    EXPECT_EQ(catalogue.emoticonNameForFileName("cup.png"), QStringLiteral("cup.png"));
    EXPECT_EQ(catalogue.emoticonNameForFileName("pasted.png"), QStringLiteral("pasted.png"));

    const EmoticonManager korean(folder.path(), QStringLiteral("ko"));
    EXPECT_EQ(korean.emoticonArray(), catalogue.emoticonArray());
    EXPECT_EQ(korean.emoticonLocalCategories(), (QStringList{"얼굴", "물건"}));
    EXPECT_EQ(korean.emoticonNameForFileName("cup.png"), QStringLiteral("/cup/"));
    EXPECT_EQ(korean.emoticonNameForFileName("smile.png"), QStringLiteral("/smile/"));
}

TEST(EmoticonCatalogue, LanguageOutsideTheListStillKnowsEveryToken)
{
    EmoticonFolder folder;
    ASSERT_TRUE(parley::test::writeSmallCatalogue(folder));
    for (const char *language : {"fr", "", "../ko"}) {
        SCOPED_TRACE(language);
        const EmoticonManager catalogue(folder.path(), QLatin1String(language));
        EXPECT_TRUE(catalogue.emoticonLocalCategories().isEmpty());
        EXPECT_EQ(catalogue.emoticonListForCategory("Faces"), std::nullopt);
        EXPECT_EQ(catalogue.emoticonNameForFileName("grin.png"), QStringLiteral("grin.png"));
        EXPECT_TRUE(catalogue.isEmoticon("/grin/"));
        EXPECT_TRUE(catalogue.isEmoticon("/웃음/"));
        EXPECT_EQ(EmoticonManager::emoticonParsingWithString("a/grin/", &catalogue), (QStringList{"a", "/grin/"}));
    }
}

TEST(EmoticonCatalogue, MissingLanguageFilesContributeNothing)
{
    EmoticonFolder folder;
    ASSERT_TRUE(parley::test::writeSmallCatalogue(folder));
    ASSERT_TRUE(QFile::remove(folder.filePath("ko/emoticonSort.plist")));
    ASSERT_TRUE(QFile::remove(folder.filePath("en/emoticon.plist")));

    LogCapture log;
    const EmoticonManager catalogue(folder.path(), QStringLiteral("ko"));
    // ko: images but no order, so none of its tokens is known; en: an order
    // but no images, so its tokens are known and shown as text.
    EXPECT_EQ(catalogue.emoticonArray(), (QStringList{"/smile/", "/grin/"}));
    EXPECT_TRUE(catalogue.emoticonLocalCategories().isEmpty());
    EXPECT_EQ(catalogue.emoticonNameForFileName("cup.png"), QStringLiteral("/cup/"));
    EXPECT_EQ(catalogue.emoticonFileNameForEmoticon("/smile/"), folder.filePath("images/smile.png"));
    EXPECT_FALSE(catalogue.emoticonImageSize("/grin/").isValid());
    EXPECT_TRUE(log.lines().isEmpty()) << "a missing file is no error: " << log.lines().join('\n').toStdString();

    const EmoticonManager empty(folder.filePath("no-such-folder"), QStringLiteral("ko"));
    EXPECT_TRUE(empty.emoticonArray().isEmpty());
    EXPECT_TRUE(empty.emoticonCategories().isEmpty());
    EXPECT_EQ(EmoticonManager::emoticonParsingWithString("a/smile/b", &empty), (QStringList{"a", "/smile", "/b"}));
}

TEST(EmoticonCatalogue, BrokenFileCountsAsMissingAndIsLogged)
{
    const QJsonArray goodSort{QJsonObject{{"category", "얼굴"}, {"emoticons", QJsonArray{"/cup/"}}}};
    const QJsonObject goodTable{{"g", QJsonObject{{"/cup/", "cup.png"}}}};
    const struct {
        const char *name;
        const char *file; // which of the two Korean files is broken
        QJsonValue value; // written by Python; undefined: `bytes` are written
        QByteArray bytes;
    } cases[] = {
        {"not a property list", "emoticon.plist", QJsonValue::Undefined, "this is not XML"},
        {"cut short", "emoticonSort.plist", QJsonValue::Undefined, "<?xml version=\"1.0\"?><plist><array><dict>"},
        {"table is an array", "emoticon.plist", QJsonArray{"/cup/"}, {}},
        {"group is a string", "emoticon.plist", QJsonObject{{"g", "cup.png"}}, {}},
        {"image is a number", "emoticon.plist", QJsonObject{{"g", QJsonObject{{"/cup/", 7}}}}, {}},
        {"image outside the folder", "emoticon.plist", QJsonObject{{"g", QJsonObject{{"/cup/", "../cup.png"}}}}, {}},
        {"order is a dictionary", "emoticonSort.plist", goodTable, {}},
        {"category is a string", "emoticonSort.plist", QJsonArray{"얼굴"}, {}},
        {"category without a name", "emoticonSort.plist", QJsonArray{QJsonObject{{"emoticons", QJsonArray{"/cup/"}}}}, {}},
        {"emoticons not an array", "emoticonSort.plist",
         QJsonArray{QJsonObject{{"category", "얼굴"}, {"emoticons", "/cup/"}}}, {}},
        {"token not a string", "emoticonSort.plist",
         QJsonArray{QJsonObject{{"category", "얼굴"}, {"emoticons", QJsonArray{"/cup/", 3}}}}, {}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        EmoticonFolder folder;
        const QString relative = QStringLiteral("ko/") + QLatin1String(c.file);
        if (c.value.isUndefined()) {
            ASSERT_TRUE(parley::test::writeSmallCatalogue(folder));
            ASSERT_TRUE(folder.writeBytes(relative, c.bytes));
        } else {
            ASSERT_TRUE(parley::test::writeSmallCatalogue(folder, QJsonObject{{relative, c.value}}));
        }

        LogCapture log;
        const EmoticonManager catalogue(folder.path(), QStringLiteral("ko"));
        ASSERT_EQ(log.lines().size(), 1) << log.lines().join('\n').toStdString();
        EXPECT_TRUE(log.lines().first().contains(folder.filePath(relative))) << log.lines().first().toStdString();

        // The broken file adds nothing; its partner and English still load.
        const bool tableBroken = QLatin1String(c.file) == QLatin1String("emoticon.plist");
        EXPECT_EQ(catalogue.emoticonNameForFileName("cup.png"), tableBroken ? "cup.png" : "/cup/");
        EXPECT_EQ(catalogue.emoticonLocalCategories().isEmpty(), !tableBroken);
        EXPECT_TRUE(catalogue.isEmoticon("/grin/"));
        EXPECT_TRUE(catalogue.emoticonImageSize("/grin/").isValid());
        EXPECT_EQ(catalogue.emoticonFileNameForEmoticon("/cup/").isNull(), tableBroken);
    }
}

TEST(EmoticonCatalogue, SharedOneReadsOurResourcesInTheInterfaceLanguage)
{
    const EmoticonManager &shared = EmoticonManager::sharedManager();
    EXPECT_EQ(&shared, &EmoticonManager::sharedManager());
    EXPECT_EQ(shared.language(), parley::KCCurrentLanguage());
    EXPECT_EQ(shared.language(), QStringLiteral("ko"));
    EXPECT_EQ(shared.emoticonPath(), KCResourcePath(QStringLiteral("Emoticon")));
    EXPECT_EQ(shared.emoticonLocalCategories(), (QStringList{"표정", "사물"}));
    EXPECT_TRUE(shared.isEmoticon(QStringLiteral("/웃음/")));
    EXPECT_TRUE(shared.isEmoticon(QStringLiteral("/smile/")));
}

namespace {

EmoticonImageTable readTable(const QString &path)
{
    const auto table = EmoticonCatalogueFile::readImageTable(path);
    EXPECT_TRUE(table.has_value()) << path.toStdString();
    return table.value_or(EmoticonImageTable{});
}

QList<EmoticonCategory> readSort(const QString &path)
{
    const auto sort = EmoticonCatalogueFile::readSortOrder(path);
    EXPECT_TRUE(sort.has_value()) << path.toStdString();
    return sort.value_or(QList<EmoticonCategory>{});
}

} // namespace

TEST(ShippedEmoticons, EveryTokenHasAnImageInEveryLanguage)
{
    const QString root = KCResourcePath(QStringLiteral("Emoticon"));
    static const QRegularExpression tokenForm(QStringLiteral("^/[^/]+/$"));
    for (const QString &language : {QStringLiteral("ko"), QStringLiteral("en")}) {
        SCOPED_TRACE(language.toStdString());
        const EmoticonImageTable table = readTable(root + "/" + language + "/emoticon.plist");
        const QList<EmoticonCategory> sort = readSort(root + "/" + language + "/emoticonSort.plist");
        ASSERT_GE(sort.size(), 2);
        QSet<QString> listed;
        for (const EmoticonCategory &category : sort) {
            EXPECT_FALSE(category.name.isEmpty());
            for (const QString &token : category.emoticons) {
                EXPECT_TRUE(tokenForm.match(token).hasMatch()) << token.toStdString();
                EXPECT_FALSE(listed.contains(token)) << "listed twice: " << token.toStdString();
                listed.insert(token);
            }
        }
        QSet<QString> inTable;
        for (const auto &group : table) {
            for (auto it = group.cbegin(); it != group.cend(); ++it) {
                inTable.insert(it.key());
                QImageReader image(root + "/images/" + it.value());
                EXPECT_TRUE(image.canRead()) << it.value().toStdString();
                EXPECT_EQ(image.size(), QSize(16, 16)) << it.value().toStdString();
            }
        }
        EXPECT_EQ(listed, inTable);
        EXPECT_GE(listed.size(), 30);
    }
}

TEST(ShippedEmoticons, TopFilesAreTheUnionOfTheLanguages)
{
    // What the message box reads after the messenger copied the folder: every
    // language's images in one table, and the Korean categories followed by
    // the other languages' tokens not yet listed.
    const QString root = KCResourcePath(QStringLiteral("Emoticon"));
    EmoticonImageTable expectedTable;
    QList<EmoticonCategory> expectedSort;
    QStringList listed;
    QStringList rest;
    for (const QString &language : EmoticonManager::languageCodes()) {
        if (!QFileInfo::exists(root + "/" + language))
            continue;
        const EmoticonImageTable table = readTable(root + "/" + language + "/emoticon.plist");
        for (auto group = table.cbegin(); group != table.cend(); ++group) {
            for (auto it = group->cbegin(); it != group->cend(); ++it)
                expectedTable[group.key()].insert(it.key(), it.value());
        }
        for (const EmoticonCategory &category : readSort(root + "/" + language + "/emoticonSort.plist")) {
            if (language == QLatin1String("ko")) {
                expectedSort << category;
                listed << category.emoticons;
                continue;
            }
            for (const QString &token : category.emoticons) {
                if (!listed.contains(token) && !rest.contains(token))
                    rest << token;
            }
        }
    }
    ASSERT_FALSE(rest.isEmpty());
    expectedSort << EmoticonCategory{QStringLiteral("English"), rest};

    EXPECT_EQ(readTable(root + "/emoticon.plist"), expectedTable);
    EXPECT_EQ(readSort(root + "/emoticonSort.plist"), expectedSort);
}
