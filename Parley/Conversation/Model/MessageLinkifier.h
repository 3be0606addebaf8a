#pragma once

// Makes e-mail and web addresses in escaped message HTML clickable, with the
// two patterns the service's clients have always used, run by ICU's regular
// expressions (their \w, \b and byte classes are what the patterns were
// written for). Each pass has a time limit; a pass that fails or runs out of
// time leaves the text as it was before that pass.

#include <QString>

#include <optional>

class MessageLinkifier
{
public:
    enum class Pass { EMail, Web };

    // The e-mail pass over the whole text, then the web pass over the text
    // outside the anchors the first pass made (an address inside an e-mail
    // address is not linked twice).
    static QString linkify(const QString &escapedText);

    // One pass over a text; nothing when the expression fails (time limit,
    // stack) so that the caller keeps its text.
    static std::optional<QString> replaceAll(Pass pass, const QString &text);

    // The engine's step limit per match (about a millisecond each); tests lower it.
    static void setTimeLimit(int steps);
    static int timeLimit();
};
