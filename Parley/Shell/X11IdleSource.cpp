#include "X11IdleSource.h"

#include <QGuiApplication>
#include <QLibrary>

namespace parley::shell {

namespace {

// The extension's answer, as its library lays it out.
struct ScreenSaverInfo {
    unsigned long window;
    int state;
    int kind;
    unsigned long tilOrSince;
    unsigned long idle; // milliseconds since the last input
    unsigned long eventMask;
};

using Display = struct _XDisplay;
using AllocInfo = ScreenSaverInfo *(*)();
using QueryInfo = int (*)(Display *, unsigned long, ScreenSaverInfo *);
using RootWindow = unsigned long (*)(Display *);
using Free = int (*)(void *);

struct Xss {
    AllocInfo alloc = nullptr;
    QueryInfo query = nullptr;
    RootWindow root = nullptr;
    Free free = nullptr;
    bool ok() const { return alloc && query && root && free; }
};

const Xss &library()
{
    static const Xss loaded = [] {
        Xss xss;
        QLibrary x11(QStringLiteral("X11"), 6);
        QLibrary ss(QStringLiteral("Xss"), 1);
        if (!x11.load() || !ss.load())
            return xss;
        xss.alloc = reinterpret_cast<AllocInfo>(ss.resolve("XScreenSaverAllocInfo"));
        xss.query = reinterpret_cast<QueryInfo>(ss.resolve("XScreenSaverQueryInfo"));
        xss.root = reinterpret_cast<RootWindow>(x11.resolve("XDefaultRootWindow"));
        xss.free = reinterpret_cast<Free>(x11.resolve("XFree"));
        return xss;
    }();
    return loaded;
}

} // namespace

void X11IdleSource::requestIdleTime(Answer answer)
{
    auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    Display *display = x11 ? x11->display() : nullptr;
    if (!display || !library().ok()) {
        answer(std::nullopt);
        return;
    }
    const Xss &xss = library();
    ScreenSaverInfo *info = xss.alloc();
    if (!info) {
        answer(std::nullopt);
        return;
    }
    const bool ok = xss.query(display, xss.root(display), info) != 0;
    const double seconds = double(info->idle) / 1000.0;
    xss.free(info);
    answer(ok ? std::optional<double>(seconds) : std::nullopt);
}

} // namespace parley::shell
