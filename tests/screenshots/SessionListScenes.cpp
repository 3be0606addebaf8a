// The session list with three other logins (a computer, a phone and the
// web, one name cut), and a plug-in's updater halfway through its download.
#include "BuddyManagement/PLMyInfoManager.h"
#include "ScreenshotScenes.h"
#include "NotificationCenter.h"
#include "NotificationNames.h"
#include "Shell/PLSessionManager.h"
#include "Shell/ShellWindows.h"
#include "Shell/UpdateController.h"
#include "Shell/SessionListModel.h"
#include "Utils/KCUtilities.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLabel>

namespace parley::screenshots {

namespace {

const bool sessionList = registerScene(QStringLiteral("session-list"), [] {
    PLMyInfoManager &me = PLMyInfoManager::sharedManager();
    me.setDpKey(QStringLiteral("1"));
    me.setDpPCName(sample(QStringLiteral("집-데스크톱"), QStringLiteral("home-desktop")));
    PLSessionManager *window = PLSessionManager::defaultController();
    window->loadSetting();
    window->removeAllList();
    const struct {
        const char *key;
        const char *media;
        QString name;
    } rows[] = {
        {"21", "1", sample(QStringLiteral("회사 컴퓨터"), QStringLiteral("Office PC"))},
        {"22", "2", sample(QStringLiteral("내 휴대폰"), QStringLiteral("My phone"))},
        {"23", "3", sample(QStringLiteral("도서관 웹 브라우저에서"), QStringLiteral("Library web browser"))},
    };
    for (const auto &row : rows)
        window->addList(QLatin1String(row.key), QLatin1String(row.media), QStringLiteral("0"), QStringLiteral("ko.macm"),
                        row.name, SessionListModel::typeNameForMediaType(QLatin1String(row.media)));
    window->reloadSessionList();
    // The rows are a web page: it is shown once loaded and painted.
    window->show();
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < 20000 && !window->isListLoaded())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    waited.restart();
    while (waited.elapsed() < 1500)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    return static_cast<QWidget *>(window);
});

// The one plug-in the updater asks about.
class OnePlugIn final : public shell::PlugInManager
{
public:
    void loadPlugInFromLocal(const QString &) override {}
    void reset() override {}
    QVariantMap pluginForID(const QString &) override
    {
        return {{"name", sample(QStringLiteral("메시지함"), QStringLiteral("Message Box"))}, {"newVersion", "1.2"}};
    }
};

const bool updater = registerScene(QStringLiteral("plugin-updater"), [] {
    static OnePlugIn plugIn;
    shell::ShellWindows::setPlugInManager(&plugIn);
    UpdateController *window = UpdateController::showPlugInUpdater(QStringLiteral("box"), false);
    shell::ShellWindows::setPlugInManager(nullptr);
    NotificationCenter::defaultCenter().post(
        QLatin1String(notifications::kUpdateManagerPlugInUpdateProgress), nullptr,
        {{"uuid", "box"}, {"progress", 42}, {"downloadSize", 1258291}, {"fileSize", 2995932}});
    return static_cast<QWidget *>(window);
});

} // namespace

} // namespace parley::screenshots
