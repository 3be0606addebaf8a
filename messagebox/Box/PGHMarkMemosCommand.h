#pragma once

// Marking memos read or unread, as a step of the undo history: undone, each
// memo gets its earlier mark back.

#include "PGHStoreRecords.h"

#include <QUndoCommand>

namespace pigeonhole {

class PGHMemoTreeDataSource;

class PGHMarkMemosCommand : public QUndoCommand
{
public:
    PGHMarkMemosCommand(PGHMemoTreeDataSource &dataSource, QList<qint64> ids, int unread);
    void redo() override;
    void undo() override;

private:
    PGHMemoTreeDataSource &mDataSource;
    QList<qint64> mIds;
    int mUnread;
    PGHPreviousValues mPrevious;
};

} // namespace pigeonhole
