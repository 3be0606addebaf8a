#include "PLDownloadFile.h"

#include "Log.h"
#include "PLPeerFileName.h"
#include "Utils/KCUtilities.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdio>

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

bool PLDownloadFile::write(QByteArrayView bytes)
{
    if (!isOpen())
        return false;
    if (mGathered.size() + bytes.size() > kGatherSize && !flushGathered())
        return false;
    if (bytes.size() >= kGatherSize)
        return writeThrough(bytes);
    if (mGathered.capacity() < kGatherSize)
        mGathered.reserve(kGatherSize);
    mGathered.append(bytes);
    return true;
}

bool PLDownloadFile::writeThrough(QByteArrayView bytes)
{
    return mTemp->write(bytes.data(), bytes.size()) == bytes.size();
}

bool PLDownloadFile::flushGathered()
{
    if (mGathered.isEmpty())
        return true;
    const bool written = writeThrough(mGathered);
    // Kept allocated for the next bytes; dropped on failure, the file is lost anyway.
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
    // rename(2) replaces the reserved or old file in one step and never
    // follows a link at the destination.
    if (!flushed || std::rename(QFile::encodeName(tempPath).constData(), QFile::encodeName(mPath).constData()) != 0) {
        plLog(QStringLiteral("writeData exception - cannot complete %1").arg(mPath));
        discard();
        return false;
    }
    mTemp->setAutoRemove(false);
    mTemp.reset();
    mGathered = QByteArray();
    mReserved = false;
    return true;
}

void PLDownloadFile::discard()
{
    mGathered = QByteArray();
    if (mTemp) {
        mTemp->close();
        mTemp->remove();
        mTemp.reset();
    }
    if (mReserved) {
        // Only the empty file this download made.
        const QFileInfo info(mPath);
        if (info.isFile() && !info.isSymLink() && info.size() == 0)
            QFile::remove(mPath);
        mReserved = false;
    }
}

} // namespace parley
