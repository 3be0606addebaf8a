#pragma once

// What the transcript asks of the emoticon catalogue: the tokens to turn into
// pictures, in the catalogue's order, and the image file of a token. The
// transcript's owner answers (the chat and memo windows hand on the shared
// catalogue); tests and fuzzers give their own.

#include <QString>
#include <QStringList>

class EmoticonLookup
{
public:
    virtual ~EmoticonLookup() = default;
    // Every token, in the order they are replaced.
    virtual QStringList emoticonTokens() const = 0;
    // The image file of a token; null when it has none.
    virtual QString imagePathForToken(const QString &token) const = 0;
};
