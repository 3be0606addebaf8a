#pragma once

// The memo-box server's host and page, from the configuration's "memo_ipml".

#include <QString>

#include <optional>

namespace parley {

class PLMemoBoxManager
{
public:
    static PLMemoBoxManager &sharedManager();
    PLMemoBoxManager(const PLMemoBoxManager &) = delete;
    PLMemoBoxManager &operator=(const PLMemoBoxManager &) = delete;

    struct ServerInfo {
        QString host;
        QString page; // starts with "/", or empty
    };
    // None when the value is missing or too short to hold a scheme prefix.
    std::optional<ServerInfo> serverInfo() const;
    // The same split of a URL with a seven-character scheme prefix ("http://").
    static std::optional<ServerInfo> serverInfoFrom(const QString &url);

private:
    PLMemoBoxManager() = default;
};

} // namespace parley
