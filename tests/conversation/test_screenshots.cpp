// Pictures of the conversation parts in Korean and English, written to
// build/screenshots for a person to look at; the test checks only that
// something was drawn.
#include "Conversation/AnimiconController.h"
#include "Conversation/AnimiconManager.h"
#include "ConversationTestSupport.h"
#include "Conversation/EmoticonCatalogueAdapter.h"
#include "Conversation/EmoticonController.h"
#include "EmoticonManager.h"
#include "KCResourceDirectory.h"
#include "Conversation/KCWebView.h"
#include "TestSupport.h"
#include "UserDefaults.h"
#include "Utils/KCUtilities.h"

#include <QCoreApplication>
#include <QDir>
#include <gtest/gtest.h>

using parley::test::waitUntil;

namespace {

// The owner hands on the catalogue of the language shown.
class ScreenshotOwner : public KCWebViewDataSource
{
public:
    std::optional<QStringList> emoticonWebViewArray(KCWebView *) override { return emoticons->emoticonTokens(); }
    QString emoticonWebViewEmoticon(KCWebView *, const QString &token) override
    {
        return emoticons->imagePathForToken(token);
    }
    const EmoticonCatalogueAdapter *emoticons = nullptr;
};

// Something was drawn: the picture has more than two colours.
bool drawn(const QImage &image)
{
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); y += 3)
        for (int x = 0; x < image.width(); x += 3)
            colours.insert(image.pixel(x, y));
    return colours.size() > 2;
}

void save(QWidget &widget, const QString &name)
{
    QDir().mkpath(QStringLiteral(PARLEY_SCREENSHOT_DIR));
    const QImage image = widget.grab().toImage();
    EXPECT_TRUE(drawn(image)) << name.toStdString();
    EXPECT_TRUE(image.save(QStringLiteral(PARLEY_SCREENSHOT_DIR "/conversation-%1.png").arg(name)));
}

class Screenshots : public ::testing::TestWithParam<const char *>
{
protected:
    void SetUp() override
    {
        parley::UserDefaults::standardUserDefaults().setObject(QStringList{QLatin1String(GetParam())},
                                                               QLatin1String(parley::kAppleLanguagesKey));
        catalogue = std::make_unique<EmoticonManager>(KCResourcePath(QStringLiteral("Emoticon")),
                                                      QLatin1String(GetParam()));
        emoticons = std::make_unique<EmoticonCatalogueAdapter>(catalogue.get());
    }
    void TearDown() override
    {
        parley::UserDefaults::standardUserDefaults().setObject(QStringList{QStringLiteral("ko")},
                                                               QLatin1String(parley::kAppleLanguagesKey));
    }

    std::unique_ptr<EmoticonManager> catalogue;
    std::unique_ptr<EmoticonCatalogueAdapter> emoticons;
};

} // namespace

TEST_P(Screenshots, Transcript)
{
    AnimiconManager::sharedManager().resetForTesting();
    parley::test::AnimiconService service;
    AnimiconManager &animicons = AnimiconManager::sharedManager();
    animicons.updateAnimicon();
    ASSERT_TRUE(waitUntil([&] { return animicons.categoryCount() > 0; }));
    QString cached;
    QObject context;
    animicons.animiconImageFileForCategory(QStringLiteral("k"), QStringLiteral("001"), &context,
                                           [&](const QString &path) { cached = path; });
    ASSERT_TRUE(waitUntil([&] { return !cached.isEmpty(); }));

    ScreenshotOwner owner;
    owner.emoticons = emoticons.get();
    KCWebView view;
    view.setDataSource(&owner);
    view.resize(420, 380);
    const bool korean = QLatin1String(GetParam()) == QLatin1String("ko");
    view.appendSystemMessage(korean ? QStringLiteral("김민지님과 대화를 시작합니다.") : QStringLiteral("You are now chatting with Minji."));
    view.appendChatMessage(korean ? QStringLiteral("민지:\n안녕하세요 /웃음/ 오늘 회의 자료는 www.example.com 에 있어요")
                                  : QStringLiteral("Minji:\nHello /smile/ the slides are at www.example.com"),
                           QStringLiteral("Gulim"), 11, QStringLiteral("8388608"), QString(), true);
    view.appendChatMessage(korean ? QStringLiteral("나:\n고마워요 /하트/ kim@example.com 으로도 보내 주세요 <b>꼭</b>")
                                  : QStringLiteral("Me:\nThanks /heart/ please mail kim@example.com too <b>soon</b>"),
                           QStringLiteral("Gulim"), 11, QStringLiteral("0"), QString(), true);
    const QString wire = QStringLiteral("<ANICO|k001|k_001.bmp|웃음|/ANICO>");
    view.appendAnimiconMessage(wire, {korean ? QStringLiteral("민지: ") : QStringLiteral("Minji: "), wire, QString()},
                               QStringLiteral("Gulim"), QStringLiteral("32768"), QString());
    view.appendFileMessage(korean ? QStringLiteral("회의자료.pdf 파일을 받았습니다.") : QStringLiteral("Received slides.pdf."), 1);
    view.appendWarningMessage(korean ? QStringLiteral("상대방이 대화창을 닫았습니다.") : QStringLiteral("Minji closed the chat."));
    view.show();
    QCoreApplication::processEvents();
    save(view, QStringLiteral("transcript-%1").arg(QLatin1String(GetParam())));
    AnimiconManager::sharedManager().resetForTesting();
}

TEST_P(Screenshots, EmoticonPalette)
{
    QPointer<EmoticonController> palette = new EmoticonController(emoticons.get());
    palette->showEmoticonPalette(QPoint(10, 10), nullptr);
    QCoreApplication::processEvents();
    save(*palette, QStringLiteral("emoticon-palette-%1").arg(QLatin1String(GetParam())));
    palette->close();
}

TEST_P(Screenshots, AnimiconPalette)
{
    AnimiconManager::sharedManager().resetForTesting();
    parley::test::AnimiconService service;
    AnimiconController palette;
    palette.showAnimiconPalette(QPoint(10, 10), nullptr);
    KCAnimiconPaletteView *grid = palette.paletteView();
    ASSERT_TRUE(waitUntil([grid] {
        return grid->category() && grid->numEnd() == 24 && !grid->category()->isLoading()
               && !grid->category()->animiconThumbWithIndex(24).isNull();
    }, 20000));
    save(palette, QStringLiteral("animicon-palette-%1").arg(QLatin1String(GetParam())));
    palette.close();
    AnimiconManager::sharedManager().resetForTesting();
}

INSTANTIATE_TEST_SUITE_P(Languages, Screenshots, ::testing::Values("ko", "en"));
