#pragma once

// The chat-room commands of parley-headless. A room's events are printed as
// the chat-session manager's notifications, like every other notification.

#include "HeadlessCommands.h"

namespace headless::chat {

using Result = std::optional<QString>;

// Creates the chat-session manager and hands it to the account session.
void installChatManager();

// The message string a chat window sends: font, colour, an empty field and
// the text, TAB-separated; a TAB in the text becomes a space.
QString messageString(const QString &text);

// chat ID [ID]...: asks for a room with these buddies.
Result open(HeadlessContext &context, const QStringList &args, bool *sent);
// say ROOMKEY TEXT
Result say(HeadlessContext &context, const QStringList &args, bool *sent);
// leave ROOMKEY
Result leave(HeadlessContext &context, const QStringList &args, bool *sent);

} // namespace headless::chat
