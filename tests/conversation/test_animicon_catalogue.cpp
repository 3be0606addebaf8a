// The animicon catalogue read from the local service, its item lists, the
// thumbnails and the disk cache of item images, the wire form, and animicon
// lines of the transcript.
#include "Conversation/AnimiconManager.h"
#include "AnimiconSite.h"
#include "AnimiconWireForm.h"
#include "ConversationTestSupport.h"
#include "Conversation/KCWebView.h"
#include "LocalService.h"
#include "TestSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTextBlock>
#include <gtest/gtest.h>

using parley::test::AnimiconService;
using parley::test::waitUntil;

namespace {

class RecordingCategoryDelegate : public AnimiconCategoryDelegate
{
public:
    void didloadAnimicon(const QString &animiconID, const QImage &thumbImage) override
    {
        loaded << animiconID;
        sizes << thumbImage.size();
    }
    QStringList loaded;
    QList<QSize> sizes;
};

class AnimiconCatalogue : public ::testing::Test
{
protected:
    void SetUp() override
    {
        manager().resetForTesting();
        QDir(manager().animiconPath()).removeRecursively();
    }
    void TearDown() override { manager().resetForTesting(); }
    static AnimiconManager &manager() { return AnimiconManager::sharedManager(); }

    // Reads the catalogue and answers whether it arrived.
    static bool load()
    {
        manager().updateAnimicon();
        return waitUntil([] { return !manager().isUpdating(); }) && manager().categoryCount() > 0;
    }
    static bool loadList(AnimiconCategory *category)
    {
        bool updated = false;
        QObject::connect(category, &AnimiconCategory::listUpdated, category, [&updated] { updated = true; });
        category->updateAnimicon();
        return waitUntil([&updated] { return updated; });
    }
    // A folder of catalogue files in code page 949 as the iconv tool writes them.
    static void writeFile(const QTemporaryDir &folder, const QString &path, const QByteArray &bytes)
    {
        QDir(folder.path()).mkpath(QFileInfo(folder.filePath(path)).path());
        QFile file(folder.filePath(path));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
};

} // namespace

TEST_F(AnimiconCatalogue, ReadsTheServicesFilesWrittenByIconv)
{
    QTemporaryDir folder;
    writeFile(folder, QStringLiteral("ini/category_mc.ini"),
              parley::test::iconvToCodePage949(
                  QStringLiteral("[category info]\nversion=5\ncount=3\nticker_version=2\n"
                                 "[AnicoTab1]\nid=k\nversion=4\ntitle=기본\nimage=tab_k\nshow_flag=y\nad_flag=N\n"
                                 "[AnicoTab2]\nid=../x\nversion=1\ntitle=나쁜\nshow_flag=Y\n"
                                 "[AnicoTab3]\nid=a\nversion=1\ntitle=동물\nshow_flag=N\nad_flag=Y")));
    writeFile(folder, QStringLiteral("ini/anicolistex_k.ini"),
              parley::test::iconvToCodePage949(QStringLiteral("[LIST_INFO]\ncount=4\nid=k\n1=k012|웃음\n2=k0/3|나쁜\n"
                                                              "3=k014\n4=k015|박수|extra")));
    AnimiconService service(folder.path());
    EXPECT_TRUE(service.service->accounts().confBody().contains(
        QStringLiteral("animicon_file_url=%1\r\n").arg(service.baseUrl()).toUtf8()));

    ASSERT_TRUE(load());
    EXPECT_EQ(manager().version(), 5);
    EXPECT_EQ(manager().count(), 3);
    EXPECT_EQ(manager().tickerVersion(), 2);
    // The category with an ID that is not letters and digits is left out.
    ASSERT_EQ(manager().categoryCount(), 2);
    AnimiconCategory *k = manager().categoryWithIndex(0);
    EXPECT_EQ(k->categoryID(), QStringLiteral("k"));
    EXPECT_EQ(k->categoryName(), QStringLiteral("AnicoTab1"));
    EXPECT_EQ(k->title(), QStringLiteral("기본"));
    EXPECT_EQ(k->imageName(), QStringLiteral("tab_k"));
    EXPECT_EQ(k->version(), 4);
    EXPECT_TRUE(k->isShow());
    EXPECT_FALSE(k->isAd());
    AnimiconCategory *a = manager().categoryWithID(QStringLiteral("a"));
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(manager().categoryWithName(QStringLiteral("AnicoTab3")), a);
    EXPECT_FALSE(a->isShow());
    EXPECT_TRUE(a->isAd());

    ASSERT_TRUE(loadList(k));
    EXPECT_EQ(k->listID(), QStringLiteral("k"));
    ASSERT_EQ(k->animiconCount(), 2);
    EXPECT_EQ(k->animiconIDWithIndex(0), QStringLiteral("012"));
    EXPECT_EQ(k->animiconNameWithIndex(0), QStringLiteral("웃음"));
    EXPECT_EQ(k->animiconNameWithID(QStringLiteral("015")), QStringLiteral("박수"));
    EXPECT_TRUE(k->animiconIDWithIndex(2).isNull());
    EXPECT_EQ(k->animiconThumbUrlWithIndex(0), service.baseUrl() + QStringLiteral("/thumb/k/k_012.bmp"));
    EXPECT_EQ(k->animiconFlashUrlWithIndex(0), service.webUrl() + QStringLiteral("/animicon_play.php?id=k012"));
}

TEST_F(AnimiconCatalogue, ReadsOncePerRunAndListsOnlyWhenTheirVersionChanges)
{
    AnimiconService service;
    ASSERT_TRUE(load());
    ASSERT_EQ(manager().categoryCount(), 4);
    const QString catalogue = QStringLiteral("/animicon/ini/category_mc.ini");
    const QString list = QStringLiteral("/animicon/ini/anicolistex_k.ini");
    EXPECT_EQ(service.requests(catalogue), 1);

    manager().updateAnimicon();
    QCoreApplication::processEvents();
    EXPECT_FALSE(manager().isUpdating());
    EXPECT_EQ(service.requests(catalogue), 1);

    AnimiconCategory *k = manager().categoryWithID(QStringLiteral("k"));
    ASSERT_TRUE(loadList(k));
    EXPECT_EQ(k->animiconCount(), 30);
    EXPECT_EQ(k->animiconNameWithIndex(0), QStringLiteral("웃음"));
    k->updateAnimicon();
    k->setVersion(k->version());
    k->updateAnimicon();
    EXPECT_EQ(service.requests(list), 1);
    k->setVersion(k->version() + 1);
    ASSERT_TRUE(loadList(k));
    EXPECT_EQ(service.requests(list), 2);
}

TEST_F(AnimiconCatalogue, AFailedReadLeavesNothingAndTriesAgain)
{
    QTemporaryDir folder;
    writeFile(folder, QStringLiteral("ini/category_mc.ini"), QByteArray("[Category info]\ncount=1\ntitle=\xFF\xFE\n"));
    AnimiconService service(folder.path());
    EXPECT_FALSE(load());
    EXPECT_EQ(manager().categoryCount(), 0);
    EXPECT_FALSE(load());
    EXPECT_EQ(service.requests(QStringLiteral("/animicon/ini/category_mc.ini")), 2);
}

TEST_F(AnimiconCatalogue, ThumbnailsArriveOneByOneForTheDelegate)
{
    AnimiconService service;
    ASSERT_TRUE(load());
    AnimiconCategory *k = manager().categoryWithID(QStringLiteral("k"));
    ASSERT_TRUE(loadList(k));
    RecordingCategoryDelegate delegate;
    k->setDelegate(&delegate);
    k->loadAnimiconFrom(25, 29);
    ASSERT_TRUE(waitUntil([k] { return !k->isLoading(); }));
    EXPECT_EQ(delegate.loaded, QStringList({"026", "027", "028", "029", "030"}));
    EXPECT_EQ(delegate.sizes, QList<QSize>(5, QSize(32, 20)));
    EXPECT_FALSE(k->animiconThumbWithIndex(29).isNull());
    EXPECT_TRUE(k->animiconThumbWithIndex(24).isNull());
    EXPECT_EQ(service.requests(QStringLiteral("/animicon/thumb/k/k_026.bmp")), 1);

    // A page loaded before is not fetched again.
    const int before = service.totalRequests();
    k->loadAnimiconFrom(25, 29);
    ASSERT_TRUE(waitUntil([k] { return !k->isLoading(); }));
    EXPECT_EQ(service.totalRequests(), before);
    k->setDelegate(nullptr);
}

TEST_F(AnimiconCatalogue, ItemImagesAreCachedOnDiskAndMapBackToTheirID)
{
    AnimiconService service;
    ASSERT_TRUE(load());
    ASSERT_TRUE(loadList(manager().categoryWithID(QStringLiteral("k"))));

    QString path;
    bool done = false;
    QObject context;
    manager().animiconImageFileForCategory(QStringLiteral("k"), QStringLiteral("001"), &context,
                                           [&](const QString &p) { path = p, done = true; });
    ASSERT_TRUE(waitUntil([&] { return done; }));
    EXPECT_EQ(path, manager().animiconPath() + QStringLiteral("/k001.bmp"));
    EXPECT_TRUE(QFileInfo(path).isFile());
    EXPECT_EQ(manager().animiconIDNameForFileName(QStringLiteral("k001.bmp")), QStringLiteral("k001"));
    EXPECT_EQ(service.requests(QStringLiteral("/animicon/thumb/k/k_001.bmp")), 1);

    // A cached item causes no request, also one cached in an earlier run.
    QFile::copy(path, manager().animiconPath() + QStringLiteral("/k012.bmp"));
    manager().resetForTesting();
    ASSERT_TRUE(load());
    const int before = service.totalRequests();
    done = false;
    manager().animiconImageFileForCategory(QStringLiteral("k"), QStringLiteral("012"), &context,
                                           [&](const QString &p) { path = p, done = true; });
    EXPECT_TRUE(done);
    EXPECT_EQ(path, manager().animiconPath() + QStringLiteral("/k012.bmp"));
    EXPECT_EQ(manager().animiconIDNameForFileName(QStringLiteral("k012.bmp")), QStringLiteral("k012"));
    EXPECT_EQ(service.totalRequests(), before);

    // An unknown category or a missing item gives nothing, and nothing is cached.
    for (const char *item : {"x001", "k099"}) {
        SCOPED_TRACE(item);
        done = false;
        manager().animiconImageFileForCategory(QString(QLatin1Char(item[0])), QLatin1String(item + 1), &context,
                                               [&](const QString &p) { path = p, done = true; });
        ASSERT_TRUE(waitUntil([&] { return done; }));
        EXPECT_TRUE(path.isNull());
    }
    EXPECT_FALSE(QFileInfo::exists(manager().animiconPath() + QStringLiteral("/k099.bmp")));
}

TEST(AnimiconWireForm, EncodesAndDecodesAsEveryClientDoes)
{
    EXPECT_EQ(AnimiconWireForm::encode(QStringLiteral("k012"), QStringLiteral("Smile")),
              QStringLiteral("<ANICO|k012|k_012.bmp|Smile|/ANICO>"));
    EXPECT_TRUE(AnimiconWireForm::encode(QStringLiteral("k01"), QStringLiteral("x")).isNull());
    EXPECT_TRUE(AnimiconWireForm::encode(QStringLiteral("k/12"), QStringLiteral("x")).isNull());

    struct Case
    {
        const char *message;
        bool decodes;
        const char *category;
        const char *item;
        const char *name;
    } const cases[] = {
        {"<ANICO|k012|k_012.bmp|Smile|/ANICO>", true, "k", "012", "Smile"},
        {"hello <ANICO|k012|k_012.bmp|Smile|/ANICO> there", true, "k", "012", "Smile"},
        {"a|b <ANICO|k012|k_012.bmp|Smile|/ANICO>", false, "", "", ""},
        {"<ANICO|k012|k_012.bmp|Sm|ile|/ANICO>", true, "k", "012", "Sm"},
        {"<ANICO|k01|k_01.bmp|Smile|/ANICO>", false, "", "", ""},
        {"<ANICO|../a|x|y|/ANICO>", false, "", "", ""},
        {"<ANICO|k012|k_012.bmp", false, "", "", ""},
        {"<ANICO", false, "", "", ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.message);
        const std::optional<AnimiconWireInfo> info = AnimiconWireForm::decode(QString::fromUtf8(c.message));
        ASSERT_EQ(info.has_value(), c.decodes);
        EXPECT_TRUE(AnimiconWireForm::isAnimiconExist(QString::fromUtf8(c.message)));
        if (!info)
            continue;
        EXPECT_EQ(info->categoryID, QLatin1String(c.category));
        EXPECT_EQ(info->animiconID, QLatin1String(c.item));
        EXPECT_EQ(info->name, QLatin1String(c.name));
    }
    EXPECT_FALSE(AnimiconWireForm::isAnimiconExist(QString()));
    EXPECT_FALSE(AnimiconWireForm::decode(QString()).has_value());
}

TEST_F(AnimiconCatalogue, TheWireFormNeedsAKnownCategory)
{
    AnimiconService service;
    ASSERT_TRUE(load());
    ASSERT_TRUE(loadList(manager().categoryWithID(QStringLiteral("k"))));
    EXPECT_EQ(manager().animiconMessageStringForAnimiconID(QStringLiteral("k002")),
              QStringLiteral("<ANICO|k002|k_002.bmp|윙크|/ANICO>"));
    EXPECT_TRUE(manager().animiconMessageStringForAnimiconID(QStringLiteral("z012")).isNull());

    const std::optional<QVariantMap> info =
        manager().animiconInfoFromAnimiconMessage(QStringLiteral("<ANICO|k002|k_002.bmp|윙크|/ANICO>"));
    ASSERT_TRUE(info.has_value());
    EXPECT_EQ(*info, QVariantMap({{QStringLiteral("categoryID"), QStringLiteral("k")},
                                  {QStringLiteral("animiconID"), QStringLiteral("002")},
                                  {QStringLiteral("animiconUrl"), service.webUrl() + QStringLiteral("/animicon_play.php?id=k002")},
                                  {QStringLiteral("animiconName"), QStringLiteral("윙크")}}));
    EXPECT_FALSE(manager().animiconInfoFromAnimiconMessage(QStringLiteral("<ANICO|z012|z_012.bmp|x|/ANICO>")).has_value());
}

TEST_F(AnimiconCatalogue, TheChatInputsPictureNamesItsAnimicon)
{
    AnimiconService service;
    ASSERT_TRUE(load());
    QString path;
    QObject context;
    manager().animiconImageFileForCategory(QStringLiteral("a"), QStringLiteral("003"), &context,
                                           [&](const QString &p) { path = p; });
    ASSERT_TRUE(waitUntil([&] { return !path.isEmpty(); }));
    QTextDocument document;
    QTextCursor cursor(&document);
    cursor.insertText(QStringLiteral("look "));
    cursor.insertImage(QUrl::fromLocalFile(path).toString());
    EXPECT_EQ(manager().animiconIDStringForDocument(&document), QStringLiteral("a003"));
    document.setPlainText(QStringLiteral("none"));
    EXPECT_TRUE(manager().animiconIDStringForDocument(&document).isNull());
}

TEST_F(AnimiconCatalogue, TranscriptLinesShowCachedPicturesAndFetchTheOthers)
{
    AnimiconService service;
    ASSERT_TRUE(load());
    ASSERT_TRUE(loadList(manager().categoryWithID(QStringLiteral("k"))));
    KCWebView view;
    const QString wire = QStringLiteral("<ANICO|k002|k_002.bmp|윙크|/ANICO>");
    const QStringList pieces{QStringLiteral("hi "), wire, QString()};
    auto images = [&view] {
        QStringList names;
        for (QTextBlock block = view.document()->begin(); block.isValid(); block = block.next())
            for (auto it = block.begin(); !it.atEnd(); ++it)
                if (it.fragment().charFormat().isImageFormat())
                    names << it.fragment().charFormat().toImageFormat().name();
        return names;
    };

    view.appendAnimiconMessage(wire, pieces, QStringLiteral("Gulim"), QStringLiteral("0"), QString());
    // Not cached: the name shows, never the wire text, while the picture is fetched.
    EXPECT_TRUE(images().isEmpty());
    EXPECT_FALSE(view.document()->toPlainText().contains(QStringLiteral("ANICO")));
    EXPECT_TRUE(view.document()->toPlainText().contains(QStringLiteral("hi (윙크)")))
        << view.document()->toPlainText().toStdString();
    const QString cached = manager().animiconPath() + QStringLiteral("/k002.bmp");
    view.appendChatMessage(QStringLiteral("a later line"), QStringLiteral("Gulim"), 12, QStringLiteral("0"), QString(),
                           true);
    // Once fetched, the picture takes its place in that first line, before the name.
    ASSERT_TRUE(waitUntil([&] { return images().size() == 1; }));
    EXPECT_EQ(images(), QStringList({QStringLiteral("file://") + cached}));
    const QString shown = view.document()->toPlainText();
    EXPECT_TRUE(shown.contains(QStringLiteral("hi \uFFFC(윙크)"))) << shown.toStdString();
    EXPECT_LT(shown.indexOf(QStringLiteral("(윙크)")), shown.indexOf(QStringLiteral("a later line")));
    // Later lines show the cached picture at once.
    view.appendAnimiconMessage(wire, pieces, QStringLiteral("Gulim"), QStringLiteral("0"), QString());
    EXPECT_EQ(images().size(), 2);
    EXPECT_EQ(service.requests(QStringLiteral("/animicon/thumb/k/k_002.bmp")), 1);
}

TEST_F(AnimiconCatalogue, APictureFetchedAfterTheTranscriptWasClearedChangesNothing)
{
    AnimiconService service;
    ASSERT_TRUE(load());
    ASSERT_TRUE(loadList(manager().categoryWithID(QStringLiteral("k"))));
    KCWebView view;
    const QString wire = QStringLiteral("<ANICO|k002|k_002.bmp|윙크|/ANICO>");
    view.appendAnimiconMessage(wire, {QStringLiteral("hi "), wire, QString()}, QStringLiteral("Gulim"),
                               QStringLiteral("0"), QString());
    view.clear();
    view.appendChatMessage(QStringLiteral("something else entirely"), QStringLiteral("Gulim"), 12, QStringLiteral("0"),
                           QString(), true);
    const QString cached = manager().animiconPath() + QStringLiteral("/k002.bmp");
    ASSERT_TRUE(waitUntil([&] { return QFileInfo::exists(cached); }));
    QCoreApplication::processEvents();
    EXPECT_EQ(view.document()->toPlainText().count(QChar(0xFFFC)), 0) << view.document()->toPlainText().toStdString();
}
