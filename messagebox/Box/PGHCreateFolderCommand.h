#pragma once

// Making a folder, as a step of the undo history: undone, the folder is
// deleted (with anything moved into it since, which later steps undo first);
// redone, it comes back with the same serial number.

#include "PGHFolderTable.h"

#include <QUndoCommand>

#include <optional>

namespace pigeonhole {

class PGHBoxDataSource;

class PGHCreateFolderCommand : public QUndoCommand
{
public:
    PGHCreateFolderCommand(PGHBoxDataSource &dataSource, QString name);
    void redo() override;
    void undo() override;

private:
    PGHBoxDataSource &mDataSource;
    QString mName;
    qint64 mFolderId = 0;
    std::optional<PGHFolderDeletion> mRemoved;
};

} // namespace pigeonhole
