#include "NDProcess.h"

#include "PropertyList.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QWindow>

#include <algorithm>
#include <cmath>
#include <csignal>
#include <unistd.h>

namespace {

QString procPath(qint64 pid, const char *entry) { return QStringLiteral("/proc/%1/%2").arg(pid).arg(QLatin1String(entry)); }

bool exists(qint64 pid) { return pid > 0 && QFileInfo::exists(QStringLiteral("/proc/%1").arg(pid)); }

QString fourCharCode(quint32 code)
{
    if (code == 0)
        return QStringLiteral("NULL");
    QString text;
    for (int shift = 24; shift >= 0; shift -= 8)
        text += QChar(char16_t((code >> shift) & 0xff));
    return text;
}

QString canonical(const QString &path)
{
    const QString resolved = QFileInfo(path).canonicalFilePath();
    return resolved.isEmpty() ? QDir::cleanPath(path) : resolved;
}

} // namespace

NDProcess::NDProcess(qint64 processSerialNumber)
    : mPid(processSerialNumber)
{
}

NDProcess NDProcess::processWithProcessSerialNumber(qint64 processSerialNumber) { return NDProcess(processSerialNumber); }

NDProcess NDProcess::currentProcess() { return NDProcess(::getpid()); }

std::optional<NDProcess> NDProcess::frontProcess()
{
    if (qobject_cast<QGuiApplication *>(QCoreApplication::instance())
        && QGuiApplication::applicationState() == Qt::ApplicationActive)
        return currentProcess();
    return std::nullopt;
}

std::optional<NDProcess> NDProcess::processWithProcessID(qint64 pid)
{
    if (!exists(pid))
        return std::nullopt;
    return NDProcess(pid);
}

const NDProcess::Info *NDProcess::info() const
{
    if (mInfoRead)
        return mInfo ? &*mInfo : nullptr;
    mInfoRead = true;
    mInfo.reset();
    if (mPid <= 0)
        return nullptr;

    // "pid (name) state ppid ... starttime ...": the name may hold spaces and
    // parentheses, so the fields are counted from the last ')'.
    QFile stat(procPath(mPid, "stat"));
    if (!stat.open(QIODevice::ReadOnly))
        return nullptr;
    const QByteArray line = stat.readAll();
    const qsizetype open = line.indexOf('(');
    const qsizetype close = line.lastIndexOf(')');
    if (open < 0 || close < open)
        return nullptr;
    const QList<QByteArray> fields = line.mid(close + 2).split(' ');
    // After the name: state (3rd field), parent (4th), ..., start time (22nd).
    if (fields.size() < 20)
        return nullptr;
    Info read;
    bool parentOk = false, startOk = false;
    read.parent = fields.at(1).toLongLong(&parentOk);
    const qulonglong ticks = fields.at(19).toULongLong(&startOk);
    if (!parentOk || !startOk)
        return nullptr;
    const long ticksPerSecond = ::sysconf(_SC_CLK_TCK);
    read.startSeconds = ticksPerSecond > 0 ? double(ticks) / double(ticksPerSecond) : 0.0;

    const QString executable = QFile::symLinkTarget(procPath(mPid, "exe"));
    if (!executable.isEmpty()) {
        read.url = QUrl::fromLocalFile(executable);
        read.name = QFileInfo(executable).fileName();
    } else {
        read.name = QString::fromUtf8(line.mid(open + 1, close - open - 1));
    }
    mInfo = std::move(read);
    return &*mInfo;
}

bool NDProcess::isValid()
{
    mInfoRead = false;
    return isNoProcess() || info() != nullptr;
}

bool NDProcess::isCurrentProcess() const { return mPid == ::getpid(); }

bool NDProcess::isFrontProcess() const
{
    const std::optional<NDProcess> front = frontProcess();
    return front && *front == *this;
}

QString NDProcess::name() const
{
    if (isNoProcess())
        return QStringLiteral("no process");
    if (isSystemProcess())
        return QStringLiteral("system process");
    const Info *read = info();
    return read ? read->name : QString();
}

QUrl NDProcess::url() const
{
    const Info *read = info();
    return read ? read->url : QUrl();
}

QString NDProcess::path() const { return url().toLocalFile(); }

std::optional<NDProcess> NDProcess::launcher() const
{
    const Info *read = info();
    if (!read || read->parent < 0)
        return std::nullopt;
    return NDProcess(read->parent);
}

double NDProcess::launchTime() const
{
    const Info *read = info();
    return read ? read->startSeconds : 0.0;
}

qint64 NDProcess::processID() const { return info() ? mPid : -1; }

