// The widget-free decisions of the notices, the tray, the status and idle
// detection: tables of cases.
#include "DockBadge.h"
#include "IdleDetector.h"
#include "IdleSourceChain.h"
#include "LogindIdleSource.h"
#include "OwnStatusTable.h"
#include "SlideWindowSkins.h"
#include "SoundPlayer.h"
#include "ToasterFade.h"
#include "ToasterPlacement.h"
#include "ToasterRules.h"
#include "ToasterTextFitting.h"
#include "Utils/KCUtilities.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace parley;
using namespace parley::shell;

namespace {

QRect slot(int x, int y) { return QRect(x, y, 175, 125); }

} // namespace

// Placement.

TEST(ToasterPlacement, FillsSlotsUpwardsFromTheBottomRightThenLeft)
{
    // 350 x 375: three rows and two columns, six slots.
    const ToasterPlacement placement(QRect(0, 0, 350, 375));
    EXPECT_EQ(placement.rows(), 3);
    EXPECT_EQ(placement.columns(), 2);
    const QList<QRect> expected{slot(175, 250), slot(175, 125), slot(175, 0),
                                slot(0, 250),   slot(0, 125),   slot(0, 0)};
    QList<QRect> shown;
    for (const QRect &next : expected) {
        EXPECT_EQ(placement.availableWindowRect(shown), next);
        shown.append(next);
    }
    // The seventh and eighth take the bottom-right slot again and overlap.
    EXPECT_EQ(placement.availableWindowRect(shown), slot(175, 250));
    shown.append(slot(175, 250));
    EXPECT_EQ(placement.availableWindowRect(shown), slot(175, 250));
    // After the first closes, the next takes its place.
    const QList<QRect> afterClose{slot(175, 125)};
    EXPECT_EQ(placement.availableWindowRect(afterClose), slot(175, 250));
}

TEST(ToasterPlacement, StaysOnTheScreenItsAreaIsOn)
{
    struct Case {
        const char *what;
        QRect available;
        QRect first;
    } const cases[] = {
        {"one screen with a bottom panel", QRect(0, 0, 1920, 1040), slot(1745, 915)},
        // Measured from x = 0 the slot would sit under the panel or on the first screen.
        {"a panel on the left", QRect(64, 0, 1856, 1080), slot(1745, 955)},
        {"the second screen to the right", QRect(1920, 0, 1280, 1024), slot(3025, 899)},
        {"a screen to the left of the primary", QRect(-1280, 0, 1280, 1024), slot(-175, 899)},
        {"a panel on top", QRect(0, 32, 800, 568), slot(625, 475)},
        // Smaller than a slot: one slot at its top-left corner, never zero rows.
        {"a tiny screen", QRect(10, 20, 100, 60), slot(10, 20)},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        const ToasterPlacement placement(c.available);
        EXPECT_GE(placement.slotCount(), 1);
        EXPECT_EQ(placement.availableWindowRect({}), c.first);
    }
}

// Fade.

TEST(ToasterFade, FadesInHoldsFadesOutThenCloses)
{
    struct Case {
        float before;
        std::optional<double> alpha;
        bool close;
        float after;
    } const cases[] = {
        {0.0f, 0.025, false, 0.05f},
        {1.0f, 0.525, false, 1.05f},
        {1.95f, 1.0, false, 2.0f},
        {2.0f, std::nullopt, false, 2.05f},   // hold
        {6.95f, std::nullopt, false, 7.0f},
        {7.0f, 0.975, false, 7.05f},          // fade out
        {8.95f, 0.0, false, 9.0f},
        {9.0f, std::nullopt, true, -1.0f},    // done
        {-1.0f, std::nullopt, false, -1.0f},  // finished: stays so, closes no more
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.before);
        const ToasterFadeStep step = ToasterFade::step(c.before);
        EXPECT_NEAR(step.showTime, c.after, 1e-4);
        EXPECT_EQ(step.close, c.close);
        ASSERT_EQ(step.alpha.has_value(), c.alpha.has_value());
        if (c.alpha)
            EXPECT_NEAR(*step.alpha, *c.alpha, 1e-4);
    }
}

