#include "PGHDeleteFolderCommand.h"

#include "PGHBoxDataSource.h"
#include "PGHMessageStore.h"

#include "Utils/KCUtilities.h"

namespace pigeonhole {

PGHDeleteFolderCommand::PGHDeleteFolderCommand(PGHBoxDataSource &dataSource, qint64 folderId)
    : QUndoCommand(parley::KCLocalizedString(QStringLiteral("editDeleteFolder")))
    , mDataSource(dataSource)
    , mFolderId(folderId)
{
}

void PGHDeleteFolderCommand::redo()
{
    PGHMessageStore *store = mDataSource.store();
    mRemoved = store ? store->folders(mDataSource.box()).remove(mFolderId) : std::nullopt;
    if (!mRemoved) {
        setObsolete(true);
        mDataSource.reportError(QStringLiteral("cannot delete the folder"));
    }
    mDataSource.editApplied();
}

void PGHDeleteFolderCommand::undo()
{
    PGHMessageStore *store = mDataSource.store();
    if (!mRemoved || !store || !store->folders(mDataSource.box()).restore(*mRemoved)) {
        setObsolete(true);
        mDataSource.reportError(QStringLiteral("cannot restore the folder"));
    }
    mDataSource.editApplied();
}

} // namespace pigeonhole
