#include "BuddyController.h"

#include "AddBuddyRequest.h"
#include "BuddyManagement/PLBuddyManager.h"
#include "BuddyManagement/PLMyInfoManager.h"
#include "BuddyTabView.h"
#include "FacadeBuddySession.h"
#include "KCDefaultFont.h"
#include "NotificationCenter.h"
#include "NotificationNames.h"
#include "Shell/DomainSheet.h"
#include "UserDefaults.h"
#include "Utils/KCUtilities.h"
#include "Utils/PLEndpoints.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QStackedWidget>
#include <QTableWidget>
#include <QVBoxLayout>

namespace parley {

namespace n = notifications;

namespace {

QString text(const char *key) { return KCLocalizedString(QLatin1String(key)); }

QLabel *label(const char *key, QWidget *parent)
{
    auto *l = new QLabel(text(key), parent);
    l->setWordWrap(true);
    l->setTextFormat(Qt::PlainText);
    return l;
}

QString infoString(const QVariantMap &map, const char *key)
{
    const QVariant v = map.value(QLatin1String(key));
    return v.typeId() == QMetaType::QString ? v.toString() : QString();
}

// Keeps the tab bar's choice and the panel shown in step: the bar only draws.
class TabReleaseFilter final : public QObject
{
public:
    TabReleaseFilter(BuddyTabView *bar, BuddyController *dialog) : QObject(bar), mBar(bar), mDialog(dialog) {}
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::MouseButtonRelease || event->type() == QEvent::KeyRelease) {
            if (mBar->selectedTab() == 1)
                mDialog->showSearchBuddyTab();
            else if (mDialog->displayView()->currentWidget() == mDialog->searchBuddyView())
                mDialog->showAddBuddyTab();
        }
        return false;
    }

private:
    BuddyTabView *mBar;
    BuddyController *mDialog;
};

} // namespace

QPointer<BuddyController> BuddyController::sShared;

BuddyController *BuddyController::defaultController()
{
    if (!sShared)
        sShared = new BuddyController(FacadeBuddySession::shared());
    return sShared;
}

