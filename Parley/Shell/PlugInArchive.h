#pragma once

// A downloaded plug-in archive, from zip file to installed bundle. Each step
// touches only the files it is given, so the whole runs on a worker thread.
//
// An archive is refused when any entry is a symbolic link or names a place
// outside the folder it is unpacked into (an absolute name, a ".." part, a
// backslash): the listing is read from the archive itself before unzip runs,
// and the unpacked tree is checked again for links afterwards.

#include <QString>
#include <QStringList>

namespace parley {

class PlugInArchive
{
public:
    PlugInArchive() = delete;

    struct Entry {
        QString name;
        bool isLink = false;
    };
    // The entries of a zip file's central directory; false when the file is
    // no zip file this reader knows (zip64 included), with the reason.
    static bool listEntries(const QString &archivePath, QList<Entry> *entries, QString *error);
    // Whether an entry may be unpacked: no link, a relative name that stays
    // inside the folder. The reason when it may not.
    static QString refusalFor(const Entry &entry);

    // Unpacks with /usr/bin/unzip into `folder` (which it creates). False
    // when the archive is refused, unzip fails or the result holds a link.
    static bool unzip(const QString &archivePath, const QString &folder, QString *error);
    // Copies the bundle `source` beside `target` and puts it in place by
    // renames, so that the installed bundle is replaced only by a complete
    // one; a failure leaves the target as it was.
    static bool replaceBundle(const QString &source, const QString &target, QString *error);

    // The unzip program (tests may point it elsewhere).
    static QString unzipProgram();
};

} // namespace parley
