#include "AutostartEntry.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

namespace parley {

namespace {

// Characters that make an Exec argument need quotes.
const QString kReserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");

// The escapes every string value of a desktop file takes.
QString escapeValue(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '\\': out += QLatin1String("\\\\"); break;
        case '\n': out += QLatin1String("\\n"); break;
        case '\t': out += QLatin1String("\\t"); break;
        case '\r': out += QLatin1String("\\r"); break;
        default: out += c;
        }
    }
    return out;
}

} // namespace

QString AutostartEntry::path()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
        + QStringLiteral("/autostart/parley.desktop");
}

QString AutostartEntry::execArgument(const QString &argument)
{
    bool needsQuotes = argument.isEmpty();
    QString body;
    for (const QChar c : argument) {
        if (kReserved.contains(c))
            needsQuotes = true;
        // A percent sign starts a field code: doubled, it stands for itself.
        if (c == QLatin1Char('%')) {
            body += QLatin1String("%%");
            continue;
        }
        // Inside quotes these four take a backslash (all four are reserved,
        // so they never appear unquoted).
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') || c == QLatin1Char('\\'))
            body += QLatin1Char('\\');
        body += c;
    }
    return escapeValue(needsQuotes ? QLatin1Char('"') + body + QLatin1Char('"') : body);
}

QString AutostartEntry::desktopFileText(const QString &executable)
{
    return QStringLiteral("[Desktop Entry]\n"
                          "Type=Application\n"
                          "Name=Parley\n"
                          "Exec=%1\n"
                          "Terminal=false\n")
        .arg(execArgument(executable));
}

bool AutostartEntry::install(const QString &executable)
{
    const QString file = path();
    if (!QDir().mkpath(QFileInfo(file).absolutePath()))
        return false;
    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    out.write(desktopFileText(executable).toUtf8());
    return out.commit();
}

bool AutostartEntry::remove()
{
    const QString file = path();
    return !QFileInfo::exists(file) || QFile::remove(file);
}

void AutostartEntry::apply(bool autoStart)
{
    if (autoStart)
        install(QCoreApplication::applicationFilePath());
    else
        remove();
}

} // namespace parley
