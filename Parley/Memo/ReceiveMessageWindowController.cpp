#include "ReceiveMessageWindowController.h"

#include "MemoServices.h"
#include "MemoTitle.h"
#include "MemoWindowFade.h"
#include "MessageWindowManager.h"
#include "Model/ReceivedMemo.h"
#include "RelatedMemoPane.h"

#include "BuddyList/BuddyString.h"
#include "Conversation/KCWebView.h"
#include "KCDefaultFont.h"
#include "Log.h"
#include "Utils/KCUtilities.h"
#include "Utils/PrefsManager.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QSplitter>
#include <QTextBrowser>
#include <QToolButton>

namespace parley {

namespace {

QString text(const char *key) { return KCLocalizedString(QLatin1String(key)); }

QLabel *plainLabel(QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setTextFormat(Qt::PlainText); // peer text
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

} // namespace

ReceiveMessageWindowController::ReceiveMessageWindowController(MessageWindowManager &manager, QWidget *parent)
    : QWidget(parent, Qt::Window), mManager(manager)
{
    setAttribute(Qt::WA_DeleteOnClose);

    mEmoticonButton = new QToolButton(this);
    mEmoticonButton->setAutoRaise(true);
    mEmoticonButton->setIcon(BuddyString::buddyStatusImageWithStatus(0));
    mEmoticonButton->setFocusPolicy(Qt::NoFocus);
    mSenderTitle = new QLabel(text("SenderTitle"), this);
    mReceiverTitle = new QLabel(text("ReceiverTitle"), this);
    mSenderText = plainLabel(this);
    mReceiverText = plainLabel(this);
    mReceiverText->setMinimumWidth(1);
    mReceiverText->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    auto *heading = new QGridLayout;
    heading->addWidget(mEmoticonButton, 0, 0, 2, 1, Qt::AlignTop);
    heading->addWidget(mSenderTitle, 0, 1);
    heading->addWidget(mSenderText, 0, 2);
    heading->addWidget(mReceiverTitle, 1, 1);
    heading->addWidget(mReceiverText, 1, 2);
    heading->setColumnStretch(2, 1);

    mMessageText = new KCWebView(this);
    mMessageText->setDataSource(this);
    mMessageText->setAccessibleName(text("ReceiveMessageTitle").arg(QString()));
    mRefMessagesText = RelatedMemoPane::newPane(this);
    mRefSplitView = RelatedMemoPane::newSplit(this, mMessageText, mRefMessagesText);

    mShowMessageOptionButton = new QCheckBox(text("MessageShowOptionTitle"), this);
    mShowMessageOptionButton->setChecked(PrefsManager::noti_showMemoType() == 0);
    mPrefButton = new QPushButton(text("PreferencesTitle"), this);
    mPrefButton->setFlat(true);
    mPrefButton->setCursor(Qt::PointingHandCursor);
    mFade = MemoWindowFade::newSlider(this);
    auto *optionRow = new QHBoxLayout;
    optionRow->addWidget(mShowMessageOptionButton);
    optionRow->addWidget(mPrefButton);
    optionRow->addStretch(1);
    optionRow->addWidget(mFade);

    mRefButton = new QPushButton(text("RefMemo"), this);
    mReplyButton = new QPushButton(text("ReplyButtonTitle"), this);
    mReplyToAllButton = new QPushButton(text("AllReplyButtonTitle"), this);
    mForwardingButton = new QPushButton(text("ForwardButtonTitle"), this);
    mCloseButton = new QPushButton(text("CloseButtonTitle"), this);
    mReplyButton->setDefault(true);
    auto *buttonRow = new QHBoxLayout;
    buttonRow->addWidget(mRefButton);
    buttonRow->addStretch(1);
    for (QPushButton *button : {mReplyButton, mReplyToAllButton, mForwardingButton, mCloseButton})
        buttonRow->addWidget(button);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(heading);
    layout->addWidget(mRefSplitView, 1);
    layout->addLayout(optionRow);
    layout->addLayout(buttonRow);

    connect(mReplyButton, &QPushButton::clicked, this, &ReceiveMessageWindowController::replyAction);
    connect(mReplyToAllButton, &QPushButton::clicked, this, &ReceiveMessageWindowController::replyToAllAction);
    connect(mForwardingButton, &QPushButton::clicked, this, &ReceiveMessageWindowController::forwardingAction);
    connect(mCloseButton, &QPushButton::clicked, this, &ReceiveMessageWindowController::closeAction);
    connect(mRefButton, &QPushButton::clicked, this, &ReceiveMessageWindowController::showRefMessagesAction);
    connect(mShowMessageOptionButton, &QCheckBox::clicked, this,
            &ReceiveMessageWindowController::showMessageOptionAction);
    connect(mPrefButton, &QPushButton::clicked, this, &ReceiveMessageWindowController::setMemoAlertAction);
    connect(mFade, &QSlider::valueChanged, this, [this](int value) { fadeAction(value / 100.0); });

    // Never narrower than the buttons need (English words are longer).
    const bool korean = KCCurrentLanguage() == QLatin1String("ko");
    setMinimumSize(std::max(korean ? 300 : 450, layout->minimumSize().width()), 200);
    setEnableRefMessage(false);
}

ReceiveMessageWindowController::~ReceiveMessageWindowController()
{
    if (!mClosed)
        mManager.recvMessageWindowClosed(this);
}

QString ReceiveMessageWindowController::cookie() const
{
    return ReceivedMemo(mInfoDict, mManager.names()).cookie();
}

void ReceiveMessageWindowController::setInfo(const QVariantMap &info)
{
    mInfoDict = info;
    const ReceivedMemo memo(mInfoDict, mManager.names());
    setWindowTitle(text("ReceiveMessageTitle").arg(memo.fromName()));
    const QString date = memo.sentDate();
    mSenderText->setText(date.isNull() ? memo.fromName() : QStringLiteral("%1 (%2)").arg(memo.fromName(), date));
    if (const PLBuddyPtr buddy = mManager.names().buddyForID(memo.fromID()))
        mEmoticonButton->setIcon(BuddyString::buddyStatusImageWithBuddy(buddy));
    mReceiverFullText = memo.receiversText();
    applyReceiverToolTip();
    mMessageText->appendChatMessage(memo.receiveMessage(), QStringLiteral("AppleGothic"), 11,
                                    QString::number(0x444444), QString(), false);
    mInfoDict.insert(QStringLiteral("cmsg"), memo.asRelatedEntry().toList());
    mThread.setCookie(memo.cookie());
    mThread.setServerHasMemos(memo.serverHasRelatedMemos());
    setEnableRefMessage(memo.relatedPaneEnabled());
}

bool ReceiveMessageWindowController::isReceiverTextTruncated() const
{
    return mReceiverText->fontMetrics().horizontalAdvance(mReceiverFullText) > mReceiverText->width();
}

void ReceiveMessageWindowController::applyReceiverToolTip()
{
    mReceiverText->setText(
        mReceiverText->fontMetrics().elidedText(mReceiverFullText, Qt::ElideRight, std::max(mReceiverText->width(), 1)));
    mReceiverText->setToolTip(isReceiverTextTruncated() ? mReceiverFullText : QString());
}

void ReceiveMessageWindowController::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    applyReceiverToolTip();
}

// --- answers

void ReceiveMessageWindowController::answer(const char *event, const QStringList &targets, const QString &message)
{
    mInfoDict.insert(QStringLiteral("ref-event"), QLatin1String(event));
    mManager.createMessageWindow(targets, message, mInfoDict, true);
    close();
}

void ReceiveMessageWindowController::replyAction()
{
    const ReceivedMemo memo(mInfoDict, mManager.names());
    answer("RE", memo.replyTargets(), QString());
}

void ReceiveMessageWindowController::replyToAllAction()
{
    const ReceivedMemo memo(mInfoDict, mManager.names());
    answer("AL", memo.replyAllTargets(mManager.names().myLoginID()), QString());
}

void ReceiveMessageWindowController::forwardingAction()
{
    const ReceivedMemo memo(mInfoDict, mManager.names());
    answer("FW", {}, memo.originalMessageString(MemoTitle::titleFromMessage(memo.receiveMessage())));
}

// --- related memos

void ReceiveMessageWindowController::setEnableRefMessage(bool flag)
{
    mRefSplitView->handle(1)->setEnabled(flag);
    if (!flag && !mIsViewRefMsgs) {
        mIsViewRefMsgs = true;
        RelatedMemoPane::hide(this, mRefSplitView);
    }
    mRefMessagesText->setVisible(flag);
    mRefButton->setEnabled(flag);
}

void ReceiveMessageWindowController::showRefMessagesAction()
{
    mIsViewRefMsgs = !mIsViewRefMsgs;
    if (mIsViewRefMsgs)
        RelatedMemoPane::hide(this, mRefSplitView);
    else
        RelatedMemoPane::show(this, mRefSplitView);
    follow(mThread.firstUse());
}

void ReceiveMessageWindowController::setRelMemos(const QString &reply) { follow(mThread.takeReply(reply)); }

void ReceiveMessageWindowController::follow(const RelatedMemoThread::Step &step)
{
    RelatedMemoPane::follow(step, mThread, mManager.services(), mRefMessagesText, mManager.names());
}

// --- options

void ReceiveMessageWindowController::showMessageOptionAction()
{
    PrefsManager::setNoti_IsShowMemoType(mShowMessageOptionButton->isChecked() ? 0 : 1);
    mManager.services().reloadPreferences();
}

void ReceiveMessageWindowController::setMemoAlertAction() { mManager.services().openNotificationPreferences(); }

void ReceiveMessageWindowController::fadeAction(double alpha) { MemoWindowFade::apply(this, alpha); }

void ReceiveMessageWindowController::requestWebUrlOpen(KCWebView *, const QUrl &url)
{
    mManager.services().openUrl(url.toString());
}

QString ReceiveMessageWindowController::bridgePageUrl(KCWebView *) { return mManager.services().bridgePageUrl(); }

void ReceiveMessageWindowController::closeEvent(QCloseEvent *event)
{
    if (!mIsViewRefMsgs) {
        mIsViewRefMsgs = true;
        RelatedMemoPane::hide(this, mRefSplitView);
    }
    mClosed = true;
    mManager.recvMessageWindowClosed(this);
    event->accept();
}

} // namespace parley
