#include "VelaComPane.h"

#include "BuddyManagement/PLMyInfoManager.h"
#include "PrefsShell.h"
#include "PrefsWidgets.h"
#include "Utils/PrefsManager.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace parley {

VelaComPane::VelaComPane(PrefsContext &context, AccountLinking &linking, QWidget *parent)
    : AccountLinkPane(context, linking, AccountLinking::Service::Vela, parent)
{
    mVelaTitle = PrefsWidgets::titleLabel(this);
    mVelaTitleMsg = PrefsWidgets::guideLabel(this);
    mVelaBox = new QGroupBox(this);
    mVelaIDTitle = new QLabel(mVelaBox);
    mVelaPassTitle = new QLabel(mVelaBox);
    mVelaFindIDButton = new QPushButton(mVelaBox);
    mVelaJoinButton = new QPushButton(mVelaBox);

    QGridLayout *box = layOutAccountBox(mVelaBox, mVelaIDTitle, mVelaPassTitle, mVelaFindIDButton);
    box->addWidget(mVelaJoinButton, 2, 2);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 16, 20, 16);
    layout->addWidget(mVelaTitle);
    layout->addWidget(mVelaTitleMsg);
    layout->addWidget(mVelaBox);
    layout->addStretch(1);

    connect(mVelaJoinButton, &QPushButton::clicked, this, [this] {
        if (mContext.shell)
            mContext.shell->showVelaJoin(true);
    });
    connect(mVelaFindIDButton, &QPushButton::clicked, this, [this] {
        if (mContext.shell)
            mContext.shell->showVelaFindID(true);
    });
}

bool VelaComPane::isLinked() const { return PrefsManager::parley_Islinked(); }

void VelaComPane::read()
{
    mVelaTitle->setText(PrefsWidgets::text("VelaComTitle"));
    mVelaTitleMsg->setText(PrefsWidgets::text("VelaComTitleMsg"));
    mVelaBox->setTitle(PrefsWidgets::text("VelaComBoxTitle"));
    mVelaIDTitle->setText(PrefsWidgets::text("VelaComIDTitle"));
    mVelaPassTitle->setText(PrefsWidgets::text("VelaComPassTitle"));
    mVelaFindIDButton->setText(PrefsWidgets::text("FindIDButtonTitle"));
    mVelaJoinButton->setText(PrefsWidgets::text("VelaComJoinButtonTitle"));
    if (mContext.signedIn && isLinked())
        showLinked(PLMyInfoManager::sharedManager().velaID());
    else
        showUnlinked();
}

void VelaComPane::save()
{
    mContext.userPrefs.insert(QStringLiteral("VelaComID"), mIDField->text());
}

void VelaComPane::cprfResult(const QVariantMap &userInfo)
{
    const AccountLinking::Result result =
        mLinking.cprfResult(false, mContext.signedIn, userInfo.value(QStringLiteral("tid")).toString(),
                            userInfo.value(QStringLiteral("orcmn")).toString());
    if (!result.handled)
        return;
    if (result.linked) {
        const QString id = mIDField->text();
        showLinked(id);
        mIDField->setFocus();
        PLMyInfoManager::sharedManager().setVelaID(id);
    } else {
        showUnlinked();
        PLMyInfoManager::sharedManager().setVelaID(QString());
    }
    if (!result.alertKey.isEmpty())
        alert(result.alertKey);
}

} // namespace parley
