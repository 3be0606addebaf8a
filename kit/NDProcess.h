#pragma once

// One running process, named by its process id (which stands for the serial
// number), and questions about it answered from /proc: its name, executable,
// parent and start time. A process object is a small value; what it reads is
// cached until isValid() reads again. Id 0 is "no process" and id 1 the
// system's first process.

#include <QList>
#include <QString>
#include <QUrl>

#include <optional>

class NDProcess
{
public:
    static constexpr qint64 kNoProcess = 0;
    static constexpr qint64 kSystemProcess = 1;

    // The process of that id, whether or not it runs (initWithProcessSerialNumber).
    explicit NDProcess(qint64 processSerialNumber);

    static NDProcess processWithProcessSerialNumber(qint64 processSerialNumber);
    static NDProcess currentProcess();
    // This process while the application is the active one; nothing otherwise
    // (other programs' windows are not ours to know).
    static std::optional<NDProcess> frontProcess();
    // Nothing when no process has that id.
    static std::optional<NDProcess> processWithProcessID(qint64 pid);

    static QList<NDProcess> everyProcess();
    // The first process whose executable is the file (symbolic links resolved).
    static std::optional<NDProcess> processForURL(const QUrl &url);
    static std::optional<NDProcess> processForPath(const QString &path);
    // Nothing when nothing exists at the path; for a bundle folder the
    // executable its Contents/Info.plist names in Contents/MacOS, for a file
    // the file itself.
    static std::optional<NDProcess> processForApplicationPath(const QString &path);
    static std::optional<NDProcess> processForApplicationURL(const QUrl &url);
    static std::optional<NDProcess> firstProcessNamed(const QString &name);
    // Every process whose name, path or URL equals the argument (equality,
    // despite the names).
    static QList<NDProcess> everyProcessNamed(const QString &name);
    static QList<NDProcess> everyProcessBeginingWithPath(const QString &path);
    static QList<NDProcess> everyProcessBeginingWithURL(const QUrl &url);

    qint64 processSerialNumber() const { return mPid; }
    // Forgets what was read and answers whether the process can be read again.
    bool isValid();
    bool isNoProcess() const { return mPid == kNoProcess; }
    bool isSystemProcess() const { return mPid == kSystemProcess; }
    bool isFrontProcess() const;
    bool isCurrentProcess() const;

    // "no process", "system process", else the executable's file name (or the
    // kernel's name for the process when its executable can't be read); null
    // when the process can't be read.
    QString name() const;
    // The executable's file URL; empty when it can't be read.
    QUrl url() const;
    QString path() const;
    // Linux processes have no type or creator codes: always 0.
    quint32 type() const { return 0; }
    quint32 signature() const { return 0; }
    quint32 mode() const { return 0; }
    // The parent process; nothing when unreadable.
    std::optional<NDProcess> launcher() const;
    // Seconds after system start at which the process started; 0 when unreadable.
    double launchTime() const;
    // The process id, or -1 when the process can't be read.
    qint64 processID() const;

    // Brings this application's windows forward (false for any other process).
    bool makeFrontProcess() const;
    bool makeFrontProcessFrontWindowOnly(bool frontWindowOnly) const;
    // Lets a stopped process run again (SIGCONT).
    bool wakeUpProcess() const;

    bool operator==(const NDProcess &other) const { return mPid == other.mPid; }

    QString description() const;
    // The description's text for those values.
    static QString descriptionOf(const QString &name, qint64 pid, double launchSeconds, quint32 type,
                                 quint32 signature);

private:
    struct Info {
        QString name;
        QUrl url;
        qint64 parent = -1;
        double startSeconds = 0;
    };
    const Info *info() const;

    qint64 mPid;
    mutable std::optional<Info> mInfo;
    mutable bool mInfoRead = false;
};

// Walks the running processes in ascending id order.
class NDProcessesEnumerater
{
public:
    NDProcessesEnumerater();
    static NDProcessesEnumerater processesEnumerater() { return {}; }
    // The next process still running; nothing at the end.
    std::optional<NDProcess> nextObject();

private:
    QList<qint64> mPids;
    qsizetype mNext = 0;
};
