#include "PGHCreateFolderCommand.h"

#include "PGHBoxDataSource.h"
#include "PGHMessageStore.h"

#include "Utils/KCUtilities.h"

namespace pigeonhole {

PGHCreateFolderCommand::PGHCreateFolderCommand(PGHBoxDataSource &dataSource, QString name)
    : QUndoCommand(parley::KCLocalizedString(QStringLiteral("editNewFolder")))
    , mDataSource(dataSource)
    , mName(std::move(name))
{
}

void PGHCreateFolderCommand::redo()
{
    PGHMessageStore *store = mDataSource.store();
    bool done = false;
    if (store && mRemoved) {
        done = store->folders(mDataSource.box()).restore(*mRemoved);
        if (done)
            mRemoved.reset();
    } else if (store) {
        const std::optional<PGHFolder> folder = store->folders(mDataSource.box()).create(mName);
        done = folder.has_value();
        if (folder)
            mFolderId = folder->id;
    }
    if (!done) {
        setObsolete(true);
        mDataSource.reportError(QStringLiteral("cannot make the folder"));
    }
    mDataSource.editApplied();
}

void PGHCreateFolderCommand::undo()
{
    PGHMessageStore *store = mDataSource.store();
    mRemoved = store ? store->folders(mDataSource.box()).remove(mFolderId) : std::nullopt;
    if (!mRemoved) {
        setObsolete(true);
        mDataSource.reportError(QStringLiteral("cannot delete the folder"));
    }
    mDataSource.editApplied();
}

} // namespace pigeonhole
