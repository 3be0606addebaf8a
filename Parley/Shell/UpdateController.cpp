#include "UpdateController.h"

#include "AppController.h"
#include "KCAlertPresenter.h"
#include "KCDefaultFont.h"
#include "NotificationCenter.h"
#include "NotificationNames.h"
#include "ShellScheduler.h"
#include "ShellWindows.h"
#include "Utils/KCUtilities.h"

#include <QGuiApplication>
#include <QLabel>
#include <QProgressBar>
#include <QScreen>
#include <QVBoxLayout>

namespace parley {

namespace {

shell::ShellScheduler *gScheduler = nullptr;

shell::ShellScheduler &scheduler()
{
    static shell::TimerScheduler timers;
    return gScheduler ? *gScheduler : timers;
}

QString text(const char *key) { return KCLocalizedString(QLatin1String(key)); }

} // namespace

void UpdateController::setScheduler(shell::ShellScheduler *s) { gScheduler = s; }

UpdateController *UpdateController::showPlugInUpdater(const QString &plugInID, bool execute)
{
    auto *window = new UpdateController(plugInID, execute);
    window->show();
    if (QScreen *screen = QGuiApplication::primaryScreen())
        window->move(screen->availableGeometry().center() - window->rect().center());
    return window;
}

UpdateController::UpdateController(const QString &plugInID, bool execute)
    : QWidget(nullptr, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint), mPlugInID(plugInID), mIsExecute(execute)
{
    setObjectName(QStringLiteral("Updater"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFont(GetDefaultFontOfSize(12));
    setWindowTitle(text("UpdatePlugIn"));
    mUpdateMessage = new QLabel(this);
    mUpdateMessage->setTextFormat(Qt::PlainText);
    mUpdateMessage->setWordWrap(true);
    mProgressMessage = new QLabel(this);
    mProgressMessage->setTextFormat(Qt::PlainText);
    mProgress = new QProgressBar(this);
    mProgress->setTextVisible(false);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 18, 20, 18);
    layout->setSpacing(8);
    layout->addWidget(mUpdateMessage);
    layout->addWidget(mProgress);
    layout->addWidget(mProgressMessage);
    setFixedWidth(380);

    const QVariantMap entry = shell::ShellWindows::plugInManager().pluginForID(plugInID);
    if (!entry.isEmpty()) {
        // One pass of arg(): the values are data, never formats.
        mUpdateMessage->setText(text("UpdatePlugInInfo").arg(entry.value(QStringLiteral("name")).toString(),
                                                             entry.value(QStringLiteral("newVersion")).toString()));
        mProgressMessage->setText(text("UpdateDownloadInfo").arg(fileSizeStringWithBytes(0), QStringLiteral("?")));
    }
    // Busy until the first progress tells the size.
    mProgress->setRange(0, 0);
    setFixedHeight(sizeHint().height());

    NotificationCenter &center = NotificationCenter::defaultCenter();
    center.addObserver(this, QLatin1String(notifications::kUpdateManagerPlugInUpdateProgress), nullptr,
                       [this](const Notification &n) { updateManagerPlugInUpdateProgressNotification(n.userInfo); });
    center.addObserver(this, QLatin1String(notifications::kUpdateManagerPlugInUpdateResult), nullptr,
                       [this](const Notification &n) { updateManagerPlugInUpdateResultNotification(n.userInfo); });
}

void UpdateController::updateManagerPlugInUpdateProgressNotification(const QVariantMap &record)
{
    if (mFinished || record.value(QStringLiteral("uuid")).toString() != mPlugInID)
        return;
    if (record.contains(QStringLiteral("progress"))) {
        mProgress->setRange(0, 100);
        mProgress->setValue(int(record.value(QStringLiteral("progress")).toDouble()));
    } else {
        mProgress->setRange(0, 0);
    }
    const qint64 fileSize = record.value(QStringLiteral("fileSize")).toLongLong();
    mProgressMessage->setText(
        text("UpdateDownloadInfo")
            .arg(fileSizeStringWithBytes(record.value(QStringLiteral("downloadSize")).toLongLong()),
                 fileSize > 0 ? fileSizeStringWithBytes(fileSize) : QStringLiteral("?")));
}

void UpdateController::updateManagerPlugInUpdateResultNotification(const QVariantMap &result)
{
    if (mFinished)
        return;
    mFinished = true;
    if (!result.value(QStringLiteral("result")).toBool()) {
        mProgress->setRange(0, 100);
        mProgress->setValue(0);
        KCAlertRequest request;
        request.key = QStringLiteral("UpdateErrorMessage");
        request.title = text("UpdatePlugIn");
        request.message = text("UpdateErrorMessage");
        request.buttons = {text("OK")};
        request.style = KCAlertRequest::Style::Warning;
        KCAlerts().ask(request);
        close();
        return;
    }
    mProgress->setRange(0, 0);
    mProgressMessage->setText(text("UpdateInstall"));
    scheduler().schedule(this, kCompletionDelaySeconds, [this] { updateCompleted(); });
}

void UpdateController::updateCompleted()
{
    mProgress->setRange(0, 100);
    mProgress->setValue(100);
    shell::PlugInManager &plugIns = shell::ShellWindows::plugInManager();
    const QVariantMap entry = plugIns.pluginForID(mPlugInID);
    if (entry.contains(QStringLiteral("newVersion")))
        plugIns.setPluginVersion(mPlugInID, entry.value(QStringLiteral("newVersion")).toString());
    plugIns.setPluginNeedUpdate(mPlugInID, false);
    if (mPlugInID == QLatin1String(notifications::kMessageBoxPlugInID)) {
        if (mIsExecute && shell::AppController::sharedController())
            shell::AppController::sharedController()->setShowMessageBox(true);
        plugIns.plugInExecute(mPlugInID);
    }
    const QVariantMap updated = plugIns.pluginForID(mPlugInID);
    close();
    NotificationCenter::defaultCenter().post(QLatin1String(notifications::kUpdateControllerCompleted), nullptr, updated);
}

} // namespace parley
