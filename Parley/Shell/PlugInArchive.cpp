#include "PlugInArchive.h"

#include "ApplicationFolders.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QtEndian>

namespace parley {

namespace {

constexpr quint32 kEndOfCentralDirectory = 0x06054b50;
constexpr quint32 kCentralHeader = 0x02014b50;
constexpr qint64 kEndRecordSize = 22;
constexpr qint64 kLongestComment = 0xFFFF;
constexpr int kUnzipSeconds = 300;

quint16 u16(const QByteArray &data, qsizetype at) { return qFromLittleEndian<quint16>(data.constData() + at); }
quint32 u32(const QByteArray &data, qsizetype at) { return qFromLittleEndian<quint32>(data.constData() + at); }

bool removeTree(const QString &path)
{
    const QFileInfo info(path);
    if (info.isSymLink() || info.isFile())
        return QFile::remove(path);
    return !info.exists() || QDir(path).removeRecursively();
}

bool holdsLink(const QString &folder)
{
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        if (it.fileInfo().isSymLink())
            return true;
    }
    return false;
}

} // namespace

QString PlugInArchive::unzipProgram() { return QStringLiteral("/usr/bin/unzip"); }

bool PlugInArchive::listEntries(const QString &archivePath, QList<Entry> *entries, QString *error)
{
    QFile file(archivePath);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("can not read the archive");
        return false;
    }
    const qint64 size = file.size();
    if (size < kEndRecordSize) {
        *error = QStringLiteral("no zip archive");
        return false;
    }
    const qint64 tailStart = qMax<qint64>(0, size - kEndRecordSize - kLongestComment);
    file.seek(tailStart);
    const QByteArray tail = file.read(size - tailStart);
    qsizetype end = -1;
    for (qsizetype at = tail.size() - kEndRecordSize; at >= 0; --at) {
        if (u32(tail, at) == kEndOfCentralDirectory && at + kEndRecordSize + u16(tail, at + 20) == tail.size()) {
            end = at;
            break;
        }
    }
    if (end < 0) {
        *error = QStringLiteral("no zip archive");
        return false;
    }
    const quint16 count = u16(tail, end + 10);
    const quint32 directorySize = u32(tail, end + 12);
    const quint32 directoryOffset = u32(tail, end + 16);
    if (count == 0xFFFF || directorySize == 0xFFFFFFFF || directoryOffset == 0xFFFFFFFF
        || qint64(directoryOffset) + directorySize > tailStart + end) {
        *error = QStringLiteral("an archive this reader does not know");
        return false;
    }
    file.seek(directoryOffset);
    const QByteArray directory = file.read(directorySize);
    if (directory.size() != qsizetype(directorySize)) {
        *error = QStringLiteral("a cut archive");
        return false;
    }
    qsizetype at = 0;
    for (int i = 0; i < count; ++i) {
        if (at + 46 > directory.size() || u32(directory, at) != kCentralHeader) {
            *error = QStringLiteral("a broken archive directory");
            return false;
        }
        const quint16 madeBy = u16(directory, at + 4);
        const qsizetype nameLength = u16(directory, at + 28);
        const qsizetype extraLength = u16(directory, at + 30);
        const qsizetype commentLength = u16(directory, at + 32);
        const quint32 external = u32(directory, at + 38);
        if (at + 46 + nameLength + extraLength + commentLength > directory.size()) {
            *error = QStringLiteral("a broken archive directory");
            return false;
        }
        Entry entry;
        entry.name = QString::fromUtf8(directory.mid(at + 46, nameLength));
        // Unix (3) and macOS (19) archivers keep the file's mode in the high half.
        const int host = madeBy >> 8;
        const quint32 mode = external >> 16;
        entry.isLink = (host == 3 || host == 19) && (mode & 0170000) == 0120000;
        entries->append(entry);
        at += 46 + nameLength + extraLength + commentLength;
    }
    return true;
}

QString PlugInArchive::refusalFor(const Entry &entry)
{
    if (entry.isLink)
        return QStringLiteral("the archive holds a link: %1").arg(entry.name);
    if (entry.name.isEmpty() || entry.name.startsWith(QLatin1Char('/')) || entry.name.contains(QLatin1Char('\\'))
        || (entry.name.size() > 1 && entry.name[1] == QLatin1Char(':')))
        return QStringLiteral("the archive names a place outside its folder: %1").arg(entry.name);
    for (const QString &part : entry.name.split(QLatin1Char('/')))
        if (part == QLatin1String(".."))
            return QStringLiteral("the archive names a place outside its folder: %1").arg(entry.name);
    return {};
}

bool PlugInArchive::unzip(const QString &archivePath, const QString &folder, QString *error)
{
    QList<Entry> entries;
    if (!listEntries(archivePath, &entries, error))
        return false;
    for (const Entry &entry : std::as_const(entries)) {
        *error = refusalFor(entry);
        if (!error->isEmpty())
            return false;
    }
    removeTree(folder);
    if (!QDir().mkpath(folder)) {
        *error = QStringLiteral("can not make the folder %1").arg(folder);
        return false;
    }
    QProcess unzip;
    unzip.setProcessChannelMode(QProcess::MergedChannels);
    unzip.start(unzipProgram(), {QStringLiteral("-o"), QStringLiteral("-q"), QStringLiteral("-d"), folder, archivePath});
    if (!unzip.waitForFinished(kUnzipSeconds * 1000) || unzip.exitStatus() != QProcess::NormalExit
        || unzip.exitCode() != 0) {
        unzip.kill();
        *error = QStringLiteral("unzip failed: %1").arg(QString::fromLocal8Bit(unzip.readAll()).trimmed());
        return false;
    }
    // What unzip made is checked again, whatever the listing said.
    if (holdsLink(folder)) {
        *error = QStringLiteral("the unpacked archive holds a link");
        removeTree(folder);
        return false;
    }
    return true;
}

bool PlugInArchive::replaceBundle(const QString &source, const QString &target, QString *error)
{
    const QFileInfo from(source);
    if (from.isSymLink() || !from.isDir()) {
        *error = QStringLiteral("the archive has no bundle %1").arg(from.fileName());
        return false;
    }
    const QString staging = target + QStringLiteral(".installing");
    const QString previous = target + QStringLiteral(".previous");
    removeTree(staging);
    if (!shell::ApplicationFolders::copyTree(source, staging)) {
        removeTree(staging);
        *error = QStringLiteral("can not copy the bundle beside %1").arg(target);
        return false;
    }
    removeTree(previous);
    const bool hadOne = QFileInfo::exists(target) || QFileInfo(target).isSymLink();
    if (hadOne && !QDir().rename(target, previous)) {
        removeTree(staging);
        *error = QStringLiteral("can not move %1 aside").arg(target);
        return false;
    }
    if (!QDir().rename(staging, target)) {
        if (hadOne)
            QDir().rename(previous, target);
        removeTree(staging);
        *error = QStringLiteral("can not put the bundle in place at %1").arg(target);
        return false;
    }
    removeTree(previous);
    return true;
}

} // namespace parley
