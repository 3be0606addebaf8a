#include "PLRecvLISTPacket.h"

#include <algorithm>

namespace parley {

QString PLRecvLISTPacket::nickName() const
{
    QString nick = value(fieldNames(), kNickName);
    const auto lineBreak = [](QChar c) { return c == QLatin1Char('\r') || c == QLatin1Char('\n'); };
    // Almost no nickname has one: look once before editing.
    if (std::any_of(nick.cbegin(), nick.cend(), lineBreak)) {
        nick.remove(QLatin1Char('\r'));
        nick.remove(QLatin1Char('\n'));
    }
    return nick;
}

bool PLRecvLISTPacket::isEwer() const
{
    const QString ewer = value(fieldNames(), kEwerYN);
    return !ewer.isNull() && ewer != QLatin1String("N");
}

namespace {

// At namespace scope rather than a local static: asked for several times a
// line, it then costs no guard check.
const PLFieldNames kFieldNames{
    QStringLiteral("idx"),        QStringLiteral("count"),        QStringLiteral("buddyFlag"),
    QStringLiteral("id"),         QStringLiteral("CMN"),          QStringLiteral("name"),
    QStringLiteral("nickName"),   QStringLiteral("mobile"),       QStringLiteral("email"),
    QStringLiteral("birthday"),   QStringLiteral("orchardCMN"),   QStringLiteral("birthdayTPCD"),
    QStringLiteral("authYN"),     QStringLiteral("mimid"),        QStringLiteral("musicDate"),
    QStringLiteral("ewerYN")};

} // namespace

const PLFieldNames &PLRecvLISTPacket::fieldNames()
{
    return kFieldNames;
}

void PLRecvLISTPacket::decodeFields()
{
    readFields(2, fieldNames(), kIdx, kBuddyFlag);
    if (count() == 0)
        return;
    readFields(2, fieldNames(), kBuddyFlag);
}

} // namespace parley
