#pragma once

// The animicon web site: the catalogue's INI files (code page 949) and BMP
// thumbnails under "/animicon" (the base URL the configuration names as
// "animicon_file_url"), and a play page per item, "/animicon_play.php?id=CIII",
// that shows an animated picture. The catalogue is a small demo set made
// here, or the files of a folder ("ini/..." and "thumb/<list>/..."). Every
// list's ID is its category's ID, so both thumbnail addresses a client may
// build name the same file. Requests are counted by path.

#include <QByteArray>
#include <QHash>
#include <QMap>
#include <QString>

class QHttpServer;

namespace localservice {

class AnimiconSite {
public:
    // An empty folder: the demo catalogue.
    explicit AnimiconSite(const QString &folder = QString());

    void addRoutes(QHttpServer &server);

    // A catalogue file by its path under "/animicon" ("ini/category_mc.ini",
    // "thumb/k/k_001.bmp"); null when there is none or the path is not a plain one.
    QByteArray catalogueFile(const QString &relativePath) const;
    // The play page of a four-character ID; null when there is no such item.
    QByteArray playPage(const QString &id) const;
    // The animated picture of a play page.
    QByteArray playPicture(const QString &id) const;

    // Requests seen for a path ("/animicon/thumb/k/k_001.bmp"), and in all.
    int requestCount(const QString &path) const { return mCounts.value(path); }
    int totalRequests() const { return mTotal; }

    // The demo catalogue: relative path -> bytes.
    static QMap<QString, QByteArray> demoCatalogue();
    // Text in code page 949 (glibc iconv); characters without a code become "?".
    static QByteArray toCodePage949(const QString &text);
    // A 24-bit BMP of a small face in a colour of the index.
    static QByteArray thumbnailBmp(int index);

private:
    void count(const QString &path);

    QString mFolder;
    QMap<QString, QByteArray> mDemo;
    QHash<QString, int> mCounts;
    int mTotal = 0;
};

} // namespace localservice
