#include "PGHMemoDetailPane.h"

#include "pigeonhole/KCLinkButton.h"
#include "PGHBodyView.h"

#include "ImageRegistry.h"
#include "Utils/KCUtilities.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>

namespace pigeonhole {

using parley::KCLocalizedString;

namespace {

QLabel *plainLabel(QWidget *parent, const char *name)
{
    auto *label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->setTextFormat(Qt::PlainText); // peers' text is data
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

} // namespace

PGHMemoDetailPane::PGHMemoDetailPane(QWidget *parent)
    : QWidget(parent)
{
    mSubject = plainLabel(this, "subjectField");
    QFont bold = mSubject->font();
    bold.setBold(true);
    mSubject->setFont(bold);
    mSenderTag = plainLabel(this, "userTagField1");
    mStatusIcon = new QLabel(this);
    mStatusIcon->setObjectName(QStringLiteral("budyStatusBtn"));
    mStatusIcon->setFixedSize(16, 16);
    mSender = plainLabel(this, "userField1");
    mLink = new KCLinkButton(this);
    mLink->setObjectName(QStringLiteral("linkBtn"));
    mRecipientsTag = plainLabel(this, "userTagField2");
    mRecipients = plainLabel(this, "userField2");
    mRecipients->setWordWrap(true);
    mBody = new PGHBodyView(this);
    mBody->setObjectName(QStringLiteral("bodyData"));

    auto *senderRow = new QHBoxLayout;
    senderRow->setSpacing(4);
    senderRow->addWidget(mStatusIcon);
    senderRow->addWidget(mSender);
    senderRow->addWidget(mLink);
    senderRow->addStretch(1);

    auto *grid = new QGridLayout;
    grid->setHorizontalSpacing(4);
    grid->setVerticalSpacing(4);
    grid->addWidget(mSubject, 0, 0, 1, 2);
    grid->addWidget(mSenderTag, 1, 0, Qt::AlignRight);
    grid->addLayout(senderRow, 1, 1);
    grid->addWidget(mRecipientsTag, 2, 0, Qt::AlignRight | Qt::AlignTop);
    grid->addWidget(mRecipients, 2, 1);
    grid->setColumnStretch(1, 1);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->addLayout(grid);
    layout->addWidget(mBody, 1);

    connect(mLink, &QPushButton::clicked, this, [this] {
        if (mMemo)
            Q_EMIT linkClicked(mLine.linkTitleKey, mMemo->suserID);
    });
    setMessageSet(PGHMemo(), QString(), QVariantMap());
}

void PGHMemoDetailPane::setMessageSet(const PGHMemo &memo, const QString &currentUserID, const QVariantMap &buddyStatus)
{
    mMemo = memo.id ? std::optional<PGHMemo>(memo) : std::nullopt;
    mSubject->setText(mMemo ? mMemo->subject : QString());
    mSenderTag->setText(mMemo ? QStringLiteral("%1 : ").arg(KCLocalizedString(QStringLiteral("suser"))) : QString());
    mRecipientsTag->setText(mMemo ? QStringLiteral("%1 : ").arg(KCLocalizedString(QStringLiteral("ruser"))) : QString());
    setBuddyStatus(currentUserID, buddyStatus);
    mBody->showText(mMemo ? mMemo->bodyData : QString());
}

void PGHMemoDetailPane::setBuddyStatus(const QString &currentUserID, const QVariantMap &buddyStatus)
{
    mLine = PGHSenderLine::of(mMemo, currentUserID, buddyStatus);
    mLink->setText(KCLocalizedString(mLine.linkTitleKey));
    mLink->setIcon(ImageRegistry::pixmap(mLine.linkImage));
    mLink->setVisible(mLine.showsStatusAndLink);
    mStatusIcon->setPixmap(ImageRegistry::pixmap(mLine.statusImage));
    mStatusIcon->setVisible(mLine.showsStatusAndLink);
    mSender->setText(mLine.senderText);
    mRecipients->setText(mLine.recipientsText);
}

} // namespace pigeonhole
