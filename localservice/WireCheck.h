#pragma once

// What the service checks in every command line a client sends, before any
// handler looks at it: the framing's leftovers (a bare CR or LF, a TAB), one
// space between fields and no empty field (an empty value travels as "%00"),
// a numeric tid, and the number of fields each command has. A real server
// refuses all of these; so must ours, or a client fault passes every test.

#include <QHash>
#include <QString>
#include <QStringList>

namespace localservice {

// How many fields (word and tid included) a command may have.
struct FieldCount {
    int least = 2;
    int most = 2;
};
using CommandShapes = QHash<QString, FieldCount>;

// The commands each server takes from a client, with their field counts.
const CommandShapes &dispatchShapes();
const CommandShapes &notificationShapes();
const CommandShapes &switchboardShapes();
const CommandShapes &fileRelayShapes();

// Why the line cannot be taken, or an empty string. `fields` is the line
// split at single spaces. A command not in `shapes` is checked for its form
// only (the handler answers it as unsupported).
QString lineFault(const QString &line, const QStringList &fields, const CommandShapes &shapes);

// The tid of a line that is refused, as far as it can be read (0 when not).
qint64 tidForReply(const QStringList &fields);

// Logs a refused line of a client with its reason (the service's log).
void logRefusal(const char *server, const QString &why, const QString &line);

} // namespace localservice
