#pragma once

// Cutting a receive buffer into header lines and counted bodies. The functions
// only ever remove bytes from the front of the buffer and keep no state.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <optional>

namespace parley {

// NSNotFound of the wire model: the largest signed 32-bit value.
inline constexpr qsizetype kParleyNotFound = 0x7FFFFFFF;

// Index of the CR of the first CR LF pair, or kParleyNotFound.
qsizetype parleyHeaderDividerLocation(QByteArrayView buffer);

// What one framing step found.
struct ParleyHeader {
    enum class Kind {
        Line,     // a complete line, in `line`
        NeedMore, // no CR LF yet; the buffer is untouched
        Dropped,  // a line that is not valid UTF-8 was removed and lost
    };
    Kind kind = Kind::NeedMore;
    QString line;
};

// Removes the first line with its CR LF and returns its text (cut at a zero
// byte; every CR LF pair removed). A dropped line is reported as such so that
// the caller goes on with the lines buffered behind it.
ParleyHeader extractParleyHeader(QByteArray &buffer);

// Removes and returns the first n bytes; nothing while fewer are buffered.
std::optional<QByteArray> extractParleyBodyWithLength(QByteArray &buffer, quint32 n);

// The end of an HTTP header: location 0 and the length through the LF of the
// first CR LF CR LF, or location kParleyNotFound and length 0.
struct ParleyRange {
    qsizetype location = kParleyNotFound;
    qsizetype length = 0;
};
ParleyRange HTTPHeaderRange(const QByteArray &data);

} // namespace parley
