#include "PGHMoveMessagesCommand.h"

#include "PGHBoxDataSource.h"
#include "PGHChatTable.h"
#include "PGHMemoTable.h"
#include "PGHMessageStore.h"

#include "Utils/KCUtilities.h"

namespace pigeonhole {

namespace {

// The table of the box's messages.
template<typename F>
auto withTable(PGHMessageStore &store, PGHBox box, F &&f)
{
    if (box == PGHBox::Memo) {
        PGHMemoTable table = store.memos();
        return f(static_cast<PGHMessageTable &>(table));
    }
    PGHChatTable table = store.chats();
    return f(static_cast<PGHMessageTable &>(table));
}

} // namespace

PGHMoveMessagesCommand::PGHMoveMessagesCommand(PGHBoxDataSource &dataSource, QList<qint64> ids, qint64 folderId)
    : QUndoCommand(parley::KCLocalizedString(QStringLiteral("editMove")))
    , mDataSource(dataSource)
    , mIds(std::move(ids))
    , mFolderId(folderId)
{
}

void PGHMoveMessagesCommand::redo()
{
    PGHMessageStore *store = mDataSource.store();
    const std::optional<PGHPreviousValues> previous =
        store ? withTable(*store, mDataSource.box(), [&](PGHMessageTable &t) { return t.move(mIds, mFolderId); })
              : std::nullopt;
    if (previous) {
        mPrevious = *previous;
    } else {
        setObsolete(true);
        mDataSource.reportError(QStringLiteral("cannot move the messages"));
    }
    mDataSource.reloadMessages();
}

void PGHMoveMessagesCommand::undo()
{
    PGHMessageStore *store = mDataSource.store();
    const bool done = store && withTable(*store, mDataSource.box(), [&](PGHMessageTable &t) {
                          return t.restore(t.folderColumn(), mPrevious);
                      });
    if (!done) {
        setObsolete(true);
        mDataSource.reportError(QStringLiteral("cannot move the messages back"));
    }
    mDataSource.reloadMessages();
}

} // namespace pigeonhole
