#include "WireCheck.h"

#include <QDebug>

namespace localservice {

namespace {

CommandShapes exact(std::initializer_list<std::pair<const char *, int>> counts)
{
    CommandShapes shapes;
    for (const auto &[word, count] : counts)
        shapes.insert(QLatin1String(word), FieldCount{count, count});
    return shapes;
}

} // namespace

const CommandShapes &dispatchShapes()
{
    static const CommandShapes shapes = exact({{"PVER", 5}, {"AUTH", 3}, {"REQS", 4}, {"RCON", 4}});
    return shapes;
}

const CommandShapes &notificationShapes()
{
    static const CommandShapes shapes = [] {
        CommandShapes s = exact({
            {"NCPT", 5}, {"PRVK", 4}, {"LIN4", 5}, {"LOPT", 4}, {"CONF", 4}, {"GLST", 3}, {"LIST", 2},
            {"ONST", 6}, {"CNIK", 3}, {"CPRF", 3}, {"ADDG", 4}, {"RMVG", 4}, {"RENG", 5}, {"RMVB", 5},
            {"ADSB", 7}, {"CPBG", 4}, {"MVBG", 4}, {"RMBG", 4}, {"CMSG", 4}, {"WGET", 6}, {"MLST", 4},
            {"KILS", 4}, {"RESS", 2}, {"PING", 2}, {"PONG", 2}, {"CPRM", 3}, {"REFR", 3}, {"LOUT", 2},
        });
        // ADDB names a group only for the forward list; CTOC names a target
        // (with or without its key) or, without a target, the sender.
        s.insert(QStringLiteral("ADDB"), FieldCount{5, 6});
        s.insert(QStringLiteral("CTOC"), FieldCount{4, 6});
        return s;
    }();
    return shapes;
}

const CommandShapes &switchboardShapes()
{
    static const CommandShapes shapes = exact(
        {{"NCPT", 5}, {"PRVK", 4}, {"CRPT", 3}, {"ESSK", 4}, {"ENTR", 15}, {"MESG", 4}, {"WHSP", 5}});
    return shapes;
}

const CommandShapes &fileRelayShapes()
{
    static const CommandShapes shapes = exact({{"FRIN", 4}, {"ATHC", 8}});
    return shapes;
}

QString lineFault(const QString &line, const QStringList &fields, const CommandShapes &shapes)
{
    for (const QChar c : line) {
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n'))
            return QStringLiteral("a CR or LF inside the line");
        if (c == QLatin1Char('\t'))
            return QStringLiteral("a TAB inside the line");
    }
    for (qsizetype i = 0; i < fields.size(); ++i)
        if (fields[i].isEmpty())
            return QStringLiteral("field %1 is empty (two spaces, or a space at an end)").arg(i);
    if (fields.size() < 2)
        return QStringLiteral("no tid");
    bool numeric = false;
    fields[1].toLongLong(&numeric);
    if (!numeric)
        return QStringLiteral("the tid is not a number");
    const auto shape = shapes.constFind(fields[0]);
    if (shape != shapes.cend() && (fields.size() < shape->least || fields.size() > shape->most)) {
        const QString wanted = shape->least == shape->most
            ? QString::number(shape->least)
            : QStringLiteral("%1 to %2").arg(shape->least).arg(shape->most);
        return QStringLiteral("%1 fields where %2 takes %3").arg(fields.size()).arg(fields[0], wanted);
    }
    return QString();
}

qint64 tidForReply(const QStringList &fields)
{
    bool numeric = false;
    const qint64 tid = fields.value(1).toLongLong(&numeric);
    return numeric ? tid : 0;
}

void logRefusal(const char *server, const QString &why, const QString &line)
{
    // A line may be long; its start says enough.
    qWarning().noquote() << QStringLiteral("localservice: %1 refused a line (%2): %3")
                                .arg(QLatin1String(server), why, line.left(200));
}

} // namespace localservice
