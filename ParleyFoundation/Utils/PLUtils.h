#pragma once

// The client's folders and files, and identifiers.

#include <QByteArray>
#include <QString>

namespace parley {

// The support folder, ending with a slash (…/Parley/ under the user's data
// folder); null when the home folder cannot be found.
QString PLAppSupportPath();
// The per-user folder: the support folder, the MD5 of the user ID and a slash.
QString PLPersonalConfPathForUser(const QString &userID);
// The group cache file of a user.
QString PLGroupCachePathForUser(const QString &userID);
// The server configuration file.
QString PLConfFilePath();
// Creates the folder when nothing exists at the path (no intermediate folders)
// and answers true; when something exists, answers whether it is a folder.
bool PLCreateFolderIfNotExist(const QString &path);
// A new identifier in the 36-character 8-4-4-4-12 lower-case form.
QString PLMakeUUID();
// Four random characters of the location-key alphabet.
QByteArray getLocKey();
QString PLGetLocKey();

// The 62-character location-key alphabet (G stands twice, Z never).
inline constexpr char kLocKeyAlphabet[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYGabcdefghijklmnopqrstuvwxyz";

} // namespace parley
