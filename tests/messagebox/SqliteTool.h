#pragma once

// The sqlite3 command-line tool as an independent reader of the store files.

#include <QProcess>
#include <QStandardPaths>
#include <QString>

namespace pigeonhole::test {

inline bool sqliteToolAvailable() { return !QStandardPaths::findExecutable(QStringLiteral("sqlite3")).isEmpty(); }

// The tool's output for one statement ("|" between columns, one row a line),
// without the last line feed; "<error: ...>" when the tool failed.
inline QString sqliteTool(const QString &path, const QString &sql)
{
    QProcess tool;
    tool.start(QStringLiteral("sqlite3"), {QStringLiteral("-bail"), path, sql});
    if (!tool.waitForFinished(30000) || tool.exitCode() != 0)
        return QStringLiteral("<error: %1>").arg(QString::fromUtf8(tool.readAllStandardError()).trimmed());
    QString out = QString::fromUtf8(tool.readAllStandardOutput());
    if (out.endsWith(QLatin1Char('\n')))
        out.chop(1);
    return out;
}

} // namespace pigeonhole::test
