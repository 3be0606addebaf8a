// Our drawings as the programs find them: every SVG of resources/images is
// compiled in at its declared size, every emoticon drawing is a file.
#include "ImageRegistry.h"
#include "KCResourceDirectory.h"
#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QSvgRenderer>
#include <gtest/gtest.h>

namespace {

bool hasVisiblePixels(const QImage &image)
{
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < argb.height(); ++y) {
        for (int x = 0; x < argb.width(); ++x) {
            if (qAlpha(argb.pixel(x, y)) > 0)
                return true;
        }
    }
    return false;
}

} // namespace

TEST(ResourceImages, EveryDrawingIsCompiledInAtItsSize)
{
    const QDir sources(QStringLiteral(PARLEY_SOURCE_DIR "/resources/images"));
    const QStringList drawings = sources.entryList({QStringLiteral("*.svg")}, QDir::Files);
    ASSERT_FALSE(drawings.isEmpty());
    for (const QString &drawing : drawings) {
        const QString name = QFileInfo(drawing).completeBaseName();
        SCOPED_TRACE(name.toStdString());
        const QImage image = ImageRegistry::image(name);
        ASSERT_FALSE(image.isNull());
        EXPECT_EQ(image.size(), QSvgRenderer(sources.filePath(drawing)).defaultSize());
        EXPECT_TRUE(hasVisiblePixels(image));
    }
}

TEST(ResourceImages, TheKitsNamesFindTheirImages)
{
    const struct {
        const char *name;
        QSize size;
    } cases[] = {
        {"ButtonLeftN.tiff", {8, 22}},     {"ButtonFillP", {1, 22}},         {"ButtonRightD.tiff", {8, 22}},
        {"CheckboxOnN.tiff", {14, 14}},    {"CheckboxOffD.tiff", {14, 14}},  {"tools-popupLeft-N", {6, 20}},
        {"tools-popupRight-P", {16, 20}},  {"tools-buttonLeft-D", {7, 28}},  {"tools-buttonFill-N", {1, 28}},
        {"1x27_bg", {1, 27}},              {"1x37_btn_bg", {1, 37}},         {"normal_right", {8, 9}},
        {"7x80_top_left", {7, 80}},        {"1x80_top_middle", {1, 80}},     {"7x24_bottom_right", {7, 24}},
        {"flat_top_middle", {1, 24}},      {"middle_left", {2, 8}},          {"alert_icon.png", {64, 64}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_TRUE(ImageRegistry::contains(QLatin1String(c.name)));
        EXPECT_EQ(ImageRegistry::image(QLatin1String(c.name)).size(), c.size);
    }
    EXPECT_FALSE(ImageRegistry::contains(QStringLiteral("no_such_image.tiff")));
}

// What the main window's portal and bottom bars, the news marks and the chat
// window's palette buttons ask for: none may fall back to a drawn symbol.
TEST(ResourceImages, TheWindowsButtonImagesAreThereAtTheirSizes)
{
    const QSize portal(20, 15), bar(18, 18);
    const struct {
        const char *name;
        QSize size;
    } cases[] = {
        {"20x15_vela", portal},        {"20x15_velaNew", portal},    {"20x15_orchard", portal},
        {"20x15_orchardNew", portal},  {"GoHomeButton", portal},     {"GoHomeButtonNew", portal},
        {"20x15_mail", portal},        {"20x15_mailNew", portal},    {"20x15_memo", portal},
        {"20x15_memoNew", portal},     {"main_viewtype", bar},       {"main_addbuddy", bar},
        {"main_addgroup", bar},        {"main_sms", bar},            {"main_msgviewer", bar},
        {"ChatEmoticonButton", bar},   {"ChatAnimiconButton", bar},  {"ChatFontButton", bar},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_TRUE(ImageRegistry::contains(QLatin1String(c.name)));
        EXPECT_EQ(ImageRegistry::image(QLatin1String(c.name)).size(), c.size);
    }
    // A news mark is its own drawing, not the plain one again.
    for (const char *plain : {"20x15_vela", "20x15_orchard", "GoHomeButton", "20x15_mail", "20x15_memo"}) {
        SCOPED_TRACE(plain);
        EXPECT_NE(ImageRegistry::image(QLatin1String(plain)),
                  ImageRegistry::image(QLatin1String(plain) + QStringLiteral("New")));
    }
}

TEST(ResourceImages, EveryEmoticonDrawingIsAFile)
{
    const QDir sources(QStringLiteral(PARLEY_SOURCE_DIR "/resources/Emoticon/images"));
    const QStringList drawings = sources.entryList({QStringLiteral("*.svg")}, QDir::Files);
    ASSERT_GE(drawings.size(), 30);
    for (const QString &drawing : drawings) {
        const QString name = QFileInfo(drawing).completeBaseName();
        SCOPED_TRACE(name.toStdString());
        const QImage image(KCResourcePath(QStringLiteral("Emoticon/images/") + name + QStringLiteral(".png")));
        ASSERT_FALSE(image.isNull());
        EXPECT_EQ(image.size(), QSize(16, 16));
        EXPECT_TRUE(hasVisiblePixels(image));
    }
}

TEST(ResourceImages, OursAreReadWithoutLoadingEveryImagePlugIn)
{
    // Asking each image plug-in whether it reads a file loads them all, and
    // the libraries they need, into a program that only ever shows PNGs.
    const auto plugInsMapped = [] {
        QFile maps(QStringLiteral("/proc/self/maps"));
        return maps.open(QIODevice::ReadOnly) && maps.readAll().contains("plugins/imageformats/");
    };
    if (plugInsMapped())
        GTEST_SKIP() << "an earlier test in this process loaded the image plug-ins";
    for (const char *name : {"ButtonLeftN", "CheckboxOnN.tiff", "alert_icon.png"})
        EXPECT_FALSE(ImageRegistry::image(QLatin1String(name)).isNull()) << name;
    EXPECT_FALSE(plugInsMapped());
}

TEST(ResourceImages, AnImageRegisteredOverOneAlreadyReadIsTheOneFound)
{
    const QImage compiledIn = ImageRegistry::image(QStringLiteral("ButtonFillN"));
    ASSERT_FALSE(compiledIn.isNull());
    QImage mine(3, 3, QImage::Format_ARGB32);
    mine.fill(Qt::magenta);
    ImageRegistry::registerImage(QStringLiteral("ButtonFillN.png"), mine);
    EXPECT_EQ(ImageRegistry::image(QStringLiteral("ButtonFillN")), mine);
    ImageRegistry::registerImage(QStringLiteral("ButtonFillN"), QImage());
    EXPECT_EQ(ImageRegistry::image(QStringLiteral("ButtonFillN.tiff")), compiledIn);
}
