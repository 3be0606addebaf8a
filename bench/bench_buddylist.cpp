// The buddy list with 5,000 buddies in 100 groups, every group open: the
// rebuild as a status change causes it (view-model rebuild, model reset and
// the first layout of the visible rows) against the 16 ms of one frame, the
// same with the visible rows painted, and the sort on its own: with each
// row's key formatted once per rebuild, and formatted at every comparison.
// Then the resident memory of the messenger signed in to the local service's
// 5,000-buddy account with the list shown.

#include "BenchLocalService.h"
#include "BuddyList/BuddyListDataSource.h"
#include "BuddyList/BuddyListWindow.h"
#include "Shell/AppController.h"
#include "Shell/LoginView.h"
#include "Shell/MainWindow.h"
#include "BuddyList/BuddyListShell.h"
#include "BuddyList/BuddyListView.h"
#include "BuddyList/BuddyString.h"
#include "BuddyList/KCOutlineView.h"
#include "BuddyManagement/PLBuddyManager.h"
#include "Log.h"
#include "NotificationCenter.h"
#include "NotificationNames.h"
#include "Sessions/PLEncrypUtil.h"
#include "Sessions/PLParleySession.h"
#include "Utils/PLEndpoints.h"
#include "Utils/KCUtilities.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <cstring>

#include <algorithm>

namespace {

using namespace parley;

constexpr int kBuddies = 5000;
constexpr int kGroups = 100;

// Names of Hangul, Latin letters and digits, as a real list mixes them.
QString nameOf(int i)
{
    static const QStringList family{QStringLiteral("김"), QStringLiteral("이"), QStringLiteral("박"),
                                    QStringLiteral("Kim"), QStringLiteral("Lee"), QStringLiteral("9")};
    return family.at(i % family.size()) + QString::number((i * 7919) % 10007);
}

void fillStore()
{
    PLBuddyManager &buddies = PLBuddyManager::sharedManager();
    buddies.reset();
    for (int g = 1; g <= kGroups; ++g)
        buddies.createGroupForID(QString::number(g))->setGroupName(QStringLiteral("Group %1").arg(g));
    for (int i = 0; i < kBuddies; ++i) {
        const QString cmn = QString::number(200000 + i);
        PLBuddyPtr b = buddies.createBuddyForCMN(cmn);
        b->setVelaID(QStringLiteral("b%1@parley.test").arg(i));
        b->setName(nameOf(i));
        b->setNickName(i % 3 ? QString() : QStringLiteral("nick %1").arg(i));
        b->setStatus(i % 4);
        b->setBuddyFlags(QStringLiteral("1100"));
        buddies.addBuddy(cmn, QString::number(i % kGroups + 1));
    }
}

struct Shown {
    BuddyListDataSource source{BuddyListManager::sharedManager()};
    BuddyListView view;
    struct Shell : BuddyListShell {
        bool isBuddyDataReceived() const override { return true; }
        void buddyDataReceived() override {}
        bool moveBuddies(const QVariantList &) override { return false; }
        void showBuddyMininook(const PLBuddyPtr &) override {}
    } shell;
    Shown()
    {
        source.setShell(&shell);
        source.setStatusListPoster([](const QVariantMap &) { return true; });
        source.setMBuddyListView(view.outlineView());
        source.setIsLoginCompleted(true);
        view.resize(260, 700);
        view.show();
        source.reloadBuddyData(true);
        source.expandAllItems();
        layout();
    }
    // What the refresh's timer does: the rows rebuilt inside a model reset.
    void rebuild()
    {
        source.setMIsBuddyLoading(false);
        source.reloadBuddyData(false);
    }
    // The view lays its rows out on the first question about them.
    void layout() { benchmark::DoNotOptimize(view.outlineView()->indexAt(QPoint(5, 5))); }
    void paint()
    {
        QImage image(view.outlineView()->viewport()->size(), QImage::Format_ARGB32_Premultiplied);
        view.outlineView()->viewport()->render(&image);
        benchmark::DoNotOptimize(image.bits());
    }
};

void BM_RebuildResetAndFirstLayout(benchmark::State &state)
{
    fillStore();
    Shown shown;
    for (auto _ : state) {
        shown.rebuild();
        shown.layout();
    }
    // The rows the outline shows open, to be sure the work was all there.
    int shownRows = 0;
    BuddyListModel &model = *shown.source.model();
    for (int g = 0; g < model.rowCount(); ++g) {
        const QModelIndex group = model.index(g, 0);
        shownRows += 1 + (shown.view.outlineView()->isExpanded(group) ? model.rowCount(group) : 0);
    }
    state.counters["rows_open"] = shownRows;
}
BENCHMARK(BM_RebuildResetAndFirstLayout)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_RebuildResetLayoutAndPaint(benchmark::State &state)
{
    fillStore();
    Shown shown;
    for (auto _ : state) {
        shown.rebuild();
        shown.layout();
        shown.paint();
    }
}
BENCHMARK(BM_RebuildResetLayoutAndPaint)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_ForcedReloadWithStatusList(benchmark::State &state)
{
    fillStore();
    Shown shown;
    for (auto _ : state) {
        shown.source.reloadBuddyData(true); // also builds the message box's status list
        shown.layout();
    }
}
BENCHMARK(BM_ForcedReloadWithStatusList)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The rows of every group, unsorted, with their keys.
QList<QList<BuddyRow>> unsortedRows()
{
    fillStore();
    const QString type = BuddyString::buddyStringType();
    QList<QList<BuddyRow>> groups;
    for (const PLGroupPtr &group : PLBuddyManager::sharedManager().mGroupDict()) {
        QList<BuddyRow> rows;
        for (const PLBuddyPtr &buddy : group->mUserListDict())
            rows.append({buddy, group, {}, BuddyString::displayString(type, *buddy)});
        groups.append(rows);
    }
    return groups;
}

void BM_SortWithKeysOnce(benchmark::State &state)
{
    const QList<QList<BuddyRow>> groups = unsortedRows();
    for (auto _ : state) {
        QList<QList<BuddyRow>> copy = groups;
        for (QList<BuddyRow> &rows : copy)
            BuddyListManager::sortRows(rows);
        benchmark::DoNotOptimize(copy);
    }
}
BENCHMARK(BM_SortWithKeysOnce)->Unit(benchmark::kMillisecond)->MinTime(1.0);

void BM_SortFormattingAtEveryComparison(benchmark::State &state)
{
    const QList<QList<BuddyRow>> groups = unsortedRows();
    for (auto _ : state) {
        QList<QList<BuddyRow>> copy = groups;
        for (QList<BuddyRow> &rows : copy)
            std::stable_sort(rows.begin(), rows.end(), [](const BuddyRow &a, const BuddyRow &b) {
                return KCStringCompare(BuddyString::buddyStringWithBuddy(a.buddy),
                                       BuddyString::buddyStringWithBuddy(b.buddy)) < 0;
            });
        benchmark::DoNotOptimize(copy);
    }
}
BENCHMARK(BM_SortFormattingAtEveryComparison)->Unit(benchmark::kMillisecond)->MinTime(1.0);

// The child: the messenger as main.cpp makes it (the application controller
// with its main window, and the buddy list in it) signs in from its login
// form; once the buddy view shows, every group is opened, the refresh is
// left to settle, and it prints "rss_kib peak_kib".
int listShownOnce(int argc, char **argv, quint16 dispatchPort)
{
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    parley::setLogSink([](const QString &) {});
    PLEndpoints endpoints;
    endpoints.dispatchHost = QStringLiteral("127.0.0.1");
    endpoints.dispatchPort = dispatchPort;
    PLEndpoints::setCurrent(endpoints);
    shell::AppController controller;
    BuddyListWindow buddyList(controller);
    controller.awakeFromNib();
    controller.window()->resize(300, 700);
    controller.window()->show();
    controller.prefillAccount(QStringLiteral("alice@parley.test"), QStringLiteral("alice-pw"));
    bool done = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &app, [&] {
        if (!controller.window()->isShowingBuddyView() || buddyList.dataSource().model()->rowCount() == 0)
            return;
        poll.stop();
        buddyList.dataSource().expandAllItems();
        QTimer::singleShot(3000, &app, [&] {
            buddyList.view()->grab(); // the list drawn once more, as shown
            std::printf("%ld %ld\n", parley::bench::residentKiB(), parley::bench::peakRSSKiB());
            std::fflush(stdout);
            done = true;
            app.quit();
        });
    });
    poll.start(50);
    QTimer::singleShot(0, &app, [&] { controller.loginAction(controller.loginView()->loginButton); });
    QTimer::singleShot(120000, &app, &QCoreApplication::quit);
    app.exec();
    return done ? 0 : 1;
}

