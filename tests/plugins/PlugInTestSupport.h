#pragma once

// What the plug-in side's tests share: an opener that records the pages
// the messenger would open, a buddy-list model to hand out buddies, Python
// as an independent reference, and plug-in bundles of our own making.

#include "BuddyManagement/PLBuddy.h"
#include "ShellWindows.h"
#include "UrlOpener.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>

namespace parley::plugins::test {

class RecordingOpener final : public shell::UrlOpener
{
public:
    bool openUrl(const QUrl &url) override
    {
        opened.append(url);
        return true;
    }
    QList<QUrl> opened;
};

// Registered as the shell's buddy-list model for its lifetime: an entry
// {"velaID": id} names the buddy of that ID in `buddies`.
class BuddyModel final : public shell::BuddyListManager
{
public:
    BuddyModel() { shell::ShellWindows::setBuddyListManager(this); }
    ~BuddyModel() override { shell::ShellWindows::setBuddyListManager(nullptr); }
    PLBuddyPtr buddyForBuddyDict(const QVariantMap &entry) override;
    int buddyListType() override { return 0; }
    QVariantMap allBuddyList() override { return statuses; }
    void clearOrButtonX() override {}

    QList<PLBuddyPtr> buddies;
    QVariantMap statuses;
};

// Runs /usr/bin/python3 with a script and its standard input; answers its
// standard output (empty when it failed, with the reason on stderr).
QByteArray python(const QString &script, const QByteArray &input = {}, const QStringList &arguments = {});

// A plug-in bundle: <folder>/<name>.app with an Info.plist of that version
// and the test plug-in program as its executable. Answers the bundle's path.
QString makePlugInBundle(const QString &folder, const QString &name, const QString &version);
// The test plug-in program.
QString testPlugInProgram();

} // namespace parley::plugins::test
