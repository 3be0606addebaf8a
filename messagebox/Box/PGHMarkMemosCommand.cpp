#include "PGHMarkMemosCommand.h"

#include "PGHMemoTable.h"
#include "PGHMemoTreeDataSource.h"
#include "PGHMessageStore.h"

#include "Utils/KCUtilities.h"

namespace pigeonhole {

PGHMarkMemosCommand::PGHMarkMemosCommand(PGHMemoTreeDataSource &dataSource, QList<qint64> ids, int unread)
    : QUndoCommand(parley::KCLocalizedString(unread ? QStringLiteral("editMarkUnread") : QStringLiteral("editMarkRead")))
    , mDataSource(dataSource)
    , mIds(std::move(ids))
    , mUnread(unread)
{
}

void PGHMarkMemosCommand::redo()
{
    PGHMessageStore *store = mDataSource.store();
    const std::optional<PGHPreviousValues> previous = store ? store->memos().setUnread(mIds, mUnread) : std::nullopt;
    if (!previous) {
        setObsolete(true);
        mDataSource.reportError(QStringLiteral("cannot mark the memos"));
        return;
    }
    mPrevious = *previous;
    QHash<qint64, int> marks;
    for (auto it = mPrevious.cbegin(); it != mPrevious.cend(); ++it)
        marks.insert(it.key(), mUnread);
    mDataSource.marksChanged(marks);
}

void PGHMarkMemosCommand::undo()
{
    PGHMessageStore *store = mDataSource.store();
    if (!store || !store->memos().restore(QStringLiteral("unread"), mPrevious)) {
        setObsolete(true);
        mDataSource.reportError(QStringLiteral("cannot mark the memos"));
        return;
    }
    QHash<qint64, int> marks;
    for (auto it = mPrevious.cbegin(); it != mPrevious.cend(); ++it)
        marks.insert(it.key(), int(it.value()));
    mDataSource.marksChanged(marks);
}

} // namespace pigeonhole
