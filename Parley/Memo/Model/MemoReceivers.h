#pragma once

// The compose window's receivers field. The window writes each receiver as
// "\"Name\"<id>;" (a buddy) or "<id>;" (anyone else), pieces run together;
// the user may also type bare IDs separated by blanks or semicolons. Reading
// drops the quoted names, the angle brackets, every entry without both "@"
// and ".", and repeats.

#include <QString>
#include <QStringList>

#include <functional>

class MemoReceivers
{
public:
    // The buddy name of an ID, or a null string when the ID is no buddy's.
    using BuddyName = std::function<QString(const QString &id)>;

    static QString receiverBuddiesString(const QStringList &ids, const BuddyName &buddyName);
    // Blanks become ";", quoted stretches (quotes included) are blanked out,
    // blanks removed, ";" become blanks. A lone quote stays.
    static QString removeNameTag(const QString &text);
    // The IDs of a field's text, in field order, each once.
    static QStringList tokenizeTargetIDs(const QString &fieldText);
    static bool isValidateID(const QString &text);
    // Every character equal to the first of `original` replaced by `replacement`.
    static QString replaceString(const QString &text, const QString &original, const QString &replacement);
    // The IDs of dropped buddy rows, first occurrence only, in order; empty
    // IDs are skipped.
    static QStringList dragIDList(const QStringList &droppedIDs);
    // `current` followed by the dropped IDs it does not hold yet.
    static QStringList mergeDropped(const QStringList &current, const QStringList &dropped);
};
