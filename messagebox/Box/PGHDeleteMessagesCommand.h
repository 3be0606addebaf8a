#pragma once

// Deleting messages (the selected ones, or a whole list when a box is
// cleared), as a step of the undo history: undone, they come back as they
// were, in their folders, with their ids.

#include "PGHRowSnapshot.h"

#include <QUndoCommand>

#include <optional>

namespace pigeonhole {

class PGHBoxDataSource;

class PGHDeleteMessagesCommand : public QUndoCommand
{
public:
    PGHDeleteMessagesCommand(PGHBoxDataSource &dataSource, QList<qint64> ids, const QString &text);
    void redo() override;
    void undo() override;

private:
    PGHBoxDataSource &mDataSource;
    QList<qint64> mIds;
    std::optional<PGHRowSnapshot> mRemoved;
};

} // namespace pigeonhole
