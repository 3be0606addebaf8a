// The emoticon label: the fit answer, what it draws, clicks; and pictures of
// it in Korean and English (written to $PARLEY_SCREENSHOT_DIR when set).
#include "EmoticonFixture.h"

#include "EmoticonManager.h"
#include "KCEmoticonView.h"
#include "KCResourceDirectory.h"
#include "TestSupport.h"

#include <QDir>
#include <QImage>
#include <QLabel>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>

namespace {

QImage picture(QWidget &widget) { return widget.grab().toImage().convertToFormat(QImage::Format_RGB32); }

void saveScreenshot(QWidget &widget, const QString &name)
{
    const QString folder = qEnvironmentVariable("PARLEY_SCREENSHOT_DIR");
    if (folder.isEmpty())
        return;
    QDir().mkpath(folder);
    widget.grab().save(folder + QLatin1Char('/') + name + QStringLiteral(".png"));
}

const KCEmoticonLayoutItem *firstItem(const KCEmoticonLayout &layout, KCEmoticonLayoutItem::Kind kind)
{
    for (const KCEmoticonLayoutItem &item : layout.items) {
        if (item.kind == kind)
            return &item;
    }
    return nullptr;
}

struct ClickRecorder : KCEmoticonViewDelegate {
    void emoticonViewClicked(KCEmoticonView *view) override { clicked << view; }
    QList<KCEmoticonView *> clicked;
};

} // namespace

TEST(KCEmoticonView, AnswersWhetherTheTextFits)
{
    KCEmoticonView view;
    const QString text = QString::fromUtf16(u"\uC548\uB155 /\uC6C3\uC74C/ \uBC18\uAC00\uC6CC\uC694");
    view.resize(400, 22);
    EXPECT_FALSE(view.setEmoticonString(text));
    EXPECT_EQ(view.emoticonString(), text);
    EXPECT_GT(view.displaySize().width(), 16 + 5);
    EXPECT_LT(view.displaySize().width(), 400);
    EXPECT_EQ(view.displaySize().height(), 19);
    const KCEmoticonLayout layout = view.layoutInRect(QRectF(view.rect()));
    ASSERT_NE(firstItem(layout, KCEmoticonLayoutItem::Kind::Image), nullptr);
    EXPECT_EQ(firstItem(layout, KCEmoticonLayoutItem::Kind::Image)->text, QString::fromUtf16(u"/\uC6C3\uC74C/"));

    view.resize(40, 22);
    EXPECT_TRUE(view.setEmoticonString(text));
    EXPECT_LT(view.displaySize().width(), 40 + 5);
    EXPECT_NE(firstItem(view.layoutInRect(QRectF(view.rect())), KCEmoticonLayoutItem::Kind::Ellipsis), nullptr);

    // Over several lines the same text needs a second line in a narrow view,
    // and a line feed breaks the line only while allowed.
    view.setMultiLine(true);
    EXPECT_EQ(view.leftMargin(), 7);
    view.resize(60, 200);
    EXPECT_FALSE(view.setEmoticonString(text));
    EXPECT_GE(view.displaySize().height(), 35);
    view.resize(400, 200);
    EXPECT_FALSE(view.setEmoticonString(QStringLiteral("a\nb")));
    EXPECT_EQ(view.displaySize().height(), 35);
    view.setAllowEnter(false);
    EXPECT_FALSE(view.setEmoticonString(QStringLiteral("a\nb")));
    EXPECT_EQ(view.displaySize().height(), 19);
}

