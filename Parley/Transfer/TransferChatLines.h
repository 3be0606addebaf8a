#pragma once

// Where the transfer window writes its lines: the chat window of the room
// the offer was made in (the chat-window manager finds it by the room key;
// no window, no line). Kinds: 0 an offer or start, 1 a completion, 2 a
// cancel or failure.

#include <QString>

namespace parley {

class TransferChatLines
{
public:
    virtual ~TransferChatLines() = default;
    // A line whose text is our localized format `formatKey`, its "%@" filled
    // by the chat window with who `buddyID` is.
    virtual void addFileInfoMessage(const QString &sessionKey, const QString &formatKey, int kind,
                                    const QString &buddyID) = 0;
    // A line of finished text.
    virtual void addFileMessage(const QString &sessionKey, const QString &text, int kind) = 0;
    // A file's own line (its name and size).
    virtual void addFileInfo(const QString &sessionKey, const QString &text, int kind) = 0;
};

} // namespace parley
