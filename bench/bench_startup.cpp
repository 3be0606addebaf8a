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
// read the minimum beside it, and the CPU time of the process to its first
// paint, which the load of the machine hardly moves.
//
// The same figures of the messenger as main() assembles it ("program_..."):
// the start-up timed as above, and the resident memory of the real program
// (the Parley executable, or --program PATH) once its login window is idle
// after the start-up's update check. For that one it runs against the local
// service (the service's program), with its update host on https as a
// user's is: a small host of the benchmark's own with a throwaway
// certificate, since the local service's web server speaks plain http.
// Output: JSON lines.
//
//   bench_startup [--runs N] [--program PATH]
#include "AppController.h"
#include "LoginView.h"
#include "MainWindow.h"
#include "NotificationNames.h"
#include "ParleyProgram.h"
#include "PropertyList.h"
#include "Utils/PLClientVersion.h"

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
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QSslKey>
#include <QSslServer>
#include <QSslSocket>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

namespace {

qint64 monotonicNs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}

// User and system CPU time of this process so far, in microseconds.
qint64 cpuUs()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return qint64(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000000 + usage.ru_utime.tv_usec
        + usage.ru_stime.tv_usec;
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

// The mapped files (and "[heap]", "[anon]") holding the most resident memory
// of a process, in KB.
QJsonArray residentByFile(int count, const QString &process = QStringLiteral("self"))
{
    QFile smaps(QStringLiteral("/proc/%1/smaps").arg(process));
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
    qint64 cpuAt = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && at == 0)
            // Stamped once this event, and the flush after it, are done.
            QTimer::singleShot(0, this, [this] {
                if (at == 0) {
                    at = monotonicNs();
                    cpuAt = cpuUs();
                }
            });
        return false;
    }
};

enum class Mode { Baseline, Controller, Program };

int runChild(int argc, char **argv, Mode mode)
{
    const qint64 mainAt = monotonicNs();
    QApplication app(argc, argv);
    const qint64 applicationAt = monotonicNs();
    FirstPaint firstPaint;
    const auto waitForFirstPaint = [&firstPaint] {
        QElapsedTimer waited;
        waited.start();
        while (firstPaint.at == 0 && waited.elapsed() < 10000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    };
    if (mode == Mode::Baseline) {
        // Qt alone: a window with a field and a button, for comparison.
        QWidget window;
        auto *layout = new QVBoxLayout(&window);
        layout->addWidget(new QLineEdit(&window));
        layout->addWidget(new QPushButton(QStringLiteral("OK"), &window));
        window.installEventFilter(&firstPaint);
        window.show();
        waitForFirstPaint();
        std::printf("%s\n", QJsonDocument(QJsonObject{{QStringLiteral("drawnAtNs"), QString::number(firstPaint.at)},
                                                      {QStringLiteral("cpuUs"), firstPaint.cpuAt},
                                                      {QStringLiteral("rssKb"), residentKb()}})
                                .toJson(QJsonDocument::Compact)
                                .constData());
        return firstPaint.at ? 0 : 1;
    }
    QApplication::setApplicationName(QStringLiteral("Parley"));
    QApplication::setQuitOnLastWindowClosed(false);
    std::unique_ptr<parley::shell::AppController> controller;
    std::unique_ptr<parley::ParleyProgram> program;
    qint64 controllerAt = 0;
    if (mode == Mode::Program) {
        // As main() does.
        parley::PLSetApplicationVersion();
        if (parley::ParleyProgram::showRunningCopy())
            return 1;
        program = std::make_unique<parley::ParleyProgram>();
        controllerAt = monotonicNs();
        program->controller().window()->installEventFilter(&firstPaint);
        program->start(QApplication::arguments());
    } else {
        controller = std::make_unique<parley::shell::AppController>();
        controllerAt = monotonicNs();
        controller->window()->installEventFilter(&firstPaint);
        controller->awakeFromNib();
    }
    const qint64 awakeAt = monotonicNs();
    waitForFirstPaint();
    // Idle with the login window up, then measure. Not through quit(): on X
    // that asks the windows to close first, and the messenger's main window
    // refuses (it hides).
    QElapsedTimer idle;
    idle.start();
    while (idle.elapsed() < 2000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    const QJsonObject report{{QStringLiteral("drawnAtNs"), QString::number(firstPaint.at)},
                             {QStringLiteral("cpuUs"), firstPaint.cpuAt},
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

// Starts a session bus of its own in `bus`; answers its address, empty when none.
QString startSessionBus(QProcess &bus)
{
    bus.start(QStringLiteral("dbus-daemon"), {"--session", "--nofork", "--print-address=1"});
    bus.waitForStarted(5000);
    bus.waitForReadyRead(5000);
    return QString::fromUtf8(bus.readLine()).trimmed();
}

// A messenger's environment: its folders in `home`, the resources, the
// endpoints file and the session bus given.
QProcessEnvironment childEnvironment(const QString &platform, const QString &home, const QString &resources,
                                     const QString &endpoints, const QString &busAddress)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), platform);
    environment.insert(QStringLiteral("HOME"), home);
    for (const char *variable : {"XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME"})
        environment.insert(QLatin1String(variable), home + QLatin1Char('/') + QLatin1String(variable));
    environment.insert(QStringLiteral("PARLEY_RESOURCE_DIR"), resources);
    environment.insert(QStringLiteral("PARLEY_ENDPOINTS"), endpoints);
    if (!busAddress.isEmpty())
        environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), busAddress);
    return environment;
}

