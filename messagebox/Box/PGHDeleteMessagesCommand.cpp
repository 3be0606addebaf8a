#include "PGHDeleteMessagesCommand.h"

#include "PGHBoxDataSource.h"
#include "PGHChatTable.h"
#include "PGHMemoTable.h"
#include "PGHMessageStore.h"

namespace pigeonhole {

PGHDeleteMessagesCommand::PGHDeleteMessagesCommand(PGHBoxDataSource &dataSource, QList<qint64> ids,
                                                   const QString &text)
    : QUndoCommand(text)
    , mDataSource(dataSource)
    , mIds(std::move(ids))
{
}

void PGHDeleteMessagesCommand::redo()
{
    PGHMessageStore *store = mDataSource.store();
    if (store)
        mRemoved = mDataSource.box() == PGHBox::Memo ? store->memos().remove(mIds) : store->chats().remove(mIds);
    if (!store || !mRemoved) {
        setObsolete(true);
        mDataSource.reportError(QStringLiteral("cannot delete the messages"));
    } else if (mRemoved->isEmpty()) {
        // Gone already: nothing to undo, so no step of the history.
        setObsolete(true);
    }
    mDataSource.editApplied();
}

void PGHDeleteMessagesCommand::undo()
{
    PGHMessageStore *store = mDataSource.store();
    const bool done = store && mRemoved
                      && (mDataSource.box() == PGHBox::Memo ? store->memos().restore(*mRemoved)
                                                             : store->chats().restore(*mRemoved));
    if (!done) {
        setObsolete(true);
        mDataSource.reportError(QStringLiteral("cannot restore the messages"));
    }
    mDataSource.editApplied();
}

} // namespace pigeonhole
