#include "MessageWindowController.h"

#include "MemoServices.h"
#include "MemoWindowFade.h"
#include "MessageWindowManager.h"
#include "Model/MemoReceivers.h"
#include "Model/MemoTextLimit.h"
#include "Model/MessageBoxMemo.h"
#include "Model/RelatedMemoHtml.h"
#include "RelatedMemoPane.h"

#include "BuddyList/BuddyInviteController.h"
#include "BuddyList/BuddyListDragAndDrop.h"
#include "Conversation/EmoticonController.h"
#include "ImageRegistry.h"
#include "KCAlertPresenter.h"
#include "Log.h"
#include "Note/PLNote.h"
#include "Preferences/PrefsEmoticonTextEdit.h"
#include "Utils/KCUtilities.h"

#include <QBoxLayout>
#include <QCloseEvent>
#include <QColorDialog>
#include <QDateTime>
#include <QDragEnterEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPointer>
#include <QPushButton>
#include <QShortcut>
#include <QSlider>
#include <QSplitter>
#include <QTextBrowser>
#include <QTimer>
#include <QToolButton>

namespace parley {

namespace {

QString text(const char *key) { return KCLocalizedString(QLatin1String(key)); }

// One colour panel for every compose window, connected to the last one that asked.
QPointer<QColorDialog> gColorPanel;

bool hasBuddies(const QMimeData *data)
{
    return data && data->hasFormat(QLatin1String(BuddyListDragAndDrop::kDragAndDropOutlineType));
}

} // namespace

MessageWindowController::MessageWindowController(MessageWindowManager &manager, QWidget *parent)
    : QWidget(parent, Qt::Window), mManager(manager)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(text("SendMessageTitle"));
    setAcceptDrops(true);
    // Escape closes a window with nothing written in it; a draft is never
    // thrown away by one key.
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this, [this] {
        if (textForm().isEmpty())
            close();
    });

    mReceiverButton = new QPushButton(text("ReceiverButtonTitle"), this);
    mReceivers = new QLineEdit(this);
    mReceivers->setAccessibleName(text("ReceiverTitle"));
    auto *receiversRow = new QHBoxLayout;
    receiversRow->addWidget(mReceiverButton);
    receiversRow->addWidget(mReceivers, 1);

    mEmoticonButton = new QToolButton(this);
    mEmoticonButton->setIcon(ImageRegistry::pixmap(QStringLiteral("memo_emoticon")));
    mEmoticonButton->setToolTip(text("ToolTipEmoticon"));
    mEmoticonButton->setAccessibleName(text("ToolTipEmoticon"));
    mFontButton = new QToolButton(this);
    mFontButton->setIcon(ImageRegistry::pixmap(QStringLiteral("memo_fontcolor")));
    mFontButton->setToolTip(text("ToolTipFont"));
    mFontButton->setAccessibleName(text("ToolTipFont"));
    mFade = MemoWindowFade::newSlider(this);
    mUsedBytes = new QLabel(this);
    auto *toolRow = new QHBoxLayout;
    toolRow->addWidget(mEmoticonButton);
    toolRow->addWidget(mFontButton);
    toolRow->addWidget(mFade);
    toolRow->addStretch(1);
    toolRow->addWidget(mUsedBytes);

    mMessageText = new PrefsEmoticonTextEdit(this);
    mMessageText->setAccessibleName(text("SendMessageTitle"));
    mRefMessagesText = RelatedMemoPane::newPane(this);
    mRefSplitView = RelatedMemoPane::newSplit(this, mMessageText, mRefMessagesText);
    mRefSplitView->setChildrenCollapsible(true);

    mRefButton = new QPushButton(text("RefMemo"), this);
    mRewriteButton = new QPushButton(text("RewriteButtonTitle"), this);
    mSendButton = new QPushButton(text("SendButtonTitle"), this);
    mSendButton->setDefault(true);
    auto *buttonRow = new QHBoxLayout;
    buttonRow->addWidget(mRefButton);
    buttonRow->addStretch(1);
    buttonRow->addWidget(mRewriteButton);
    buttonRow->addWidget(mSendButton);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(receiversRow);
    layout->addLayout(toolRow);
    layout->addWidget(mRefSplitView, 1);
    layout->addLayout(buttonRow);

    connect(mReceiverButton, &QPushButton::clicked, this, &MessageWindowController::inviteAction);
    connect(mSendButton, &QPushButton::clicked, this, &MessageWindowController::sendAction);
    connect(mRewriteButton, &QPushButton::clicked, this, &MessageWindowController::rewriteAction);
    connect(mEmoticonButton, &QToolButton::clicked, this, &MessageWindowController::showEmoticonPaletteAction);
    connect(mFontButton, &QToolButton::clicked, this, &MessageWindowController::showColorPanelAction);
    connect(mRefButton, &QPushButton::clicked, this, &MessageWindowController::showRefMessagesAction);
    connect(mFade, &QSlider::valueChanged, this, [this](int value) { fadeAction(value / 100.0); });
    connect(mMessageText, &QTextEdit::textChanged, this, &MessageWindowController::textDidChange);

    mColor = mManager.fontColor();
    mMessageText->setTextColorOfAll(mColor);
    mMessageText->setTextColor(mColor);
    setTargetIDs({});
    updateUsedBytes();
    setEnableRefMessage(false);
    setMinimumSize(std::max(300, layout->minimumSize().width()), 200);
}

