#include "OrchardPane.h"

#include "BuddyManagement/PLMyInfoManager.h"
#include "OrchardOptions.h"
#include "PrefsSession.h"
#include "PrefsShell.h"
#include "PrefsWidgets.h"
#include "Utils/PLEndpoints.h"
#include "Utils/PrefsManager.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

namespace parley {

OrchardPane::OrchardPane(PrefsContext &context, AccountLinking &linking, QWidget *parent)
    : AccountLinkPane(context, linking, AccountLinking::Service::Orchard, parent)
{
    mOrchardTitle = PrefsWidgets::titleLabel(this);
    mOrchardTitleMsg = PrefsWidgets::guideLabel(this);
    mOrchardBox = new QGroupBox(this);
    mOrchardIDTitle = new QLabel(mOrchardBox);
    mOrchardPassTitle = new QLabel(mOrchardBox);
    mOrchardGuideMsg = PrefsWidgets::guideLabel(mOrchardBox);
    mMiniNookPublicTitle = PrefsWidgets::titleLabel(this);
    mMiniNookPublicGuideMsg = PrefsWidgets::guideLabel(this);
    mMiniNookPublic = new QLabel(this);
    mPopupMininookPublic = new QComboBox(this);
    mOrchardAlarmTitle = PrefsWidgets::titleLabel(this);
    mOrchardAlarm = PrefsWidgets::guideLabel(this);
    mSwitchOrTextAlarm = new QCheckBox(this);
    mSwitchOrMsgAlarm = new QCheckBox(this);
    mFindIDButton = new QPushButton(mOrchardBox);
    mOrchardJoinButton = new QPushButton(mOrchardBox);
    mMininookButton = new QPushButton(this);

    QGridLayout *box = layOutAccountBox(mOrchardBox, mOrchardIDTitle, mOrchardPassTitle, mFindIDButton);
    box->addWidget(mOrchardGuideMsg, 2, 0, 1, 2);
    box->addWidget(mOrchardJoinButton, 2, 2, Qt::AlignTop);

    auto *publicRow = new QHBoxLayout;
    publicRow->addWidget(mMiniNookPublic);
    publicRow->addWidget(mPopupMininookPublic);
    publicRow->addStretch(1);
    publicRow->addWidget(mMininookButton);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 16, 20, 16);
    layout->addWidget(mOrchardTitle);
    layout->addWidget(mOrchardTitleMsg);
    layout->addWidget(mOrchardBox);
    layout->addSpacing(6);
    layout->addWidget(mMiniNookPublicTitle);
    layout->addWidget(mMiniNookPublicGuideMsg);
    layout->addLayout(publicRow);
    layout->addSpacing(6);
    layout->addWidget(mOrchardAlarmTitle);
    layout->addWidget(mOrchardAlarm);
    layout->addWidget(mSwitchOrTextAlarm);
    layout->addWidget(mSwitchOrMsgAlarm);
    layout->addStretch(1);

    connect(mMininookButton, &QPushButton::clicked, this, &OrchardPane::miniNookAction);
    connect(mOrchardJoinButton, &QPushButton::clicked, this, &OrchardPane::joinAction);
    connect(mFindIDButton, &QPushButton::clicked, this, &OrchardPane::findIDPassAction);
}

bool OrchardPane::isLinked() const { return PrefsManager::orchard_Islinked(); }