bool NDProcess::makeFrontProcessFrontWindowOnly(bool frontWindowOnly) const
{
    if (!isCurrentProcess() || !qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        return false;
    QList<QWindow *> windows;
    for (QWindow *window : QGuiApplication::topLevelWindows()) {
        if (window->isVisible())
            windows.append(window);
    }
    if (windows.isEmpty())
        return false;
    QWindow *front = QGuiApplication::focusWindow() ? QGuiApplication::focusWindow() : windows.first();
    if (!frontWindowOnly) {
        for (QWindow *window : std::as_const(windows)) {
            if (window != front)
                window->raise();
        }
    }
    front->raise();
    front->requestActivate();
    return true;
}

bool NDProcess::makeFrontProcess() const { return makeFrontProcessFrontWindowOnly(false); }

bool NDProcess::wakeUpProcess() const { return mPid > 0 && ::kill(pid_t(mPid), SIGCONT) == 0; }

QString NDProcess::descriptionOf(const QString &name, qint64 pid, double launchSeconds, quint32 type, quint32 signature)
{
    return QStringLiteral("name:\"%1\",\tprocces ID: %2,\ttime:[%3h %4m %5s],\ttype:'%6',\tsignature:'%7'")
        .arg(name)
        .arg(pid)
        .arg(qint64(launchSeconds / 3600))
        .arg(qint64(launchSeconds / 60) % 60)
        .arg(std::fmod(launchSeconds, 60.0), 0, 'f', 1)
        .arg(fourCharCode(type), fourCharCode(signature));
}

QString NDProcess::description() const
{
    if (isNoProcess())
        return name();
    return descriptionOf(name(), processID(), launchTime(), type(), signature());
}

QList<NDProcess> NDProcess::everyProcess()
{
    QList<NDProcess> all;
    NDProcessesEnumerater processes;
    while (std::optional<NDProcess> process = processes.nextObject())
        all.append(*process);
    return all;
}

std::optional<NDProcess> NDProcess::processForURL(const QUrl &url)
{
    if (!url.isLocalFile())
        return std::nullopt;
    const QString wanted = canonical(url.toLocalFile());
    NDProcessesEnumerater processes;
    while (std::optional<NDProcess> process = processes.nextObject()) {
        if (!process->path().isEmpty() && process->path() == wanted)
            return process;
    }
    return std::nullopt;
}

std::optional<NDProcess> NDProcess::processForPath(const QString &path)
{
    return processForURL(QUrl::fromLocalFile(path));
}

std::optional<NDProcess> NDProcess::processForApplicationPath(const QString &path)
{
    const QFileInfo file(path);
    if (path.isEmpty() || !file.exists())
        return std::nullopt;
    if (!file.isDir())
        return processForPath(path);
    const parley::PropertyList::ReadResult plist = parley::PropertyList::readFile(path + QStringLiteral("/Contents/Info.plist"));
    const QString executable = plist.ok() ? plist.value.toMap().value(QStringLiteral("CFBundleExecutable")).toString()
                                          : QString();
    // A name with a slash would point outside the bundle.
    if (executable.isEmpty() || executable.contains(QLatin1Char('/')))
        return std::nullopt;
    return processForPath(path + QStringLiteral("/Contents/MacOS/%1").arg(executable));
}

std::optional<NDProcess> NDProcess::processForApplicationURL(const QUrl &url)
{
    return processForApplicationPath(url.toLocalFile());
}

std::optional<NDProcess> NDProcess::firstProcessNamed(const QString &name)
{
    NDProcessesEnumerater processes;
    while (std::optional<NDProcess> process = processes.nextObject()) {
        if (process->name() == name)
            return process;
    }
    return std::nullopt;
}

QList<NDProcess> NDProcess::everyProcessNamed(const QString &name)
{
    QList<NDProcess> found;
    for (const NDProcess &process : everyProcess()) {
        if (process.name() == name)
            found.append(process);
    }
    return found;
}

QList<NDProcess> NDProcess::everyProcessBeginingWithPath(const QString &path)
{
    QList<NDProcess> found;
    for (const NDProcess &process : everyProcess()) {
        if (!process.path().isEmpty() && process.path() == path)
            found.append(process);
    }
    return found;
}

QList<NDProcess> NDProcess::everyProcessBeginingWithURL(const QUrl &url)
{
    QList<NDProcess> found;
    const QString wanted = url.toString(QUrl::FullyEncoded);
    for (const NDProcess &process : everyProcess()) {
        if (!process.url().isEmpty() && process.url().toString(QUrl::FullyEncoded) == wanted)
            found.append(process);
    }
    return found;
}

NDProcessesEnumerater::NDProcessesEnumerater()
{
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &entry : entries) {
        bool ok = false;
        const qint64 pid = entry.toLongLong(&ok);
        if (ok && pid > 0)
            mPids.append(pid);
    }
    std::sort(mPids.begin(), mPids.end());
}

std::optional<NDProcess> NDProcessesEnumerater::nextObject()
{
    while (mNext < mPids.size()) {
        NDProcess process(mPids.at(mNext++));
        // Gone since the walk began: the next one.
        if (process.isValid())
            return process;
    }
    return std::nullopt;
}
