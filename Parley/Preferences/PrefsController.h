#pragma once

// The preferences window: one pane at a time, chosen from a toolbar (six or
// seven panes by kind of account), editing the global settings and the
// dictionary of the user the window is bound to. Every pane is read when the
// window opens or is bound to a user, and saved when it closes; closing also
// posts "ParleyPreferenceSaveNotification", on which the shell applies what
// was saved. There is at most one window; it is destroyed when it closes and
// the next defaultController() builds a new one. Main thread only.

#include "AccountLinking.h"
#include "PrefsPane.h"
#include "PrefsToolbarModel.h"

#include <QMainWindow>
#include <QMap>
#include <QPointer>

class QActionGroup;
class QToolBar;

namespace parley {

class AccountLinkPane;
class FirewallPane;
class GeneralPane;
class MessagePane;
class NotificationPane;
class OrchardPane;
class PlugInPane;
class PrefsColorWell;
class PrivacyPane;
class VelaComPane;

class PrefsController : public QMainWindow
{
    Q_OBJECT
public:
    // The one window, built on first use.
    static PrefsController *defaultController();
    // Whether the window exists (to close it without building one).
    static bool isAvailable();

    // Binds the window to a user: a null ID changes nothing; then the window
    // takes a copy of that user's dictionary and reads every pane again.
    QString currentUserID() const { return mContext.userID; }
    void setCurrentUserID(const QString &userID);
    QVariantMap userPrefs() const { return mContext.userPrefs; }
    void setUserPrefs(const QVariantMap &userPrefs);
    // The account session has completed its sign-in.
    bool loginStatus() const;

    // Portal-ID login: the sister service's pane instead of the portal's.
    void setVelaMode(bool velaMode);
    bool isVelaMode() const { return mIsVelaMode; }
    void setWindowResizable(bool resizable);
    bool isWindowResizable() const { return mIsWindowResizable; }

    void showGeneral() { showPane(PrefsPaneKind::General); }
    void showNotification() { showPane(PrefsPaneKind::Notification); }
    void showMessage() { showPane(PrefsPaneKind::Message); }
    void showPrivacy() { showPane(PrefsPaneKind::Privacy); }
    void showFirewall() { showPane(PrefsPaneKind::Firewall); }
    void showPlugin() { showPane(PrefsPaneKind::Plugin); }
    void showOrchard() { showPane(PrefsPaneKind::Orchard); }
    void showVelaCom() { showPane(PrefsPaneKind::VelaCom); }
    void showPane(PrefsPaneKind pane);

    void readPreferences();
    void readGeneral();
    void readNotification();
    void readMessage();
    void readPrivacy();
    void readFirewall();
    void readPlugin();
    void readOrchard();
    void readVela();
    // The save cycle the window runs when it closes.
    void savePreferences();
    // The interface language of a language pop-up index.
    static void saveLanguageCode(int index);
    static void addToLoginItems();
    static void removeFromLoginItems();

    // The toolbar's items, in order, and the selected one.
    QStringList toolbarItemIdentifiers() const;
    QString selectedItemIdentifier() const;
    // Identifier -> label of every item the toolbar has held.
    const QMap<QString, QString> &itemList() const { return mItemList; }
    PrefsPane *currentPane() const { return mCurrentPane; }
    // The size a pane had when the window was first read.
    QSize storedPaneSize(PrefsPaneKind pane) const { return mStoredFrames.value(pane); }

    GeneralPane *generalPane() const { return mGeneralView; }
    NotificationPane *notificationPane() const { return mNotificationView; }
    MessagePane *messagePane() const { return mMessageView; }
    PrivacyPane *privacyPane() const { return mPrivacyView; }
    FirewallPane *firewallPane() const { return mFirewallView; }
    PlugInPane *plugInPane() const { return mPluginView; }
    OrchardPane *orchardPane() const { return mOrchardView; }
    VelaComPane *velaComPane() const { return mVelaView; }
    PrefsColorWell *colorWell() const { return mColorWell; }
    const AccountLinking &linking() const { return mLinking; }

protected:
    // Saves, closes the emoticon palette and lets the single window go.
    void closeEvent(QCloseEvent *event) override;

private:
    explicit PrefsController(QWidget *parent = nullptr);
    ~PrefsController() override;

    void setupToolbar();
    void switchToView(PrefsPaneKind pane);
    PrefsPane *paneFor(PrefsPaneKind pane) const;
    // The pane's size for its texts (the width common to all panes at least).
    QSize paneSize(PrefsPane *pane) const;
    AccountLinkPane *linkingPane() const;
    void refreshContext();
    void emoticonPaletteRequested(const QPoint &globalPoint);
    void emoticonChosen(const QString &token);

    PrefsContext mContext;
    AccountLinking mLinking;
    PrefsColorWell *mColorWell;
    QToolBar *mToolbar = nullptr;
    QActionGroup *mToolbarGroup = nullptr;
    QMap<QString, QString> mItemList;
    QMap<PrefsPaneKind, QSize> mStoredFrames;
    bool mIsVelaMode = false;
    bool mIsWindowResizable = false;
    QWidget *mContentHolder;
    QPointer<PrefsPane> mCurrentPane;

    GeneralPane *mGeneralView;
    NotificationPane *mNotificationView;
    MessagePane *mMessageView;
    PrivacyPane *mPrivacyView;
    FirewallPane *mFirewallView;
    PlugInPane *mPluginView;
    OrchardPane *mOrchardView;
    VelaComPane *mVelaView;
};

} // namespace parley
