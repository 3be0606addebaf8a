#pragma once

// Renaming a folder, as a step of the undo history.

#include <QUndoCommand>

namespace pigeonhole {

class PGHBoxDataSource;

class PGHRenameFolderCommand : public QUndoCommand
{
public:
    PGHRenameFolderCommand(PGHBoxDataSource &dataSource, qint64 folderId, QString oldName, QString newName);
    void redo() override;
    void undo() override;

private:
    void apply(const QString &name);

    PGHBoxDataSource &mDataSource;
    qint64 mFolderId;
    QString mOldName;
    QString mNewName;
};

} // namespace pigeonhole
