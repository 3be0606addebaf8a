#pragma once

// The commands parley-headless reads on standard input, one a line. The table
// holds one entry per command: its name, its argument grammar (as shown by
// "help" and the usage text) and its handler. Words are separated by blanks;
// a word with blanks is written in double quotes, with \" and \\ inside.
// A line that does not fit the grammar is refused with an error line and
// changes nothing.

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace parley {
class PLParleySession;
}

namespace headless {

class HeadlessOutput;

struct HeadlessContext {
    parley::PLParleySession &session;
    HeadlessOutput &output;
    std::function<void()> quit;
};

struct HeadlessCommand {
    QString name;
    QString grammar;  // the arguments, e.g. "ID [GROUP] [MESSAGE]"
    QString summary;
    int minArgs;
    int maxArgs;      // -1: no upper bound
    // Answers whether the command went out; a handler that finds its
    // arguments wrong answers an error text instead.
    std::function<std::optional<QString>(HeadlessContext &, const QStringList &args, bool *sent)> handler;
};

class HeadlessCommands {
public:
    static const QList<HeadlessCommand> &table();
    // The command grammar, one line per command.
    static QString usage();
    // Splits a line into words; nothing for an unterminated quote.
    static std::optional<QStringList> split(const QString &line);
    // Runs one input line: an empty line does nothing.
    static void run(HeadlessContext &context, const QString &line);
};

} // namespace headless
