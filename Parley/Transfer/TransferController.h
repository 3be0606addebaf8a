#pragma once

// The file transfer window: two tabs, Send and Receive, each a list of
// transfer rows (TransferProgressView) in the order the transfers were
// offered, with remove-all (and on Receive accept-all) under the list. It
// owns no transfer state: each row names its file by cookie, and every
// update reads the transfer manager's record of that cookie.
//
// It adds rows when files are offered either way, rewrites a row on each
// progress, end, cancel, refusal and mail notification, turns the row
// buttons into calls on the transfer manager, and writes a line for each
// offer, completion, cancellation and mail step into the chat window of the
// room the offer was made in.
//
// Notifications posted on other threads are queued to the main thread,
// which never waits for a worker; the one wait is a worker's: an aborted
// upload's thread waits until the cancellation has run. A row that has
// ended ignores late progress.
//
// One instance for the application (main.cpp makes it); closing the window
// only hides it. One class in two sources: TransferController.cpp (window,
// rows, buttons) and TransferController+Notifications.cpp (the handlers).

#include "TransferChatLines.h"
#include "TransferFilePort.h"
#include "TransferProgressView.h"

#include "Shell/ShellWindows.h"

#include <QList>
#include <QPointer>
#include <QVariantMap>
#include <QWidget>

class QListWidget;
class QListWidgetItem;
class QPushButton;
class QTabWidget;

namespace parley {

class NotificationCenter;
struct Notification;
struct TransferRowChange;

class TransferController : public QWidget,
                           public shell::TransferController,
                           private TransferProgressViewDelegate
{
    Q_OBJECT
public:
    // The live window, or null.
    static TransferController *defaultController();

    // Reads and answers transfers through `files`, writes chat lines to
    // `lines` (none: no lines), hears `center`. Registers itself with the
    // shell when no other window is the default yet.
    TransferController(TransferFilePort &files, TransferChatLines *lines, NotificationCenter &center,
                       QWidget *parent = nullptr);
    ~TransferController() override;

    void setChatLines(TransferChatLines *lines) { mLines = lines; }

    // shell::TransferController
    void showWindow() override;
    // Removes every row of both tabs (as remove-all without asking).
    void reset() override;

    struct Row
    {
        QPointer<TransferProgressView> view;
        QString fileCookie;
        QListWidgetItem *item = nullptr;
    };
    const QList<Row> &sendRows() const { return mTransferSendArray; }
    const QList<Row> &receiveRows() const { return mTransferReceiveArray; }
    // The first row of that cookie, Send before Receive.
    TransferProgressView *transferViewForFileCookie(const QString &fileCookie) const;
    QTabWidget *tabView() const { return mTabView; }
    QListWidget *sendList() const { return mTransferSendTableView; }
    QListWidget *receiveList() const { return mTransferReceiveTableView; }
    QPushButton *removeSendAllButton() const { return mRemoveSendAllButton; }
    QPushButton *removeReceiveAllButton() const { return mRemoveReceiveAllButton; }
    QPushButton *acceptReceiveAllButton() const { return mAcceptReceiveAllButton; }
    const QString &lastFileCookie() const { return mLastFileCookie; }

    // The buttons under the lists.
    void acceptTransferAll();
    void removeReceiveTransferAll();
    void removeSendTransferAll();
    void removeAllReceiveTransferList();
    void removeAllSendTransferList();

    // The row buttons (TransferProgressViewDelegate).
    void transferViewAccept(TransferProgressView *view, const QString &fileCookie) override;
    void transferViewReject(TransferProgressView *view, const QString &fileCookie) override;
    void transferViewOpen(TransferProgressView *view, const QString &fileCookie) override;
    void transferViewMail(TransferProgressView *view, const QString &fileCookie) override;

    // The peer's name when it is a buddy, else null.
    static QString nameForID(const QString &velaID);
    // The size label of a byte count ("1023Bytes", "1KB").
    static QString sizeText(qint64 bytes);
    // Whether a peer's file name is one we take: a plain name of one entry,
    // also once percent escapes are read.
    static bool isAcceptableFileName(const QString &name);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildWindow();
    void observe(const char *name, void (TransferController::*handler)(const QVariantMap &));
    void observeAnyThread(const char *name, void (TransferController::*handler)(const QVariantMap &));
    Row makeRow(int direction, QListWidget *list);
    void updateButtons();
    void selectionChanged(QListWidget *list, QListWidgetItem *current, QListWidgetItem *previous);
    const Row *rowForCookie(const QString &fileCookie) const;
    QVariantMap infoFor(const QString &fileCookie);
    void addFileInfoToChatWindow(const QString &text, int kind, const QString &sessionKey);
    void addFormatToChatWindow(const char *formatKey, int kind, const QString &sessionKey, const QString &buddyID);
    void addFileNameToChatWindow(const QString &text, int kind, const QString &sessionKey);
    static QIcon iconForFileName(const QString &fileName);

    // TransferController+Notifications.cpp
    void registerObservers();
    void changeRow(const QVariantMap &userInfo, const TransferRowChange &change);
    void changeRow(TransferProgressView *view, const QString &cookie, const TransferRowChange &change);
    void addOfferedRows(const QVariantList &cookies, const QString &sessionKey, bool download);
    void fileUploadRequestSent(const QVariantMap &userInfo);
    void fileDownloadRequestReceived(const QVariantMap &userInfo);
    void fileDownloadPartReceived(const QVariantMap &userInfo);
    void fileUploadPartSent(const QVariantMap &userInfo);
    void mailUploadStartReceived(const QVariantMap &userInfo);
    void updateFileCookie(const QVariantMap &userInfo);
    void mailUploadPartSent(const QVariantMap &userInfo);
    void fileDownloadEndReceived(const QVariantMap &userInfo);
    void fileUploadEndSent(const QVariantMap &userInfo);
    void mailUploadEndReceived(const QVariantMap &userInfo);
    void fileDownloadCancelled(const QVariantMap &userInfo);
    // Cancelled, with the reason ("reason") in the row when the manager gave one.
    void fileDownloadFailed(const QVariantMap &userInfo);
    void fileUploadCancelled(const QVariantMap &userInfo);
    void failUploadFor(const QString &fileCookie);
    void mailUploadFailed(const QVariantMap &userInfo);
    void mailUploadCancelled(const QVariantMap &userInfo);
    void mailDownloadCancelled(const QVariantMap &userInfo);
    void mailDownloadStartReceived(const QVariantMap &userInfo);
    void renameFileNotification(const QVariantMap &userInfo);
    void mailDownloadAlert(const QVariantMap &userInfo);
    void mailUploadAlert(const QVariantMap &userInfo);

    TransferFilePort &mFiles;
    TransferChatLines *mLines = nullptr; // not owned
    NotificationCenter &mCenter;
    QList<quint64> mObservers;

    QTabWidget *mTabView = nullptr;
    QListWidget *mTransferSendTableView = nullptr;
    QListWidget *mTransferReceiveTableView = nullptr;
    QPushButton *mRemoveSendAllButton = nullptr;
    QPushButton *mRemoveReceiveAllButton = nullptr;
    QPushButton *mAcceptReceiveAllButton = nullptr;
    QList<Row> mTransferSendArray;
    QList<Row> mTransferReceiveArray;
    QString mLastFileCookie;
};

} // namespace parley
