#include "PLFrameReader.h"

#include "Log.h"
#include "Utils/ParleyDataAdditions.h"
#include "Utils/ParleyStringAdditions.h"

namespace parley {

void PLFrameReader::append(const QByteArray &bytes)
{
    if (mCarryOffset == mCarry.size()) {
        mCarry.clear();
        mCarryOffset = 0;
    }
    // The unframed rest of the last block joins the carry (normally part of
    // one frame); the new block itself is shared, not copied.
    if (mOffset < mBuffer.size())
        mCarry.append(mBuffer.constData() + mOffset, mBuffer.size() - mOffset);
    mBuffer = bytes;
    mOffset = 0;
}

PLFrameReader::Frame PLFrameReader::next()
{
    if (!mError.isEmpty())
        return {Status::ProtocolError, {}, {}, mError, {}, {}};
    while (mCarryOffset < mCarry.size()) {
        Frame frame = frameIn(mCarry, mCarryOffset);
        if (frame.status != Status::NeedMore)
            return frame;
        bool moved = false;
        if (!completeCarry(&moved))
            return moved ? frameIn(mCarry, mCarryOffset) : frame; // a line may now be too long
    }
    return frameIn(mBuffer, mOffset);
}

bool PLFrameReader::completeCarry(bool *moved)
{
    const QByteArrayView rest(mBuffer.constData() + mOffset, mBuffer.size() - mOffset);
    const qsizetype carried = mCarry.size() - mCarryOffset;
    qsizetype take = rest.size();
    bool complete = false;
    if (mPendingBody >= 0) {
        const qint64 missing = mPendingBody - carried;
        complete = missing <= rest.size();
        take = complete ? qsizetype(missing) : rest.size();
    } else if (mCarry.endsWith('\r') && rest.startsWith('\n')) {
        take = 1;
        complete = true;
    } else if (const qsizetype divider = parleyHeaderDividerLocation(rest); divider != kParleyNotFound) {
        take = divider + 2;
        complete = true;
    }
    mCarry.append(rest.first(take));
    mOffset += take;
    *moved = take > 0;
    return complete;
}

PLFrameReader::Frame PLFrameReader::frameIn(const QByteArray &buffer, qsizetype &offset)
{
    const QByteArrayView rest(buffer.constData() + offset, buffer.size() - offset);
    if (mPendingBody >= 0) {
        if (rest.size() < mPendingBody)
            return {};
        const QByteArrayView view = rest.first(mPendingBody);
        QByteArray body;
        if (offset == 0 && rest.size() == mPendingBody)
            body = buffer;
        else if (mCopiesBodies)
            body = view.toByteArray();
        offset += mPendingBody;
        mPendingBody = -1;
        return {Status::Body, {}, body, {}, view, buffer};
    }
    const qsizetype divider = parleyHeaderDividerLocation(rest);
    if ((divider == kParleyNotFound && rest.size() > kMaxHeaderLength)
        || (divider != kParleyNotFound && divider > kMaxHeaderLength)) {
        mError = QStringLiteral("header line longer than %1 bytes").arg(kMaxHeaderLength);
        return {Status::ProtocolError, {}, {}, mError, {}, {}};
    }
    if (divider == kParleyNotFound)
        return {};
    // The line is consumed whether or not it decodes.
    stringWithDataInto(rest.first(divider), QStringConverter::Utf8, mLine);
    const QString line = mLine;
    offset += divider + 2;
    if (line.isNull()) {
        plLogNil(__FILE__, __LINE__);
        return {Status::Dropped, {}, {}, {}, {}, {}};
    }
    return {Status::Line, line, {}, {}, {}, {}};
}

bool PLFrameReader::expectBody(qint64 length)
{
    if (length < 0 || length > kMaxBodyLength) {
        mError = QStringLiteral("announced body length %1 out of range").arg(length);
        return false;
    }
    mPendingBody = length;
    return true;
}

void PLFrameReader::clear()
{
    mBuffer.clear();
    mOffset = 0;
    mCarry.clear();
    mCarryOffset = 0;
    mPendingBody = -1;
    mError.clear();
}

} // namespace parley
