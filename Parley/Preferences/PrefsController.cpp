#include "PrefsController.h"

#include "AutostartEntry.h"
#include "BuddyManagement/PLMyInfoManager.h"
#include "FirewallPane.h"
#include "GeneralPane.h"
#include "ImageRegistry.h"
#include "KCAlertPresenter.h"
#include "MessagePane.h"
#include "NotificationCenter.h"
#include "NotificationNames.h"
#include "NotificationPane.h"
#include "OrchardPane.h"
#include "PlugInPane.h"
#include "PrefsColorWell.h"
#include "PrefsEmoticonPalette.h"
#include "PrefsEmoticonTextEdit.h"
#include "PrefsLanguage.h"
#include "PrefsPaneGeometry.h"
#include "PrefsServices.h"
#include "PrefsShell.h"
#include "PrefsWidgets.h"
#include "PrivacyPane.h"
#include "UserDefaults.h"
#include "Utils/KCUtilities.h"
#include "VelaComPane.h"

#include <QAction>
#include <QActionGroup>
#include <QCloseEvent>
#include <QScreen>
#include <QShortcut>
#include <QToolBar>

namespace parley {

namespace {

PrefsController *gController = nullptr;

// Every pane is at least this wide, so that the window keeps its width
// while the user moves between panes of little content.
constexpr int kPaneMinimumWidth = 580;

constexpr PrefsPaneKind kAllPanes[] = {PrefsPaneKind::General, PrefsPaneKind::Notification, PrefsPaneKind::Message,
                                       PrefsPaneKind::Privacy, PrefsPaneKind::Firewall,     PrefsPaneKind::Plugin,
                                       PrefsPaneKind::Orchard, PrefsPaneKind::VelaCom};

} // namespace

PrefsController *PrefsController::defaultController()
{
    if (!gController)
        gController = new PrefsController;
    return gController;
}

bool PrefsController::isAvailable() { return gController != nullptr; }

PrefsController::PrefsController(QWidget *parent) : QMainWindow(parent), mColorWell(new PrefsColorWell(this))
{
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("Preferences"));
    // Escape closes the window as its close button does (saving).
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this, &QWidget::close);
    refreshContext();
    mContentHolder = new QWidget(this);
    setCentralWidget(mContentHolder);

    mGeneralView = new GeneralPane(mContext, *mColorWell, mContentHolder);
    mNotificationView = new NotificationPane(mContext, mContentHolder);
    mMessageView = new MessagePane(mContext, *mColorWell, mContentHolder);
    mPrivacyView = new PrivacyPane(mContext, mContentHolder);
    mFirewallView = new FirewallPane(mContext, mContentHolder);
    mPluginView = new PlugInPane(mContext, mContentHolder);
    mOrchardView = new OrchardPane(mContext, mLinking, mContentHolder);
    mVelaView = new VelaComPane(mContext, mLinking, mContentHolder);
    for (PrefsPaneKind kind : kAllPanes)
        paneFor(kind)->hide();
    connect(mGeneralView, &GeneralPane::emoticonPaletteRequested, this, &PrefsController::emoticonPaletteRequested);
    connect(mMessageView, &MessagePane::emoticonPaletteRequested, this, &PrefsController::emoticonPaletteRequested);

    setVelaMode(KCIsVelaID(PrefsServices::shell().currentUserID()));

    NotificationCenter &center = NotificationCenter::defaultCenter();
    center.addObserver(this, QLatin1String(notifications::kCPRFResultReceived), nullptr,
                       [this](const Notification &n) { linkingPane()->cprfResult(n.userInfo); });
    center.addObserver(this, QLatin1String(notifications::kErrorCodeReceived), nullptr,
                       [this](const Notification &n) { linkingPane()->errorReceived(n.userInfo); });

    readPreferences();
    for (PrefsPaneKind kind : kAllPanes)
        mStoredFrames.insert(kind, paneSize(paneFor(kind)));
}

PrefsController::~PrefsController()
{
    if (gController == this)
        gController = nullptr;
}

void PrefsController::refreshContext()
{
    PrefsShell &shell = PrefsServices::shell();
    mContext.shell = &shell;
    mContext.session = shell.session();
    mContext.signedIn = shell.loginStatus();
}

bool PrefsController::loginStatus() const { return PrefsServices::shell().loginStatus(); }

void PrefsController::setCurrentUserID(const QString &userID)
{
    if (userID.isNull())
        return;
    mContext.userID = userID;
    mContext.userPrefs = UserDefaults::standardUserDefaults().userDictionary(userID);
    readPreferences();
}

void PrefsController::setUserPrefs(const QVariantMap &userPrefs)
{
    mContext.userPrefs = userPrefs;
    readPreferences();
}

