#pragma once

// The configuration the server sends at sign-in (key=value lines with a
// version), kept in conf.dat so that it survives restarts. Only a newer
// version replaces it.

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QVariantMap>

#include <optional>

namespace parley {

// The key under which conf.dat stores the version.
inline constexpr char kConfVersionKey[] = "parleyConfVersion";

class PLConfManager
{
public:
    static PLConfManager &sharedManager();
    PLConfManager(const PLConfManager &) = delete;
    PLConfManager &operator=(const PLConfManager &) = delete;

    // The value of a key, or null.
    QString valueForKey(const QString &key) const;
    // Every key, the version key included.
    QStringList allKeys() const;
    qint32 version() const { return mCurrentVersion; }
    QString confPath() const { return mConfPath; }

    // Takes a body of a newer version, stores it and rewrites conf.dat.
    bool setConf(const QByteArray &body, qint32 version);
    // Reads conf.dat; false (and no configuration) when it is missing or not
    // a property-list dictionary.
    bool loadConf();
    // The key=value pairs of a body: lines end with CR LF, the first "=" splits.
    static QMap<QString, QString> parseConfBody(const QByteArray &body);

    void setMCurrentVersion(qint32 version) { mCurrentVersion = version; }
    const std::optional<QVariantMap> &mConfDict() const { return mConfDictValue; }
    void setMConfDict(const std::optional<QVariantMap> &dict) { mConfDictValue = dict; }
    void setMConfPath(const QString &path) { mConfPath = path; }

    // Starts again as at launch, from the file at PLConfFilePath (tests).
    void resetForTesting();

private:
    PLConfManager();

    qint32 mCurrentVersion = 0;
    QString mConfPath;
    std::optional<QVariantMap> mConfDictValue;
};

} // namespace parley