BuddyController::BuddyController(BuddySession &session, QWidget *parent)
    : QDialog(parent), mSession(session), mUsesDomainMenu(KCCurrentLanguage() == QLatin1String("ko"))
{
    setObjectName(QStringLiteral("BuddyController"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFont(GetDefaultFontOfSize(11));
    setWindowTitle(text("AddBuddy"));

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 12);
    mTabBar = new BuddyTabView(this);
    mTabBar->setAccessibleName(text("AddBuddy"));
    layout->addWidget(mTabBar);
    mDisplayView = new QStackedWidget(this);
    mDisplayView->setContentsMargins(16, 8, 16, 0);
    layout->addWidget(mDisplayView, 1);
    buildAddPanel();
    buildResultPanel();
    buildSearchPanel();
    mTabBar->installEventFilter(new TabReleaseFilter(mTabBar, this));

    mDomainSheet = new shell::DomainSheet(this);
    connect(mDomainSheet, &QDialog::finished, this, &BuddyController::domainSheetDidEnd);

    NotificationCenter &center = NotificationCenter::defaultCenter();
    mObservers << center.addObserver(this, QLatin1String(n::kBuddyManagerGroupUpdated), nullptr,
                                     [this](const Notification &) { buildPopupButtonMenuItem(); });
    mObservers << center.addObserver(this, QLatin1String(n::kBuddyManagerAddBuddyResultReceived), nullptr,
                                     [this](const Notification &note) { addBuddyResultReceived(note); });
    mObservers << center.addObserver(this, QLatin1String(n::kErrorCodeReceived), nullptr,
                                     [this](const Notification &note) { errorCodeReceived(note); });
    buildPopupButtonMenuItem();
    showAddBuddyTab();

    resize(420, 400);
    if (QScreen *screen = this->screen()) {
        const QRect visible = screen->availableGeometry();
        move(visible.center() - rect().center());
    }
}

BuddyController::~BuddyController()
{
    for (quint64 token : std::as_const(mObservers))
        NotificationCenter::defaultCenter().removeObserver(token);
}

void BuddyController::buildAddPanel()
{
    mAddBuddyView = new QWidget(mDisplayView);
    mAddBuddyView->setObjectName(QStringLiteral("addBuddyView"));
    auto *grid = new QGridLayout(mAddBuddyView);
    mSubject = label("AddBuddyGuide", mAddBuddyView);
    grid->addWidget(mSubject, 0, 0, 1, 4);
    mIDMsgField = label("BuddyID", mAddBuddyView);
    mIDField = new QLineEdit(mAddBuddyView);
    mIDField->setObjectName(QStringLiteral("idField"));
    auto *at = new QLabel(QStringLiteral("@"), mAddBuddyView);
    mEmailPopupButton = new QComboBox(mAddBuddyView);
    mEmailPopupButton->setObjectName(QStringLiteral("emailPopupButton"));
    mEmailField = new QLineEdit(mAddBuddyView);
    mEmailField->setObjectName(QStringLiteral("emailField"));
    mEmailPopupButton->setVisible(mUsesDomainMenu);
    mEmailField->setVisible(!mUsesDomainMenu);
    grid->addWidget(mIDMsgField, 1, 0);
    grid->addWidget(mIDField, 1, 1);
    grid->addWidget(at, 1, 2);
    grid->addWidget(mUsesDomainMenu ? static_cast<QWidget *>(mEmailPopupButton) : mEmailField, 1, 3);
    mRequestMsgField = label("RequestedMessage", mAddBuddyView);
    grid->addWidget(mRequestMsgField, 2, 0, 1, 4);
    mTextView = new QPlainTextEdit(mAddBuddyView);
    mTextView->setObjectName(QStringLiteral("requestMessageView"));
    mTextView->setTabChangesFocus(true);
    grid->addWidget(mTextView, 3, 0, 1, 4);
    mAddGroupMsgField = label("RequestedAsBuddy", mAddBuddyView);
    mGroupPopupButton = new QComboBox(mAddBuddyView);
    mGroupPopupButton->setObjectName(QStringLiteral("groupPopupButton"));
    grid->addWidget(mAddGroupMsgField, 4, 0, 1, 2);
    grid->addWidget(mGroupPopupButton, 4, 2, 1, 2);
    mAddToAddressButton = new QCheckBox(text("SaveToAddressBook"), mAddBuddyView);
    grid->addWidget(mAddToAddressButton, 5, 0, 1, 4);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    mCancelButton = new QPushButton(text("Cancel"), mAddBuddyView);
    mRequestBuddyButton = new QPushButton(text("RequestBuddy"), mAddBuddyView);
    mRequestBuddyButton->setObjectName(QStringLiteral("requestBuddyButton"));
    mRequestBuddyButton->setDefault(true);
    mRequestBuddyButton->setEnabled(false);
    buttons->addWidget(mCancelButton);
    buttons->addWidget(mRequestBuddyButton);
    grid->addLayout(buttons, 6, 0, 1, 4);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    mDisplayView->addWidget(mAddBuddyView);

    // The button follows the user's typing only; emptying the field from
    // code leaves it as it was.
    connect(mIDField, &QLineEdit::textEdited, this,
            [this](const QString &typed) { mRequestBuddyButton->setEnabled(!typed.isEmpty()); });
    connect(mRequestBuddyButton, &QPushButton::clicked, this, &BuddyController::requestBuddyAction);
    connect(mCancelButton, &QPushButton::clicked, this, &BuddyController::closeAction);
    connect(mEmailPopupButton, &QComboBox::activated, this, &BuddyController::selectDomainAction);
}

void BuddyController::buildResultPanel()
{
    mResultView = new QWidget(mDisplayView);
    mResultView->setObjectName(QStringLiteral("resultView"));
    auto *layout = new QVBoxLayout(mResultView);
    mResultTitle = label("AddBuddyResultTitle", mResultView);
    QFont bold = mResultTitle->font();
    bold.setBold(true);
    mResultTitle->setFont(bold);
    mResultMessage = new QLabel(mResultView);
    mResultMessage->setObjectName(QStringLiteral("resultMessage"));
    mResultMessage->setWordWrap(true);
    // It carries the typed ID: plain text.
    mResultMessage->setTextFormat(Qt::PlainText);
    mContinueMessage = label("AddBuddyContinue", mResultView);
    layout->addWidget(mResultTitle);
    layout->addSpacing(8);
    layout->addWidget(mResultMessage);
    layout->addStretch(1);
    layout->addWidget(mContinueMessage);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    mCompleteButton = new QPushButton(text("Complete"), mResultView);
    mContinueButton = new QPushButton(text("Continue"), mResultView);
    mContinueButton->setDefault(true);
    buttons->addWidget(mCompleteButton);
    buttons->addWidget(mContinueButton);
    layout->addLayout(buttons);
    mDisplayView->addWidget(mResultView);
    connect(mCompleteButton, &QPushButton::clicked, this, &BuddyController::closeAction);
    connect(mContinueButton, &QPushButton::clicked, this, &BuddyController::continueAction);
}

void BuddyController::buildSearchPanel()
{
    mSearchBuddyView = new QWidget(mDisplayView);
    mSearchBuddyView->setObjectName(QStringLiteral("searchBuddyView"));
    auto *grid = new QGridLayout(mSearchBuddyView);
    grid->addWidget(label("SearchBuddyInfoMessage", mSearchBuddyView), 0, 0, 1, 4);
    mTypePopupButton = new QComboBox(mSearchBuddyView);
    mEXPhonePopupButton = new QComboBox(mSearchBuddyView);
    auto *phone1 = new QLineEdit(mSearchBuddyView);
    auto *phone2 = new QLineEdit(mSearchBuddyView);
    grid->addWidget(mTypePopupButton, 1, 0);
    grid->addWidget(mEXPhonePopupButton, 1, 1);
    grid->addWidget(phone1, 1, 2);
    grid->addWidget(phone2, 1, 3);
    grid->addWidget(label("NameMsg", mSearchBuddyView), 2, 0);
    grid->addWidget(new QLineEdit(mSearchBuddyView), 2, 1, 1, 2);
    grid->addWidget(new QPushButton(text("Search"), mSearchBuddyView), 2, 3);
    grid->addWidget(label("SearchIDByOrchardID", mSearchBuddyView), 3, 0, 1, 3);
    grid->addWidget(new QPushButton(text("WorkingTogether"), mSearchBuddyView), 3, 3);
    mTableView = new QTableWidget(0, 4, mSearchBuddyView);
    mTableView->setHorizontalHeaderLabels({text("Name"), text("Email"), text("Mobile"), text("Sex")});
    mTableView->horizontalHeader()->setStretchLastSection(true);
    mTableView->verticalHeader()->hide();
    mTableView->setMinimumHeight(80);
    grid->addWidget(mTableView, 4, 0, 1, 4);
    grid->addWidget(label("AddBuddyGuide2", mSearchBuddyView), 5, 0, 1, 4);
    grid->addWidget(label("RequestedMessage", mSearchBuddyView), 6, 0, 1, 4);
    auto *message = new QPlainTextEdit(mSearchBuddyView);
    message->setMaximumHeight(48);
    grid->addWidget(message, 7, 0, 1, 4);
    grid->addWidget(label("RequestedAsBuddy", mSearchBuddyView), 8, 0, 1, 2);
    mGroup2PopupButton = new QComboBox(mSearchBuddyView);
    grid->addWidget(mGroup2PopupButton, 8, 2, 1, 2);
    grid->addWidget(new QCheckBox(text("SaveToAddressBook"), mSearchBuddyView), 9, 0, 1, 4);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    auto *cancel = new QPushButton(text("Cancel"), mSearchBuddyView);
    mRequestBuddy2Button = new QPushButton(text("RequestBuddy"), mSearchBuddyView);
    // The search has no working of its own: its request stays off.
    mRequestBuddy2Button->setEnabled(false);
    buttons->addWidget(cancel);
    buttons->addWidget(mRequestBuddy2Button);
    grid->addLayout(buttons, 10, 0, 1, 4);
    mDisplayView->addWidget(mSearchBuddyView);
    connect(cancel, &QPushButton::clicked, this, &BuddyController::closeAction);
}

QString BuddyController::defaultRequestMessage() const
{
    return text("DefaultRequestMsg").arg(PLMyInfoManager::sharedManager().name());
}

void BuddyController::showAddBuddyTab()
{
    mIDField->clear();
    mTextView->setPlainText(defaultRequestMessage());
    mTabBar->setSelectedTab(0);
    mTabBar->update();
    mDisplayView->setCurrentWidget(mAddBuddyView);
    mIDField->setFocus();
}

void BuddyController::showSearchBuddyTab()
{
    mTabBar->setSelectedTab(1);
    mTabBar->update();
    mDisplayView->setCurrentWidget(mSearchBuddyView);
}

void BuddyController::showResultBuddyTab(const QString &message)
{
    mResultMessage->setText(message);
    mDisplayView->setCurrentWidget(mResultView);
    mContinueButton->setFocus();
}

void BuddyController::buildPopupButtonMenuItem()
{
    if (mUsesDomainMenu) {
        mEmailPopupButton->clear();
        mEmailPopupButton->addItems(KCDefaultCurrentDomain().value_or(KCDefaultDomain()));
    } else {
        mEmailField->clear();
    }
    const PLBuddyManager &buddies = PLBuddyManager::sharedManager();
    const QStringList names = AddBuddyRequest::groupNames(buddies);
    for (QComboBox *popup : {mGroupPopupButton, mGroup2PopupButton}) {
        const QString chosen = popup->currentText();
        popup->clear();
        popup->addItems(names);
        // The choice survives a refill; at first the catch-all group.
        const qsizetype keep = names.indexOf(chosen.isEmpty() ? text("EtcGroupName") : chosen);
        popup->setCurrentIndex(keep >= 0 ? int(keep) : 0);
    }
    mTypePopupButton->clear();
    mTypePopupButton->addItems(KCDefaultBuddySearchType());
    mEXPhonePopupButton->clear();
    mEXPhonePopupButton->addItems(KCDefaultMobile());
}

void BuddyController::requestBuddyAction()
{
    const QString domain = mUsesDomainMenu ? mEmailPopupButton->currentText() : mEmailField->text();
    const QString full = AddBuddyRequest::fullID(mIDField->text(), domain);
    const PLBuddyManager &buddies = PLBuddyManager::sharedManager();
    switch (AddBuddyRequest::check(buddies, full, PLMyInfoManager::sharedManager().loginID())) {
    case AddBuddyRequest::Refusal::AlreadyBuddy:
        showResultBuddyTab(text("AddBuddyAlreayExist").arg(full));
        return;
    case AddBuddyRequest::Refusal::OwnID: showResultBuddyTab(text("AddBuddyIsEqualToMyID")); return;
    case AddBuddyRequest::Refusal::None: break;
    }
    const QString group = AddBuddyRequest::targetGroupID(buddies, mGroupPopupButton->currentText());
    if (mSession.requestAddBuddy(full, group, AddBuddyRequest::wireMessage(mTextView->toPlainText())))
        mPendingID = full;
}

void BuddyController::selectDomainAction()
{
    if (mEmailPopupButton->currentText() != text("Others"))
        return;
    mDomainSheet->resetDataAction();
    mDomainSheet->open();
}

void BuddyController::domainSheetDidEnd(int code)
{
    if (code == 1) {
        const QString typed = mDomainSheet->domain();
        const QStringList domains = KCDefaultCurrentDomain().value_or(KCDefaultDomain());
        if (const std::optional<QStringList> added = AddBuddyRequest::domainsWith(domains, typed)) {
            UserDefaults::standardUserDefaults().setObject(*added, QLatin1String(kDefaultDomainsKey));
            buildPopupButtonMenuItem();
        }
        const int index = mEmailPopupButton->findText(typed);
        if (index >= 0) {
            mEmailPopupButton->setCurrentIndex(index);
            return;
        }
    }
    // Cancelled: the service's own domain, whatever was chosen before.
    mEmailPopupButton->setCurrentIndex(qMax(0, mEmailPopupButton->findText(PLEndpoints::current().portalDomain)));
}

void BuddyController::addBuddyResultReceived(const Notification &note)
{
    const QString userID = infoString(note.userInfo, n::kKeyUserID);
    // Answers to other requests (an accepted request, another window) are not ours.
    if (mPendingID.isEmpty() || userID != mPendingID)
        return;
    mPendingID.clear();
    showResultBuddyTab(text("AddBuddySuccess").arg(userID, userID));
}

void BuddyController::errorCodeReceived(const Notification &note)
{
    const QVariantMap error = note.userInfo.value(QStringLiteral("errorInfo")).toMap();
    const QVariantMap job = note.userInfo.value(QStringLiteral("jobInfo")).toMap();
    if (infoString(error, "errorCode") != QLatin1String("304"))
        return;
    if (mPendingID.isEmpty() || infoString(job, "velaID") != mPendingID)
        return;
    mPendingID.clear();
    showResultBuddyTab(text("AddBuddyFail"));
}

} // namespace parley
