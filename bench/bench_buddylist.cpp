// The buddy list with 5,000 buddies in 100 groups, every group open: the
// rebuild as a status change causes it (view-model rebuild, model reset and
// the first layout of the visible rows) against the 16 ms of one frame, the
// same with the visible rows painted, and the sort on its own: with each
// row's key formatted once per rebuild, and formatted at every comparison.

#include "BuddyList/BuddyListDataSource.h"
#include "BuddyList/BuddyListShell.h"
#include "BuddyList/BuddyListView.h"
#include "BuddyList/BuddyString.h"
#include "BuddyList/KCOutlineView.h"
#include "BuddyManagement/PLBuddyManager.h"
#include "Log.h"
#include "Utils/KCUtilities.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

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

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Settings go to a folder of their own, never the user's.
    QTemporaryDir home;
    qputenv("HOME", home.path().toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", home.filePath(QStringLiteral("config")).toLocal8Bit());
    qputenv("XDG_DATA_HOME", home.filePath(QStringLiteral("data")).toLocal8Bit());
    QApplication app(argc, argv);
    parley::setLogSink([](const QString &) {});
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
