#include "PGHExportWriter.h"

#include <QPointer>
#include <QSaveFile>
#include <QThread>

namespace pigeonhole {

bool PGHExportWriter::writeNow(const QString &path, const QByteArray &bytes, QString *error)
{
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit())
        return true;
    if (error)
        *error = file.errorString();
    return false;
}

void PGHExportWriter::write(const QString &path, const QByteArray &bytes, QObject *context, Done done)
{
    QPointer<QObject> target(context);
    QThread *thread = QThread::create([path, bytes, target, done = std::move(done)] {
        QString error;
        const bool ok = writeNow(path, bytes, &error);
        if (target)
            QMetaObject::invokeMethod(target, [done, ok, error] { done(ok, error); }, Qt::QueuedConnection);
    });
    QObject::connect(thread, &QThread::finished, thread, &QObject::deleteLater);
    thread->start();
}

} // namespace pigeonhole
