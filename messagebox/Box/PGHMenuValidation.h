#pragma once

// Which menu items are on, from the selected item of the current tab's folder
// outline and (in the memo tab) the selected memos' unread marks; while the
// store is only read, no item that changes it. One table,
// used by every menu, context menu and tool-bar button of the window.

#include "PGHStoreRecords.h"

#include <QList>
#include <QString>

namespace pigeonhole {

enum class PGHMenuAction {
    CreateFolder,
    RenameFolder,
    DeleteFolder,
    ClearBox,
    MarkRead,
    MarkUnread,
    Other, // every item the table leaves on
};

struct PGHMenuContext {
    enum class Selected { Nothing, Group, Folder };
    PGHBox tab = PGHBox::Memo;
    Selected selected = Selected::Nothing;
    qint64 sn = -1;                 // the selected folder's serial number
    QList<int> selectedUnread;      // the selected memos' `unread` values
    bool readOnly = false;          // the store is being brought up to date
};

struct PGHMenuState {
    bool enabled = false;
    QString titleKey; // the item's title key where the rules retitle it
};

class PGHMenuValidation
{
public:
    static PGHMenuState validate(PGHMenuAction action, const PGHMenuContext &context);
};

} // namespace pigeonhole