struct Sample {
    double ms = -1;
    double cpuMs = -1;
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
    const QString endpoints = home.path() + QStringLiteral("/none.conf");
    QFile(endpoints).open(QIODevice::WriteOnly);
    const QProcessEnvironment environment =
        childEnvironment(platform, home.path(), resources, endpoints, startSessionBus(bus));

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
        sample.cpuMs = report.value(QStringLiteral("cpuUs")).toDouble() / 1000.0;
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

bool runTool(const QString &program, const QStringList &arguments)
{
    QProcess tool;
    tool.start(program, arguments);
    return tool.waitForFinished(60000) && tool.exitStatus() == QProcess::NormalExit && tool.exitCode() == 0;
}

// The update host on https at 127.0.0.1, with a throwaway self-signed
// certificate: it serves the two version lists and counts the TLS handshakes
// begun. The messenger trusts only the system's roots for its lists, so its
// check ends with a certificate error here; it has by then done what a
// user's check does to its memory (TLS loaded and set up, a handshake, the
// chain checked against the roots).
class HttpsUpdateHost
{
public:
    HttpsUpdateHost()
    {
        const QString certificate = certificateFile();
        const QString key = mFolder.filePath(QStringLiteral("host.key"));
        if (!runTool(QStringLiteral("openssl"),
                     {"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", key, "-out", certificate, "-subj",
                      "/CN=127.0.0.1", "-addext", "subjectAltName=IP:127.0.0.1", "-days", "1"}))
            return;
        QFile certificateText(certificate);
        QFile keyText(key);
        if (!certificateText.open(QIODevice::ReadOnly) || !keyText.open(QIODevice::ReadOnly))
            return;
        QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
        configuration.setLocalCertificate(QSslCertificate(certificateText.readAll()));
        configuration.setPrivateKey(QSslKey(keyText.readAll(), QSsl::Rsa));
        mServer.setSslConfiguration(configuration);
        QObject::connect(&mServer, &QTcpServer::pendingConnectionAvailable, &mServer, [this] {
            while (QTcpSocket *socket = mServer.nextPendingConnection()) {
                QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
                QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket] { answer(socket); });
                answer(socket);
            }
        });
        QObject::connect(&mServer, &QSslServer::startedEncryptionHandshake, &mServer, [this] { ++handshakes; });
        mServer.listen(QHostAddress::LocalHost, 0);
    }
    bool isListening() const { return mServer.isListening(); }
    QString url() const { return QStringLiteral("https://127.0.0.1:%1").arg(mServer.serverPort()); }
    QString certificateFile() const { return mFolder.filePath(QStringLiteral("host.pem")); }
    QString keyFile() const { return mFolder.filePath(QStringLiteral("host.key")); }
    int handshakes = 0;

