#include "PLDownloadFile.h"

#include "Log.h"
#include "PLPeerFileName.h"
#include "Utils/KCUtilities.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <fcntl.h>
#include <sys/uio.h>
#include <vector>

namespace parley {

PLDownloadFile::~PLDownloadFile()
{
    if (mTemp)
        discard();
}

namespace {
bool nameIsTaken(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}
} // namespace

bool PLDownloadFile::reserve(const QString &path)
{
    QFile placeholder(path);
    // NewOnly: fails rather than open what appeared meanwhile (or a link).
    if (!placeholder.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
        mError = KCLocalizedString(QStringLiteral("DownloadFileError")).arg(placeholder.errorString());
        return false;
    }
    mReserved = true;
    return true;
}

PLDownloadFile::Result PLDownloadFile::open(const QString &folder, const QString &name, PLFileSaveQuestion &question,
                                            bool *renamed)
{
    if (renamed)
        *renamed = false;
    mError.clear();
    if (!PLPeerFileName::isAcceptable(name)) {
        plLog(QStringLiteral("refused file name from peer: %1").arg(name.toHtmlEscaped()));
        mError = KCLocalizedString(QStringLiteral("DownloadFileError")).arg(KCLocalizedString(QStringLiteral("DownloadNameRefused")));
        return Result::Failed;
    }
    const QDir dir(folder);
    // A chosen or default folder that is not there yet is made, as a save panel would.
    if (folder.isEmpty() || !QDir().mkpath(folder) || !dir.exists()) {
        plLog(QStringLiteral("the download folder %1 cannot be made").arg(folder));
        mError = KCLocalizedString(QStringLiteral("DownloadFolderError")).arg(QDir::toNativeSeparators(folder));
        return Result::Failed;
    }
    const QString saved = PLPeerFileName::savedName(name);
    QString path = dir.filePath(saved);
    if (renamed)
        *renamed = saved != name;
    bool overwrite = false;
    if (nameIsTaken(path)) {
        switch (question.askOverwrite(path)) {
        case PLFileSaveQuestion::Answer::Overwrite:
            // A folder or a link is never replaced.
            if (!QFileInfo(path).isFile() || QFileInfo(path).isSymLink()) {
                mError = KCLocalizedString(QStringLiteral("DownloadFileError"))
                             .arg(KCLocalizedString(QStringLiteral("DownloadNameRefused")));
                return Result::Failed;
            }
            overwrite = true;
            break;
        case PLFileSaveQuestion::Answer::SaveAs: {
            const QString chosen = question.askSavePath(folder, saved);
            if (chosen.isNull())
                return Result::Refused;
            path = QDir::cleanPath(chosen);
            if (renamed)
                *renamed = true;
            break;
        }
        case PLFileSaveQuestion::Answer::Cancel: return Result::Refused;
        }
    }
    mPath = path;
    if (!overwrite && !reserve(path)) {
        plLog(QStringLiteral("make fileHandle error"));
        return Result::Failed;
    }
    const QString targetFolder = QFileInfo(path).absolutePath();
    mTemp = std::make_unique<QTemporaryFile>(QDir(targetFolder).filePath(QStringLiteral(".parley-XXXXXX.part")));
    mTemp->setAutoRemove(true);
    if (!mTemp->open()) {
        plLog(QStringLiteral("make fileHandle error"));
        mError = KCLocalizedString(QStringLiteral("DownloadFileError")).arg(mTemp->errorString());
        discard();
        return Result::Failed;
    }
    return Result::Ready;
}

bool PLDownloadFile::write(QByteArrayView bytes, const QByteArray &block)
{
    if (!isOpen())
        return false;
    if (bytes.isEmpty())
        return true;
    const char *begin = block.constData();
    const bool inBlock = !block.isEmpty() && bytes.data() >= begin && bytes.data() + bytes.size() <= begin + block.size();
    // Bytes from a new block: the blocks before are let go once written
    // (their owner reuses them), as soon as they make a write of some size.
    const bool newBlock = inBlock && !mPieces.isEmpty() && mPieces.last().block.constData() != begin;
    if ((mPendingBytes + bytes.size() > kGatherSize || mPieces.size() >= kMaxPieces
         || (newBlock && mPendingBytes >= kMinWrite))
        && !flushGathered())
        return false;
    if (bytes.size() >= kGatherSize)
        return writeThrough(bytes);
    if (inBlock) {
        mPieces.append({block, bytes.data() - begin, bytes.size()});
    } else if (!mPieces.isEmpty() && mPieces.last().block.isNull()) {
        mPieces.last().length += bytes.size();
        mGathered.append(bytes);
    } else {
        if (mGathered.capacity() < kGatherSize)
            mGathered.reserve(kGatherSize);
        mPieces.append({QByteArray(), mGathered.size(), bytes.size()});
        mGathered.append(bytes);
    }
    mPendingBytes += bytes.size();
    return true;
}

namespace {

// Writes every byte of the pieces, going on after a short write.
bool writeAll(int fd, std::vector<iovec> &pieces)
{
    std::size_t first = 0;
    while (first < pieces.size()) {
        const int count = int(std::min<std::size_t>(pieces.size() - first, IOV_MAX));
        const ssize_t written = ::writev(fd, pieces.data() + first, count);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        std::size_t left = std::size_t(written);
        while (first < pieces.size() && left >= pieces[first].iov_len)
            left -= pieces[first++].iov_len;
        if (left > 0) {
            pieces[first].iov_base = static_cast<char *>(pieces[first].iov_base) + left;
            pieces[first].iov_len -= left;
        }
    }
    return true;
}

} // namespace

bool PLDownloadFile::writeThrough(QByteArrayView bytes)
{
    std::vector<iovec> pieces{{const_cast<char *>(bytes.data()), std::size_t(bytes.size())}};
    return writeAll(mTemp->handle(), pieces);
}

bool PLDownloadFile::flushGathered()
{
    if (mPieces.isEmpty())
        return true;
    std::vector<iovec> pieces;
    pieces.reserve(std::size_t(mPieces.size()));
    for (const Piece &piece : std::as_const(mPieces)) {
        const char *base = piece.block.isNull() ? mGathered.constData() : piece.block.constData();
        pieces.push_back({const_cast<char *>(base + piece.offset), std::size_t(piece.length)});
    }
    // The file is written only here, past Qt's buffer: its descriptor's
    // position is the file's end.
    const bool written = writeAll(mTemp->handle(), pieces);
    // Kept allocated for the next bytes; dropped on failure, the file is lost anyway.
    mPieces.resize(0);
    mPendingBytes = 0;
    mGathered.resize(0);
    return written;
}

bool PLDownloadFile::commit()
{
    if (!isOpen())
        return false;
    const bool flushed = flushGathered() && mTemp->flush();
    // The temporary file is private; the saved one gets the usual mode.
    mTemp->setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup
                          | QFileDevice::ReadOther);
    const QString tempPath = mTemp->fileName();
    mTemp->close();
    if (!flushed || !moveIntoPlace(QFile::encodeName(tempPath), QFile::encodeName(mPath))) {
        plLog(QStringLiteral("writeData exception - cannot complete %1").arg(mPath));
        discard();
        return false;
    }
    mTemp->setAutoRemove(false);
    mTemp.reset();
    mPieces.clear();
    mGathered = QByteArray();
    mReserved = false;
    return true;
}

bool PLDownloadFile::moveIntoPlace(const QByteArray &from, const QByteArray &to)
{
    // Our own empty file holds the name: it goes first, so that the move
    // replaces nothing (moved over a file, a new file is written out to the
    // disk at once by ext4, a pause as long as the file is big). Should the
    // name be taken again meanwhile, the move replaces it as before.
    if (removeReservedName()) {
        if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0)
            return true;
        // EINVAL: a file system that cannot refuse to replace.
        if (errno != EEXIST && errno != EINVAL)
            return false;
    }
    // rename(2) replaces the reserved or old file in one step and never
    // follows a link at the destination.
    return std::rename(from.constData(), to.constData()) == 0;
}

bool PLDownloadFile::removeReservedName()
{
    if (!mReserved)
        return false;
    mReserved = false;
    // Only the empty file this download made.
    const QFileInfo info(mPath);
    return info.isFile() && !info.isSymLink() && info.size() == 0 && QFile::remove(mPath);
}

void PLDownloadFile::discard()
{
    mPieces.clear();
    mPendingBytes = 0;
    mGathered = QByteArray();
    if (mTemp) {
        mTemp->close();
        mTemp->remove();
        mTemp.reset();
    }
    removeReservedName();
}

} // namespace parley
