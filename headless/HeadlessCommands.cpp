#include "HeadlessCommands.h"

#include "BuddyManagement/PLBuddyManager.h"
#include "HeadlessChatCommands.h"
#include "HeadlessTransferCommands.h"
#include "HeadlessOutput.h"
#include "Note/PLNote.h"
#include "Sessions/PLParleySession.h"

namespace headless {

namespace {

using parley::PLBuddyManager;
using parley::PLParleySession;
using Result = std::optional<QString>;

// The CMN of a buddy on our list, or an error text.
std::optional<QString> cmnOf(const QString &buddyID, QString *error)
{
    const QString cmn = PLBuddyManager::sharedManager().cmnForBuddyID(buddyID);
    if (cmn.isEmpty()) {
        *error = QStringLiteral("unknown buddy \"%1\"").arg(buddyID);
        return std::nullopt;
    }
    return cmn;
}

// "ID FROM TO" triples (or "ID GROUP" pairs) into batch entries.
Result batchItems(const QStringList &args, int width, QVariantList *items)
{
    if (args.size() % width != 0)
        return QStringLiteral("expected groups of %1 words").arg(width);
    for (qsizetype i = 0; i < args.size(); i += width) {
        QString error;
        const auto cmn = cmnOf(args[i], &error);
        if (!cmn)
            return error;
        QVariantMap item{{QStringLiteral("buddyCMN"), *cmn},
                         {QStringLiteral("buddyID"), args[i]},
                         {QStringLiteral("fromGID"), args[i + 1]}};
        if (width == 3)
            item.insert(QStringLiteral("targetGID"), args[i + 2]);
        items->append(item);
    }
    return std::nullopt;
}

QList<HeadlessCommand> makeTable()
{
    QList<HeadlessCommand> t;
    const auto add = [&t](QString name, QString grammar, QString summary, int minArgs, int maxArgs,
                          decltype(HeadlessCommand::handler) handler) {
        t.append({std::move(name), std::move(grammar), std::move(summary), minArgs, maxArgs, std::move(handler)});
    };
    add("help", "", "this list", 0, 0, [](HeadlessContext &c, const QStringList &, bool *sent) -> Result {
        c.output.usage(HeadlessCommands::usage());
        *sent = true;
        return std::nullopt;
    });
    add("status", "CODE", "own status: 0 offline, 1 online, 2 busy, 3 away, 4 phone, 5 meeting, 6 idle", 1, 1,
        [](HeadlessContext &c, const QStringList &a, bool *sent) -> Result {
            bool ok = false;
            const int code = a[0].toInt(&ok);
            if (!ok || code < 0 || code > 6)
                return QStringLiteral("status code must be 0 to 6");
            *sent = c.session.setMyStatus(code);
            return std::nullopt;
        });
    add("nickname", "TEXT", "own nickname", 1, 1, [](HeadlessContext &c, const QStringList &a, bool *sent) -> Result {
        *sent = c.session.setMyNickName(a[0]);
        return std::nullopt;
    });
    add("buddy", "ID", "print what the buddy list knows of a buddy", 1, 1,
        [](HeadlessContext &c, const QStringList &a, bool *sent) -> Result {
            const parley::PLBuddyPtr buddy = PLBuddyManager::sharedManager().buddyForID(a[0]);
            if (!buddy)
                return QStringLiteral("unknown buddy \"%1\"").arg(a[0]);
            c.output.buddy({{QStringLiteral("velaID"), buddy->velaID()},
                            {QStringLiteral("name"), buddy->name()},
                            {QStringLiteral("nickName"), buddy->nickName()},
                            {QStringLiteral("status"), buddy->status()},
                            {QStringLiteral("flags"), buddy->buddyFlags()}});
            *sent = true;
            return std::nullopt;
        });
    add("add", "ID", "put a user on the buddy list", 1, 1, [](HeadlessContext &c, const QStringList &a, bool *sent) -> Result {
        *sent = c.session.showBuddy(a[0]);
        return std::nullopt;
    });
    add("request", "ID [GROUP] [MESSAGE]", "ask a user to become a buddy (group 0 by default)", 1, 3,
        [](HeadlessContext &c, const QStringList &a, bool *sent) -> Result {
            *sent = c.session.requestAddBuddy(a[0], a.value(1, QStringLiteral("0")), a.value(2, QStringLiteral("")));
            return std::nullopt;
        });
    add("accept", "ID [GROUP]", "accept a buddy request", 1, 2, [](HeadlessContext &c, const QStringList &a, bool *sent) -> Result {
        QString error;
        const auto cmn = cmnOf(a[0], &error);
        if (!cmn)
            return error;
        *sent = c.session.acceptAddBuddy(a[0], *cmn, a.value(1, QStringLiteral("0")));
        return std::nullopt;
    });
    add("reject", "ID", "refuse a buddy request", 1, 1, [](HeadlessContext &c, const QStringList &a, bool *sent) -> Result {
        QString error;
        const auto cmn = cmnOf(a[0], &error);
        if (!cmn)
            return error;
        *sent = c.session.rejectAddBuddy(a[0], *cmn);
        return std::nullopt;
    });
    add("remove", "ID [FL|AL|BL]", "take a buddy off a list (FL by default)", 1, 2,
        [](HeadlessContext &c, const QStringList &a, bool *sent) -> Result {
            const QString list = a.value(1, QStringLiteral("FL"));
            if (list != QLatin1String("FL") && list != QLatin1String("AL") && list != QLatin1String("BL"))
                return QStringLiteral("list must be FL, AL or BL");
            *sent = c.session.removeBuddyFlag(a[0], list);
            return std::nullopt;
        });
    add("block", "ID", "block a buddy", 1, 1, [](HeadlessContext &c, const QStringList &a, bool *sent) -> Result {
        *sent = c.session.blockBuddy(a[0]);
        return std::nullopt;
    });
    add("unblock", "ID", "unblock a buddy", 1, 1, [](HeadlessContext &c, const QStringList &a, bool *sent) -> Result {
        *sent = c.session.unblockBuddy(a[0]);
        return std::nullopt;
    });
    add("move", "ID FROM TO [ID FROM TO]...", "move buddies between groups", 3, -1,
        [](HeadlessContext &c, const QStringList &a, bool *sent) -> Result {
            QVariantList items;
            if (auto error = batchItems(a, 3, &items))
                return error;
            *sent = c.session.moveBuddies(items);
            return std::nullopt;
        });
    add("copy", "ID FROM TO [ID FROM TO]...", "copy buddies into groups", 3, -1,
        [](HeadlessContext &c, const QStringList &a, bool *sent) -> Result {
            QVariantList items;
            if (auto error = batchItems(a, 3, &items))
                return error;
            *sent = c.session.copyBuddies(items);
            return std::nullopt;
        });
    add("ungroup", "ID GROUP [ID GROUP]...", "take buddies out of groups", 2, -1,
        [](HeadlessContext &c, const QStringList &a, bool *sent) -> Result {
            QVariantList items;
            if (auto error = batchItems(a, 2, &items))
                return error;
            *sent = c.session.removeBuddies(items);
            return std::nullopt;
        });
    add("group-add", "NAME", "add a group", 1, 1, [](HeadlessContext &c, const QStringList &a, bool *sent) -> Result {
        *sent = c.session.addGroup(a[0]);
        return std::nullopt;
    });
    add("group-rename", "GROUP NAME", "rename a group", 2, 2, [](HeadlessContext &c, const QStringList &a, bool *sent) -> Result {
        *sent = c.session.renameGroup(a[0], a[1]);
        return std::nullopt;
    });
    add("group-remove", "GROUP", "remove a group", 1, 1, [](HeadlessContext &c, const QStringList &a, bool *sent) -> Result {
        *sent = c.session.removeGroup(a[0]);
        return std::nullopt;
    });
    add("memo", "ID TEXT", "send a memo", 2, 2, [](HeadlessContext &c, const QStringList &a, bool *sent) -> Result {
        parley::PLNote note;
        note.addTargetID(a[0]);
        note.setMessage(a[1]);
        *sent = c.session.sendNote(&note);
        return std::nullopt;
    });
    add("memo-reply", "COOKIE ID TEXT", "answer the memo of that cookie (same thread)", 3, 3,
        [](HeadlessContext &c, const QStringList &a, bool *sent) -> Result {
            parley::PLNote note;
            note.addTargetID(a[1]);
            note.setMessage(a[2]);
            note.setCookie(a[0]);
            note.setEvent(QStringLiteral("RE"));
            *sent = c.session.sendNote(&note);
            return std::nullopt;
        });
    add("chat", "ID [ID]...", "open a chat room with buddies", 1, -1, chat::open);
    add("say", "ROOMKEY TEXT", "send a message into a chat room", 2, 2, chat::say);
    add("leave", "ROOMKEY", "leave a chat room", 1, 1, chat::leave);
    add("file-offer", "ROOMKEY ID PATH [PATH]...", "offer files to a buddy in a chat room", 3, -1, transfer::offer);
    add("file-accept", "COOKIE [FOLDER]", "accept an offered file (into a folder)", 1, 2, transfer::accept);
    add("file-refuse", "COOKIE", "refuse an offered file", 1, 1, transfer::refuse);
    add("file-cancel", "COOKIE", "cancel a file transfer", 1, 1, transfer::cancel);
    add("invite", "ROOMKEY ID [ID]...", "invite buddies into an open chat room", 2, -1,
        [](HeadlessContext &c, const QStringList &a, bool *sent) -> Result {
            *sent = c.session.inviteBuddies(a.mid(1), a[0]);
            return std::nullopt;
        });
    add("sessions", "", "list the account's other logins", 0, 0, [](HeadlessContext &c, const QStringList &, bool *sent) -> Result {
        *sent = c.session.requestSessionList(c.session.mUserID());
        return std::nullopt;
    });
    add("end-sessions", "", "end the account's other logins", 0, 0,
        [](HeadlessContext &c, const QStringList &, bool *sent) -> Result {
            *sent = c.session.sendKillSession(c.session.mUserID(), QStringLiteral("A"));
            return std::nullopt;
        });
    add("logout", "", "sign out", 0, 0, [](HeadlessContext &c, const QStringList &, bool *sent) -> Result {
        *sent = c.session.logout(true);
        return std::nullopt;
    });
    add("quit", "", "sign out when signed in, then end", 0, 0, [](HeadlessContext &c, const QStringList &, bool *sent) -> Result {
        *sent = !c.session.isLoggedIn() || c.session.logout(true);
        c.quit();
        return std::nullopt;
    });
    return t;
}

} // namespace

const QList<HeadlessCommand> &HeadlessCommands::table()
{
    static const QList<HeadlessCommand> commands = makeTable();
    return commands;
}

QString HeadlessCommands::usage()
{
    QStringList lines;
    for (const HeadlessCommand &c : table())
        lines.append(QStringLiteral("  %1 %2").arg(c.name + QLatin1Char(' ') + c.grammar, -36).arg(c.summary));
    return lines.join(QLatin1Char('\n'));
}

std::optional<QStringList> HeadlessCommands::split(const QString &line)
{
    QStringList words;
    QString word;
    bool inWord = false;
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar ch = line[i];
        if (quoted) {
            if (ch == QLatin1Char('\\') && i + 1 < line.size()
                && (line[i + 1] == QLatin1Char('"') || line[i + 1] == QLatin1Char('\\'))) {
                word += line[++i];
            } else if (ch == QLatin1Char('"')) {
                quoted = false;
            } else {
                word += ch;
            }
        } else if (ch.isSpace()) {
            if (inWord)
                words.append(word);
            word.clear();
            inWord = false;
        } else if (ch == QLatin1Char('"')) {
            quoted = true;
            inWord = true;
        } else {
            word += ch;
            inWord = true;
        }
    }
    if (quoted)
        return std::nullopt;
    if (inWord)
        words.append(word);
    return words;
}

void HeadlessCommands::run(HeadlessContext &context, const QString &line)
{
    const auto words = split(line);
    if (!words)
        return context.output.error(QStringLiteral("unterminated quote"), line);
    if (words->isEmpty())
        return;
    const QString name = words->first();
    const QStringList args = words->mid(1);
    for (const HeadlessCommand &command : table()) {
        if (command.name != name)
            continue;
        if (args.size() < command.minArgs || (command.maxArgs >= 0 && args.size() > command.maxArgs))
            return context.output.error(
                QStringLiteral("usage: %1 %2").arg(command.name, command.grammar).trimmed(), line);
        bool sent = false;
        if (const auto error = command.handler(context, args, &sent))
            return context.output.error(*error, line);
        if (command.name != QLatin1String("help"))
            context.output.commandResult(command.name, sent);
        return;
    }
    context.output.error(QStringLiteral("unknown command \"%1\" (try help)").arg(name), line);
}

} // namespace headless
