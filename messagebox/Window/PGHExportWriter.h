#pragma once

// Writes an exported text to its file off the main thread, through a save
// file (the old file stays whole until the new one is complete), and reports
// back on the context's thread.

#include <QByteArray>
#include <QObject>
#include <QString>

#include <functional>

namespace pigeonhole {

class PGHExportWriter
{
public:
    using Done = std::function<void(bool ok, const QString &error)>;
    // Writes `bytes` to `path`; `done` runs on `context`'s thread unless it is gone.
    static void write(const QString &path, const QByteArray &bytes, QObject *context, Done done);
    // The same, on the calling thread.
    static bool writeNow(const QString &path, const QByteArray &bytes, QString *error);
};

} // namespace pigeonhole
