#pragma once

// The destination of one download. The bytes go to a hidden temporary file in
// the destination folder; only a complete download is moved to its name, so a
// cancelled or failed one never shows as a file, and "overwrite" replaces the
// old file only at that moment. A new name is reserved at once by an empty
// file, so two downloads never pick the same one.

#include "PLFileSaveQuestion.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QTemporaryFile>
#include <memory>

namespace parley {

class PLDownloadFile
{
public:
    enum class Result { Ready, Refused, Failed };

    PLDownloadFile() = default;
    ~PLDownloadFile();
    PLDownloadFile(const PLDownloadFile &) = delete;
    PLDownloadFile &operator=(const PLDownloadFile &) = delete;

    // Chooses the path for `name` in `folder` (made when missing), asking `question` when the
    // name is taken, and opens the temporary file. `renamed` tells whether the
    // path differs from folder/name.
    Result open(const QString &folder, const QString &name, PLFileSaveQuestion &question, bool *renamed = nullptr);

    // Takes the bytes, or answers false when the file could not take them.
    // Small writes are gathered and reach the file in large ones (a chunk at
    // a time costs the receiving thread more than the copy), so a failure
    // may show only at a later write or at commit(). When `block` holds the
    // bytes (they are a view into it), the block is kept until they are
    // written instead of the bytes being copied.
    bool write(QByteArrayView bytes, const QByteArray &block = QByteArray());
    // Writes what is gathered and moves the temporary file to the path;
    // false (and nothing left behind) when either fails.
    bool commit();
    // Removes the temporary file and the reserved name.
    void discard();

    const QString &path() const { return mPath; }
    // Why open() failed, for the user (empty when it did not).
    const QString &errorString() const { return mError; }
    bool isOpen() const { return mTemp && mTemp->isOpen(); }

private:
    static constexpr qsizetype kGatherSize = 512 * 1024;
    // Kept blocks are written once this much is waiting.
    static constexpr qsizetype kMinWrite = 64 * 1024;
    // Pieces written with one system call at most.
    static constexpr int kMaxPieces = 256;

    // Bytes waiting for the file: inside a kept block, or (no block) in
    // mGathered.
    struct Piece
    {
        QByteArray block;
        qsizetype offset = 0;
        qsizetype length = 0;
    };

    bool reserve(const QString &path);
    // Removes the empty file that reserves the name, if this download made
    // it and it is still there; true when it was removed.
    bool removeReservedName();
    bool moveIntoPlace(const QByteArray &from, const QByteArray &to);
    bool flushGathered();
    bool writeThrough(QByteArrayView bytes);

    QString mPath;
    QString mError;
    bool mReserved = false;
    std::unique_ptr<QTemporaryFile> mTemp;
    QList<Piece> mPieces;
    qsizetype mPendingBytes = 0;
    QByteArray mGathered;
};

} // namespace parley
