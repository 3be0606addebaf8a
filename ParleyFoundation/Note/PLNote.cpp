#include "PLNote.h"

#include "BuddyManagement/PLMyInfoManager.h"
#include "Log.h"

#include <algorithm>
#include <limits>

namespace parley {

namespace {

constexpr qsizetype kMaxTitleLength = 50;

} // namespace

PLNote::PLNote() : mSubCommand_(QStringLiteral("IMSG"))
{
    mNoteHeader_.setFrom(PLMyInfoManager::sharedManager().loginID());
}

void PLNote::addTargetID(const QString &targetID)
{
    PL_GUARD_OBJECT(!targetID.isNull());
    mTargetIDs_ << targetID;
}

void PLNote::setMessage(const QString &message)
{
    mBody_ = message;
    qsizetype end = message.size();
    for (qsizetype i = 0; i < message.size(); ++i) {
        if (message.at(i) == QLatin1Char('\r') || message.at(i) == QLatin1Char('\n')) {
            end = i;
            break;
        }
    }
    qsizetype titleLength = std::min(end, kMaxTitleLength);
    // Never cut a character in half: a lone surrogate would reach the wire
    // as a replacement character.
    if (titleLength > 0 && titleLength < end && message.at(titleLength - 1).isHighSurrogate())
        --titleLength;
    mNoteHeader_.setTitle(message.left(titleLength));
    // The length counts bytes of UTF-16.
    mNoteHeader_.setLength(qint32(std::min<qsizetype>(message.size() * 2, std::numeric_limits<qint32>::max())));
}

void PLNote::setConfirm(bool confirm)
{
    mConfirm_ = confirm;
    mNoteHeader_.setConfirm(confirm);
}

QString PLNote::targetIDsString() const
{
    return mTargetIDs_.join(QLatin1Char(' ')).trimmed() + QLatin1String("\r\n");
}

QString PLNote::stringRepresentation()
{
    mNoteHeader_.setRefs(mTargetIDs_);
    return targetIDsString() + mSubCommand_ + QLatin1String("\r\n") + mNoteHeader_.stringRepresentation()
        + QLatin1String("\r\n") + mBody_;
}

} // namespace parley
