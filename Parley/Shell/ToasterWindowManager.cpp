#include "ToasterWindowManager.h"

#include "BuddyManagement/PLBuddyManager.h"
#include "BuddyManagement/PLMyInfoManager.h"
#include "DesktopNoticeBridge.h"
#include "ImageRegistry.h"
#include "KCResourceDirectory.h"
#include "KCToasterWindow.h"
#include "ToasterFade.h"
#include "ToasterPlacement.h"
#include "ToasterRules.h"
#include "Utils/KCSounds.h"
#include "Utils/KCUtilities.h"
#include "Utils/PrefsManager.h"

#include <QGuiApplication>
#include <QScreen>
#include <QStringDecoder>

namespace parley::shell {

namespace {

QString text(const char *key) { return KCLocalizedString(QLatin1String(key)); }

// The sender of a mail notice comes percent-escaped in UTF-8; anything that
// does not decode names nobody.
QString decodedMailSender(const QString &escaped)
{
    const QByteArray bytes = QByteArray::fromPercentEncoding(escaped.toUtf8());
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString decoded = utf8.decode(bytes);
    return utf8.hasError() ? QString() : decoded;
}

QRect primaryScreenArea()
{
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        return screen->availableGeometry();
    return QRect(0, 0, 1024, 768);
}

} // namespace

ToasterWindowManager::ToasterWindowManager(ToasterActions &actions, SlideWindowSkins skins,
                                           std::function<QRect()> availableGeometry)
    : mActions(actions),
      mSkins(std::move(skins)),
      mAvailableGeometry(availableGeometry ? std::move(availableGeometry) : primaryScreenArea)
{
    mTimer.setInterval(ToasterFade::kTickMilliseconds);
    connect(&mTimer, &QTimer::timeout, this, &ToasterWindowManager::refreshTimer);
}

ToasterWindowManager::~ToasterWindowManager()
{
    mTimer.stop();
    const QList<ToasterWindowController *> toasters = mToasterList;
    mToasterList.clear();
    qDeleteAll(toasters);
}

QString ToasterWindowManager::defaultSkinsPath() { return KCResourcePath(QStringLiteral("SlideWindow/SlideWindow.plist")); }

// Dispatch.

void ToasterWindowManager::showToasterWindow(const QString &type, const QString &buddyString, const QString &message,
                                             QWidget *popWindow, const QString &url, const QVariantMap &userInfo)
{
    switch (ToasterRules::kindForSlideType(type)) {
    case ToasterKind::Chat: showToasterChat(buddyString, message, popWindow, userInfo); break;
    case ToasterKind::Login: showToasterLogin(buddyString, popWindow, userInfo); break;
    case ToasterKind::Memo: showToasterMemo(message, popWindow, userInfo); break;
    case ToasterKind::Mail: showToasterMail(buddyString, message, popWindow, userInfo, type); break;
    case ToasterKind::File: break;
    case ToasterKind::SisterService: {
        const int group = ToasterRules::sisterGroupForSlideType(type);
        showToasterUrl(type, url, message, userInfo, ToasterRules::personalPageMarkForGroup(group),
                       ToasterRules::sisterServiceMarkForGroup(group));
        break;
    }
    case ToasterKind::MultiLogin: showToasterSessionManager(message, popWindow, userInfo); break;
    case ToasterKind::None: break;
    }
}

void ToasterWindowManager::showToasterWindow(const QString &type, const QVariantMap &userInfo)
{
    const char *key = type == QLatin1String("MEMOCNT") ? "MemoNotiMessage"
                    : type == QLatin1String("MAIL")    ? "MailNotiMessage"
                                                       : nullptr;
    if (!key)
        return;
    showToasterText(type, text(key).arg(userInfo.value(QStringLiteral("count")).toInt()));
}

void ToasterWindowManager::showToasterText(const QString &type, const QString &message)
{
    ToasterWindowController *toaster = newToaster(type, nullptr);
    toaster->setMessage(message);
    showToast(toaster);
}

// Builders.

ToasterWindowController *ToasterWindowManager::newToaster(const QString &type, QWidget *popWindow)
{
    auto *toaster = new ToasterWindowController;
    toaster->setDelegate(this);
    slideWindowSetting(type, toaster);
    toaster->setToasterType(type);
    toaster->setSound(ToasterRules::defaultSoundForSlideType(type));
    toaster->setPopWindow(popWindow);
    return toaster;
}

QString ToasterWindowManager::slideWindowSetting(const QString &type, ToasterWindowController *toaster) const
{
    const std::optional<SlideWindowSkin> skin = mSkins.skinForType(type);
    if (!skin)
        return {};
    toaster->setIconImage(ImageRegistry::pixmap(ToasterRules::defaultIconForSlideType(type)));
    if (!skin->iconFile.isEmpty()) {
        const QPixmap icon(skin->iconFile);
        if (!icon.isNull())
            toaster->setIconImage(icon);
    }
    if (!skin->backgroundFile.isEmpty()) {
        const QPixmap background(skin->backgroundFile);
        if (!background.isNull())
            toaster->setBackgroundImage(background);
    }
    if (skin->iconRect)
        toaster->setIconRect(*skin->iconRect);
    if (skin->closeButtonRect)
        toaster->setCloseButtonRect(*skin->closeButtonRect);
    if (skin->textRect)
        toaster->setTextRect(*skin->textRect);
    return skin->code;
}

void ToasterWindowManager::showToasterLogin(const QString &buddyString, QWidget *popWindow,
                                            const QVariantMap &userInfo)
{
    if (!PrefsManager::noti_IsShowLoginedAlarm())
        return;
    const PLBuddyPtr buddy =
        PLBuddyManager::sharedManager().buddyForID(userInfo.value(QStringLiteral("velaID")).toString());
    if (!buddy || !buddy->buddyFlagFLBit() || PLMyInfoManager::sharedManager().status() == 2)
        return;
    ToasterWindowController *toaster = newToaster(QStringLiteral("LGIN"), popWindow);
    toaster->setMessage(text("LoginFromBuddy").arg(buddyString));
    toaster->setUserInfo(userInfo);
    showToast(toaster);
}

void ToasterWindowManager::showToasterChat(const QString &buddyString, const QString &message, QWidget *popWindow,
                                           const QVariantMap &userInfo)
{
    ToasterWindowController *toaster = newToaster(QStringLiteral("CHAT"), popWindow);
    toaster->setMessage(message, buddyString, text("ChatBuddyFormat"));
    toaster->setUserInfo(userInfo);
    showToast(toaster);
}

void ToasterWindowManager::showToasterMemo(const QString &message, QWidget *popWindow, const QVariantMap &userInfo)
{
    // Only when the memo is to be announced, not opened.
    if (PrefsManager::noti_showMemoType() != 0)
        return;
    ToasterWindowController *toaster = newToaster(QStringLiteral("MEMO"), popWindow);
    toaster->setMessage(message);
    toaster->setUserInfo(userInfo);
    showToast(toaster);
}

void ToasterWindowManager::showToasterMail(const QString &buddyString, const QString &message, QWidget *popWindow,
                                           const QVariantMap &userInfo, const QString &type)
{
    if (!PrefsManager::noti_IsShowMailAlarm())
        return;
    ToasterWindowController *toaster = newToaster(type, popWindow);
    if (type == QLatin1String("MAIL"))
        toaster->setMessage(text("ReceivedMailFromBuddy").arg(decodedMailSender(buddyString)));
    else
        toaster->setMessage(message);
    toaster->setUserInfo(userInfo);
    showToast(toaster);
}

void ToasterWindowManager::showToasterSessionManager(const QString &message, QWidget *popWindow,
                                                     const QVariantMap &userInfo)
{
    ToasterWindowController *toaster = newToaster(QStringLiteral("MCNT"), popWindow);
    toaster->setMessage(message);
    toaster->setUserInfo(userInfo);
    showToast(toaster);
}

void ToasterWindowManager::showToasterUrl(const QString &type, const QString &url, const QString &message,
                                          const QVariantMap &userInfo, bool isMiniNookNew, bool isOrchardHomeNew)
{
    if (!PrefsManager::orchard_Islinked() && !PrefsManager::parley_Islinked())
        return;
    const PLMyInfoManager &me = PLMyInfoManager::sharedManager();
    const bool tarn = me.isTarnMode();
    const bool q7 = me.isQ7Mode();
    const QVariant from = userInfo.value(QStringLiteral("from"));
    switch (mSkins.slideFilterTypeForSlideType(type)) {
    case 0:
        if (tarn || q7)
            return;
        break;
    case 1:
        if (!from.isValid() || from.toString() != (q7 ? me.q7CMN() : me.orchardCMN()))
            return;
        break;
    default: break;
    }

    auto *toaster = new ToasterWindowController;
    const QString code = slideWindowSetting(type, toaster);
    if (PrefsManager::orchard_isNewTextAlarm()) {
        toaster->setDelegate(this);
        toaster->setMessage(message);
        toaster->setToasterType(type);
        toaster->setSound(ToasterRules::defaultSoundForSlideType(type));
        toaster->setUserInfo(userInfo);
        toaster->setShowUrl(url, type, code, -1);
        showToast(toaster);
    } else {
        delete toaster;
    }
    if (isMiniNookNew)
        mActions.setMiniNookNew(true);
    if (isOrchardHomeNew)
        mActions.setOrchardNew(true);

    // The click context ends before its first missing value.
    QVariantList context{QStringLiteral("ORRP"), type};
    if (!code.isNull()) {
        context << code << -1;
        if (!url.isEmpty())
            context << url;
    }
    DesktopNoticeBridge::notifyWithTitle(text("MinicubbyNotify"), message, QStringLiteral("Parley MiniCubby"),
                                         QStringLiteral("ToastIconOrchard"), 0, false, context);
    if (PrefsManager::noti_IsUseSound() && PrefsManager::noti_IsUseSoundForMininook())
        KCPlayMininookSound(PrefsManager::currentUserID());
}

// Placement and the clock.

QRect ToasterWindowManager::availableWindowRect() const
{
    QList<QRect> shown;
    for (const ToasterWindowController *toaster : mToasterList)
        shown.append(toaster->window()->geometry());
    return ToasterPlacement(mAvailableGeometry()).availableWindowRect(shown);
}

void ToasterWindowManager::showToast(ToasterWindowController *toaster)
{
    if (!toaster)
        return;
    toaster->showWindow(availableWindowRect());
    mToasterList.append(toaster);
    if (!mTimer.isActive())
        mTimer.start();
}

void ToasterWindowManager::refreshTimer()
{
    if (mToasterList.isEmpty()) {
        mTimer.stop();
        return;
    }
    // A notice closing in its tick leaves the list; the copy keeps the walk whole.
    const QList<ToasterWindowController *> toasters = mToasterList;
    for (ToasterWindowController *toaster : toasters) {
        if (mToasterList.contains(toaster))
            toaster->refreshTimer();
    }
}

bool ToasterWindowManager::isToastWindow(const QWidget *window)
{
    for (const ToasterWindowController *toaster : std::as_const(mToasterList)) {
        if (toaster->window() == window)
            return true;
    }
    return false;
}

void ToasterWindowManager::toasterWindowDidClose(ToasterWindowController *controller)
{
    if (mToasterList.removeOne(controller))
        controller->deleteLater();
}

void ToasterWindowManager::reset()
{
    mTimer.stop();
    // Last shown first.
    const QList<ToasterWindowController *> toasters = mToasterList;
    for (auto it = toasters.crbegin(); it != toasters.crend(); ++it)
        (*it)->closeAction();
}

} // namespace parley::shell
