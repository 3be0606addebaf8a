#include "PLBuddyInfo.h"

namespace parley {

QVariantMap PLBuddyInfo::toVariantMap() const
{
    return {{QStringLiteral("cmn"), cmn},
            {QStringLiteral("velaID"), velaID},
            {QStringLiteral("name"), name},
            {QStringLiteral("nickName"), nickName},
            {QStringLiteral("buddyFlag"), buddyFlag},
            {QStringLiteral("mobile"), mobile},
            {QStringLiteral("orchardCMN"), orchardCMN},
            {QStringLiteral("isLast"), isLast}};
}

} // namespace parley