TEST(ToasterFade, ANoticeLivesAboutOneHundredAndEightyTicks)
{
    float t = 0;
    int ticks = 0;
    bool closed = false;
    double peak = 0;
    while (!closed && ticks < 1000) {
        const ToasterFadeStep step = ToasterFade::step(t);
        t = step.showTime;
        if (step.alpha)
            peak = std::max(peak, *step.alpha);
        closed = step.close;
        ++ticks;
    }
    EXPECT_TRUE(closed);
    EXPECT_NEAR(ticks, 181, 1);
    EXPECT_NEAR(peak, 1.0, 0.03);
}

// Text fitting.

TEST(ToasterTextFitting, ShortensToTheLongestStartThatFits)
{
    const auto upTo = [](int n) { return [n](const QString &s) { return s.size() <= n; }; };
    struct Case {
        QString text;
        int room;
        QString shown;
    } const cases[] = {
        {QStringLiteral("Hello"), 8, QStringLiteral("Hello")},
        {QStringLiteral("Hello world"), 8, QStringLiteral("Hello...")},
        {QStringLiteral("Hello world"), 3, QStringLiteral("...")},
        {QStringLiteral("Hello world"), 0, QStringLiteral("...")},
        {QStringLiteral("안녕하세요 반갑습니다"), 6, QStringLiteral("안녕하...")},
        // An emoji is never cut in half.
        {QStringLiteral("ab\U0001F600cd"), 5, QStringLiteral("ab...")},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        EXPECT_EQ(ToasterTextFitting::fit(c.text, upTo(c.room)), c.shown);
    }
    // A very long text is cut first and still ends in dots.
    const QString longText(100000, QLatin1Char('x'));
    int layouts = 0;
    const QString shown = ToasterTextFitting::fit(longText, [&layouts](const QString &s) {
        ++layouts;
        return s.size() <= 50;
    });
    EXPECT_EQ(shown, QString(47, QLatin1Char('x')) + QStringLiteral("..."));
    EXPECT_LT(layouts, 20);
}

TEST(ToasterTextFitting, TheHeadLineShortensTheNameInsideItsFormat)
{
    const auto upTo = [](int n) { return [n](const QString &s) { return s.size() <= n; }; };
    EXPECT_EQ(ToasterTextFitting::fitFormatted(QStringLiteral("%1 says:"), QStringLiteral("Bob"), upTo(14)),
              QStringLiteral("Bob says:"));
    EXPECT_EQ(ToasterTextFitting::fitFormatted(QStringLiteral("%1 says:"), QStringLiteral("Bartholomew"), upTo(14)),
              QStringLiteral("Barth... says:"));
    // The name is data: a "%2" in it is not a placeholder.
    EXPECT_EQ(ToasterTextFitting::fitFormatted(QStringLiteral("%1 님의 대화"), QStringLiteral("%2%1"), upTo(40)),
              QStringLiteral("%2%1 님의 대화"));
}

// The types.

