#include "PGHSenderLine.h"

namespace pigeonhole {

int PGHSenderLine::statusOf(const QVariantMap &buddyStatus, const QString &loginID)
{
    bool ok = false;
    const int status = buddyStatus.value(loginID).toInt(&ok);
    return ok ? status : 0;
}

PGHSenderLine PGHSenderLine::of(const std::optional<PGHMemo> &memo, const QString &currentUserID,
                                const QVariantMap &buddyStatus)
{
    PGHSenderLine line;
    const QString senderID = memo ? memo->suserID : QString();
    const int status = statusOf(buddyStatus, senderID);
    line.linkTitleKey = status > 0 ? QStringLiteral("chat") : QStringLiteral("memo");
    line.linkImage = status > 0 ? QStringLiteral("icon_chat(16x16)") : QStringLiteral("icon_memo(16x16)");
    line.showsStatusAndLink = memo && senderID != currentUserID;
    if (line.showsStatusAndLink) {
        switch (status) {
        case 0: line.statusImage = QStringLiteral("16x16_offline.png"); break;
        case 1: line.statusImage = QStringLiteral("16x16_normal.png"); break;
        case 2: line.statusImage = QStringLiteral("16x16_busy.png"); break;
        default: line.statusImage = QStringLiteral("16x16_other.png"); break;
        }
        line.senderIndent = 16;
    }
    if (memo) {
        line.senderText = QStringLiteral("%1  <%2>").arg(memo->suser, memo->suserID);
        line.recipientsText = memo->ruser;
    }
    return line;
}

} // namespace pigeonhole