private:
    void answer(QTcpSocket *socket)
    {
        QByteArray &request = mRequests[socket];
        request += socket->readAll();
        if (!request.contains("\r\n\r\n"))
            return;
        const QByteArray path = request.split(' ').value(1);
        mRequests.remove(socket);
        QByteArray body;
        if (path == "/mac/installpackage.plist")
            body = parley::PropertyList::write(QVariantMap{{QStringLiteral("latestInstallPackage"),
                                                            QVariantMap{{QStringLiteral("version"), QStringLiteral("1.0")},
                                                                        {QStringLiteral("buildNo"), 1},
                                                                        {QStringLiteral("source"),
                                                                         QStringLiteral("https://127.0.0.1/Parley.pkg")}}}})
                       .data;
        else if (path == "/mac/plugIns.plist")
            body = parley::PropertyList::write(QVariantMap{}).data;
        socket->write(body.isEmpty() ? QByteArray("HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\n\r\n")
                                     : "HTTP/1.1 200 OK\r\nContent-Length: " + QByteArray::number(body.size())
                                           + "\r\nConnection: close\r\n\r\n" + body);
        socket->disconnectFromHost();
    }

    QTemporaryDir mFolder;
    QSslServer mServer;
    QHash<QTcpSocket *, QByteArray> mRequests;
};

void waitFor(const std::function<bool()> &done, int timeoutMs)
{
    QElapsedTimer waited;
    waited.start();
    while (!done() && waited.elapsed() < timeoutMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

// The real program as a user starts it (scripts/run): against the local
// service, with the https update host above; its resident memory once both
// version lists were asked for and the login window has been idle a while.
void measureRealProgram(const QString &program, const QString &platform, const QString &resources, int runs)
{
    HttpsUpdateHost host;
    QTemporaryDir run;
    const QString endpoints = run.filePath(QStringLiteral("endpoints.conf"));
    QProcess service;
    service.start(QStringLiteral(LOCALSERVICE_PROGRAM), {"--endpoints", endpoints, "--cert-chain",
                                                         host.certificateFile(), "--key", host.keyFile()});
    if (!host.isListening() || !service.waitForReadyRead(20000)) {
        std::fprintf(stderr, "bench_startup: no local service or update host for the program: %s\n",
                     service.readAllStandardError().constData());
        return;
    }
    // The update host is the https one.
    QFile file(endpoints);
    QByteArray text;
    if (file.open(QIODevice::ReadOnly))
        text = file.readAll();
    file.close();
    QByteArray rewritten;
    for (const QByteArray &line : text.split('\n'))
        if (!line.startsWith("web.update") && !line.isEmpty())
            rewritten += line + '\n';
    rewritten += "web.update = " + host.url().toUtf8() + '\n';
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(rewritten) != rewritten.size())
        return;
    file.close();

    QTemporaryDir home;
    std::vector<qint64> memory;
    QJsonArray residentByFile;
    bool checked = true;
    // The first start sets the home folder up; the samples are the starts after it.
    for (int i = 0; i <= runs; ++i) {
        QProcess bus;
        QProcessEnvironment environment =
            childEnvironment(platform, home.path(), resources, endpoints, startSessionBus(bus));
        environment.insert(QStringLiteral("PARLEY_PASSWORD"), QStringLiteral("alice-pw"));
        QProcess messenger;
        messenger.setProcessEnvironment(environment);
        messenger.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        const int handshakesBefore = host.handshakes;
        messenger.start(program, {QStringLiteral("--user"), QStringLiteral("alice@parley.test")});
        messenger.waitForStarted(10000);
        waitFor([&] { return host.handshakes >= handshakesBefore + 2 || messenger.state() != QProcess::Running; }, 20000);
        checked = checked && host.handshakes >= handshakesBefore + 2;
        // Idle with the login window up after the check, then measure.
        waitFor([] { return false; }, 2000);
        const QString pid = QString::number(messenger.processId());
        QFile rollup(QStringLiteral("/proc/%1/smaps_rollup").arg(pid));
        qint64 rss = -1;
        if (messenger.state() == QProcess::Running && rollup.open(QIODevice::ReadOnly))
            for (const QByteArray &line : rollup.readAll().split('\n'))
                if (line.startsWith("Rss:"))
                    rss = line.mid(4).trimmed().split(' ').value(0).toLongLong();
        if (i > 0 && rss > 0) {
            memory.push_back(rss);
            residentByFile = ::residentByFile(12, pid);
        }
        messenger.terminate();
        if (!messenger.waitForFinished(10000))
            messenger.kill();
        bus.kill();
        bus.waitForFinished(2000);
    }
    service.kill();
    service.waitForFinished(5000);
    const qint64 residentMedian = median(memory);
    print({{"benchmark", "program_resident_memory_login_idle"}, {"platform", platform}, {"runs", int(memory.size())},
           {"median_kb", residentMedian}, {"goal_kb", kResidentGoalKb}, {"update_check_made", checked}});
    if (residentMedian > kResidentGoalKb)
        print({{"benchmark", "program_resident_memory_by_file"}, {"platform", platform}, {"top_kb", residentByFile}});
}

} // namespace

