#pragma once

// One buddy of the buddy list, 18 fields; a list of no buddies is announced by
// one line with a count of 0 and nothing after it.

#include "PLRecvPacket.h"

namespace parley {

class PLRecvLISTPacket : public PLRecvPacket
{
public:
    qint32 index() const { return intValue(QStringLiteral("idx"), -1); }
    qint32 count() const { return intValue(QStringLiteral("count"), 0); }
    bool isLast() const { return count() == 0 || index() == count() - 1; }
    QString buddyFlag() const { return value(QStringLiteral("buddyFlag")); }
    QString ID() const { return value(QStringLiteral("id")); }
    QString CMN() const { return value(QStringLiteral("CMN")); }
    QString name() const { return value(QStringLiteral("name")); }
    // The nickname without line breaks, which would break the list display.
    QString nickName() const;
    QString mobile() const { return value(QStringLiteral("mobile")); }
    QString email() const { return value(QStringLiteral("email")); }
    QString birthDay() const { return value(QStringLiteral("birthday")); }
    QString orchardCMN() const { return value(QStringLiteral("orchardCMN")); }
    QString birthdayTPCD() const { return value(QStringLiteral("birthdayTPCD")); }
    QString authYN() const { return value(QStringLiteral("authYN")); }
    QString mimid() const { return value(QStringLiteral("mimid")); }
    QString musicDate() const { return value(QStringLiteral("musicDate")); }
    bool isEwer() const;

protected:
    void decodeFields() override;
};

} // namespace parley
