#include "PLSessionManager.h"

#include "BridgeForm.h"
#include "BuddyManagement/PLMyInfoManager.h"
#include "KCAlertPresenter.h"
#include "KCDefaultFont.h"
#include "KCResourceDirectory.h"
#include "NotificationCenter.h"
#include "NotificationNames.h"
#include "UserDefaults.h"
#include "Utils/KCUtilities.h"
#include "WebPaneLoader.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace parley {

namespace {

const QString kStatusKey = QStringLiteral("statusSessionManager");
const QString kViewAgainKey = QStringLiteral("viewSessionManager");

QString text(const char *key) { return KCLocalizedString(QLatin1String(key)); }

UserDefaults &defaults() { return UserDefaults::standardUserDefaults(); }

QString iconPath(const char *name)
{
    return KCResourcePath(QStringLiteral("SessionList/") + QLatin1String(name) + QStringLiteral(".png"));
}

} // namespace

QPointer<PLSessionManager> PLSessionManager::sShared;

PLSessionManager *PLSessionManager::defaultController()
{
    if (!sShared)
        sShared = new PLSessionManager;
    return sShared;
}

bool PLSessionManager::isAvailable() { return !sShared.isNull(); }

SessionListIcons PLSessionManager::icons()
{
    return {iconPath("icon_computer"), iconPath("icon_mobile"), iconPath("icon_web"), iconPath("btn_logout")};
}

