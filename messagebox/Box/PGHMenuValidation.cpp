#include "PGHMenuValidation.h"

#include <algorithm>

namespace pigeonhole {

namespace {

enum class Row { BuiltInMemo, Chatbox, UserFolder };

Row rowOf(const PGHMenuContext &context)
{
    if (context.selected == PGHMenuContext::Selected::Folder) {
        if (context.sn == 0 || context.sn == 1)
            return Row::BuiltInMemo;
        if (context.sn > 2)
            return Row::UserFolder;
    }
    return Row::Chatbox; // "chatbox", the private group, or nothing
}

bool folderTable(PGHMenuAction action, const PGHMenuContext &context)
{
    const Row row = rowOf(context);
    switch (action) {
    case PGHMenuAction::CreateFolder:
        return row != Row::BuiltInMemo;
    case PGHMenuAction::RenameFolder:
    case PGHMenuAction::DeleteFolder:
        return row == Row::UserFolder;
    case PGHMenuAction::ClearBox:
        return row != Row::Chatbox || context.tab == PGHBox::Chat;
    default:
        return true;
    }
}

} // namespace

PGHMenuState PGHMenuValidation::validate(PGHMenuAction action, const PGHMenuContext &context)
{
    const bool isMark = action == PGHMenuAction::MarkRead || action == PGHMenuAction::MarkUnread;
    const QString key = !isMark ? QString() : action == PGHMenuAction::MarkRead ? QStringLiteral("tvread") : QStringLiteral("tvunread");
    if (context.readOnly && action != PGHMenuAction::Other)
        return {false, key};
    if (!isMark)
        return {folderTable(action, context), QString()};

    // The marks act on the memo box whatever the tab; only the memo tab
    // weighs the selected memos' marks (the chat tab keeps the items on).
    if (context.tab == PGHBox::Chat)
        return {true, key};
    const QList<int> &marks = context.selectedUnread;
    const bool anyUnread = std::any_of(marks.begin(), marks.end(), [](int u) { return u != 0; });
    const bool anyRead = std::any_of(marks.begin(), marks.end(), [](int u) { return u == 0; });
    if (anyUnread && anyRead)
        return {true, key};
    if (anyUnread) // all unread
        return {action == PGHMenuAction::MarkRead, key};
    return {action == PGHMenuAction::MarkUnread, key}; // all read, or none selected
}

} // namespace pigeonhole
