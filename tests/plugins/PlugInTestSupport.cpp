#include "PlugInTestSupport.h"

#include "PropertyList.h"

#include <QDir>
#include <QFile>
#include <QProcess>

#include <cstdio>

namespace parley::plugins::test {

PLBuddyPtr BuddyModel::buddyForBuddyDict(const QVariantMap &entry)
{
    for (const PLBuddyPtr &buddy : std::as_const(buddies))
        if (buddy->velaID() == entry.value(QStringLiteral("velaID")).toString())
            return buddy;
    return {};
}

QByteArray python(const QString &script, const QByteArray &input, const QStringList &arguments)
{
    QProcess process;
    process.start(QStringLiteral("/usr/bin/python3"), QStringList{QStringLiteral("-c"), script} + arguments);
    if (!process.waitForStarted(10000))
        return {};
    process.write(input);
    process.closeWriteChannel();
    process.waitForFinished(60000);
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        std::fprintf(stderr, "python: %s\n", process.readAllStandardError().constData());
        return {};
    }
    return process.readAllStandardOutput();
}

QString testPlugInProgram() { return QStringLiteral(TEST_PLUGIN_PROGRAM); }

QString makePlugInBundle(const QString &folder, const QString &name, const QString &version)
{
    const QString bundle = folder + QLatin1Char('/') + name + QStringLiteral(".app");
    QDir(bundle).removeRecursively();
    QDir().mkpath(bundle + QStringLiteral("/Contents/MacOS"));
    const QString info = PropertyList::writeFile(bundle + QStringLiteral("/Contents/Info.plist"),
                                                 QVariantMap{{QStringLiteral("CFBundleVersion"), version}});
    Q_UNUSED(info);
    const QString executable = bundle + QStringLiteral("/Contents/MacOS/") + name;
    QFile::copy(testPlugInProgram(), executable);
    return bundle;
}

} // namespace parley::plugins::test
