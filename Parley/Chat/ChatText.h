#pragma once

// The texts of a chat window's lines. Only our own localized texts are
// formats: fill() replaces their "%@" and "%d" markers, in order, and "%1"
// to "%9" by number, with the arguments as they stand, so a name or file name holding "%@" stays what it
// is. Lines that the transcript takes as HTML (system, warning and file
// lines) are made from the finished plain text with html(); the plain-text
// log keeps the text itself.

#include <QDateTime>
#include <QString>
#include <QStringList>

namespace parley {

class ChatText
{
public:
    ChatText() = delete;

    // Each "%@" and "%d" of the format takes the next argument (a missing one
    // gives nothing); "%%" is a percent sign; anything else is kept.
    static QString fill(const QString &format, const QStringList &arguments);
    // fill() of the localized text of a key.
    static QString localized(const char *key, const QStringList &arguments = {});

    // Plain text as HTML: &, <, >, " and ' as entities, line breaks as <br>.
    static QString html(const QString &plain);
    // The text of an HTML line for the log: every span from a "<" to the
    // first ">" after it removed, then the five entities above read back.
    static QString stripMarkup(const QString &html);

    // "2009-03-02 PM 01:05" (with ":SS" when asked): year, month, day, the
    // interface language's AM or PM marker, 12-hour hour and minutes.
    static QString dateString(const QDateTime &date, bool withSeconds);
};

} // namespace parley
