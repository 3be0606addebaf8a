// Start-up of the messenger: from process start to the login window drawn,
// and the resident memory of the process once the login window is idle. It
// also reports whether QtWebEngine or an OpenGL implementation was loaded
// (neither may be before a web view is shown), and, when the memory is over
// its goal, the mapped files that hold the most of it.
//
// The program runs itself again for every sample (a fresh process each
// time), offscreen and on the X display (xcb, as on a desktop), each with its
// own session bus. Without a display it runs itself again under
// "xvfb-run -a" when that is installed; run it so, or on a desktop, since
// the figures that count are the xcb ones. The first start in a
// new home folder (folders made, the message box installed, settings
// written) is reported apart; the samples are the starts after it, as a user
// starts the messenger every day. The machine's load shows in the median:
// read the minimum beside it. Output: JSON lines.
//
//   bench_startup [--runs N]
#include "AppController.h"
#include "LoginView.h"
#include "MainWindow.h"
#include "PropertyList.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <unistd.h>
#include <vector>

namespace {

qint64 monotonicNs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}

qint64 residentKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    return -1;
}

bool webEngineLoaded()
{
    QFile maps(QStringLiteral("/proc/self/maps"));
    return maps.open(QIODevice::ReadOnly) && maps.readAll().contains("WebEngine");
}

// An OpenGL implementation (Mesa's GLX or EGL vendor library, a DRI driver,
// LLVM), not the small dispatch libraries Qt's GUI library links.
bool openGLLoaded()
{
    QFile maps(QStringLiteral("/proc/self/maps"));
    if (!maps.open(QIODevice::ReadOnly))
        return false;
    const QByteArray text = maps.readAll();
    for (const char *name : {"libGLX_", "libEGL_", "_dri.so", "libgallium", "libLLVM"})
        if (text.contains(name))
            return true;
    return false;
}

// The mapped files (and "[heap]", "[anon]") holding the most resident memory, in KB.
QJsonArray residentByFile(int count)
{
    QFile smaps(QStringLiteral("/proc/self/smaps"));
    if (!smaps.open(QIODevice::ReadOnly))
        return {};
    QHash<QByteArray, qint64> bytes;
    QByteArray current;
    for (const QByteArray &line : smaps.readAll().split('\n')) {
        if (line.startsWith("Rss:")) {
            bytes[current] += line.mid(4).trimmed().split(' ').value(0).toLongLong();
        } else if (!line.isEmpty() && !line.endsWith(" kB") && line.contains('-')) {
            // A mapping's first line: range, flags, offset, device, inode, path.
            const QList<QByteArray> fields = line.simplified().split(' ');
            current = fields.size() > 5 ? fields.mid(5).join(' ') : QByteArrayLiteral("[anon]");
        }
    }
    std::vector<std::pair<qint64, QByteArray>> sorted;
    for (auto it = bytes.cbegin(); it != bytes.cend(); ++it)
        sorted.emplace_back(it.value(), it.key());
    std::sort(sorted.begin(), sorted.end(), std::greater<>());
    QJsonArray top;
    for (int i = 0; i < count && i < int(sorted.size()); ++i)
        top.append(QJsonObject{{QStringLiteral("file"), QString::fromUtf8(sorted[i].second)},
                               {QStringLiteral("kb"), sorted[i].first}});
    return top;
}

// The first paint of the main window has been flushed.
class FirstPaint : public QObject
{
public:
    qint64 at = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && at == 0)
            // Stamped once this event, and the flush after it, are done.
            QTimer::singleShot(0, this, [this] {
                if (at == 0)
                    at = monotonicNs();
            });
        return false;
    }
};

