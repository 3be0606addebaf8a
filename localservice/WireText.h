#pragma once

// The text rules of one command line, written for the service side on its own
// (it shares no code with the client, so a fault on either side shows up as a
// failed exchange instead of being mirrored).

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace localservice {

// Escapes one parameter: "%" first, then space, CR, LF and TAB. An empty
// parameter travels as "%00".
QString wireEscape(const QString &text);
// Undoes wireEscape; "%00" stands for nothing and "%25" is restored last, so
// text that itself held an escape comes back unchanged.
QString wireUnescape(const QString &field);

// Splits a header line at every single space; adjacent spaces give empty fields.
QStringList wireSplit(const QString &line);

// One whole command line with CR LF: word, tid, then each parameter escaped.
QByteArray wireLine(const QString &word, qint64 tid, const QStringList &params = {});

} // namespace localservice
