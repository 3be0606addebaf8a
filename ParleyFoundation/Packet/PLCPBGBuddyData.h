#pragma once

// One buddy of a copy-to-group batch: the buddy and the groups it is copied
// from and to. Its line in the batch body is the four values as they are.

#include "PLBodyWords.h"

#include <QString>

namespace parley {

class PLCPBGBuddyData
{
public:
    void setBuddy(const QString &buddyCMN, const QString &ID, const QString &fromGroupID, const QString &targetGroupID)
    {
        mBuddyCMN = buddyCMN;
        mID = ID;
        mFromGroupID = fromGroupID;
        mTargetGroupID = targetGroupID;
    }

    const QString &buddyCMN() const { return mBuddyCMN; }
    const QString &ID() const { return mID; }
    const QString &fromGroupID() const { return mFromGroupID; }
    const QString &targetGroupID() const { return mTargetGroupID; }

    // The four values as words; null (logged) when one would split the line.
    QString buddyString() const
    {
        return PLBodyWords("CPBG or MVBG")
            .marked(mBuddyCMN, "buddyCMN")
            .marked(mID, "ID")
            .marked(mFromGroupID, "fromGroupID")
            .marked(mTargetGroupID, "targetGroupID")
            .line();
    }

private:
    QString mBuddyCMN = QStringLiteral("%00");
    QString mID = QStringLiteral("%00");
    QString mFromGroupID = QStringLiteral("%00");
    QString mTargetGroupID = QStringLiteral("%00");
};

} // namespace parley
