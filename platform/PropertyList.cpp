#include "PropertyList.h"

#include "PropertyListFastReader.h"
#include "PropertyListReader.h"
#include "PropertyListWriter.h"

#include <QFile>
#include <QRandomGenerator>
#include <QSaveFile>

#include <cerrno>
#include <cstring>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace parley {

PropertyList::ReadResult PropertyList::read(const QByteArray &xml)
{
    if (xml.size() > kMaxBytes)
        return {QVariant(), QStringLiteral("property list larger than %1 bytes").arg(kMaxBytes)};
    if (std::optional<QVariant> value = PropertyListFastReader::read(xml))
        return {std::move(*value), QString()};
    return PropertyListReader::read(xml);
}

PropertyList::ReadResult PropertyList::readFile(const QString &path)
{
    const Bytes bytes = readFileBytes(path);
    if (!bytes.ok())
        return {QVariant(), bytes.error};
    return readFileData(path, bytes.data);
}

PropertyList::Bytes PropertyList::readFileBytes(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {QByteArray(), QStringLiteral("cannot open %1: %2").arg(path, file.errorString())};
    // Read one byte past the limit, so that a file that lies about its size
    // (or grows meanwhile) is caught too.
    QByteArray data = file.read(kMaxBytes + 1);
    if (data.size() > kMaxBytes)
        return {QByteArray(), QStringLiteral("%1 is larger than %2 bytes").arg(path).arg(kMaxBytes)};
    return {std::move(data), QString()};
}

PropertyList::ReadResult PropertyList::readFileData(const QString &path, const QByteArray &data)
{
    ReadResult result = read(data);
    if (!result.ok())
        result.error = QStringLiteral("%1: %2").arg(path, result.error);
    return result;
}

PropertyList::WriteResult PropertyList::write(const QVariant &value)
{
    return PropertyListWriter::write(value);
}

QString PropertyList::writeFile(const QString &path, const QVariant &value,
                                std::optional<QFileDevice::Permissions> permissions)
{
    const WriteResult written = write(value);
    if (!written.ok())
        return written.error;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
    if (permissions && !file.setPermissions(*permissions)) {
        file.cancelWriting();
        return QStringLiteral("cannot set the permissions of %1: %2").arg(path, file.errorString());
    }
    if (file.write(written.data) != written.data.size()) {
        file.cancelWriting();
        return QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
    }
    if (!file.commit())
        return QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
    return QString();
}

namespace {

QString systemError(const QString &path, int error)
{
    return QStringLiteral("cannot write %1: %2").arg(path, QString::fromLocal8Bit(std::strerror(error)));
}

bool writeAll(int fd, QByteArrayView data)
{
    const char *at = data.constData();
    qsizetype left = data.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, at, size_t(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        at += n;
        left -= n;
    }
    return true;
}

} // namespace

QString PropertyList::writeCacheFile(const QString &path, const QVariant &value)
{
    const WriteResult written = write(value);
    if (!written.ok())
        return written.error;
    return writeCacheDocument(path, written.data);
}

QString PropertyList::writeCacheDocument(const QString &path, const QByteArray &document)
{
    CacheDocumentFile file(path);
    file.write(document);
    return file.commit();
}

PropertyList::CacheDocumentFile::CacheDocumentFile(const QString &path)
    : mPath(path)
    , mTarget(QFile::encodeName(path))
{
    // A name of its own in the same folder, so that the rename stays on one
    // file system and two writers never share a temporary file.
    for (int attempt = 0; attempt < 8 && mFd < 0; ++attempt) {
        mTemporary = mTarget + ".tmp-" + QByteArray::number(QRandomGenerator::global()->generate(), 16);
        mFd = ::open(mTemporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (mFd < 0 && errno != EEXIST) {
            mError = errno;
            return;
        }
    }
    if (mFd < 0) {
        mError = EEXIST;
        return;
    }
    struct stat old {};
    if (::stat(mTarget.constData(), &old) == 0 && S_ISREG(old.st_mode) && ::fchmod(mFd, old.st_mode & 07777) != 0)
        fail(errno);
}

PropertyList::CacheDocumentFile::~CacheDocumentFile()
{
    if (mFd >= 0) {
        ::close(mFd);
        ::unlink(mTemporary.constData());
    }
}

void PropertyList::CacheDocumentFile::fail(int error)
{
    if (mError == 0)
        mError = error ? error : EIO;
}

bool PropertyList::CacheDocumentFile::write(QByteArrayView bytes)
{
    if (mError != 0 || mFd < 0)
        return false;
    if (!writeAll(mFd, bytes)) {
        fail(errno);
        return false;
    }
    return true;
}

QString PropertyList::CacheDocumentFile::error() const
{
    return mError == 0 ? QString() : systemError(mPath, mError);
}

QString PropertyList::CacheDocumentFile::commit()
{
    if (mFd >= 0) {
        const int fd = std::exchange(mFd, -1);
        if (::close(fd) != 0)
            fail(errno);
        if (mError == 0 && ::rename(mTemporary.constData(), mTarget.constData()) != 0)
            fail(errno);
        if (mError != 0)
            ::unlink(mTemporary.constData());
    }
    return error();
}

} // namespace parley
