#pragma once

// The message box's one window: two tab buttons (memo box, chat box) over
// the current tab's tool bar and box, the menus, and the actions that act on
// the current tab's data source. Closing it only hides it.

#include "PGHMenuValidation.h"

#include <QHash>
#include <QMainWindow>

#include <functional>

class QAction;
class QLabel;
class QMenu;
class QProgressBar;
class QPushButton;
class QStackedWidget;
class QUndoStack;

namespace pigeonhole {

class PGHBoxDataSource;
class PGHBoxToolbar;
class PGHBoxView;
class PGHChatDetailPane;
class PGHChatTreeDataSource;
class PGHMemoDetailPane;
class PGHMemoTreeDataSource;

enum class PGHWindowAction {
    NewFolder,
    RenameFolder,
    DeleteFolder,
    ClearBox,
    Export,
    Delete,
    Read,
    WriteMemo,
    MarkRead,
    MarkUnread,
    Refresh,
    Help,
    Undo,
    Redo,
    CloseWindow,
    Quit,
};

class PGHMainWindow : public QMainWindow
{
    Q_OBJECT

public:
    // Chooses where an export goes (a save dialog by default); empty: cancelled.
    using SavePathChooser = std::function<QString(const QString &proposedName)>;

    PGHMainWindow(PGHMemoTreeDataSource &memo, PGHChatTreeDataSource &chat, QUndoStack &undo,
                  QWidget *parent = nullptr);

    // 0 the memo tab, 1 the chat tab.
    int currentBox() const { return mCurrentBox; }
    void changeTab(int box);
    PGHBoxDataSource &currentDataSource();

    QAction *action(PGHWindowAction which) const { return mActions.value(which); }
    // Sets every action's state from the rules (also done before a menu shows).
    void validateActions();
    PGHMemoDetailPane *memoDetail() const { return mMemoDetail; }
    PGHChatDetailPane *chatDetail() const { return mChatDetail; }
    PGHBoxView *memoView() const { return mMemoView; }
    PGHBoxView *chatView() const { return mChatView; }
    PGHBoxToolbar *toolbar(int box) const { return box == 0 ? mMemoToolbar : mChatToolbar; }
    QPushButton *tabButton(int box) const { return box == 0 ? mMemoTab : mChatTab; }
    QPushButton *infoButton() const { return mInfoTop; }
    void setSavePathChooser(SavePathChooser chooser) { mChooser = std::move(chooser); }

    // The folder sheets (their results go to the current data source).
    void openCreateFolderPanel();
    void openRenameFolderPanel();
    // Exports the selected message of the current tab.
    void saveMessage();

    // The store is being brought up to date: the status line says so, with
    // the step once known, until endStoreUpgrade(); the actions follow.
    void showStoreUpgrade(int step = 0, int steps = 0);
    void endStoreUpgrade();
    QLabel *upgradeText() const { return mUpgradeText; }
    QLabel *upgradeStep() const { return mUpgradeStep; }
    QProgressBar *upgradeBar() const { return mUpgradeBar; }

Q_SIGNALS:
    void helpRequested();
    void writeMemoRequested();
    void webBoxRequested(int box);
    // The user's quit command (the process keeps running, hidden).
    void quitRequested();
    // An export ended: its file, and the error when it failed.
    void exportFinished(const QString &path, bool ok);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildActions();
    void buildMenus();
    void buildStatusLine();
    QWidget *buildTopBar();
    void addAction(PGHWindowAction which, const char *key, const QKeySequence &shortcut, std::function<void()> handler);

    PGHMemoTreeDataSource &mMemo;
    PGHChatTreeDataSource &mChat;
    QUndoStack &mUndo;
    int mCurrentBox = 0;
    QHash<PGHWindowAction, QAction *> mActions;
    QPushButton *mMemoTab = nullptr;
    QPushButton *mChatTab = nullptr;
    QPushButton *mInfoTop = nullptr;
    QStackedWidget *mToolbars = nullptr;
    QStackedWidget *mBoxes = nullptr;
    PGHBoxToolbar *mMemoToolbar = nullptr;
    PGHBoxToolbar *mChatToolbar = nullptr;
    PGHMemoDetailPane *mMemoDetail = nullptr;
    PGHChatDetailPane *mChatDetail = nullptr;
    PGHBoxView *mMemoView = nullptr;
    PGHBoxView *mChatView = nullptr;
    QLabel *mUpgradeText = nullptr;
    QLabel *mUpgradeStep = nullptr;
    QProgressBar *mUpgradeBar = nullptr;
    SavePathChooser mChooser;
};

} // namespace pigeonhole
