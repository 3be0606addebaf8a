#include "PLFrameReader.h"

#include "Utils/ParleyDataAdditions.h"

namespace parley {

PLFrameReader::Frame PLFrameReader::next()
{
    if (!mError.isEmpty())
        return {Status::ProtocolError, {}, {}, mError};
    if (mPendingBody >= 0) {
        auto body = extractParleyBodyWithLength(mBuffer, quint32(mPendingBody));
        if (!body)
            return {};
        mPendingBody = -1;
        return {Status::Body, {}, *body, {}};
    }
    const qsizetype divider = parleyHeaderDividerLocation(mBuffer);
    if ((divider == kParleyNotFound && mBuffer.size() > kMaxHeaderLength)
        || (divider != kParleyNotFound && divider > kMaxHeaderLength)) {
        mError = QStringLiteral("header line longer than %1 bytes").arg(kMaxHeaderLength);
        return {Status::ProtocolError, {}, {}, mError};
    }
    ParleyHeader header = extractParleyHeader(mBuffer);
    switch (header.kind) {
    case ParleyHeader::Kind::Line:
        return {Status::Line, header.line, {}, {}};
    case ParleyHeader::Kind::Dropped:
        return {Status::Dropped, {}, {}, {}};
    case ParleyHeader::Kind::NeedMore:
        break;
    }
    return {};
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
    mPendingBody = -1;
    mError.clear();
}

} // namespace parley