TEST(ToasterRules, DispatchIconsSoundsAndMarksByType)
{
    struct Case {
        const char *type;
        ToasterKind kind;
        const char *icon;
        const char *sound;
        int group;
    } const cases[] = {
        {"CHAT", ToasterKind::Chat, "ToastIconChat", "recv_chat", 0},
        {"LGIN", ToasterKind::Login, "ToastIconLogin", "buddy_login", 0},
        {"MEMO", ToasterKind::Memo, "ToastIconMemo", "recv_memo", 0},
        {"MAIL", ToasterKind::Mail, "ToastIconMail", "minicubby", 0},
        {"REML", ToasterKind::Mail, "ToastIconMail", "minicubby", 0},
        {"FILE", ToasterKind::File, "ToastIconChat", "trans_comp", 0},
        {"MCNT", ToasterKind::MultiLogin, "toast_device", "minicubby", 0},
        {"MEMOCNT", ToasterKind::None, "ToastIconMemo", "minicubby", 0},
        {"ORRP", ToasterKind::SisterService, "ToastIconOrchard", "minicubby", 1},
        {"Q7PC", ToasterKind::SisterService, "ToastIconOrchard", "minicubby", 1},
        {"NCHP", ToasterKind::SisterService, "ToastIconHome", "minicubby", 2},
        {"7QAP", ToasterKind::SisterService, "ToastIconOrchard", "minicubby", 2},
        {"TNSC", ToasterKind::SisterService, "ToastIconOrchard", "minicubby", 3},
        {"Q7ML", ToasterKind::SisterService, "ToastIconOrchard", "minicubby", 3},
        {"XXXX", ToasterKind::None, "ToastIconOrchard", "minicubby", 0},
        {"chat", ToasterKind::None, "ToastIconOrchard", "minicubby", 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.type);
        const QString type = QLatin1String(c.type);
        EXPECT_EQ(ToasterRules::kindForSlideType(type), c.kind);
        EXPECT_EQ(ToasterRules::defaultIconForSlideType(type), QLatin1String(c.icon));
        EXPECT_EQ(ToasterRules::defaultSoundForSlideType(type), QLatin1String(c.sound));
        EXPECT_EQ(ToasterRules::sisterGroupForSlideType(type), c.group);
    }
    EXPECT_TRUE(ToasterRules::sisterServiceMarkForGroup(1));
    EXPECT_FALSE(ToasterRules::personalPageMarkForGroup(1));
    EXPECT_TRUE(ToasterRules::personalPageMarkForGroup(2));
    EXPECT_FALSE(ToasterRules::sisterServiceMarkForGroup(2));
    EXPECT_FALSE(ToasterRules::personalPageMarkForGroup(3) || ToasterRules::sisterServiceMarkForGroup(3));
}

// Skins.

TEST(SlideWindowSkins, RectanglesAreMeasuredFromTheBottomLeft)
{
    struct Case {
        const char *text;
        std::optional<QRect> rect;
    } const cases[] = {
        {"{{10, 83}, {32, 32}}", QRect(10, 10, 32, 32)},
        {"{{0,0},{175,125}}", QRect(0, 0, 175, 125)},
        {" { { 46.4 , 9 } , { 122 , 92 } } ", QRect(46, 24, 122, 92)},
        {"{{-5, 0}, {10, 10}}", QRect(-5, 115, 10, 10)},
        {"{10, 83, 32, 32}", std::nullopt},
        {"{{10, 83}, {-32, 32}}", std::nullopt},
        {"{{a, 83}, {32, 32}}", std::nullopt},
        {"{{1e9, 0}, {32, 32}}", std::nullopt},
        {"", std::nullopt},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(SlideWindowSkins::rectFromString(QLatin1String(c.text)), c.rect);
    }
    EXPECT_EQ(SlideWindowSkins::filterForString(QStringLiteral("C1")), 0);
    EXPECT_EQ(SlideWindowSkins::filterForString(QStringLiteral("orMainCMN")), 1);
    EXPECT_EQ(SlideWindowSkins::filterForString(QStringLiteral("c2")), 2);
    EXPECT_EQ(SlideWindowSkins::filterForString(QString()), 2);
}

