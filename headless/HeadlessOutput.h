#pragma once

// Everything parley-headless prints, one JSON object per line on standard
// output:
//   {"name": N, "userInfo": {...}}            a notification
//   {"command": C, "sent": true|false}        what a command did
//   {"error": TEXT, "line": LINE}             a command that was refused
//   {"usage": TEXT}                           the command grammar (help)
//   {"buddy": {...}}                          a buddy's record (buddy)
// Values are strings, numbers, booleans, lists and objects; byte values are
// Base64 strings.

#include <QJsonValue>
#include <QString>
#include <QVariant>

class QIODevice;

namespace headless {

class HeadlessOutput {
public:
    explicit HeadlessOutput(QIODevice *device);

    void notification(const QString &name, const QVariantMap &userInfo);
    void commandResult(const QString &command, bool sent);
    void error(const QString &text, const QString &line);
    void usage(const QString &text);
    void buddy(const QVariantMap &record);

    static QJsonValue toJson(const QVariant &value);

private:
    void writeObject(const class QJsonObject &object);

    QIODevice *mDevice;
};

} // namespace headless
