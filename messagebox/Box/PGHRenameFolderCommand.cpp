#include "PGHRenameFolderCommand.h"

#include "PGHBoxDataSource.h"
#include "PGHFolderTable.h"
#include "PGHMessageStore.h"

#include "Utils/KCUtilities.h"

namespace pigeonhole {

PGHRenameFolderCommand::PGHRenameFolderCommand(PGHBoxDataSource &dataSource, qint64 folderId, QString oldName,
                                               QString newName)
    : QUndoCommand(parley::KCLocalizedString(QStringLiteral("editRenameFolder")))
    , mDataSource(dataSource)
    , mFolderId(folderId)
    , mOldName(std::move(oldName))
    , mNewName(std::move(newName))
{
}

void PGHRenameFolderCommand::apply(const QString &name)
{
    PGHMessageStore *store = mDataSource.store();
    if (!store || !store->folders(mDataSource.box()).rename(mFolderId, name)) {
        setObsolete(true);
        mDataSource.reportError(QStringLiteral("cannot rename the folder"));
    }
    mDataSource.editApplied();
}

void PGHRenameFolderCommand::redo() { apply(mNewName); }

void PGHRenameFolderCommand::undo() { apply(mOldName); }

} // namespace pigeonhole
