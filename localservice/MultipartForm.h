#pragma once

// Reads a multipart/form-data body into its parts. Bounded by the body it is
// given; a malformed body yields no parts.

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

namespace localservice {

struct FormPart {
    QString name;
    QString fileName; // empty for a plain field
    QByteArray data;
};

class MultipartForm {
public:
    // The boundary of a Content-Type value ("...; boundary=XYZ"); empty when none.
    static QByteArray boundaryOf(const QByteArray &contentType);
    // The parts in order, or nothing when the body is not a well-formed form
    // with this boundary.
    static std::optional<QList<FormPart>> parse(const QByteArray &body, const QByteArray &boundary);
};

} // namespace localservice
