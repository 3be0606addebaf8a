#pragma once

#include "PLRecvPacket.h"

namespace parley {

// A member left the room, or (on a three-item line) the room timed out or
// overflowed.
class PLRecvQUITPacket : public PLRecvPacket
{
public:
    QString ID() const { return value(QStringLiteral("ID")); }
    bool isTimeOut() const { return mIsTimeOut; }
    void setMIsTimeOut(bool timeOut) { mIsTimeOut = timeOut; }
    bool isOverflow() const { return mIsOverflow; }
    void setMIsOverflow(bool overflow) { mIsOverflow = overflow; }

protected:
    void decodeFields() override;

private:
    bool mIsTimeOut = false;
    bool mIsOverflow = false;
};

} // namespace parley
