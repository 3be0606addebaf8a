#pragma once

// One line of words inside a command's text (the sign-in text of LIN4 and
// LSIN, a buddy line of the group batches), which the server splits at single
// spaces. The values go in as they are, not escaped, so a word must hold no
// space, CR, LF or TAB, and it must not be empty: a field that starts as
// "%00" is written "%00" when it is empty, and a field with a value of its
// own at start (such as "N") may not be emptied at all. A value that breaks
// these rules makes the line impossible: line() answers null and logs which
// field of which command it was, so that no server ever reads words shifted
// by one.

#include <QString>
#include <QStringList>

namespace parley {

class PLBodyWords
{
public:
    explicit PLBodyWords(const char *command) : mCommand(command) {}

    // A field that starts as "%00": empty, it is written "%00".
    PLBodyWords &marked(const QString &value, const char *field);
    // A field that starts with a value of its own: empty, the line fails.
    PLBodyWords &required(const QString &value, const char *field);

    // The words joined by single spaces; null when a value could not be
    // written (logged once, naming the first such field).
    QString line() const;

private:
    void add(const QString &value, const char *field, bool emptyIsMarked);

    const char *mCommand;
    QStringList mWords;
    QString mRefusal;
};

} // namespace parley
