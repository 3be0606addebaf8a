#include "ServicesTestSupport.h"

#include <QFile>
#include <QProcess>

namespace parley::test {

QString runPython(const QString &script, const QStringList &arguments)
{
    QProcess process;
    process.start(QStringLiteral(PARLEY_PYTHON), QStringList{QStringLiteral("-c"), script} + arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return QString();
    return QString::fromUtf8(process.readAllStandardOutput());
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(bytes);
}

} // namespace parley::test
