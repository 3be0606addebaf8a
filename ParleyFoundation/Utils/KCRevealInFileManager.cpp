#include "KCRevealInFileManager.h"

#include "KCShellHooks.h"
#include "KCUtilities.h"
#include "Log.h"

#include <QCoreApplication>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QFileInfo>
#include <QUrl>

namespace parley {

namespace {

void showFileError()
{
    KCCurrentShellHooks().showWarningAlert(KCLocalizedString(QStringLiteral("FileErrorTitle")),
                                           KCLocalizedString(QStringLiteral("FileErrorMessage")));
}

} // namespace

void KCRevealSelectedItemsInFinder(const QStringList &paths)
{
    KCRevealSelectedItemsInFinder(paths, QDBusConnection::sessionBus());
}

void KCRevealSelectedItemsInFinder(const QStringList &paths, const QDBusConnection &bus)
{
    QStringList uris;
    QString folder;
    for (const QString &path : paths) {
        if (path.isEmpty())
            return;
        // Only files that exist can be shown.
        if (QFileInfo::exists(path)) {
            uris << QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded);
            if (folder.isEmpty())
                folder = QFileInfo(path).absolutePath();
        }
    }
    if (uris.isEmpty() || !bus.isConnected()) {
        showFileError();
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("/org/freedesktop/FileManager1"),
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("ShowItems"));
    call << uris << QString();
    auto *watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), QCoreApplication::instance());
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher, [folder](QDBusPendingCallWatcher *done) {
        if (done->isError()) {
            plLog(QStringLiteral("file manager: ") + done->error().message());
            if (!KCCurrentShellHooks().openFolder(folder))
                showFileError();
        }
        done->deleteLater();
    });
}

} // namespace parley
