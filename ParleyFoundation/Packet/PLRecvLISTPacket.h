#pragma once

// One buddy of the buddy list, 18 fields; a list of no buddies is announced by
// one line with a count of 0 and nothing after it.

#include "PLRecvPacket.h"

namespace parley {

class PLRecvLISTPacket : public PLRecvPacket
{
public:
    qint32 index() const { return intValue(fieldNames(), kIdx, -1); }
    qint32 count() const { return intValue(fieldNames(), kCount, 0); }
    bool isLast() const { return count() == 0 || index() == count() - 1; }
    QString buddyFlag() const { return value(fieldNames(), kBuddyFlag); }
    // buddyFlag() in `kept`, left shared when it reads the same (most
    // buddies of a list have the same flags).
    void buddyFlagKeptIfSame(QString &kept) const { valueKeptIfSame(fieldNames(), kBuddyFlag, kept); }
    QString ID() const { return value(fieldNames(), kId); }
    QString CMN() const { return value(fieldNames(), kCMN); }
    // CMN() into `into`, reusing its buffer (see PLRecvFields::valueInto).
    void CMNInto(QString &into) const { valueInto(fieldNames(), kCMN, into); }
    QString name() const { return value(fieldNames(), kName); }
    // The nickname without line breaks, which would break the list display.
    QString nickName() const;
    QString mobile() const { return value(fieldNames(), kMobile); }
    QString email() const { return value(fieldNames(), kEmail); }
    QString birthDay() const { return value(fieldNames(), kBirthday); }
    QString orchardCMN() const { return value(fieldNames(), kOrchardCMN); }
    QString birthdayTPCD() const { return value(fieldNames(), kBirthdayTPCD); }
    QString authYN() const { return value(fieldNames(), kAuthYN); }
    QString mimid() const { return value(fieldNames(), kMimid); }
    QString musicDate() const { return value(fieldNames(), kMusicDate); }
    bool isEwer() const;

    // A buddy list comes as one line per buddy.
    bool isReusable() const override { return true; }

protected:
    void decodeFields() override;

private:
    // The names of fields 2 to 17, in order, made once.
    enum Field { kIdx, kCount, kBuddyFlag, kId, kCMN, kName, kNickName, kMobile, kEmail, kBirthday, kOrchardCMN,
                 kBirthdayTPCD, kAuthYN, kMimid, kMusicDate, kEwerYN };
    static const PLFieldNames &fieldNames();
};

} // namespace parley
