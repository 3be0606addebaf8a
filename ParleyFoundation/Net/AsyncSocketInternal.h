#pragma once

// Helpers shared by the source files of AsyncSocket; not part of its interface.

#include "AsyncSocketError.h"

#include <QAbstractSocket>
#include <algorithm>

namespace parley::asyncsocket {

inline int toMilliseconds(double seconds)
{
    return int(std::clamp(seconds * 1000.0, 0.0, 24.0 * 3600 * 1000));
}

inline AsyncSocketError qtError(const QAbstractSocket *socket)
{
    return AsyncSocketError::other(QStringLiteral("QAbstractSocketErrorDomain"), int(socket->error()),
                                   socket->errorString());
}

} // namespace parley::asyncsocket