QString gProgram;

void BM_ResidentSignedInWithListShown(benchmark::State &state)
{
    parley::bench::TestCertificates certificates;
    if (!certificates.ok)
        return state.SkipWithError("the openssl tool made no certificates");
    parley::bench::ServiceProcess service(certificates, kBuddies, kGroups);
    if (!service.port())
        return state.SkipWithError("the local service did not start");
    std::vector<double> resident, peak;
    for (auto _ : state) {
        const auto out = service.runClient(gProgram, {"--list-shown-once", QString::number(service.port())});
        const QList<QByteArray> values = out ? out->trimmed().split(' ') : QList<QByteArray>();
        if (values.size() != 2)
            return state.SkipWithError("the client did not sign in");
        resident.push_back(values[0].toDouble() / 1024);
        peak.push_back(values[1].toDouble() / 1024);
    }
    std::sort(resident.begin(), resident.end());
    std::sort(peak.begin(), peak.end());
    state.counters["resident_MiB_median"] = resident[resident.size() / 2];
    state.counters["peak_MiB_median"] = peak[peak.size() / 2];
}
BENCHMARK(BM_ResidentSignedInWithListShown)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char **argv)
{
    if (argc == 3 && std::strcmp(argv[1], "--list-shown-once") == 0) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return listShownOnce(argc, argv, quint16(std::atoi(argv[2])));
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Settings go to a folder of their own, never the user's.
    QTemporaryDir home;
    qputenv("HOME", home.path().toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", home.filePath(QStringLiteral("config")).toLocal8Bit());
    qputenv("XDG_DATA_HOME", home.filePath(QStringLiteral("data")).toLocal8Bit());
    QApplication app(argc, argv);
    gProgram = QCoreApplication::applicationFilePath();
    parley::setLogSink([](const QString &) {});
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
