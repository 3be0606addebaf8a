#pragma once

// Reads one reply of the HTTP tunnel: the header (bounded), its fields, and
// the body that "Content-Length" announces. Socket-free: the exchange feeds
// it what the proxy sends.

#include <QByteArray>
#include <QHash>
#include <QString>
#include <optional>

namespace parley {

class PLHTTPTunnelReply
{
public:
    static constexpr qsizetype kMaxHeaderLength = 64 * 1024;
    static constexpr qint64 kMaxBodyLength = 16 * 1024 * 1024;

    enum class Status {
        NeedMore, // keep reading
        Complete, // `body()` holds the whole body
        Error,    // `error()` says why; nothing is delivered
    };

    Status feed(const QByteArray &bytes);
    // The connection ended: a reply without "Content-Length" is complete
    // with what came; any other unfinished reply is an error.
    Status finish();

    bool hasHeader() const { return mHeader.has_value(); }
    // The field's value (names compared without regard to case); null when absent.
    QString headerValue(const QString &name) const;
    int statusCode() const { return mStatusCode; }
    const QByteArray &body() const { return mBody; }
    const QString &error() const { return mError; }
    Status status() const { return mStatus; }

    // Splits a header (status line, then fields, ended by CR LF) into its
    // fields. A field line is "name: value" with exactly one colon; name and
    // value lose surrounding spaces and tabs. Other lines are skipped.
    // Nothing for a header of one line only, or bytes that are not UTF-8.
    static std::optional<QHash<QString, QString>> parseHeader(const QByteArray &header, int *statusCode = nullptr);

private:
    Status fail(const QString &why);
    Status checkBody();

    QByteArray mBuffer;
    std::optional<QHash<QString, QString>> mHeader;
    int mStatusCode = 0;
    qint64 mExpected = -1; // -1: no "Content-Length", read to the end
    QByteArray mBody;
    QString mError;
    Status mStatus = Status::NeedMore;
};

} // namespace parley