TEST(SlideWindowSkins, ASkinNeedsVersionBaseAndItsTypeAndLoadsOnlyLocalImages)
{
    const QUrl plist = QUrl::fromLocalFile(QStringLiteral("/opt/parley/SlideWindow/SlideWindow.plist"));
    const QVariantMap skin{{QStringLiteral("icon"), QStringLiteral("login.png")},
                           {QStringLiteral("backgound"), QStringLiteral("bg.png")},
                           {QStringLiteral("text_pos"), QStringLiteral("{{46, 9}, {122, 92}}")},
                           {QStringLiteral("code"), QStringLiteral("B003")},
                           {QStringLiteral("filterType"), QStringLiteral("ormaincmn")}};
    const QVariantMap full{{QStringLiteral("version"), 1},
                           {QStringLiteral("base_url"), QStringLiteral("images")},
                           {QStringLiteral("LGIN"), skin}};

    const std::optional<SlideWindowSkin> found = SlideWindowSkins(full, plist).skinForType(QStringLiteral("LGIN"));
    ASSERT_TRUE(found);
    EXPECT_EQ(found->iconFile, QStringLiteral("/opt/parley/SlideWindow/images/login.png"));
    EXPECT_EQ(found->backgroundFile, QStringLiteral("/opt/parley/SlideWindow/images/bg.png"));
    EXPECT_EQ(found->textRect, QRect(46, 24, 122, 92));
    EXPECT_FALSE(found->iconRect);
    EXPECT_EQ(found->code, QStringLiteral("B003"));
    EXPECT_EQ(found->filter, 1);

    struct Case {
        const char *what;
        QVariantMap dictionary;
        const char *type;
    } const missing[] = {
        {"no version", QVariantMap{{QStringLiteral("base_url"), QStringLiteral("images")}, {QStringLiteral("LGIN"), skin}}, "LGIN"},
        {"no base", QVariantMap{{QStringLiteral("version"), 1}, {QStringLiteral("LGIN"), skin}}, "LGIN"},
        {"no entry for the type", full, "CHAT"},
    };
    for (const Case &c : missing) {
        SCOPED_TRACE(c.what);
        EXPECT_FALSE(SlideWindowSkins(c.dictionary, plist).skinForType(QLatin1String(c.type)));
    }

    // A skin served from the network is never fetched; "pref" keeps the
    // default; a name climbing out of the folder is refused.
    QVariantMap remote = full;
    remote.insert(QStringLiteral("base_url"), QStringLiteral("http://skins.example/toast"));
    EXPECT_TRUE(SlideWindowSkins(remote, plist).skinForType(QStringLiteral("LGIN"))->iconFile.isEmpty());
    QVariantMap odd = full;
    QVariantMap oddSkin = skin;
    oddSkin.insert(QStringLiteral("icon"), QStringLiteral("pref"));
    oddSkin.insert(QStringLiteral("backgound"), QStringLiteral("../../etc/passwd"));
    odd.insert(QStringLiteral("LGIN"), oddSkin);
    const std::optional<SlideWindowSkin> oddFound = SlideWindowSkins(odd, plist).skinForType(QStringLiteral("LGIN"));
    EXPECT_TRUE(oddFound->iconFile.isEmpty());
    EXPECT_TRUE(oddFound->backgroundFile.isEmpty());
}

