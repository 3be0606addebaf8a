#pragma once

#include <QByteArray>
#include <QString>
#include <QVariant>
#include <functional>
#include <ostream>

namespace parley::test {

// Points HOME and the XDG folders at a new temporary folder (XDG_RUNTIME_DIR
// with mode 0700). Call before anything reads them.
void isolateHomeFolders();
void removeIsolatedHome();
// The temporary home folder made by isolateHomeFolders().
QString isolatedHome();

// Runs the event loop until the predicate holds or the time-out passes;
// answers whether it held.
bool waitUntil(const std::function<bool()> &predicate, int timeoutMs = 5000);

} // namespace parley::test

// Readable GoogleTest output for Qt values.
QT_BEGIN_NAMESPACE
inline void PrintTo(const QString &s, std::ostream *os) { *os << '"' << s.toStdString() << '"'; }
inline void PrintTo(const QByteArray &b, std::ostream *os)
{
    *os << "QByteArray(\"" << b.toStdString() << "\" hex " << b.toHex().toStdString() << ')';
}
inline void PrintTo(const QVariant &v, std::ostream *os) { *os << v.toString().toStdString(); }
QT_END_NAMESPACE