TEST(KCEmoticonView, DrawsImagesTextBackgroundAndBorder)
{
    parley::test::EmoticonFolder folder;
    ASSERT_TRUE(parley::test::writeSmallCatalogue(folder));
    const EmoticonManager catalogue(folder.path(), QStringLiteral("ko"));

    KCEmoticonView view(nullptr, &catalogue);
    view.resize(200, 24);
    view.setDrawBackground(true);
    view.setBackgroundColor(QColor(240, 240, 255));
    view.setTextColor(QColor(200, 0, 0));
    view.setBorder(true);
    EXPECT_FALSE(view.setEmoticonString(QStringLiteral("MM/cup/MM /ghost/")));

    const QImage image = picture(view);
    const KCEmoticonLayout layout = view.layoutInRect(QRectF(view.rect()));
    const KCEmoticonLayoutItem *cup = firstItem(layout, KCEmoticonLayoutItem::Kind::Image);
    ASSERT_NE(cup, nullptr);
    EXPECT_EQ(image.pixelColor(cup->rect.center().toPoint()), QColor(120, 60, 20));
    EXPECT_EQ(image.pixelColor(190, 12), QColor(240, 240, 255));
    EXPECT_EQ(image.pixelColor(0, 12), QColor(Qt::darkGray));
    // The missing image's token is drawn as text, in the text colour.
    ASSERT_EQ(layout.items.size(), 3);
    EXPECT_EQ(layout.items.last().text, QStringLiteral("MM /ghost/"));
    EXPECT_EQ(layout.items.last().kind, KCEmoticonLayoutItem::Kind::Text);
    int reddish = 0;
    for (int x = 2; x < image.width() - 2; ++x) {
        for (int y = 3; y < 19; ++y) {
            const QColor c = image.pixelColor(x, y);
            reddish += c.red() > 150 && c.green() < 120 && c.blue() < 150;
        }
    }
    EXPECT_GT(reddish, 20) << "the text is drawn";
}

TEST(KCEmoticonView, ClickGoesToTheDelegate)
{
    KCEmoticonView view;
    view.resize(100, 20);
    ClickRecorder recorder;
    view.setDelegate(&recorder);
    QTest::mouseClick(&view, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(recorder.clicked, QList<KCEmoticonView *>{&view});
    view.setDelegate(nullptr);
    QTest::mouseClick(&view, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(recorder.clicked.size(), 1);
}

TEST(KCEmoticonView, PicturesInKoreanAndEnglish)
{
    // Every emoticon of each language in a wrapped label, a name cut short on
    // one line, and a short one that fits.
    for (const QString &language : {QStringLiteral("ko"), QStringLiteral("en")}) {
        SCOPED_TRACE(language.toStdString());
        const EmoticonManager catalogue(KCResourcePath(QStringLiteral("Emoticon")), language);
        QWidget window;
        window.setAutoFillBackground(true);
        window.setPalette(QPalette(Qt::white));
        auto *column = new QVBoxLayout(&window);

        auto *all = new KCEmoticonView(&window, &catalogue);
        all->setMultiLine(true);
        all->setFixedSize(330, 200);
        all->setBorder(true);
        QString every;
        for (const QString &category : catalogue.emoticonLocalCategories())
            every += category + QLatin1Char(' ') + catalogue.emoticonListForCategory(category)->join(QString()) + QLatin1Char('\n');
        EXPECT_FALSE(all->setEmoticonString(every));

        const QString nickname = language == QLatin1String("ko")
            ? QString::fromUtf16(u"\uD64D\uAE38\uB3D9 /\uC6C3\uC74C/ \uC624\uB298\uB3C4 \uD654\uC774\uD305 /\uBCC4//\uCEE4\uD53C/ \uC810\uC2EC \uBA39\uC73C\uB7EC \uAC11\uB2C8\uB2E4")
            : QStringLiteral("Robin /smile/ off to lunch /coffee//cake/ back at two, call me");
        auto *cut = new KCEmoticonView(&window, &catalogue);
        cut->setFixedSize(220, 22);
        cut->setDrawBackground(true);
        cut->setBackgroundColor(QColor(235, 242, 255));
        auto *fits = new KCEmoticonView(&window, &catalogue);
        fits->setFixedSize(330, 22);
        fits->setTextSize(13);
        column->addWidget(all);
        column->addWidget(cut);
        column->addWidget(fits);
        window.adjustSize();
        EXPECT_TRUE(cut->setEmoticonString(nickname));
        EXPECT_FALSE(fits->setEmoticonString(nickname.left(nickname.indexOf(QLatin1Char('/'), nickname.indexOf(QLatin1Char('/')) + 1) + 1)));

        const QImage image = picture(window);
        int coloured = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const QColor c = image.pixelColor(x, y);
                coloured += c.saturation() > 100;
            }
        }
        EXPECT_GT(coloured, 16 * 16 * 10) << "the emoticons are drawn";
        saveScreenshot(window, QStringLiteral("emoticon-view-") + language);
    }
}