TEST(SlideWindowSkins, OurSkinsCoverEveryTypeWeShow)
{
    const SlideWindowSkins skins =
        SlideWindowSkins::load(QStringLiteral(PARLEY_RESOURCE_BUILD_DIR "/SlideWindow/SlideWindow.plist"));
    const QStringList types{"LGIN", "CHAT", "MEMO", "MEMOCNT", "MAIL", "REML", "MCNT", "ORRP", "ORME", "ORFR",
                            "ORPC", "Q7ME", "Q7FR", "Q7PC", "ORHP", "Q7HP", "NCHP", "7QRP", "7QSC", "7QAP",
                            "Q7RP", "Q7RG", "Q7GF", "Q7GR", "ORRG", "TNRP", "TNAP", "TNSC", "Q7ML"};
    for (const QString &type : types) {
        SCOPED_TRACE(type.toStdString());
        const std::optional<SlideWindowSkin> skin = skins.skinForType(type);
        ASSERT_TRUE(skin);
        EXPECT_TRUE(QFileInfo(skin->backgroundFile).isFile()) << skin->backgroundFile.toStdString();
        ASSERT_TRUE(skin->textRect);
        EXPECT_TRUE(QRect(0, 0, 175, 125).contains(*skin->textRect));
        EXPECT_TRUE(QRect(0, 0, 175, 125).contains(*skin->closeButtonRect));
        // The text does not run under the close button.
        EXPECT_FALSE(skin->textRect->intersects(*skin->closeButtonRect));
    }
    // The classic sister service's notices hide in Q7 and Tarn modes, Q7's
    // show only about the own home; the others always pass.
    EXPECT_EQ(skins.slideFilterTypeForSlideType(QStringLiteral("ORRP")), 0);
    EXPECT_EQ(skins.slideFilterTypeForSlideType(QStringLiteral("Q7RP")), 1);
    EXPECT_EQ(skins.slideFilterTypeForSlideType(QStringLiteral("TNRP")), 2);
    EXPECT_TRUE(SlideWindowSkins::load(QStringLiteral("/nonexistent/SlideWindow.plist")).dictionary().isEmpty());
}

// Own status.

TEST(OwnStatusTable, TitlesToImagesAndCodes)
{
    struct Case {
        const char *key;
        const char *image;
        int pickedCode;
        int setCode;
    } const cases[] = {
        {"Online", "32x32_normal", 1, 1},
        {"Away", "32x32_other", 3, 6},
        {"Busy", "32x32_busy", 2, 2},
        {"OnThePhone", "32x32_busy", 4, 4},
        {"OnThemeeting", "32x32_other", 5, 5},
        {"AppearOffline", "32x32_offline", 0, 0},
        {"SetMyNickName", "", -1, -1},
        {"ShowMyProfile", "", -1, -1},
        {"SetMyProfile", "", -1, -1},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.key);
        const QString title = KCLocalizedString(QLatin1String(c.key));
        const std::optional<OwnStatus> entry = OwnStatusTable::entryForTitle(title);
        ASSERT_TRUE(entry);
        EXPECT_EQ(entry->image, QLatin1String(c.image));
        EXPECT_EQ(OwnStatusTable::codeForTitle(title, true), c.pickedCode);
        EXPECT_EQ(OwnStatusTable::codeForTitle(title, false), c.setCode);
        EXPECT_EQ(OwnStatusTable::isCommandTitle(title), c.pickedCode < 0);
    }
    // The untranslated word is not the Korean title.
    EXPECT_FALSE(OwnStatusTable::entryForTitle(QStringLiteral("AppearOffline")));
    EXPECT_EQ(OwnStatusTable::codeForTitle(QStringLiteral("Somewhere"), true), -1);
    EXPECT_EQ(OwnStatusTable::keyForServerCode(3), QStringLiteral("Away"));
    EXPECT_TRUE(OwnStatusTable::keyForServerCode(6).isNull());
    EXPECT_TRUE(OwnStatusTable::keyForServerCode(-1).isNull());
}

// Idle.

namespace {

// One step of a scenario: the input-idle seconds read, what the server did
// just before (nothing, declared idle, reported Online), and what follows.
struct IdleStep {
    const char *what;
    double t;
    enum Server { None, DeclaresIdle, ReportsOnline } server;
    IdleDetector::Action action;
    int idleType;
    double nextDelay;
};

void runScenario(IdleDetector &detector, const std::vector<IdleStep> &steps, double awayInterval)
{
    for (const IdleStep &s : steps) {
        SCOPED_TRACE(s.what);
        if (s.server == IdleStep::DeclaresIdle)
            detector.goIdleFromServer(s.t);
        else if (s.server == IdleStep::ReportsOnline)
            detector.setNotiOnline(true);
        const IdleDetector::Step step = detector.checkIdle(true, s.t, awayInterval);
        EXPECT_EQ(step.action, s.action);
        EXPECT_EQ(detector.idleType(), s.idleType);
        EXPECT_TRUE(step.continues);
        EXPECT_EQ(step.nextDelay, s.nextDelay);
    }
}

} // namespace