MessageWindowController::~MessageWindowController()
{
    if (!mClosed)
        mManager.sendMessageWindowClosed(this);
}

// --- receivers

void MessageWindowController::setTargetIDs(const QStringList &ids)
{
    mTargetIDs = ids;
    const MemoNames &names = mManager.names();
    mReceivers->setText(MemoReceivers::receiverBuddiesString(
        mTargetIDs, [&names](const QString &id) { return names.buddyNameForID(id); }));
    mReceivers->setCursorPosition(0);
}

QStringList MessageWindowController::tokenizeTargetIDs() const
{
    return MemoReceivers::tokenizeTargetIDs(mReceivers->text());
}

void MessageWindowController::inviteAction()
{
    QPointer<MessageWindowController> self(this);
    BuddyInviteController::runBuddyInvitePanel(this, false, [self](const QStringList &ids) {
        if (!self || ids.isEmpty())
            return;
        const MemoNames &names = self->mManager.names();
        self->mReceivers->setText(MemoReceivers::receiverBuddiesString(
            ids, [&names](const QString &id) { return names.buddyNameForID(id); }));
    });
}

void MessageWindowController::dragEnterEvent(QDragEnterEvent *event)
{
    if (hasBuddies(event->mimeData()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void MessageWindowController::dragMoveEvent(QDragMoveEvent *event)
{
    if (hasBuddies(event->mimeData()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void MessageWindowController::dropEvent(QDropEvent *event)
{
    if (!hasBuddies(event->mimeData()))
        return event->ignore();
    const auto dragged = BuddyListDragAndDrop::parsePayload(
        event->mimeData()->data(QLatin1String(BuddyListDragAndDrop::kDragAndDropOutlineType)));
    if (!dragged)
        return event->ignore();
    QStringList ids;
    for (const auto &buddy : *dragged)
        ids.append(buddy.velaID);
    const QStringList merged = MemoReceivers::mergeDropped(tokenizeTargetIDs(), MemoReceivers::dragIDList(ids));
    if (!merged.isEmpty())
        setTargetIDs(merged);
    event->acceptProposedAction();
}

// --- text, counter and limit

QString MessageWindowController::textForm() const { return mMessageText->emoticonString(); }

void MessageWindowController::updateUsedBytes()
{
    const QString form = textForm();
    mUsedBytes->setText(MemoTextLimit::counterText(form));
    mSendButton->setEnabled(!form.isEmpty());
    mRewriteButton->setEnabled(!form.isEmpty());
}

void MessageWindowController::textDidChange()
{
    const QString form = textForm();
    if (!MemoTextLimit::isOverflow(form))
        return updateUsedBytes();
    overflow(form);
}

void MessageWindowController::overflow(const QString &form)
{
    // Cut a moment later, outside the edit that overflowed.
    const bool pending = !mMaxString.isNull();
    mMaxString = MemoTextLimit::cutToLimit(form);
    mSendButton->setEnabled(!form.isEmpty());
    mRewriteButton->setEnabled(!form.isEmpty());
    if (pending)
        return;
    QTimer::singleShot(100, this, &MessageWindowController::maxStringChange);
    KCAlertRequest request;
    request.key = QStringLiteral("OverflowMessageAlert");
    request.title = text("SendMessageTitle");
    request.message = text("OverflowMessageAlert").arg(MemoTextLimit::kMaxBytes);
    request.buttons = {text("OK")};
    request.style = KCAlertRequest::Style::Critical;
    request.parent = this;
    KCAlerts().show(request);
}

void MessageWindowController::maxStringChange()
{
    const QString cut = mMaxString;
    mMaxString.clear();
    putText(cut);
    updateUsedBytes();
}

void MessageWindowController::putText(const QString &message)
{
    const QSignalBlocker quiet(mMessageText);
    mMessageText->setEmoticonString(message, mColor);
}

void MessageWindowController::setInitializeMessage(const QString &message)
{
    if (MemoTextLimit::isOverflow(message)) {
        overflow(message);
        return;
    }
    putText(message);
    QTextCursor start = mMessageText->textCursor();
    start.setPosition(0);
    mMessageText->setTextCursor(start);
    updateUsedBytes();
}

void MessageWindowController::showEmoticonPaletteAction()
{
    const QPoint at = mEmoticonButton->mapToGlobal(QPoint(0, mEmoticonButton->height() + 3));
    EmoticonController::defaultController()->showEmoticonPalette(at, this);
}

void MessageWindowController::emoticonPaletteViewDidSelectEmoticon(KCEmoticonPaletteView *, const QString &token)
{
    mMessageText->insertEmoticon(token);
    textDidChange();
}

void MessageWindowController::rewriteAction()
{
    if (textForm().isEmpty())
        return;
    KCAlertRequest request;
    request.key = QStringLiteral("RemoveMessageAlert");
    request.title = text("SendMessageTitle");
    request.message = text("RemoveMessageAlert");
    request.buttons = {text("OK"), text("Cancel")};
    request.parent = this;
    QPointer<MessageWindowController> self(this);
    KCAlerts().show(request, [self](const KCAlertAnswer &answer) {
        if (!self || answer.button != 0)
            return;
        self->putText(QString());
        self->updateUsedBytes();
    });
}

// --- colour

void MessageWindowController::showColorPanelAction()
{
    if (!gColorPanel) {
        gColorPanel = new QColorDialog;
        gColorPanel->setAttribute(Qt::WA_DeleteOnClose);
        gColorPanel->setOption(QColorDialog::NoButtons);
    }
    gColorPanel->disconnect(SIGNAL(currentColorChanged(QColor)));
    gColorPanel->setCurrentColor(mColor);
    QPointer<MessageWindowController> self(this);
    connect(gColorPanel, &QColorDialog::currentColorChanged, this, [self](const QColor &color) {
        if (self)
            self->fontColorChanged(color);
    });
    gColorPanel->show();
    gColorPanel->raise();
}

void MessageWindowController::fontColorChanged(const QColor &color)
{
    if (!color.isValid())
        return;
    mColor = color;
    const QSignalBlocker quiet(mMessageText);
    mMessageText->setTextColorOfAll(color);
    mMessageText->setTextColor(color);
    mManager.setFontColor(color);
}

QString MessageWindowController::fontStringForColorWell() const
{
    const auto component = [](float f) { return int(f * 255); };
    return QStringLiteral("#%1%2%3")
        .arg(component(mColor.redF()), 2, 16, QLatin1Char('0'))
        .arg(component(mColor.greenF()), 2, 16, QLatin1Char('0'))
        .arg(component(mColor.blueF()), 2, 16, QLatin1Char('0'));
}

void MessageWindowController::fadeAction(double alpha) { MemoWindowFade::apply(this, alpha); }

// --- send

void MessageWindowController::alert(const char *key, const char *titleKey, const QString &message)
{
    KCAlertRequest request;
    request.key = QLatin1String(key);
    request.title = text(titleKey);
    request.message = message.isNull() ? text(key) : message;
    request.buttons = {text("OK")};
    request.style = KCAlertRequest::Style::Critical;
    request.parent = this;
    KCAlerts().show(request);
}

void MessageWindowController::sendAction()
{
    const QStringList targets = tokenizeTargetIDs();
    const QString me = mManager.names().myLoginID();
    if (!me.isEmpty() && targets.contains(me))
        return alert("SendToMeErrorMsg", "SendMessage");
    // The field may hold nothing that reads as an ID: nothing to send to.
    if (targets.isEmpty())
        return alert("NoReceiverMsg", "SendMessageTitle");
    setTargetIDs(targets);
    const QString message = textForm();
    PLNote note;
    note.setTargetIDs(targets);
    note.setMessage(message);
    note.setFontName(text("DefaultMessageFontName"));
    note.setFontSize(9);
    note.setFontStyle(QLatin1String(""));
    note.setFontColor(fontStringForColorWell());
    note.setSessionID(QDateTime::currentDateTime().toString(Qt::TextDate));
    note.setConfirm(false);
    note.setRefUUID(mRefUUID);
    note.setCookie(cookie());
    note.setEvent(mEvent);
    if (!mManager.services().sendNote(note))
        return alert("FailSendMessageAlert", "SendMessageTitle");
    const MemoNames &names = mManager.names();
    QList<MessageBoxMemo::Party> receivers;
    for (const QString &id : targets)
        receivers.append({id, names.nameForID(id)});
    mManager.memoSent(MessageBoxMemo::outboxRecord(note.mNoteHeader().mUUID(), note.mNoteHeader().mTitle(),
                                                   {names.myLoginID(), names.myName()}, receivers,
                                                   QDateTime::currentDateTime(), message));
    close();
}

// --- related memos

void MessageWindowController::setCookie(const QString &cookie) { mThread.setCookie(cookie); }

void MessageWindowController::setServerHasRelMemos(bool flag)
{
    mThread.setServerHasMemos(flag);
    setEnableRefMessage(flag);
}

void MessageWindowController::setEnableRefMessage(bool flag)
{
    mRefSplitView->handle(1)->setEnabled(flag);
    if (!flag && !mIsViewRefMsgs)
        hideRefMessage();
    mRefMessagesText->setVisible(flag);
    mRefButton->setEnabled(flag);
}

void MessageWindowController::showRefMessagesAction()
{
    if (cookie().isNull()) {
        plLogNil(__FILE__, __LINE__);
        return;
    }
    if (mIsViewRefMsgs)
        showRefMessage();
    else
        hideRefMessage();
    follow(mThread.firstUse());
}

void MessageWindowController::setRelMemos(const QString &reply) { follow(mThread.takeReply(reply)); }

void MessageWindowController::follow(const RelatedMemoThread::Step &step)
{
    RelatedMemoPane::follow(step, mThread, mManager.services(), mRefMessagesText, mManager.names());
}

void MessageWindowController::showRefMessage()
{
    mIsViewRefMsgs = false;
    RelatedMemoPane::show(this, mRefSplitView);
}

void MessageWindowController::hideRefMessage()
{
    mIsViewRefMsgs = true;
    RelatedMemoPane::hide(this, mRefSplitView);
}

void MessageWindowController::closeEvent(QCloseEvent *event)
{
    // The window closes at its size without the pane, as it will open next time.
    if (!mIsViewRefMsgs)
        hideRefMessage();
    mClosed = true;
    mManager.sendMessageWindowClosed(this);
    event->accept();
}

} // namespace parley
