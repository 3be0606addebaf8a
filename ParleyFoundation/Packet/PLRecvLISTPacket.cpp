#include "PLRecvLISTPacket.h"

namespace parley {

QString PLRecvLISTPacket::nickName() const
{
    QString nick = value(QStringLiteral("nickName"));
    nick.remove(QLatin1Char('\r'));
    nick.remove(QLatin1Char('\n'));
    return nick;
}

bool PLRecvLISTPacket::isEwer() const
{
    const QString ewer = value(QStringLiteral("ewerYN"));
    return !ewer.isNull() && ewer != QLatin1String("N");
}

void PLRecvLISTPacket::decodeFields()
{
    readFields(2, {QStringLiteral("idx"), QStringLiteral("count")});
    if (count() == 0)
        return;
    readFields(4,
               {QStringLiteral("buddyFlag"), QStringLiteral("id"), QStringLiteral("CMN"), QStringLiteral("name"),
                QStringLiteral("nickName"), QStringLiteral("mobile"), QStringLiteral("email"),
                QStringLiteral("birthday"), QStringLiteral("orchardCMN"), QStringLiteral("birthdayTPCD"),
                QStringLiteral("authYN"), QStringLiteral("mimid"), QStringLiteral("musicDate"),
                QStringLiteral("ewerYN")});
}

} // namespace parley
