#include "PLFrameReader.h"

#include "Log.h"
#include "Utils/ParleyDataAdditions.h"
#include "Utils/ParleyStringAdditions.h"

namespace parley {

void PLFrameReader::append(const QByteArray &bytes)
{
    if (mOffset == mBuffer.size()) {
        mBuffer = bytes; // shares the bytes: nothing is copied
    } else {
        mBuffer.remove(0, mOffset);
        mBuffer.append(bytes);
    }
    mOffset = 0;
}

PLFrameReader::Frame PLFrameReader::next()
{
    if (!mError.isEmpty())
        return {Status::ProtocolError, {}, {}, mError, {}};
    const QByteArrayView rest(mBuffer.constData() + mOffset, mBuffer.size() - mOffset);
    if (mPendingBody >= 0) {
        if (rest.size() < mPendingBody)
            return {};
        const QByteArrayView view = rest.first(mPendingBody);
        QByteArray body;
        if (mOffset == 0 && rest.size() == mPendingBody)
            body = mBuffer;
        else if (mCopiesBodies)
            body = view.toByteArray();
        mOffset += mPendingBody;
        mPendingBody = -1;
        return {Status::Body, {}, body, {}, view};
    }
    const qsizetype divider = parleyHeaderDividerLocation(rest);
    if ((divider == kParleyNotFound && rest.size() > kMaxHeaderLength)
        || (divider != kParleyNotFound && divider > kMaxHeaderLength)) {
        mError = QStringLiteral("header line longer than %1 bytes").arg(kMaxHeaderLength);
        return {Status::ProtocolError, {}, {}, mError, {}};
    }
    if (divider == kParleyNotFound)
        return {};
    // The line is consumed whether or not it decodes.
    stringWithDataInto(rest.first(divider), QStringConverter::Utf8, mLine);
    const QString line = mLine;
    mOffset += divider + 2;
    if (line.isNull()) {
        plLogNil(__FILE__, __LINE__);
        return {Status::Dropped, {}, {}, {}, {}};
    }
    return {Status::Line, line, {}, {}, {}};
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
    mPendingBody = -1;
    mError.clear();
}

} // namespace parley
