#pragma once

// The few command lines that sessions write directly rather than through a
// send packet. Values go on the line as they are, so each formatter refuses
// (returns a null QByteArray) a value that is empty or holds a space, CR, LF,
// TAB or NUL: such a value would shift the fields or start another command.

#include <QByteArray>
#include <QString>

namespace parley::PLRawLines {

// "ATHC <tid> <fromID> <targetID> <cookie> <port> 0": a direct connection's request.
QByteArray athcRequestLine(qint32 tid, const QString &fromID, const QString &targetID, const QString &cookie,
                           qint32 port);
// "ATHC <tid> <fromID> <targetID> <cookie> <frCookie> <port> 0": the same through a relay.
QByteArray athcRelayRequestLine(qint32 tid, const QString &fromID, const QString &targetID, const QString &cookie,
                                const QString &frCookie, qint32 port);
// "FRIN <tid> <targetID> <frCookie>": names the transfer to a file-relay server.
QByteArray frinLine(qint32 tid, const QString &targetID, const QString &frCookie);
// "REFR <tid> <text>": asks the notification server for a file-relay server.
QByteArray refrLine(qint32 tid, const QString &text);
// "RCON <tid> <host> <port>": asks a relay to connect on to the real server.
QByteArray rconLine(qint32 tid, const QString &host, qint32 port);
// "PONG <tid>": the client's keepalive.
QByteArray pongLine(qint32 tid);
// "FILE <tid> ENDRES 0": the answer to FILE END.
QByteArray fileEndresLine(qint32 tid);

} // namespace parley::PLRawLines
