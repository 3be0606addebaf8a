#include "PGHChatDetailPane.h"

#include "PGHBodyView.h"
#include "PGHDisplayFormat.h"

#include "Utils/KCUtilities.h"

#include <QGridLayout>
#include <QLabel>

namespace pigeonhole {

using parley::KCLocalizedString;

PGHChatDetailPane::PGHChatDetailPane(QWidget *parent)
    : QWidget(parent)
{
    const auto label = [this](const char *name) {
        auto *l = new QLabel(this);
        l->setObjectName(QLatin1String(name));
        l->setTextFormat(Qt::PlainText);
        l->setTextInteractionFlags(Qt::TextSelectableByMouse);
        return l;
    };
    mTitle = label("titleField");
    QFont bold = mTitle->font();
    bold.setBold(true);
    mTitle->setFont(bold);
    mChatUserTag = label("chatUserTagField");
    mChatUser = label("chatUserField");
    mChatUser->setWordWrap(true);
    mDateTag = label("dateTagField");
    mDate = label("dateField");
    mBody = new PGHBodyView(this);
    mBody->setObjectName(QStringLiteral("chatBodyData"));

    auto *grid = new QGridLayout;
    grid->setHorizontalSpacing(4);
    grid->setVerticalSpacing(4);
    grid->addWidget(mTitle, 0, 0, 1, 2);
    grid->addWidget(mChatUserTag, 1, 0, Qt::AlignRight | Qt::AlignTop);
    grid->addWidget(mChatUser, 1, 1);
    grid->addWidget(mDateTag, 2, 0, Qt::AlignRight);
    grid->addWidget(mDate, 2, 1);
    grid->setColumnStretch(1, 1);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->addLayout(grid);
    layout->addWidget(mBody, 1);
    setChatContents(PGHChat());
}

void PGHChatDetailPane::setChatContents(const PGHChat &chat)
{
    const bool shown = chat.id != 0;
    mTitle->setText(shown ? chat.title : QString());
    mChatUserTag->setText(shown ? QStringLiteral("%1 : ").arg(KCLocalizedString(QStringLiteral("chatuser"))) : QString());
    mChatUser->setText(shown ? chat.chatUser : QString());
    mDateTag->setText(shown ? QStringLiteral("%1 : ").arg(KCLocalizedString(QStringLiteral("date"))) : QString());
    mDate->setText(shown ? PGHDisplayFormat::date(chat.date) : QString());
    mBody->showText(shown ? chat.bodyData : QString());
}

} // namespace pigeonhole