void OrchardPane::read()
{
    mOrchardTitle->setText(PrefsWidgets::text("OrchardTitle"));
    mOrchardTitleMsg->setText(PrefsWidgets::text("OrchardTitleMsg"));
    mOrchardBox->setTitle(PrefsWidgets::text("OrchardBoxTitle"));
    mOrchardIDTitle->setText(PrefsWidgets::text("OrchardIDTitle"));
    mOrchardPassTitle->setText(PrefsWidgets::text("OrchardPassTitle"));
    mOrchardGuideMsg->setText(PrefsWidgets::text("OrchardGuideMsg"));
    mMiniNookPublicTitle->setText(PrefsWidgets::text("MininookPublicTitle"));
    mMiniNookPublicGuideMsg->setText(PrefsWidgets::text("MininookPublicGuideMsg"));
    mMiniNookPublic->setText(PrefsWidgets::text("MininookPublic"));
    mOrchardAlarmTitle->setText(PrefsWidgets::text("OrchardAlarmTitle"));
    mOrchardAlarm->setText(PrefsWidgets::text("OrchardAlarm"));
    mSwitchOrTextAlarm->setText(PrefsWidgets::text("SwitchTextAlarmTitle"));
    mSwitchOrMsgAlarm->setText(PrefsWidgets::text("SwitchMsgAlarmTitle"));
    mFindIDButton->setText(PrefsWidgets::text("FindIDButtonTitle"));
    mOrchardJoinButton->setText(PrefsWidgets::text("OrchardJoinButtonTitle"));
    mMininookButton->setText(PrefsWidgets::text("MininookButtonTitle"));
    PrefsWidgets::fillPopupWithTitles(mPopupMininookPublic, OrchardOptions::openModeTitles());
    mPopupMininookPublic->setCurrentIndex(0);

    if (!mContext.signedIn) {
        mIDField->setReadOnly(true);
        mPasswordField->setReadOnly(true);
        mFindIDButton->setEnabled(false);
        mCouplingButton->setEnabled(false);
        mCouplingButton->setText(PrefsWidgets::text("CouplingButtonTitle"));
        setOptionsEnabled(false);
        return;
    }
    mFindIDButton->setEnabled(true);
    mCouplingButton->setEnabled(true);
    if (isLinked()) {
        showLinked(PLMyInfoManager::sharedManager().orchardID());
        showOptionsInForce();
        setOptionsEnabled(true);
    } else {
        showUnlinked();
        setOptionsEnabled(false);
    }
}

void OrchardPane::save()
{
    if (!mContext.signedIn || !isLinked())
        return;
    const OrchardOptionValues chosen{mPopupMininookPublic->currentIndex(), mSwitchOrTextAlarm->isChecked(),
                                     mSwitchOrMsgAlarm->isChecked()};
    // Only what changed: an option the pop-up can't show stays as the server has it.
    const QVariantMap change = OrchardOptions::changedOptions(chosen, OrchardOptions::inForce());
    if (change.isEmpty())
        return;
    for (auto it = change.cbegin(); it != change.cend(); ++it)
        PLMyInfoManager::sharedManager().setProfileValue(it.value().toString(), it.key());
    if (mContext.session)
        mContext.session->setCPRF(change, nullptr);
}

void OrchardPane::cprfResult(const QVariantMap &userInfo)
{
    const AccountLinking::Result result =
        mLinking.cprfResult(true, mContext.signedIn, userInfo.value(QStringLiteral("tid")).toString(),
                            userInfo.value(QStringLiteral("orcmn")).toString());
    if (!result.handled)
        return;
    if (result.linked) {
        const QString id = mIDField->text();
        showLinked(id);
        showOptionsInForce();
        setOptionsEnabled(true);
        PLMyInfoManager::sharedManager().setOrchardID(id);
        mIDField->setFocus();
    } else {
        showUnlinked();
        setOptionsEnabled(false);
    }
    alert(result.alertKey);
}

void OrchardPane::setOptionsEnabled(bool enabled)
{
    mPopupMininookPublic->setEnabled(enabled);
    mSwitchOrTextAlarm->setEnabled(enabled);
    mSwitchOrMsgAlarm->setEnabled(enabled);
}

void OrchardPane::showOptionsInForce()
{
    const OrchardOptionValues inForce = OrchardOptions::inForce();
    mPopupMininookPublic->setCurrentIndex(inForce.openModeIndex);
    mSwitchOrTextAlarm->setChecked(inForce.newTextAlarm);
    mSwitchOrMsgAlarm->setChecked(inForce.messageAlarm);
}

void OrchardPane::open(const QString &server, const char *path)
{
    // Without a server in the endpoints file there is no page to open.
    if (server.isEmpty() || !mContext.shell)
        return;
    mContext.shell->openURL(QUrl(server + QLatin1String(path)));
}

void OrchardPane::miniNookAction() { open(PLEndpoints::current().webSister, "/main2/preview_minicb.asp"); }

void OrchardPane::joinAction() { open(PLEndpoints::current().webSisterMember, "/main/regist/checkmember.jsp"); }

void OrchardPane::findIDPassAction() { open(PLEndpoints::current().webSisterHelp, "/id/id_main.asp"); }

} // namespace parley
