#pragma once

// XML property lists (the plist 1.0 document type) read into and written from
// QVariant:
//   dict -> QVariantMap      array -> QVariantList   string -> QString
//   integer -> qint64        real -> double          true/false -> bool
//   date -> QDateTime (UTC, whole seconds)           data -> QByteArray
// Writing also takes QVariantHash, QStringList, the other integer types and
// float. Property lists have no null, so an invalid QVariant is refused.
//
// Files are untrusted: every failure is reported as an error text, with a
// limit on size and on nesting depth, and no entity declarations accepted.

#include <QByteArray>
#include <QFileDevice>
#include <QString>
#include <QVariant>

#include <optional>

namespace parley {

class PropertyList {
public:
    static constexpr qsizetype kMaxBytes = 32 * 1024 * 1024;
    // Containers nested deeper than this are refused.
    static constexpr int kMaxDepth = 64;

    struct ReadResult {
        QVariant value;
        QString error; // empty on success
        bool ok() const { return error.isEmpty(); }
    };
    struct WriteResult {
        QByteArray data;
        QString error; // empty on success
        bool ok() const { return error.isEmpty(); }
    };

    static ReadResult read(const QByteArray &xml);
    static ReadResult readFile(const QString &path);
    // readFile() in two steps, for a caller that tries a reader of its own
    // layout on the bytes first: the file's bytes (within kMaxBytes), else
    // the error; then read() of them with errors naming the file.
    struct Bytes {
        QByteArray data;
        QString error; // empty on success
        bool ok() const { return error.isEmpty(); }
    };
    static Bytes readFileBytes(const QString &path);
    static ReadResult readFileData(const QString &path, const QByteArray &data);

    // Strings that XML cannot carry (control characters other than tab,
    // line feed and carriage return; lone surrogates) are refused.
    static WriteResult write(const QVariant &value);
    // Atomic: the old file stays in place until the new one is complete.
    // With `permissions` the new file gets them before any content is written.
    // Answers an empty string on success, else the error.
    [[nodiscard]] static QString writeFile(const QString &path, const QVariant &value,
                                           std::optional<QFileDevice::Permissions> permissions = std::nullopt);
    // For caches the server can send again: as atomic as writeFile (the new
    // file replaces the old one by a rename), but not forced to the disk, so
    // a sign-in does not wait for the disk. After a power loss the file may
    // be the old one, empty or cut short; its reader must then treat it as
    // absent. A new file gets the usual mode (0666 less the umask), a
    // replaced one keeps its mode.
    [[nodiscard]] static QString writeCacheFile(const QString &path, const QVariant &value);
    // The same for a document already written (PropertyListWriter).
    [[nodiscard]] static QString writeCacheDocument(const QString &path, const QByteArray &document);

    // writeCacheDocument() in pieces, for a document not held whole
    // (PropertyListWriter::drainTo): nothing replaces the old file before
    // commit(), and a file not committed leaves nothing behind.
    class CacheDocumentFile
    {
    public:
        explicit CacheDocumentFile(const QString &path);
        ~CacheDocumentFile();
        CacheDocumentFile(const CacheDocumentFile &) = delete;
        CacheDocumentFile &operator=(const CacheDocumentFile &) = delete;
        // False once anything failed.
        bool write(QByteArrayView bytes);
        // Puts the file in place: an empty string on success, else the first error.
        [[nodiscard]] QString commit();
        // The first error so far; empty while there is none.
        QString error() const;

    private:
        void fail(int error);
        QString mPath;
        QByteArray mTarget;
        QByteArray mTemporary;
        int mFd = -1;
        int mError = 0;
    };
};

} // namespace parley
