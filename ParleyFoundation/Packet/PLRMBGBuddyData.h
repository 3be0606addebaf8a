#pragma once

// One buddy of a remove-from-group batch; targetGroupID is the group it leaves.

#include "PLBodyWords.h"

#include <QString>

namespace parley {

class PLRMBGBuddyData
{
public:
    void setBuddy(const QString &buddyCMN, const QString &ID, const QString &targetGroupID)
    {
        mBuddyCMN = buddyCMN;
        mID = ID;
        mTargetGroupID = targetGroupID;
    }

    const QString &buddyCMN() const { return mBuddyCMN; }
    const QString &ID() const { return mID; }
    const QString &targetGroupID() const { return mTargetGroupID; }

    // The three values as words; null (logged) when one would split the line.
    QString buddyString() const
    {
        return PLBodyWords("RMBG").marked(mBuddyCMN, "buddyCMN").marked(mID, "ID").marked(mTargetGroupID, "targetGroupID").line();
    }

private:
    QString mBuddyCMN = QStringLiteral("%00");
    QString mID = QStringLiteral("%00");
    QString mTargetGroupID = QStringLiteral("%00");
};

} // namespace parley