void PrefsController::setVelaMode(bool velaMode)
{
    mIsVelaMode = velaMode;
    setupToolbar();
}

void PrefsController::setWindowResizable(bool resizable)
{
    mIsWindowResizable = resizable;
    if (resizable) {
        setMinimumSize(0, 0);
        setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    } else {
        setFixedSize(size());
    }
}

void PrefsController::setupToolbar()
{
    if (mToolbar) {
        removeToolBar(mToolbar);
        delete mToolbar;
    }
    mToolbar = new QToolBar(this);
    mToolbar->setObjectName(QStringLiteral("PLPREFSIDENTI"));
    mToolbar->setMovable(false);
    mToolbar->setFloatable(false);
    mToolbar->toggleViewAction()->setEnabled(false);
    mToolbar->setContextMenuPolicy(Qt::PreventContextMenu);
    mToolbar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    mToolbar->setIconSize(QSize(32, 32));
    mToolbarGroup = new QActionGroup(mToolbar);
    mToolbarGroup->setExclusive(true);
    const QStringList ids =
        PrefsToolbarModel::itemIdentifiers(PLMyInfoManager::sharedManager().isGlobalMode(), mIsVelaMode);
    for (const QString &id : ids) {
        const auto item = PrefsToolbarModel::item(id);
        QAction *action = mToolbar->addAction(QString());
        action->setData(id);
        action->setCheckable(true);
        mToolbarGroup->addAction(action);
        if (!item)
            continue;
        const QString label = KCLocalizedString(item->labelKey);
        action->setText(label);
        action->setIcon(ImageRegistry::pixmap(item->image));
        const PrefsPaneKind pane = item->pane;
        connect(action, &QAction::triggered, this, [this, pane] { showPane(pane); });
        mItemList.insert(id, label);
    }
    addToolBar(Qt::TopToolBarArea, mToolbar);
    showGeneral();
}

QStringList PrefsController::toolbarItemIdentifiers() const
{
    QStringList ids;
    for (QAction *action : mToolbarGroup->actions())
        ids << action->data().toString();
    return ids;
}

QString PrefsController::selectedItemIdentifier() const
{
    QAction *checked = mToolbarGroup ? mToolbarGroup->checkedAction() : nullptr;
    return checked ? checked->data().toString() : QString();
}

PrefsPane *PrefsController::paneFor(PrefsPaneKind pane) const
{
    switch (pane) {
    case PrefsPaneKind::General: return mGeneralView;
    case PrefsPaneKind::Notification: return mNotificationView;
    case PrefsPaneKind::Message: return mMessageView;
    case PrefsPaneKind::Privacy: return mPrivacyView;
    case PrefsPaneKind::Firewall: return mFirewallView;
    case PrefsPaneKind::Plugin: return mPluginView;
    case PrefsPaneKind::Orchard: return mOrchardView;
    case PrefsPaneKind::VelaCom: return mVelaView;
    }
    return mGeneralView;
}

AccountLinkPane *PrefsController::linkingPane() const
{
    return mIsVelaMode ? static_cast<AccountLinkPane *>(mOrchardView) : mVelaView;
}

void PrefsController::showPane(PrefsPaneKind pane)
{
    const PrefsToolbarItem item = PrefsToolbarModel::itemForPane(pane);
    setWindowTitle(KCLocalizedString(item.labelKey));
    switchToView(pane);
    setWindowResizable(false);
    for (QAction *action : mToolbarGroup->actions())
        if (action->data().toString() == item.identifier)
            action->setChecked(true);
}

QSize PrefsController::paneSize(PrefsPane *pane) const
{
    pane->ensurePolished();
    const QSize hint = pane->sizeHint();
    return {qMax(hint.width(), kPaneMinimumWidth), hint.height()};
}

void PrefsController::switchToView(PrefsPaneKind kind)
{
    PrefsPane *view = paneFor(kind);
    const bool alreadyShown = view == mCurrentPane;
    const qreal screenHeight = screen() ? screen()->geometry().height() : 0;
    const QRectF window = PrefsPaneGeometry::fromScreen(QRectF(geometry()), screenHeight);
    // The content area is as tall as the pane it shows; a hidden window lays
    // out its children only when shown, so the pane says it, not the area.
    const qreal contentHeight = mCurrentPane ? mCurrentPane->height() : height() - mToolbar->sizeHint().height();
    const QSize size = paneSize(view);
    const QSize stored = mStoredFrames.value(kind, size);
    // Qt's window geometry holds no title bar.
    const PrefsPaneSwitch change =
        PrefsPaneGeometry::switchToPane(alreadyShown, window, contentHeight, size, stored, 0);
    if (change.unchanged)
        return;
    if (mCurrentPane && change.blankFirst) {
        // The old pane goes before the window changes height.
        mCurrentPane->hide();
        mContentHolder->repaint();
    }
    const QRect frame = PrefsPaneGeometry::toScreen(change.frame, screenHeight).toRect();
    setMinimumSize(0, 0);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    setGeometry(frame);
    setMinimumSize(change.minimumSize.toSize().boundedTo(frame.size()));
    if (mCurrentPane)
        mCurrentPane->hide();
    view->setGeometry(QRect(QPoint(0, 0), size));
    view->show();
    mCurrentPane = view;
}

