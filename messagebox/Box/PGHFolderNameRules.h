#pragma once

// What a folder may be named. An empty name gives the box's default name when
// a folder is made ("tempbox", "tempchatbox") and keeps the old one when it is
// renamed; more than 20 characters is refused; so are the built-in folders'
// names ("inbox" and "outbox" among memo folders, "chatbox" among chat
// folders), whose folders receive every filed record.

#include "PGHStoreRecords.h"

namespace pigeonhole {

struct PGHFolderNameCheck {
    bool ok = false;
    QString name;     // the name to use when ok
    QString errorKey; // the message's string key when not
};

class PGHFolderNameRules
{
public:
    static constexpr int kMaxLength = 20;

    static PGHFolderNameCheck forCreate(PGHBox box, const QString &typed);
    static PGHFolderNameCheck forRename(PGHBox box, const QString &typed, const QString &current);
    static QString defaultName(PGHBox box);
    static bool isReserved(PGHBox box, const QString &name);
};

} // namespace pigeonhole
