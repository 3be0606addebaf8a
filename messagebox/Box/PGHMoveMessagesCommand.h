#pragma once

// Moving messages into a folder, as a step of the undo history: undone, each
// goes back to the folder it came from.

#include "PGHStoreRecords.h"

#include <QUndoCommand>

namespace pigeonhole {

class PGHBoxDataSource;

class PGHMoveMessagesCommand : public QUndoCommand
{
public:
    PGHMoveMessagesCommand(PGHBoxDataSource &dataSource, QList<qint64> ids, qint64 folderId);
    void redo() override;
    void undo() override;

private:
    PGHBoxDataSource &mDataSource;
    QList<qint64> mIds;
    qint64 mFolderId;
    PGHPreviousValues mPrevious;
};

} // namespace pigeonhole
