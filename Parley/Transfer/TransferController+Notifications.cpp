#include "TransferController.h"

#include "BuddyManagement/PLMyInfoManager.h"
#include "Chat/ChatText.h"
#include "KCAlertPresenter.h"
#include "Log.h"
#include "MainThread.h"
#include "NotificationCenter.h"
#include "NotificationNames.h"
#include "Utils/KCUtilities.h"

#include <QFileInfo>
#include <QListWidget>
#include <QPointer>
#include <QTabWidget>

namespace parley {

namespace nn = notifications;

namespace {

const QString kFileCookie = QStringLiteral("fileCookie");

QString text(const char *key) { return KCLocalizedString(QLatin1String(key)); }

// "KEY (size)" and "KEY (done/total)".
QString stateText(const char *key, const QString &size) { return text(key) + QStringLiteral(" (") + size + QLatin1Char(')'); }
QString progressText(const char *key, const QString &done, const QString &total)
{
    return text(key) + QStringLiteral(" (") + done + QLatin1Char('/') + total + QLatin1Char(')');
}

struct FileFacts
{
    QString name, size, sessionKey, peer;
    qint64 done = 0;
    float percent = 0;
};

FileFacts factsOf(const QVariantMap &info)
{
    FileFacts f;
    f.name = info.value(QStringLiteral("fileName")).toString();
    f.size = TransferController::sizeText(info.value(QStringLiteral("fileSize")).toLongLong());
    f.sessionKey = info.value(QStringLiteral("chatSessionKey")).toString();
    f.peer = info.value(QStringLiteral("targetID")).toString();
    f.done = info.value(QStringLiteral("ioIndex")).toLongLong();
    f.percent = info.value(QStringLiteral("transPercent")).toFloat();
    return f;
}

} // namespace

// A notification that only rewrites its row and writes one chat line naming
// the file. The line and the button change stand at opposite ends: the line,
// the progress and state, then the buttons; or the buttons, the progress and
// state, then the line.
struct TransferRowChange
{
    enum LineAt { LineFirst, LineLast };
    LineAt line;
    int buttonType;       // -1: the buttons stay
    bool stopProgress;
    const char *stateKey; // shown as "KEY (size)"
    const char *chatKey;
    int chatKind;
};

namespace {

using enum TransferRowChange::LineAt;

//                                            line       button stop   state           chat line                    kind
const TransferRowChange kDownloadCancelled    {LineFirst, 0,     true,  "FileCanceled", "FileTransferCancelMessage", 2};
const TransferRowChange kUploadCancelled      {LineFirst, 6,     true,  "FileCanceled", "FileTransferCancelMessage", 2};
const TransferRowChange kMailDownloadStarted  {LineFirst, 0,     true,  "MailTransfer", "MailTransferStartMessage",  0};
const TransferRowChange kMailUploadFailed     {LineLast,  -1,    true,  "FileCanceled", "MailTransferFailMessage",   2};
const TransferRowChange kMailUploadCancelled  {LineLast,  4,     false, "FileWaiting",  "MailTransferCancelMessage", 2};
const TransferRowChange kMailDownloadCancelled{LineLast,  5,     false, "FileWaiting",  "MailTransferCancelMessage", 2};

} // namespace

void TransferController::changeRow(const QVariantMap &userInfo, const TransferRowChange &change)
{
    const QString cookie = userInfo.value(kFileCookie).toString();
    if (TransferProgressView *view = transferViewForFileCookie(cookie))
        changeRow(view, cookie, change);
}

void TransferController::changeRow(TransferProgressView *view, const QString &cookie, const TransferRowChange &change)
{
    const FileFacts f = factsOf(infoFor(cookie));
    const auto writeLine = [&] {
        addFileInfoToChatWindow(ChatText::localized(change.chatKey, {f.name}), change.chatKind, f.sessionKey);
    };
    const auto setButtons = [&] {
        if (change.buttonType >= 0)
            view->setTranferButtonType(change.buttonType);
    };
    if (change.line == LineFirst)
        writeLine();
    else
        setButtons();
    if (change.stopProgress)
        view->endProgress(false);
    view->setTransferText(stateText(change.stateKey, f.size));
    if (change.line == LineFirst)
        setButtons();
    else
        writeLine();
}

void TransferController::observe(const char *name, void (TransferController::*handler)(const QVariantMap &))
{
    // Posted on the main thread.
    mObservers << mCenter.addObserver(this, QLatin1String(name), nullptr, [this, handler](const Notification &n) {
        (this->*handler)(n.userInfo);
    });
}

void TransferController::observeAnyThread(const char *name, void (TransferController::*handler)(const QVariantMap &))
{
    // Posted on a worker too: handed to the main thread, which the worker
    // does not wait for.
    mObservers << mCenter.addObserver(this, QLatin1String(name), nullptr, [this, handler](const Notification &n) {
        if (isMainThread()) {
            (this->*handler)(n.userInfo);
            return;
        }
        const QVariantMap userInfo = n.userInfo;
        QMetaObject::invokeMethod(this, [this, handler, userInfo] { (this->*handler)(userInfo); },
                                  Qt::QueuedConnection);
    });
}

void TransferController::registerObservers()
{
    observe(nn::kFileDownloadRequestReceived, &TransferController::fileDownloadRequestReceived);
    observeAnyThread(nn::kFileDownloadPartReceived, &TransferController::fileDownloadPartReceived);
    observeAnyThread(nn::kFileDownloadEndReceived, &TransferController::fileDownloadEndReceived);
    observe(nn::kFileDownloadRejected, &TransferController::fileDownloadCancelled);
    observeAnyThread(nn::kFileDownloadCancelled, &TransferController::fileDownloadCancelled);
    // A download that stopped (also when the peer's connection dropped)
    // ends as a cancelled one, never left "Receiving".
    observeAnyThread(nn::kFileDownloadFailed, &TransferController::fileDownloadFailed);
    observe(nn::kFileUploadRequestSent, &TransferController::fileUploadRequestSent);
    observeAnyThread(nn::kFileUploadPartSent, &TransferController::fileUploadPartSent);
    observeAnyThread(nn::kFileUploadEnd, &TransferController::fileUploadEndSent);
    observe(nn::kFileUploadRejected, &TransferController::fileUploadCancelled);
    observeAnyThread(nn::kFileUploadCancelled, &TransferController::fileUploadCancelled);
    observe(nn::kMailDownloadStart, &TransferController::mailDownloadStartReceived);
    observe(nn::kMailDownloadEnd, &TransferController::fileDownloadEndReceived);
    observe(nn::kMailDownloadCancelled, &TransferController::mailDownloadCancelled);
    observe(nn::kMailDownloadUnavailable, &TransferController::mailDownloadAlert);
    observe(nn::kMailUploadStart, &TransferController::mailUploadStartReceived);
    observeAnyThread(nn::kUploadFileCookieNotification, &TransferController::updateFileCookie);
    observeAnyThread(nn::kURLConnectionProgress, &TransferController::mailUploadPartSent);
    observeAnyThread(nn::kMailUploadEnd, &TransferController::mailUploadEndReceived);
    observeAnyThread(nn::kMailUploadFailed, &TransferController::mailUploadFailed);
    observeAnyThread(nn::kMailUploadCancelled, &TransferController::mailUploadCancelled);
    observe(nn::kMailUploadUnavailable, &TransferController::mailUploadAlert);
    observe(nn::kRenameFileNotification, &TransferController::renameFileNotification);

    // An aborted upload's thread waits until the cancellation has run, so it
    // goes on only once the manager marked the transfer cancelled.
    QPointer<TransferController> self(this);
    mObservers << mCenter.addObserver(this, QLatin1String(nn::kFileUploadFailed), nullptr,
                                      [self](const Notification &n) {
                                          const QString cookie = n.userInfo.value(kFileCookie).toString();
                                          runOnMainThread(
                                              [self, cookie] {
                                                  if (self)
                                                      self->failUploadFor(cookie);
                                              },
                                              true);
                                      });
}

// --- offers ------------------------------------------------------------------------

// A row per file of an offer, in its tab, and the file's line in the offer's
// chat room; a record without a peer or a name ends the list.
void TransferController::addOfferedRows(const QVariantList &cookies, const QString &sessionKey, bool download)
{
    for (const QVariant &item : cookies) {
        const QString cookie = item.toString();
        const FileFacts f = factsOf(infoFor(cookie));
        if (f.peer.isEmpty() || f.name.isEmpty()) {
            plLogNil(__FILE__, __LINE__);
            break;
        }
        Row row = download ? makeRow(0, mTransferReceiveTableView) : makeRow(1, mTransferSendTableView);
        row.fileCookie = cookie;
        addFileNameToChatWindow(f.name + QStringLiteral(" (") + f.size + QLatin1Char(')'), 0, sessionKey);
        row.view->setIDText(ChatText::localized(download ? "FileSender" : "FileReceiver", {nameForID(f.peer)}));
        row.view->setFileText(ChatText::localized("FileName", {f.name}));
        row.view->setTransferText(stateText("FileWaiting", f.size));
        row.view->setIconImage(iconForFileName(f.name));
        row.view->setFileCookie(cookie);
        row.view->setTranferButtonType(download ? 1 : 3);
        row.view->setDelegate(this);
        (download ? mTransferReceiveArray : mTransferSendArray).append(row);
    }
    updateButtons();
    showWindow();
    mTabView->setCurrentIndex(download ? 1 : 0);
}

void TransferController::fileUploadRequestSent(const QVariantMap &userInfo)
{
    const QVariantList cookies = userInfo.value(QLatin1String(nn::kKeyFileCookies)).toList();
    PL_GUARD_OBJECT(!cookies.isEmpty());
    const QVariantMap first = infoFor(cookies.first().toString());
    PL_GUARD_OBJECT(!first.isEmpty());
    const FileFacts firstFacts = factsOf(first);
    PL_GUARD_OBJECT(!firstFacts.sessionKey.isEmpty());
    PL_GUARD_OBJECT(!firstFacts.peer.isEmpty());
    addFormatToChatWindow("FileTransferUploadMessage", 0, firstFacts.sessionKey, firstFacts.peer);
    addOfferedRows(cookies, firstFacts.sessionKey, false);
}

void TransferController::fileDownloadRequestReceived(const QVariantMap &userInfo)
{
    const QVariantList cookies = userInfo.value(QLatin1String(nn::kKeyFileCookies)).toList();
    if (cookies.isEmpty())
        return;
    const FileFacts firstFacts = factsOf(infoFor(cookies.first().toString()));
    addFormatToChatWindow("FileTransferDownloadMessage", 0, firstFacts.sessionKey, firstFacts.peer);
    addOfferedRows(cookies, firstFacts.sessionKey, true);

    // A name that could leave the download folder is refused after a warning;
    // its row stays and shows the refusal.
    for (const QVariant &item : cookies) {
        const QString cookie = item.toString();
        const QString name = infoFor(cookie).value(QStringLiteral("fileName")).toString();
        if (name.isEmpty() || isAcceptableFileName(name))
            continue;
        KCAlertRequest request;
        request.key = QStringLiteral("InvalidFileErrorTitle");
        request.title = text("InvalidFileErrorTitle");
        request.message = ChatText::localized("InvalidFileErrorMessage", {name});
        request.style = KCAlertRequest::Style::Warning;
        KCAlerts().ask(request);
        mFiles.rejectDownloadFor(cookie);
    }
}

// --- progress ----------------------------------------------------------------------

void TransferController::fileDownloadPartReceived(const QVariantMap &userInfo)
{
    const QString cookie = userInfo.value(kFileCookie).toString();
    TransferProgressView *view = transferViewForFileCookie(cookie);
    // A row that has ended keeps its end.
    if (!view || view->isCompleted())
        return;
    const QVariantMap info = infoFor(cookie);
    const FileFacts f = factsOf(info);
    view->setTransferText(progressText("FileReceiving", sizeText(f.done), f.size));
    view->setProgress(f.percent);
    view->setTranferButtonType(2);
}

void TransferController::fileUploadPartSent(const QVariantMap &userInfo)
{
    const QString cookie = userInfo.value(kFileCookie).toString();
    TransferProgressView *view = transferViewForFileCookie(cookie);
    if (!view || view->isCompleted())
        return;
    if (view->progress() == 0) {
        view->startProgressWithMax(100);
        view->setTranferButtonType(2);
    }
    const FileFacts f = factsOf(infoFor(cookie));
    view->setTransferText(progressText("FileSending", sizeText(f.done), f.size));
    view->setProgress(f.percent);
}

void TransferController::mailUploadStartReceived(const QVariantMap &userInfo)
{
    const QString cookie = userInfo.value(kFileCookie).toString();
    TransferProgressView *view = transferViewForFileCookie(cookie);
    if (!view || view->isCompleted())
        return;
    if (view->progress() == 0) {
        view->startProgressWithMax(100);
        view->setTranferButtonType(0);
    }
    const FileFacts f = factsOf(infoFor(cookie));
    view->setTransferText(progressText("MailSending", sizeText(f.done), f.size));
    view->setProgress(f.percent);
    addFileInfoToChatWindow(ChatText::localized("MailTransferStartMessage", {f.name}), 0, f.sessionKey);
}

void TransferController::updateFileCookie(const QVariantMap &userInfo)
{
    mLastFileCookie = userInfo.value(kFileCookie).toString();
}

void TransferController::mailUploadPartSent(const QVariantMap &userInfo)
{
    // The connection names no file: the row is the last one announced.
    TransferProgressView *view = mLastFileCookie.isEmpty() ? nullptr : transferViewForFileCookie(mLastFileCookie);
    if (!view || view->isCompleted())
        return;
    view->setTransferText(progressText("FileSending",
                                       sizeText(userInfo.value(QLatin1String(nn::kKeyBytesWritten)).toLongLong()),
                                       sizeText(userInfo.value(QLatin1String(nn::kKeyTotalBytes)).toLongLong())));
    view->setProgress(userInfo.value(QLatin1String(nn::kKeyPercent)).toDouble() * 100.0);
}

// --- ends ----------------------------------------------------------------------------

void TransferController::fileDownloadEndReceived(const QVariantMap &userInfo)
{
    const QString cookie = userInfo.value(kFileCookie).toString();
    TransferProgressView *view = transferViewForFileCookie(cookie);
    if (!view)
        return;
    const FileFacts f = factsOf(infoFor(cookie));
    view->setTranferButtonType(6);
    view->endProgress(true);
    view->setIDText(ChatText::localized("FileSenderEndTime", {nameForID(f.peer)}));
    view->setTransferText(stateText("FileCompleted", f.size));
    addFileInfoToChatWindow(ChatText::localized("FileTransferEndMessage", {f.name}), 1, f.sessionKey);
}

void TransferController::fileUploadEndSent(const QVariantMap &userInfo)
{
    const QString cookie = userInfo.value(kFileCookie).toString();
    TransferProgressView *view = transferViewForFileCookie(cookie);
    if (!view)
        return;
    const FileFacts f = factsOf(infoFor(cookie));
    addFileInfoToChatWindow(ChatText::localized("FileTransferEndMessage", {f.name}), 1, f.sessionKey);
    view->setTranferButtonType(6);
    view->endProgress(true);
    view->setIDText(ChatText::localized("FileReceiver", {nameForID(f.peer)}));
    view->setTransferText(stateText("FileCompleted", f.size));
}

void TransferController::mailUploadEndReceived(const QVariantMap &userInfo)
{
    const QString cookie = userInfo.value(kFileCookie).toString();
    TransferProgressView *view = transferViewForFileCookie(cookie);
    if (!view)
        return;
    const FileFacts f = factsOf(infoFor(cookie));
    view->setTranferButtonType(6);
    view->setProgress(100);
    view->endProgress(true);
    view->setTransferText(stateText("FileCompleted", f.size));
    addFileInfoToChatWindow(ChatText::localized("FileTransferEndMessage", {f.name}), 1, f.sessionKey);
    mFiles.setFileInfoFlag(cookie, QStringLiteral("isDone"), true);
}

void TransferController::fileDownloadCancelled(const QVariantMap &userInfo)
{
    changeRow(userInfo, kDownloadCancelled);
}

void TransferController::fileDownloadFailed(const QVariantMap &userInfo)
{
    changeRow(userInfo, kDownloadCancelled);
    const QString reason = userInfo.value(QStringLiteral("reason")).toString();
    if (reason.isEmpty())
        return;
    if (TransferProgressView *view = transferViewForFileCookie(userInfo.value(kFileCookie).toString())) {
        view->setTransferText(reason);
        view->setToolTip(reason);
    }
}

void TransferController::fileUploadCancelled(const QVariantMap &userInfo)
{
    changeRow(userInfo, kUploadCancelled);
}

void TransferController::failUploadFor(const QString &fileCookie)
{
    // The manager's "cancelled" notification then updates the row.
    if (transferViewForFileCookie(fileCookie))
        mFiles.cancelUploadFor(fileCookie);
}

void TransferController::mailUploadFailed(const QVariantMap &userInfo)
{
    changeRow(userInfo, kMailUploadFailed);
}

void TransferController::mailUploadCancelled(const QVariantMap &userInfo)
{
    changeRow(userInfo, kMailUploadCancelled);
}

void TransferController::mailDownloadCancelled(const QVariantMap &userInfo)
{
    changeRow(userInfo, kMailDownloadCancelled);
}

void TransferController::mailDownloadStartReceived(const QVariantMap &userInfo)
{
    const QString cookie = userInfo.value(kFileCookie).toString();
    TransferProgressView *view = transferViewForFileCookie(cookie);
    if (!view)
        return;
    mFiles.setFileInfoFlag(cookie, QStringLiteral("isMail"), true);
    changeRow(view, cookie, kMailDownloadStarted);
}

void TransferController::renameFileNotification(const QVariantMap &userInfo)
{
    TransferProgressView *view = transferViewForFileCookie(userInfo.value(kFileCookie).toString());
    if (!view)
        return;
    view->setFileText(
        ChatText::localized("FileName", {QFileInfo(userInfo.value(QStringLiteral("filePath")).toString()).fileName()}));
    view->setTranferButtonType(3);
}

void TransferController::mailDownloadAlert(const QVariantMap &userInfo)
{
    if (TransferProgressView *view = transferViewForFileCookie(userInfo.value(kFileCookie).toString()))
        view->setTranferButtonType(2);
    KCAlertRequest request;
    request.key = QStringLiteral("SentFileMailErrorTitle");
    request.title = text("SentFileMailErrorTitle");
    request.message = text("SentFileMailErrorMsg");
    request.style = KCAlertRequest::Style::Warning;
    KCAlerts().ask(request);
}

void TransferController::mailUploadAlert(const QVariantMap &)
{
    KCAlertRequest request;
    request.key = QStringLiteral("VelaComLinkTitle");
    request.title = text("VelaComLinkTitle");
    request.message = text("VelaComLinkMsg");
    request.buttons = {text("OK"), text("Cancel")};
    request.style = KCAlertRequest::Style::Warning;
    if (KCAlerts().ask(request).button != 0)
        return;
    shell::PrefsController &prefs = shell::ShellWindows::prefsController();
    prefs.setUserID(PLMyInfoManager::sharedManager().loginID());
    prefs.showVelaComPane();
    prefs.showWindow();
}

} // namespace parley