PLSessionManager::PLSessionManager() : QWidget(nullptr, Qt::Window)
{
    setObjectName(QStringLiteral("PLSessionManager"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFont(GetDefaultFontOfSize(12));
    setWindowTitle(text("LoginManager"));

    myPCName = new QLabel(this);
    myPCName->setTextFormat(Qt::PlainText);

    shell::WebPaneSettings settings;
    settings.javaScript = false;
    settings.javaScriptCanOpenWindows = false;
    settings.transparentBackground = true;
    settings.interceptLinkClicks = true;
    mWebPane = shell::WebPaneLoader::create(this, settings);
    if (mWebPane) {
        otherPCList = mWebPane->widget();
        shell::WebPaneCallbacks callbacks;
        callbacks.linkClicked = [this](const QUrl &url) { linkClicked(url); };
        callbacks.loadFinished = [this](bool) { mListLoaded = true; };
        mWebPane->setCallbacks(callbacks);
    } else {
        // Without the web views the rows still show, in a plain text view.
        auto *browser = new QTextBrowser(this);
        browser->setOpenLinks(false);
        browser->setFrameShape(QFrame::NoFrame);
        connect(browser, &QTextBrowser::anchorClicked, this, &PLSessionManager::linkClicked);
        otherPCList = browser;
    }
    otherPCList->setObjectName(QStringLiteral("otherPCList"));
    otherPCList->setMinimumHeight(150);

    allLogoutButton = new QPushButton(text("AllLogoutButton"), this);
    connect(allLogoutButton, &QPushButton::clicked, this, &PLSessionManager::clickAllLogout);
    auto *statusLabel = new QLabel(text("SessionStatusLabel"), this);
    statusLabel->setWordWrap(true);
    status = new QComboBox(this);
    status->addItem(text("SessionStatusKeep"));
    for (const char *key : {"Online", "Away", "Busy", "OnThePhone", "OnThemeeting", "AppearOffline"})
        status->addItem(text(key));
    viewAgain = new QCheckBox(text("SessionViewAgain"), this);

    auto *frame = new QFrame(this);
    frame->setFrameShape(QFrame::StyledPanel);
    frame->setAutoFillBackground(true);
    frame->setBackgroundRole(QPalette::Base);
    auto *frameLayout = new QVBoxLayout(frame);
    frameLayout->setContentsMargins(2, 2, 2, 2);
    frameLayout->addWidget(otherPCList);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(allLogoutButton);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 14, 16, 14);
    layout->setSpacing(8);
    layout->addWidget(myPCName);
    layout->addWidget(frame, 1);
    layout->addLayout(buttons);
    layout->addSpacing(6);
    layout->addWidget(statusLabel);
    layout->addWidget(status);
    layout->addWidget(viewAgain);
    resize(380, 400);

    // windowDidLoad
    loadSetting();
}

PLSessionManager::~PLSessionManager() = default;

void PLSessionManager::loadSetting()
{
    mOldStatus = int(qBound<qint64>(0, defaults().integerForKey(kStatusKey), qint64(status->count() - 1)));
    status->setCurrentIndex(mOldStatus);
    viewAgain->setChecked(defaults().boolForKey(kViewAgainKey));
    const QString fontName = defaults().stringForKey(QStringLiteral("ChatFontName"));
    myPCName->setFont(fontName.isEmpty() ? GetDefaultFontOfSize(11) : QFont(fontName, 11));
    myPCName->setText(text("TypeMyPC").arg(PLMyInfoManager::sharedManager().dpPCName()));
    mModel.setOwnSessionKey(PLMyInfoManager::sharedManager().dpKey());
}

void PLSessionManager::removeAllList()
{
    mModel.removeAllList();
    reloadSessionList();
}

void PLSessionManager::addList(const QString &sessionKey, const QString &, const QString &, const QString &,
                               const QString &displayName, const QString &typeName)
{
    mModel.addList(sessionKey, displayName, typeName);
}

void PLSessionManager::reloadSessionList()
{
    const QString table = mModel.tableHTML(icons());
    mShownHTML = table.isEmpty() ? QLatin1String("<p>") + BridgeForm::escapeHTML(text("NoLoginDevice"))
            + QLatin1String("</p>")
                                 : table;
    const QString page = QLatin1String("<html><head><meta charset=\"utf-8\"><style>body{font-family:sans-serif;"
                                       "font-size:12px;margin:4px}td{padding:2px 4px}</style></head><body>")
        + mShownHTML + QLatin1String("</body></html>");
    // The rows' icons are files of the resource folder.
    const QUrl base = QUrl::fromLocalFile(KCResourcePath(QStringLiteral("SessionList/")));
    mListLoaded = false;
    if (mWebPane) {
        mWebPane->setHtml(page, base);
    } else if (auto *browser = qobject_cast<QTextBrowser *>(otherPCList)) {
        browser->setHtml(page);
        mListLoaded = true;
    }
}

void PLSessionManager::postKill(const QString &key, const QString &type, const QString &pcName)
{
    NotificationCenter::defaultCenter().post(QLatin1String(notifications::kSessionKill), this,
                                             {{QStringLiteral("killKey"), key},
                                              {QStringLiteral("killType"), type},
                                              {QStringLiteral("PCName"), pcName}});
}

void PLSessionManager::clickAllLogout()
{
    if (mModel.list().isEmpty())
        return;
    KCAlertRequest request;
    request.key = QStringLiteral("AllLocLogout");
    request.title = text("AllLocLogout");
    request.buttons = {text("OK"), text("Cancel")};
    request.parent = this;
    if (KCAlerts().ask(request).button != 0)
        return;
    if (mModel.list().isEmpty())
        return;
    postKill(mModel.list().first().sessionKey, QStringLiteral("E"), QString(QLatin1String("")));
}

void PLSessionManager::linkClicked(const QUrl &url)
{
    const qsizetype index = mModel.indexForLink(url);
    if (index < 0)
        return;
    const SessionListModel::Entry entry = mModel.list().at(index);
    KCAlertRequest request;
    request.key = QStringLiteral("OtherLocLogout");
    request.title = text("OtherLocLogout").arg(entry.displayName);
    request.buttons = {text("OK"), text("Cancel")};
    request.parent = this;
    if (KCAlerts().ask(request).button != 0)
        return;
    // The row may have gone while the question was open.
    const qsizetype now = mModel.indexForLink(url);
    if (now < 0)
        return;
    mModel.removeAt(now);
    reloadSessionList();
    postKill(entry.sessionKey, QStringLiteral("U"), entry.displayName);
}

void PLSessionManager::windowShouldClose()
{
    if (status->currentIndex() != mOldStatus)
        defaults().setInteger(status->currentIndex(), kStatusKey);
    defaults().setBool(viewAgain->isChecked(), kViewAgainKey);
    PLMyInfoManager::sharedManager().setIsAutoViewSessionManager(viewAgain->isChecked());
    defaults().synchronize();
    mModel.removeAllList();
}

void PLSessionManager::closeEvent(QCloseEvent *event)
{
    windowShouldClose();
    event->accept();
    // WA_DeleteOnClose: the next defaultController() makes a new window.
}

void SessionManagerWindowHost::showWindow()
{
    PLSessionManager *window = PLSessionManager::defaultController();
    window->show();
    window->raise();
    window->activateWindow();
}

void SessionManagerWindowHost::closeWindow()
{
    if (PLSessionManager::isAvailable())
        PLSessionManager::defaultController()->close();
}

void SessionManagerWindowHost::loadSetting() { PLSessionManager::defaultController()->loadSetting(); }

void SessionManagerWindowHost::removeAllList() { PLSessionManager::defaultController()->removeAllList(); }

void SessionManagerWindowHost::addList(const QString &sessionKey, const QString &mediaType, const QString &equipType,
                                       const QString &langOS, const QString &displayName, const QString &typeName)
{
    PLSessionManager::defaultController()->addList(sessionKey, mediaType, equipType, langOS, displayName, typeName);
}

void SessionManagerWindowHost::reloadSessionList() { PLSessionManager::defaultController()->reloadSessionList(); }

} // namespace parley