int runChild(int argc, char **argv, bool baseline)
{
    const qint64 mainAt = monotonicNs();
    QApplication app(argc, argv);
    const qint64 applicationAt = monotonicNs();
    if (baseline) {
        // Qt alone: a window with a field and a button, for comparison.
        FirstPaint firstPaint;
        QWidget window;
        auto *layout = new QVBoxLayout(&window);
        layout->addWidget(new QLineEdit(&window));
        layout->addWidget(new QPushButton(QStringLiteral("OK"), &window));
        window.installEventFilter(&firstPaint);
        window.show();
        QElapsedTimer waited;
        waited.start();
        while (firstPaint.at == 0 && waited.elapsed() < 10000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        std::printf("%s\n", QJsonDocument(QJsonObject{{QStringLiteral("drawnAtNs"), QString::number(firstPaint.at)},
                                                      {QStringLiteral("rssKb"), residentKb()}})
                                .toJson(QJsonDocument::Compact)
                                .constData());
        return firstPaint.at ? 0 : 1;
    }
    QApplication::setApplicationName(QStringLiteral("Parley"));
    QApplication::setQuitOnLastWindowClosed(false);
    FirstPaint firstPaint;
    parley::shell::AppController controller;
    const qint64 controllerAt = monotonicNs();
    controller.window()->installEventFilter(&firstPaint);
    controller.awakeFromNib();
    const qint64 awakeAt = monotonicNs();
    QElapsedTimer waited;
    waited.start();
    while (firstPaint.at == 0 && waited.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    // Idle with the login window up, then measure.
    QTimer::singleShot(2000, &app, &QCoreApplication::quit);
    app.exec();
    const QJsonObject report{{QStringLiteral("drawnAtNs"), QString::number(firstPaint.at)},
                             {QStringLiteral("mainAtNs"), QString::number(mainAt)},
                             {QStringLiteral("applicationAtNs"), QString::number(applicationAt)},
                             {QStringLiteral("controllerAtNs"), QString::number(controllerAt)},
                             {QStringLiteral("awakeAtNs"), QString::number(awakeAt)},
                             {QStringLiteral("rssKb"), residentKb()},
                             {QStringLiteral("webEngine"), webEngineLoaded()},
                             {QStringLiteral("openGL"), openGLLoaded()},
                             {QStringLiteral("residentByFile"), residentByFile(12)}};
    std::printf("%s\n", QJsonDocument(report).toJson(QJsonDocument::Compact).constData());
    return firstPaint.at ? 0 : 1;
}

// A message-box bundle to install, when the build has none yet.
void layOutStandInBundle(const QString &resources)
{
    const QString bundle = resources + QStringLiteral("/Pigeonhole.app/Contents");
    QDir().mkpath(bundle + QStringLiteral("/MacOS"));
    QDir().mkpath(bundle + QStringLiteral("/Resources"));
    (void)parley::PropertyList::writeFile(bundle + QStringLiteral("/Info.plist"),
                                          QVariantMap{{QStringLiteral("CFBundleVersion"), QStringLiteral("1.0")}});
    (void)parley::PropertyList::writeFile(bundle + QStringLiteral("/Resources/description.plist"),
                                          QVariantMap{{QStringLiteral("id"), QStringLiteral("bench")},
                                                      {QStringLiteral("version"), QStringLiteral("1.0")}});
    QFile::copy(QStringLiteral("/bin/true"), bundle + QStringLiteral("/MacOS/Pigeonhole"));
}

struct Sample {
    double ms = -1;
    // From process start to main(), QApplication, the controller, the start-up, the first paint.
    double phases[5] = {};
    qint64 rssKb = -1;
    bool webEngine = false;
    bool openGL = false;
    QJsonArray residentByFile;
};

Sample runSample(const QString &program, const QString &platform, const QString &resources, const QTemporaryDir &home,
                 const QString &mode = QStringLiteral("--child"))
{
    QProcess bus;
    bus.start(QStringLiteral("dbus-daemon"), {"--session", "--nofork", "--print-address=1"});
    bus.waitForStarted(5000);
    bus.waitForReadyRead(5000);
    const QString busAddress = QString::fromUtf8(bus.readLine()).trimmed();

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), platform);
    environment.insert(QStringLiteral("HOME"), home.path());
    for (const char *variable : {"XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME"})
        environment.insert(QLatin1String(variable), home.path() + QLatin1Char('/') + QLatin1String(variable));
    environment.insert(QStringLiteral("PARLEY_RESOURCE_DIR"), resources);
    environment.insert(QStringLiteral("PARLEY_ENDPOINTS"), home.path() + QStringLiteral("/none.conf"));
    if (!busAddress.isEmpty())
        environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), busAddress);
    QFile(home.path() + QStringLiteral("/none.conf")).open(QIODevice::WriteOnly);

    QProcess child;
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::SeparateChannels);
    const qint64 startedAt = monotonicNs();
    child.start(program, {mode});
    Sample sample;
    if (child.waitForFinished(30000) && child.exitCode() == 0) {
        const QJsonObject report = QJsonDocument::fromJson(child.readAllStandardOutput().trimmed()).object();
        const auto at = [&](const char *key) {
            return double(report.value(QLatin1String(key)).toString().toLongLong() - startedAt) / 1e6;
        };
        sample.ms = at("drawnAtNs");
        const double stamps[5] = {at("mainAtNs"), at("applicationAtNs"), at("controllerAtNs"), at("awakeAtNs"), sample.ms};
        for (int i = 0; i < 5; ++i)
            sample.phases[i] = stamps[i] - (i ? stamps[i - 1] : 0.0);
        sample.rssKb = qint64(report.value(QStringLiteral("rssKb")).toDouble());
        sample.webEngine = report.value(QStringLiteral("webEngine")).toBool();
        sample.openGL = report.value(QStringLiteral("openGL")).toBool();
        sample.residentByFile = report.value(QStringLiteral("residentByFile")).toArray();
    } else {
        child.kill();
        std::fprintf(stderr, "bench_startup: a %s run failed: %s\n", qPrintable(platform),
                     child.readAllStandardError().constData());
    }
    bus.kill();
    bus.waitForFinished(2000);
    return sample;
}

