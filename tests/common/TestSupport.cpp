#include "TestSupport.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QThread>

#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace parley::test {

namespace {
std::string gHome;
}

void isolateHomeFolders()
{
    char pattern[] = "/tmp/parley-test-XXXXXX";
    const char *dir = ::mkdtemp(pattern);
    if (!dir)
        std::abort();
    gHome = dir;
    const auto sub = [](const char *name) {
        std::string path = gHome + "/" + name;
        ::mkdir(path.c_str(), 0700);
        return path;
    };
    ::setenv("HOME", gHome.c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", sub("config").c_str(), 1);
    ::setenv("XDG_DATA_HOME", sub("data").c_str(), 1);
    ::setenv("XDG_CACHE_HOME", sub("cache").c_str(), 1);
    const std::string runtime = sub("runtime");
    ::chmod(runtime.c_str(), 0700);
    ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
}

void removeIsolatedHome()
{
    if (!gHome.empty())
        QDir(QString::fromStdString(gHome)).removeRecursively();
}

QString isolatedHome() { return QString::fromStdString(gHome); }

bool waitUntil(const std::function<bool()> &predicate, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!predicate()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(1);
    }
    return true;
}

} // namespace parley::test