void PrefsController::readPreferences()
{
    refreshContext();
    if (const QScreen *s = screen()) {
        QRect centred = geometry();
        centred.moveCenter(s->availableGeometry().center());
        move(centred.topLeft());
    }
    readGeneral();
    readNotification();
    readMessage();
    readPrivacy();
    readFirewall();
    if (!PLMyInfoManager::sharedManager().isGlobalMode())
        readPlugin();
    if (mIsVelaMode)
        readOrchard();
    else
        readVela();
    // The texts may have changed the shown pane's size.
    for (PrefsPaneKind kind : kAllPanes) {
        if (mCurrentPane && paneFor(kind) == mCurrentPane) {
            mCurrentPane = nullptr;
            switchToView(kind);
            setWindowResizable(mIsWindowResizable);
            break;
        }
    }
}

void PrefsController::readGeneral() { mGeneralView->read(); }
void PrefsController::readNotification() { mNotificationView->read(); }
void PrefsController::readMessage() { mMessageView->read(); }
void PrefsController::readPrivacy() { mPrivacyView->read(); }
void PrefsController::readFirewall() { mFirewallView->read(); }
void PrefsController::readPlugin() { mPluginView->read(); }
void PrefsController::readOrchard() { mOrchardView->read(); }
void PrefsController::readVela() { mVelaView->read(); }

void PrefsController::savePreferences()
{
    refreshContext();
    if (mContext.signedIn) {
        mGeneralView->save();
        mNotificationView->save();
        mMessageView->save();
        mPrivacyView->save();
        mFirewallView->save();
        mPluginView->save();
        linkingPane()->save();
        if (!mContext.userID.isNull())
            UserDefaults::standardUserDefaults().setUserDictionary(mContext.userID, mContext.userPrefs);
    } else {
        const bool autoStart = mGeneralView->isAutoStartOn();
        UserDefaults::standardUserDefaults().setBool(autoStart, QStringLiteral("autoStart"));
        if (autoStart)
            addToLoginItems();
        else
            removeFromLoginItems();
        mFirewallView->save();
    }

    const std::optional<int> atRead = mGeneralView->languageIndexAtRead();
    const int selected = mGeneralView->selectedLanguageIndex();
    if (KCCurrentLanguage() != QLatin1String("ko") && atRead && selected != *atRead) {
        KCAlertRequest request;
        request.key = QStringLiteral("ChangeLangAlertMessage");
        request.title = PrefsWidgets::text("Parley");
        request.message = PrefsWidgets::text("ChangeLangAlertMessage");
        request.buttons = {PrefsWidgets::text("OK"), PrefsWidgets::text("Cancel")};
        request.parent = this;
        if (KCAlerts().ask(request).button == 0) {
            saveLanguageCode(selected);
            PrefsServices::shell().terminateApplication();
        }
    }
    NotificationCenter::defaultCenter().post(QLatin1String(notifications::kPreferenceSave));
}

void PrefsController::saveLanguageCode(int index)
{
    UserDefaults::standardUserDefaults().setObject(QStringList{PrefsLanguage::codeForIndex(index)},
                                                   QLatin1String(kAppleLanguagesKey));
}

void PrefsController::addToLoginItems() { AutostartEntry::apply(true); }

void PrefsController::removeFromLoginItems() { AutostartEntry::apply(false); }

void PrefsController::closeEvent(QCloseEvent *event)
{
    savePreferences();
    PrefsEmoticonPalette &palette = PrefsServices::emoticonPalette();
    if (palette.isWindowLoaded())
        palette.close();
    if (gController == this)
        gController = nullptr;
    event->accept();
}

void PrefsController::emoticonPaletteRequested(const QPoint &globalPoint)
{
    QPointer<PrefsController> self(this);
    PrefsServices::emoticonPalette().showEmoticonPalette(globalPoint, [self](const QString &token) {
        if (self)
            self->emoticonChosen(token);
    });
}

void PrefsController::emoticonChosen(const QString &token)
{
    // The display name on the General pane, the away message elsewhere.
    PrefsEmoticonTextEdit *target = mCurrentPane == mGeneralView ? mGeneralView->displayNameView()
                                                                 : mMessageView->awayMessageView();
    if (target->isReadOnly())
        return;
    target->insertEmoticon(token);
}

} // namespace parley
