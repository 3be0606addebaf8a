#pragma once

// One buddy line of the buddy list (LIST) of a sign-in, as the session hands
// it to its owner.

#include <QString>
#include <QVariantMap>

namespace parley {

struct PLBuddyInfo {
    QString cmn;
    QString velaID;
    QString name;
    QString nickName;
    QString buddyFlag;
    QString mobile;
    QString orchardCMN;
    bool isLast = false;

    // {"cmn", "velaID", "name", "nickName", "buddyFlag", "mobile", "orchardCMN", "isLast"}
    QVariantMap toVariantMap() const;
};

} // namespace parley
