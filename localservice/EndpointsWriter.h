#pragma once

// Writes the endpoints file that tells the client where the service listens.

#include <QString>

namespace localservice {

struct Endpoints {
    QString host;
    quint16 dispatchPort = 0;
    QString webURL = {}; // the web endpoints' server, empty when none
};

class EndpointsWriter {
public:
    // Writes the file atomically; answers an error text, empty on success.
    static QString write(const QString &path, const Endpoints &endpoints);
    // The file's text.
    static QByteArray text(const Endpoints &endpoints);
};

} // namespace localservice
