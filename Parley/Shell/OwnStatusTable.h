#pragma once

// The own statuses and profile commands of the status menu, by their string
// keys (the menu shows them localized): the main window's status image, the
// status code the server gets (Away chosen by the user is 3, Away set by the
// idle detector 6), the small menu image, and which entries are commands
// rather than statuses.

#include <QString>
#include <QStringList>

#include <optional>

namespace parley::shell {

struct OwnStatus {
    QString key;        // "Online", ... "SetMyProfile"
    QString image;      // "32x32_normal", ...; empty for a command
    QString menuImage;  // "16x16_normal", ...; empty for a command
    int code = -1;      // -1 for a command
};

class OwnStatusTable
{
public:
    OwnStatusTable() = delete;

    static constexpr int kIdleAwayCode = 6;

    // The six statuses in menu order.
    static const QStringList &statusKeys();
    // The three profile commands in menu order.
    static const QStringList &commandKeys();

    // The entry whose localized title is `title`; nothing for another title.
    static std::optional<OwnStatus> entryForTitle(const QString &title);
    static std::optional<OwnStatus> entryForKey(const QString &key);
    // The code sent for a status title; Away is 3 when the user picked it, else 6.
    static int codeForTitle(const QString &title, bool pickedByUser);
    // The server's code 0..5 as a status key; null for others.
    static QString keyForServerCode(int code);
    static bool isCommandTitle(const QString &title);
};

} // namespace parley::shell
