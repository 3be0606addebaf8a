#pragma once

// Deleting a folder with its messages, as a step of the undo history: undone,
// both come back as they were.

#include "PGHFolderTable.h"

#include <QUndoCommand>

#include <optional>

namespace pigeonhole {

class PGHBoxDataSource;

class PGHDeleteFolderCommand : public QUndoCommand
{
public:
    PGHDeleteFolderCommand(PGHBoxDataSource &dataSource, qint64 folderId);
    void redo() override;
    void undo() override;

private:
    PGHBoxDataSource &mDataSource;
    qint64 mFolderId;
    std::optional<PGHFolderDeletion> mRemoved;
};

} // namespace pigeonhole