TEST(IdleDetector, AwayAfterTheIntervalAndBackAtTheNextInput)
{
    IdleDetector detector;
    ASSERT_TRUE(detector.startChain(true, true, 1));
    using A = IdleDetector::Action;
    // Ten minutes: Away once more than 600 s passed, checked every 5 s; every second while idle.
    runScenario(detector,
                {{"active", 12, IdleStep::None, A::None, 0, 5},
                 {"at the interval", 600, IdleStep::None, A::None, 0, 5},
                 {"past it", 603, IdleStep::None, A::GoIdle, 1, 1},
                 {"still away", 604, IdleStep::None, A::None, 1, 1},
                 {"input", 0.4, IdleStep::None, A::StopIdle, 0, 5}},
                600);
}

TEST(IdleDetector, TheServersIdleAndOnlineReports)
{
    using A = IdleDetector::Action;
    {
        SCOPED_TRACE("the server declares idle while the user types");
        IdleDetector detector;
        ASSERT_TRUE(detector.startChain(true, true, 1));
        runScenario(detector,
                    {{"active", 30, IdleStep::None, A::None, 0, 5},
                     {"declared, then typing", 2, IdleStep::DeclaresIdle, A::None, 2, 1}},
                    600);
        // The check after the report sees input since.
        runScenario(detector, {{"typing on", 0.5, IdleStep::None, A::StopIdle, 0, 5}}, 600);
    }
    {
        SCOPED_TRACE("the user stays away, then the server reports Online");
        IdleDetector detector;
        ASSERT_TRUE(detector.startChain(true, true, 1));
        runScenario(detector,
                    {{"away", 700, IdleStep::None, A::GoIdle, 1, 1},
                     {"Online by the server", 701, IdleStep::ReportsOnline, A::StopIdle, 3, 5},
                     {"not yet a full interval more", 1300, IdleStep::None, A::None, 3, 5},
                     {"a full interval more", 1302, IdleStep::None, A::GoIdle, 2, 1},
                     {"input", 1, IdleStep::None, A::StopIdle, 0, 5}},
                    600);
    }
    {
        SCOPED_TRACE("back at the keyboard after the server's Online");
        IdleDetector detector;
        ASSERT_TRUE(detector.startChain(true, true, 1));
        runScenario(detector,
                    {{"away", 700, IdleStep::None, A::GoIdle, 1, 1},
                     {"Online by the server", 701, IdleStep::ReportsOnline, A::StopIdle, 3, 5},
                     {"input: no status change", 3, IdleStep::None, A::None, 0, 5}},
                    600);
    }
}

TEST(IdleDetector, AChainStartsOnceAndEndsWhenSignedOut)
{
    IdleDetector detector;
    EXPECT_FALSE(detector.startChain(false, true, 1)); // check away off
    EXPECT_FALSE(detector.startChain(true, false, 1)); // signed out
    EXPECT_FALSE(detector.startChain(true, true, 2));  // Busy
    EXPECT_TRUE(detector.startChain(true, true, 1));
    EXPECT_FALSE(detector.startChain(true, true, 1)); // one chain at a time
    const IdleDetector::Step step = detector.checkIdle(false, 900, 600);
    EXPECT_FALSE(step.continues);
    EXPECT_EQ(step.action, IdleDetector::Action::None);
    EXPECT_FALSE(detector.checking());
    EXPECT_TRUE(detector.startChain(true, true, 1));
    detector.setIdleType(7);
    EXPECT_FALSE(detector.checkIdle(true, 0, 600).continues);
}