int main(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i) {
        const QByteArray argument(argv[i]);
        if (argument == "--child" || argument == "--baseline" || argument == "--program-child")
            return runChild(argc, argv,
                            argument == "--baseline"  ? Mode::Baseline
                                : argument == "--child" ? Mode::Controller
                                                        : Mode::Program);
    }
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
    const QString self = QCoreApplication::applicationFilePath();
    const qsizetype programAt = arguments.indexOf(QStringLiteral("--program"));
    const QString program = programAt > 0 && programAt + 1 < arguments.size() ? arguments.at(programAt + 1)
                                                                             : QStringLiteral(PARLEY_PROGRAM);
    for (const QString &platform : platforms) {
        // The controller and its login window alone ("startup_...", the
        // figures of before), then the messenger as main() assembles it.
        for (const QString &mode : {QStringLiteral("--child"), QStringLiteral("--program-child")}) {
            const QString prefix = mode == QLatin1String("--child") ? QString() : QStringLiteral("program_");
            std::vector<double> times;
            std::vector<double> cpu;
            std::vector<double> phases[5];
            std::vector<qint64> memory;
            bool webEngine = false;
            bool openGL = false;
            QJsonArray residentByFile;
            QTemporaryDir home;
            const Sample first = runSample(self, platform, resources, home, mode);
            for (int i = 0; i < runs; ++i) {
                const Sample sample = runSample(self, platform, resources, home, mode);
                if (sample.ms < 0)
                    continue;
                times.push_back(sample.ms);
                cpu.push_back(sample.cpuMs);
                for (int p = 0; p < 5; ++p)
                    phases[p].push_back(sample.phases[p]);
                memory.push_back(sample.rssKb);
                webEngine = webEngine || sample.webEngine;
                openGL = openGL || sample.openGL;
                residentByFile = sample.residentByFile;
            }
            print({{"benchmark", prefix + "startup_to_login_window"}, {"platform", platform}, {"runs", int(times.size())},
                   {"median_ms", median(times)}, {"min_ms", times.empty() ? -1.0 : *std::min_element(times.begin(), times.end())},
                   {"goal_ms", 60}, {"median_cpu_ms", median(cpu)},
                   // Medians of each step: loading to main(), QApplication, the controller, start-up, first paint.
                   {"median_phases_ms", QJsonObject{{"to_main", median(phases[0])}, {"application", median(phases[1])},
                                                    {"controller", median(phases[2])}, {"start_up", median(phases[3])},
                                                    {"first_paint", median(phases[4])}}}});
            print({{"benchmark", prefix + "first_start_to_login_window"}, {"platform", platform}, {"ms", first.ms}});
            // The program's memory is measured on the real one, after its update check (below).
            const qint64 residentMedian = median(memory);
            if (prefix.isEmpty()) {
                print({{"benchmark", "resident_memory_login_idle"}, {"platform", platform}, {"median_kb", residentMedian},
                       {"goal_kb", kResidentGoalKb}});
                if (residentMedian > kResidentGoalKb)
                    print({{"benchmark", "resident_memory_by_file"}, {"platform", platform}, {"top_kb", residentByFile}});
            }
            print({{"benchmark", prefix + "webengine_loaded"}, {"platform", platform}, {"loaded", webEngine}});
            print({{"benchmark", prefix + "opengl_loaded"}, {"platform", platform}, {"loaded", openGL}});
        }
        std::vector<double> floor;
        std::vector<double> floorCpu;
        QTemporaryDir home;
        for (int i = 0; i < runs; ++i) {
            const Sample sample = runSample(self, platform, resources, home, QStringLiteral("--baseline"));
            if (sample.ms >= 0) {
                floor.push_back(sample.ms);
                floorCpu.push_back(sample.cpuMs);
            }
        }
        print({{"benchmark", "qt_window_baseline"}, {"platform", platform}, {"median_ms", median(floor)},
               {"min_ms", floor.empty() ? -1.0 : *std::min_element(floor.begin(), floor.end())},
               {"median_cpu_ms", median(floorCpu)}});
        measureRealProgram(program, platform, resources, std::max(3, runs / 3));
    }
    return 0;
}
