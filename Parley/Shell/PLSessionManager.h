#pragma once

// The session list: this computer's name, one row per other login of the
// account with a log-out link, a button that logs out all others, and two
// choices kept in the settings: the status the other logins see when this
// one signs out ("statusSessionManager", the index of the status box) and
// whether the window opens by itself when a list arrives
// ("viewSessionManager"). Logging out is asked of the shell by posting
// "ParleySessionKill" {"killKey", "killType" ("U" one, "E" all others),
// "PCName"}.
//
// The rows are HTML in a web view with scripts off: a link click never
// navigates, it only picks the row. One window at a time, destroyed when
// closed. Main thread only.

#include "SessionListModel.h"
#include "ShellWindows.h"

#include <QPointer>
#include <QWidget>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;

namespace parley::shell {
class WebPane;
}

namespace parley {

class PLSessionManager : public QWidget
{
    Q_OBJECT

public:
    // The window, made when there is none.
    static PLSessionManager *defaultController();
    // Whether the window exists now.
    static bool isAvailable();
    ~PLSessionManager() override;

    void loadSetting();
    void removeAllList();
    void addList(const QString &sessionKey, const QString &mediaType, const QString &equipType, const QString &langOS,
                 const QString &displayName, const QString &typeName);
    void reloadSessionList();
    // The log-out-all button.
    void clickAllLogout();
    // A link of the list was clicked.
    void linkClicked(const QUrl &url);

    const SessionListModel &model() const { return mModel; }
    // The HTML the list shows now (the table, or the "no other login" text).
    const QString &shownHTML() const { return mShownHTML; }
    int oldStatus() const { return mOldStatus; }
    // The list view has shown the last reload (the web view loads on its own time).
    bool isListLoaded() const { return mListLoaded; }
    // The rows' icons, files of the resource folder.
    static SessionListIcons icons();

    QLabel *myPCName;
    QWidget *otherPCList; // the web view (or a plain text view when the web views are missing)
    QComboBox *status;
    QCheckBox *viewAgain;
    QPushButton *allLogoutButton;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    PLSessionManager();
    void windowShouldClose();
    void postKill(const QString &key, const QString &type, const QString &pcName);

    static QPointer<PLSessionManager> sShared;
    shell::WebPane *mWebPane = nullptr;
    SessionListModel mModel;
    int mOldStatus = 0;
    QString mShownHTML;
    bool mListLoaded = false;
};

// The shell's session list (ShellWindows): the window above, made on demand.
class SessionManagerWindowHost final : public shell::SessionManagerWindow
{
public:
    bool isAvailable() override { return PLSessionManager::isAvailable(); }
    void showWindow() override;
    void closeWindow() override;
    void loadSetting() override;
    void removeAllList() override;
    void addList(const QString &sessionKey, const QString &mediaType, const QString &equipType, const QString &langOS,
                 const QString &displayName, const QString &typeName) override;
    void reloadSessionList() override;
};

} // namespace parley