TEST(IdleSources, LogindIdleHintsAndTheChainOrder)
{
    const qint64 now = 1'700'000'000'000'000;
    EXPECT_EQ(LogindIdleSource::idleSeconds(true, quint64(now - 90'000'000), now), 90.0);
    EXPECT_EQ(LogindIdleSource::idleSeconds(false, quint64(now - 90'000'000), now), 0.0);
    EXPECT_EQ(LogindIdleSource::idleSeconds(true, quint64(now + 5), now), 0.0);
    EXPECT_FALSE(LogindIdleSource::idleSeconds(false, 0, now)); // the desktop never sets it

    struct Fixed final : IdleSource {
        explicit Fixed(std::optional<double> v, int &asked) : value(v), asked(asked) {}
        void requestIdleTime(Answer answer) override
        {
            ++asked;
            answer(value);
        }
        std::optional<double> value;
        int &asked;
    };
    int askedFirst = 0;
    int askedSecond = 0;
    int askedThird = 0;
    std::vector<std::unique_ptr<IdleSource>> sources;
    sources.push_back(std::make_unique<Fixed>(std::nullopt, askedFirst));
    sources.push_back(std::make_unique<Fixed>(42.0, askedSecond));
    sources.push_back(std::make_unique<Fixed>(7.0, askedThird));
    IdleSourceChain chain(std::move(sources));
    std::optional<double> got;
    chain.requestIdleTime([&got](std::optional<double> s) { got = s; });
    EXPECT_EQ(got, 42.0);
    EXPECT_EQ(askedFirst, 1);
    EXPECT_EQ(askedThird, 0);
    // The one that answered is asked first from now on.
    chain.requestIdleTime([&got](std::optional<double> s) { got = s; });
    EXPECT_EQ(askedFirst, 1);
    EXPECT_EQ(askedSecond, 2);
    EXPECT_EQ(chain.currentIndex(), 1);
}

// The tray's badge.

TEST(DockBadge, TheCountSitsOnTheBackgroundInTheTopRightCorner)
{
    QImage icon(64, 64, QImage::Format_ARGB32_Premultiplied);
    icon.fill(QColor(0, 0, 255));
    QImage badge(36, 36, QImage::Format_ARGB32_Premultiplied);
    badge.fill(QColor(255, 0, 0));

    const QImage plain = DockBadge::compose(icon, badge, 0);
    EXPECT_EQ(plain, icon.convertToFormat(QImage::Format_ARGB32_Premultiplied));

    const QImage two = DockBadge::compose(icon, badge, 2);
    ASSERT_EQ(two.size(), icon.size());
    // Outside the badge the icon is untouched; inside it the background shows
    // with white text near its middle and none at its edges.
    EXPECT_EQ(two.pixelColor(5, 60), QColor(0, 0, 255));
    EXPECT_EQ(two.pixelColor(27, 1), QColor(0, 0, 255));
    EXPECT_EQ(two.pixelColor(29, 1), QColor(255, 0, 0));
    EXPECT_EQ(two.pixelColor(62, 34), QColor(255, 0, 0));
    int white = 0;
    for (int y = 0; y < 36; ++y)
        for (int x = 28; x < 64; ++x)
            if (two.pixelColor(x, y).green() > 200)
                ++white;
    EXPECT_GT(white, 20);
    // Drawn anew each time: "1" after "2" leaves no trace of the "2".
    EXPECT_NE(DockBadge::compose(icon, badge, 1), two);
    EXPECT_EQ(DockBadge::compose(icon, badge, 2), two);

    // Lifted three above the middle (a downward y here).
    EXPECT_EQ(DockBadge::textOrigin(QSizeF(36, 36), QSizeF(16, 30)), QPointF(10, 0));

    // Longer numbers shrink to stay off the badge's edges, and still show.
    for (int count : {12, 99, 999}) {
        SCOPED_TRACE(count);
        const QImage many = DockBadge::compose(icon, badge, count);
        int inside = 0;
        int atTheEdges = 0;
        for (int y = 0; y < 36; ++y) {
            for (int x = 28; x < 64; ++x) {
                if (many.pixelColor(x, y).green() <= 200)
                    continue;
                const bool edge = x < 28 + DockBadge::kTextInset - 2 || x >= 64 - DockBadge::kTextInset + 2;
                ++(edge ? atTheEdges : inside);
            }
        }
        EXPECT_EQ(atTheEdges, 0);
        EXPECT_GT(inside, 20);
    }
}

