#pragma once

// One buddy of a copy-to-group batch: the buddy and the groups it is copied
// from and to. Its line in the batch body is the four values as they are.

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

    QString buddyString() const
    {
        return mBuddyCMN + QLatin1Char(' ') + mID + QLatin1Char(' ') + mFromGroupID + QLatin1Char(' ') + mTargetGroupID;
    }

private:
    QString mBuddyCMN = QStringLiteral("%00");
    QString mID = QStringLiteral("%00");
    QString mFromGroupID = QStringLiteral("%00");
    QString mTargetGroupID = QStringLiteral("%00");
};

} // namespace parley
