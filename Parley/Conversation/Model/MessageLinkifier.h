#pragma once

// Finds the e-mail and web addresses in a message's raw text, before any
// escaping, so that an entity or a hard space never becomes part of an
// address.
//
// - A link with a scheme (http, https) or beginning "www." runs to
//   the next blank, "<" or ">", or to where a non-ASCII letter begins (Korean
//   glued to an address is not part of it); left out at its end are
//   . , ; : ! ? ' " and a ) or ] without its opening one inside the link.
//   No list of top-level domains cuts it.
// - E-mail addresses and the "/" and "~/" forms are found by the patterns the
//   service's clients have always used, run by ICU's regular expressions in
//   the text the links above leave. Each of those passes has a time limit; a
//   pass that fails or runs out of time finds nothing.

#include <QList>
#include <QString>
#include <QStringView>

#include <optional>

struct MessageLink
{
    qsizetype start = 0;
    qsizetype length = 0;
    bool mail = false; // the target is "mailto:" and the text

    friend bool operator==(const MessageLink &, const MessageLink &) = default;
};

class MessageLinkifier
{
public:
    // Every link of the text, in order, none overlapping.
    static QList<MessageLink> findLinks(QStringView text);

    enum class Pass { EMail, Path };
    // The matches of one pattern over a text (offsets into it); nothing when
    // the expression fails (time limit, stack).
    static std::optional<QList<MessageLink>> matches(Pass pass, QStringView text);

    // The engine's step limit per match (about a millisecond each); tests lower it.
    static void setTimeLimit(int steps);
    static int timeLimit();
};