// Sounds.

TEST(SoundPlayer, PlaysOurSoundWithTheFirstPlayerInstalled)
{
    QTemporaryDir folder;
    QFile sound(folder.filePath(QStringLiteral("buddy_login.wav")));
    ASSERT_TRUE(sound.open(QIODevice::WriteOnly));
    sound.write("RIFF");
    sound.close();

    struct Case {
        const char *what;
        QStringList installed;
        const char *name;
        bool plays;
        QString program;
        QStringList arguments;
    } const cases[] = {
        {"PipeWire first", {"pw-play", "paplay", "aplay"}, "buddy_login", true, "/usr/bin/pw-play",
         {folder.filePath(QStringLiteral("buddy_login.wav"))}},
        {"PulseAudio", {"paplay", "aplay"}, "buddy_login", true, "/usr/bin/paplay",
         {folder.filePath(QStringLiteral("buddy_login.wav"))}},
        {"ALSA quietly", {"aplay"}, "buddy_login", true, "/usr/bin/aplay",
         {QStringLiteral("-q"), folder.filePath(QStringLiteral("buddy_login.wav"))}},
        {"no player", {}, "buddy_login", false, {}, {}},
        {"no such sound", {"aplay"}, "recv_chat", false, {}, {}},
        {"not a plain name", {"aplay"}, "../buddy_login", false, {}, {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        QString started;
        QStringList arguments;
        const SoundPlayer player(
            folder.path(),
            [&c](const QString &program) {
                return c.installed.contains(program) ? QStringLiteral("/usr/bin/") + program : QString();
            },
            [&](const QString &program, const QStringList &args) {
                started = program;
                arguments = args;
                return true;
            });
        EXPECT_EQ(player.play(QLatin1String(c.name)), c.plays);
        EXPECT_EQ(started, c.program);
        EXPECT_EQ(arguments, c.arguments);
    }
}

TEST(SoundPlayer, OurSoundsAreShortWaveFiles)
{
    for (const char *name : {"login", "buddy_login", "recv_chat", "recv_memo", "trans_comp", "minicubby"}) {
        SCOPED_TRACE(name);
        QFile file(QStringLiteral(PARLEY_RESOURCE_BUILD_DIR "/Sounds/%1.wav").arg(QLatin1String(name)));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        ASSERT_GT(bytes.size(), 44);
        EXPECT_EQ(bytes.left(4), QByteArray("RIFF"));
        EXPECT_EQ(bytes.mid(8, 8), QByteArray("WAVEfmt "));
        // PCM, mono, 22 050 Hz, 16 bits; under half a second.
        const auto u16 = [&bytes](int at) { return uchar(bytes[at]) | uchar(bytes[at + 1]) << 8; };
        EXPECT_EQ(u16(20), 1);
        EXPECT_EQ(u16(22), 1);
        EXPECT_EQ(u16(24) | u16(26) << 16, 22050);
        EXPECT_EQ(u16(34), 16);
        const int dataBytes = u16(40) | u16(42) << 16;
        EXPECT_EQ(dataBytes, bytes.size() - 44);
        EXPECT_LT(dataBytes, 22050);
        // Not silence.
        int loud = 0;
        for (int i = 44; i + 1 < bytes.size(); i += 2)
            if (std::abs(qint16(u16(i))) > 3000)
                ++loud;
        EXPECT_GT(loud, 100);
    }
}