// 46 MB with the login window idle.
constexpr qint64 kResidentGoalKb = 46000;

template <typename T>
T median(std::vector<T> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? T() : values[values.size() / 2];
}

void print(const QJsonObject &line)
{
    std::printf("%s\n", QJsonDocument(line).toJson(QJsonDocument::Compact).constData());
    std::fflush(stdout);
}

} // namespace

int main(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i)
        if (QByteArray(argv[i]) == "--child" || QByteArray(argv[i]) == "--baseline")
            return runChild(argc, argv, QByteArray(argv[i]) == "--baseline");
    if (qEnvironmentVariableIsEmpty("DISPLAY") && !qEnvironmentVariableIsSet("PARLEY_BENCH_NO_XVFB")) {
        // Once, on a display of its own.
        ::setenv("PARLEY_BENCH_NO_XVFB", "1", 1);
        std::vector<char *> command{const_cast<char *>("xvfb-run"), const_cast<char *>("-a"),
                                    const_cast<char *>("-s"), const_cast<char *>("-screen 0 1280x1024x24")};
        command.insert(command.end(), argv, argv + argc);
        command.push_back(nullptr);
        ::execvp(command[0], command.data());
        std::fprintf(stderr, "bench_startup: no display and no xvfb-run: offscreen only\n");
    }

    QCoreApplication app(argc, argv);
    int runs = 9;
    const QStringList arguments = QCoreApplication::arguments();
    const qsizetype runsAt = arguments.indexOf(QStringLiteral("--runs"));
    if (runsAt > 0 && runsAt + 1 < arguments.size())
        runs = std::max(1, arguments.at(runsAt + 1).toInt());

    QTemporaryDir standIn;
    QString resources = qEnvironmentVariable("PARLEY_RESOURCE_DIR", QStringLiteral(PARLEY_RESOURCE_BUILD_DIR));
    if (!QFileInfo::exists(resources + QStringLiteral("/Pigeonhole.app/Contents/Info.plist"))) {
        resources = standIn.path();
        layOutStandInBundle(resources);
    }

    QStringList platforms{QStringLiteral("offscreen")};
    if (!qEnvironmentVariableIsEmpty("DISPLAY"))
        platforms << QStringLiteral("xcb");
    for (const QString &platform : platforms) {
        std::vector<double> times;
        std::vector<double> phases[5];
        std::vector<qint64> memory;
        bool webEngine = false;
        bool openGL = false;
        QJsonArray residentByFile;
        QTemporaryDir home;
        const Sample first = runSample(QCoreApplication::applicationFilePath(), platform, resources, home);
        for (int i = 0; i < runs; ++i) {
            const Sample sample = runSample(QCoreApplication::applicationFilePath(), platform, resources, home);
            if (sample.ms < 0)
                continue;
            times.push_back(sample.ms);
            for (int p = 0; p < 5; ++p)
                phases[p].push_back(sample.phases[p]);
            memory.push_back(sample.rssKb);
            webEngine = webEngine || sample.webEngine;
            openGL = openGL || sample.openGL;
            residentByFile = sample.residentByFile;
        }
        const QString &name = platform;
        print({{"benchmark", "startup_to_login_window"}, {"platform", name}, {"runs", int(times.size())},
               {"median_ms", median(times)}, {"min_ms", times.empty() ? -1.0 : *std::min_element(times.begin(), times.end())},
               {"goal_ms", 60},
               // Medians of each step: loading to main(), QApplication, the controller, start-up, first paint.
               {"median_phases_ms", QJsonObject{{"to_main", median(phases[0])}, {"application", median(phases[1])},
                                                {"controller", median(phases[2])}, {"start_up", median(phases[3])},
                                                {"first_paint", median(phases[4])}}}});
        print({{"benchmark", "first_start_to_login_window"}, {"platform", name}, {"ms", first.ms}});
        std::vector<double> floor;
        for (int i = 0; i < runs; ++i) {
            const Sample sample = runSample(QCoreApplication::applicationFilePath(), platform, resources, home,
                                            QStringLiteral("--baseline"));
            if (sample.ms >= 0)
                floor.push_back(sample.ms);
        }
        print({{"benchmark", "qt_window_baseline"}, {"platform", name}, {"median_ms", median(floor)},
               {"min_ms", floor.empty() ? -1.0 : *std::min_element(floor.begin(), floor.end())}});
        const qint64 residentMedian = median(memory);
        print({{"benchmark", "resident_memory_login_idle"}, {"platform", name}, {"median_kb", residentMedian},
               {"goal_kb", kResidentGoalKb}});
        if (residentMedian > kResidentGoalKb)
            print({{"benchmark", "resident_memory_by_file"}, {"platform", name}, {"top_kb", residentByFile}});
        print({{"benchmark", "webengine_loaded"}, {"platform", name}, {"loaded", webEngine}});
        print({{"benchmark", "opengl_loaded"}, {"platform", name}, {"loaded", openGL}});
    }
    return 0;
}
