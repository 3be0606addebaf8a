#pragma once

// The short bracketed text an animicon travels in inside a chat message:
// "<ANICO|ID|C_III.bmp|NAME|/ANICO>", the four-character ID (category
// character and three item characters), the image file name and the item's
// name. Fields are not escaped: a "|" in a name shifts the fields after it,
// as every client reads it.

#include <QString>

#include <optional>

struct AnimiconWireInfo
{
    QString categoryID; // one character
    QString animiconID; // three characters
    QString name;
};

class AnimiconWireForm
{
public:
    // The wire form of a four-character ID and an item name; null when the ID
    // is not four letters and digits.
    static QString encode(const QString &fourCharacterID, const QString &name);
    // The IDs and name of the first wire form, read from the whole message
    // split at "|": the second field must be a four-character ID of letters
    // and digits, the fourth is the name. Nothing otherwise (a "|" earlier in
    // the message already moves the fields).
    static std::optional<AnimiconWireInfo> decode(const QString &message);
    // Whether a message holds "<ANICO" at all.
    static bool isAnimiconExist(const QString &message);

    // Whether an ID from the network or a peer may go into a path or URL:
    // one or more ASCII letters and digits.
    static bool isSafeID(QStringView id);
};
