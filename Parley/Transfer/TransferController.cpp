#include "TransferController.h"

#include "TransferRowLayout.h"

#include "BuddyManagement/PLBuddyManager.h"
#include "BuddyManagement/PLMyInfoManager.h"
#include "Chat/ChatText.h"
#include "FileTransfer/PLPeerFileName.h"
#include "ImageRegistry.h"
#include "KCAlertPresenter.h"
#include "KCButton.h"
#include "NotificationCenter.h"
#include "NotificationNames.h"
#include "Utils/KCRevealInFileManager.h"
#include "Utils/KCUtilities.h"

#include <QApplication>

#include <algorithm>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QListWidget>
#include <QMimeDatabase>
#include <QScreen>
#include <QStyle>
#include <QTabWidget>
#include <QUrl>
#include <QVBoxLayout>

namespace parley {

namespace {

TransferController *gDefault = nullptr;

// A list whose rows are as wide as its viewport.
class TransferListView : public QListWidget
{
public:
    using QListWidget::QListWidget;

protected:
    void resizeEvent(QResizeEvent *event) override
    {
        QListWidget::resizeEvent(event);
        const QSize size(viewport()->width(), TransferRowLayout::kHeight);
        for (int i = 0; i < count(); ++i)
            item(i)->setSizeHint(size);
    }
};

} // namespace

TransferController *TransferController::defaultController() { return gDefault; }

TransferController::TransferController(TransferFilePort &files, TransferChatLines *lines, NotificationCenter &center,
                                       QWidget *parent)
    : QWidget(parent, Qt::Window), mFiles(files), mLines(lines), mCenter(center)
{
    buildWindow();
    registerObservers();
    if (!gDefault) {
        gDefault = this;
        shell::ShellWindows::setTransferController(this);
    }
}

TransferController::~TransferController()
{
    for (const quint64 token : std::as_const(mObservers))
        mCenter.removeObserver(token);
    if (gDefault == this) {
        gDefault = nullptr;
        shell::ShellWindows::setTransferController(nullptr);
    }
}

void TransferController::buildWindow()
{
    setWindowTitle(KCLocalizedString(QStringLiteral("FileTransferTitle")));
    setObjectName(QStringLiteral("Transfer"));
    resize(440, 380);
    mTabView = new QTabWidget(this);
    const auto page = [this](QListWidget *&list, QList<QPushButton *> buttons) {
        auto *widget = new QWidget(mTabView);
        auto *column = new QVBoxLayout(widget);
        column->setContentsMargins(6, 6, 6, 6);
        list = new TransferListView(widget);
        list->setSelectionMode(QAbstractItemView::SingleSelection);
        list->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
        column->addWidget(list, 1);
        auto *row = new QHBoxLayout;
        row->addStretch(1);
        for (QPushButton *button : buttons) {
            button->setParent(widget);
            button->setEnabled(false);
            row->addWidget(button);
        }
        column->addLayout(row);
        connect(list, &QListWidget::currentItemChanged, this,
                [this, list](QListWidgetItem *current, QListWidgetItem *previous) {
                    selectionChanged(list, current, previous);
                });
        return widget;
    };
    mRemoveSendAllButton = new KCButton(KCLocalizedString(QStringLiteral("FileRemoveAllTitle")));
    mAcceptReceiveAllButton = new KCButton(KCLocalizedString(QStringLiteral("FileRemoveAcceptAllTitle")));
    mRemoveReceiveAllButton = new KCButton(KCLocalizedString(QStringLiteral("FileRemoveAllTitle")));
    QWidget *send = page(mTransferSendTableView, {mRemoveSendAllButton});
    QWidget *receive = page(mTransferReceiveTableView, {mAcceptReceiveAllButton, mRemoveReceiveAllButton});
    send->setObjectName(QStringLiteral("Send"));
    receive->setObjectName(QStringLiteral("Receive"));
    mTabView->addTab(send, KCLocalizedString(QStringLiteral("FileSendTab")));
    mTabView->addTab(receive, KCLocalizedString(QStringLiteral("FileReceiveTab")));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->addWidget(mTabView);
    connect(mRemoveSendAllButton, &QPushButton::clicked, this, &TransferController::removeSendTransferAll);
    connect(mRemoveReceiveAllButton, &QPushButton::clicked, this, &TransferController::removeReceiveTransferAll);
    connect(mAcceptReceiveAllButton, &QPushButton::clicked, this, &TransferController::acceptTransferAll);
}

void TransferController::showWindow()
{
    // The window opens in the middle of the screen's free area the first time
    // and comes back whole inside it afterwards, wherever it was left.
    if (const QScreen *s = screen()) {
        const QRect area = s->availableGeometry();
        QRect frame = frameGeometry();
        if (!testAttribute(Qt::WA_Moved))
            frame.moveCenter(area.center());
        frame.moveLeft(std::clamp(frame.left(), area.left(), std::max(area.left(), area.right() - frame.width() + 1)));
        frame.moveTop(std::clamp(frame.top(), area.top(), std::max(area.top(), area.bottom() - frame.height() + 1)));
        if (frame.topLeft() != pos() || !testAttribute(Qt::WA_Moved))
            move(frame.topLeft());
    }
    show();
    raise();
    activateWindow();
}

void TransferController::closeEvent(QCloseEvent *event)
{
    // Closing only hides: the transfers and their rows go on.
    event->ignore();
    hide();
}

void TransferController::reset()
{
    removeAllSendTransferList();
    removeAllReceiveTransferList();
}

// --- rows ----------------------------------------------------------------------

TransferController::Row TransferController::makeRow(int direction, QListWidget *list)
{
    Row row;
    row.view = new TransferProgressView(PLMyInfoManager::sharedManager().isGlobalMode());
    row.view->setTransferType(direction);
    row.item = new QListWidgetItem;
    row.item->setSizeHint(QSize(list->viewport()->width(), TransferRowLayout::kHeight));
    list->addItem(row.item);
    list->setItemWidget(row.item, row.view);
    return row;
}

const TransferController::Row *TransferController::rowForCookie(const QString &fileCookie) const
{
    for (const QList<Row> *rows : {&mTransferSendArray, &mTransferReceiveArray})
        for (const Row &row : *rows)
            if (row.fileCookie == fileCookie && row.view)
                return &row;
    return nullptr;
}

TransferProgressView *TransferController::transferViewForFileCookie(const QString &fileCookie) const
{
    const Row *row = rowForCookie(fileCookie);
    return row ? row->view.data() : nullptr;
}

QVariantMap TransferController::infoFor(const QString &fileCookie) { return mFiles.fileInfoForCookie(fileCookie); }

void TransferController::updateButtons()
{
    mRemoveSendAllButton->setEnabled(!mTransferSendArray.isEmpty());
    mRemoveReceiveAllButton->setEnabled(!mTransferReceiveArray.isEmpty());
    mAcceptReceiveAllButton->setEnabled(!mTransferReceiveArray.isEmpty());
}

void TransferController::selectionChanged(QListWidget *list, QListWidgetItem *current, QListWidgetItem *previous)
{
    if (previous)
        if (auto *view = qobject_cast<TransferProgressView *>(list->itemWidget(previous)))
            view->setSelectedView(false);
    if (current)
        if (auto *view = qobject_cast<TransferProgressView *>(list->itemWidget(current)))
            view->setSelectedView(true);
}

QString TransferController::nameForID(const QString &velaID)
{
    const PLBuddyPtr buddy = velaID.isEmpty() ? nullptr : PLBuddyManager::sharedManager().buddyForID(velaID);
    return buddy ? buddy->name() : QString();
}

QString TransferController::sizeText(qint64 bytes) { return fileSizeStringWithBytes(bytes); }

bool TransferController::isAcceptableFileName(const QString &name)
{
    // "%2E%2e%2f" passes the name check and reads as "../" once unescaped.
    return PLPeerFileName::isAcceptable(name)
        && PLPeerFileName::isAcceptable(QUrl::fromPercentEncoding(name.toUtf8()));
}

QIcon TransferController::iconForFileName(const QString &fileName)
{
    const QMimeType type = QMimeDatabase().mimeTypeForFile(fileName, QMimeDatabase::MatchExtension);
    QIcon fallback = ImageRegistry::contains(QStringLiteral("fileIcon"))
        ? QIcon(ImageRegistry::pixmap(QStringLiteral("fileIcon")))
        : QIcon();
    if (fallback.isNull())
        fallback = QApplication::style()->standardIcon(QStyle::SP_FileIcon);
    return QIcon::fromTheme(type.iconName(), QIcon::fromTheme(type.genericIconName(), fallback));
}

// --- chat lines ------------------------------------------------------------------

void TransferController::addFormatToChatWindow(const char *formatKey, int kind, const QString &sessionKey,
                                               const QString &buddyID)
{
    if (mLines)
        mLines->addFileInfoMessage(sessionKey, QLatin1String(formatKey), kind, buddyID);
}

void TransferController::addFileInfoToChatWindow(const QString &text, int kind, const QString &sessionKey)
{
    if (mLines)
        mLines->addFileMessage(sessionKey, text, kind);
}

void TransferController::addFileNameToChatWindow(const QString &text, int kind, const QString &sessionKey)
{
    if (mLines)
        mLines->addFileInfo(sessionKey, text, kind);
}

// --- the buttons -------------------------------------------------------------------

void TransferController::acceptTransferAll()
{
    for (const Row &row : std::as_const(mTransferReceiveArray)) {
        const QVariantMap info = infoFor(row.fileCookie);
        if (!info.value(QStringLiteral("isDone")).toBool() && !info.value(QStringLiteral("isCancelled")).toBool()
            && info.value(QStringLiteral("ioIndex")).toLongLong() == 0)
            mFiles.acceptDownloadFor(row.fileCookie);
    }
}

namespace {

bool confirmRemoveAll(QWidget *parent)
{
    KCAlertRequest request;
    request.key = QStringLiteral("FileTransferRemoveMessage");
    request.title = KCLocalizedString(QStringLiteral("FileTransferTitle"));
    request.message = KCLocalizedString(QStringLiteral("FileTransferRemoveMessage"));
    request.buttons = {KCLocalizedString(QStringLiteral("OK")), KCLocalizedString(QStringLiteral("Cancel"))};
    request.style = KCAlertRequest::Style::Critical;
    request.parent = parent->isVisible() ? parent : nullptr;
    return KCAlerts().ask(request).button == 0;
}

} // namespace

void TransferController::removeReceiveTransferAll()
{
    if (confirmRemoveAll(this))
        removeAllReceiveTransferList();
}

void TransferController::removeSendTransferAll()
{
    if (confirmRemoveAll(this))
        removeAllSendTransferList();
}

void TransferController::removeAllReceiveTransferList()
{
    // The manager's notifications arrive during these calls and still find
    // the rows: the cancel lines go out before the rows go.
    for (qsizetype i = 0; i < mTransferReceiveArray.size(); ++i) {
        const QString cookie = mTransferReceiveArray.at(i).fileCookie;
        const QVariantMap info = infoFor(cookie);
        if (!info.isEmpty() && !info.value(QStringLiteral("isDone")).toBool()) {
            const qint64 received = info.value(QStringLiteral("ioIndex")).toLongLong();
            if (!info.value(QStringLiteral("isCancelled")).toBool() && received == 0)
                mFiles.rejectDownloadFor(cookie);
            else if (received > 0)
                mFiles.cancelDownloadFor(cookie);
        }
    }
    const QList<Row> rows = std::exchange(mTransferReceiveArray, {});
    for (const Row &row : rows) {
        mFiles.removeFileInfoForCookie(row.fileCookie);
        delete row.item;
        if (row.view)
            row.view->deleteLater();
    }
    mTransferReceiveTableView->clear();
    updateButtons();
}

void TransferController::removeAllSendTransferList()
{
    for (qsizetype i = 0; i < mTransferSendArray.size(); ++i) {
        const QString cookie = mTransferSendArray.at(i).fileCookie;
        const QVariantMap info = infoFor(cookie);
        if (!info.isEmpty() && !info.value(QStringLiteral("isDone")).toBool())
            mFiles.cancelUploadFor(cookie);
    }
    const QList<Row> rows = std::exchange(mTransferSendArray, {});
    for (const Row &row : rows) {
        mFiles.removeFileInfoForCookie(row.fileCookie);
        delete row.item;
        if (row.view)
            row.view->deleteLater();
    }
    mTransferSendTableView->clear();
    updateButtons();
}

void TransferController::transferViewAccept(TransferProgressView *view, const QString &fileCookie)
{
    view->startProgressWithMax(100);
    view->setTranferButtonType(2);
    mFiles.acceptDownloadFor(fileCookie);
}

void TransferController::transferViewReject(TransferProgressView *, const QString &fileCookie)
{
    // The row changes when the manager's notification arrives.
    const QVariantMap info = infoFor(fileCookie);
    const qint64 done = info.value(QStringLiteral("ioIndex")).toLongLong();
    if (info.value(QStringLiteral("isDownload")).toBool())
        done <= 0 ? mFiles.rejectDownloadFor(fileCookie) : mFiles.cancelDownloadFor(fileCookie);
    else
        mFiles.cancelUploadFor(fileCookie);
}

void TransferController::transferViewOpen(TransferProgressView *, const QString &fileCookie)
{
    if (mFiles.checkMailForCookie(fileCookie)) {
        // The web mailbox, straight to the new mail, with the user's ticket.
        shell::ShellWindows::bridgePage().showVelaMail(true);
        return;
    }
    KCRevealSelectedItemsInFinder({infoFor(fileCookie).value(QStringLiteral("filePath")).toString()});
}

void TransferController::transferViewMail(TransferProgressView *view, const QString &fileCookie)
{
    if (PLMyInfoManager::sharedManager().velaID().isEmpty()) {
        // Heard by mailUploadAlert(), which offers the link pane.
        mCenter.post(QLatin1String(notifications::kMailUploadUnavailable), this);
        return;
    }
    if (const Row *row = rowForCookie(fileCookie)) {
        if (row->view->transferType() == 0)
            mFiles.receiveMailFor(fileCookie);
        else if (row->view->transferType() == 1)
            mFiles.sendMailFor(fileCookie);
    }
    view->setTranferButtonType(0);
}

} // namespace parley
