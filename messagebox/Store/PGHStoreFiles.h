#pragma once

// Where the store files live: "Message/" in the support folder, one file per
// user named after the user ID ("<userID>.sqlite") and "default.sqlite" before
// a login. The user ID comes over the bus, where any local process can send
// one: an ID that cannot be one plain file name is refused.

#include <QString>

#include <optional>

namespace pigeonhole {

class PGHStoreFiles
{
public:
    // The store folder under the given support folder (PLAppSupportPath() by
    // default), made when missing; nothing when there is no support folder or
    // the folder cannot be made.
    static std::optional<QString> folder(const QString &supportFolder, QString *error = nullptr);
    static std::optional<QString> folder(QString *error = nullptr);

    // "<userID>.sqlite", or nothing for an ID that is empty, holds "/" or NUL,
    // starts with ".", is too long for a file name, or would name the
    // pre-login store.
    static std::optional<QString> fileNameForUser(const QString &userID);
    static QString defaultFileName();

    // Removes the pre-login store with its "-wal" and "-shm" files; answers
    // whether none of them is left.
    static bool removeDefaultStore(const QString &folder);
};

} // namespace pigeonhole
