#include "PGHStoreController.h"

#include "PGHStoreFiles.h"
#include "PGHStoreUpgrade.h"

#include "Log.h"
#include "Utils/PLUtils.h"

#include <QFileInfo>

namespace pigeonhole {

PGHStoreController::PGHStoreController(const QString &supportFolder, QObject *parent)
    : QObject(parent)
    , mSupportFolder(supportFolder)
{
}

PGHStoreController::~PGHStoreController() { closeStore(); }

void PGHStoreController::closeStore()
{
    // The worker's connection goes first: it may be mid-step.
    mUpgrade.reset();
    mStore.reset();
}

bool PGHStoreController::isUpgrading() const { return mUpgrade && mUpgrade->isRunning(); }

void PGHStoreController::stopUpgrade()
{
    if (mUpgrade)
        mUpgrade->stop();
}

PGHMessageStore *PGHStoreController::store()
{
    if (!mStore && mState == State::PreLogin)
        openFile(PGHStoreFiles::defaultFileName());
    return mStore.get();
}

PGHStoreController::Login PGHStoreController::switchToUser(const QString &userID)
{
    if (mState == State::User) {
        parley::plLog(QStringLiteral("Pigeonhole: a second login notice (%1) leaves the store of %2").arg(userID, mUserID));
        return Login::Ignored;
    }
    const std::optional<QString> fileName = PGHStoreFiles::fileNameForUser(userID);
    if (!fileName) {
        parley::plLog(QStringLiteral("Pigeonhole: a login notice with an ID that names no file (\"%1\"); ignored").arg(userID));
        return Login::Refused;
    }
    closeStore();
    if (!openFile(*fileName)) {
        mState = State::Failed;
        Q_EMIT storeChanged();
        return Login::Failed;
    }
    mState = State::User;
    mUserID = userID;
    Q_EMIT storeChanged();
    return Login::Switched;
}

void PGHStoreController::terminate()
{
    const std::optional<QString> folder =
        PGHStoreFiles::folder(mSupportFolder.isEmpty() ? parley::PLAppSupportPath() : mSupportFolder);
    if (!folder)
        return;
    const bool onDefault = mStore && QFileInfo(mStore->path()).fileName() == PGHStoreFiles::defaultFileName();
    if (onDefault) {
        closeStore();
        Q_EMIT storeChanged();
    }
    if (!PGHStoreFiles::removeDefaultStore(*folder))
        parley::plLog(QStringLiteral("Pigeonhole: cannot remove the pre-login store in %1").arg(*folder));
}

bool PGHStoreController::openFile(const QString &fileName)
{
    QString reason;
    const std::optional<QString> folder =
        PGHStoreFiles::folder(mSupportFolder.isEmpty() ? parley::PLAppSupportPath() : mSupportFolder, &reason);
    if (!folder) {
        fail(reason);
        return false;
    }
    const QString path = *folder + QLatin1Char('/') + fileName;
    mStore = PGHMessageStore::open(path, &reason, PGHMessageStore::Upgrade::Later);
    if (!mStore) {
        fail(QStringLiteral("%1: %2").arg(path, reason));
        return false;
    }
    mLastError.clear();
    if (mStore->neededUpgrade()) {
        mUpgrade = std::make_unique<PGHStoreUpgrade>(path);
        connect(mUpgrade.get(), &PGHStoreUpgrade::stepStarted, this, &PGHStoreController::upgradeProgress);
        connect(mUpgrade.get(), &PGHStoreUpgrade::finished, this, [this](bool ok, const QString &error) {
            Q_EMIT upgradeFinished(ok ? QString() : error);
        });
        mUpgrade->start();
    }
    return true;
}

void PGHStoreController::fail(const QString &reason)
{
    mLastError = reason;
    parley::plLog(QStringLiteral("Pigeonhole: %1").arg(reason));
    Q_EMIT storeFailed(reason);
}

} // namespace pigeonhole
