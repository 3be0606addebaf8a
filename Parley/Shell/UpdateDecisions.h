#pragma once

// The update check's decisions, widget-free: which addresses the messenger
// fetches version lists and archives from, which it hands to the browser,
// and whether the server's messenger version is newer than the own one.

#include <QString>
#include <QUrl>

namespace parley {

class UpdateDecisions
{
public:
    UpdateDecisions() = delete;

    // The largest version list taken, by the fetcher and by the messenger.
    static constexpr qint64 kMaxListBytes = 1024 * 1024;

    // https from anywhere; plain http only from a loopback host (the local
    // service), since a list or an archive over plain http could be changed
    // on its way.
    static bool isAllowedDownloadURL(const QUrl &url);
    // http and https only: another scheme would open a program, not a page.
    static bool isOpenableInBrowser(const QUrl &url);
    // Compares dotted versions field by field as integers; a field one of
    // them lacks counts 0 and a field that is no number counts 0.
    static bool isNewerMainVersion(const QString &latest, const QString &own);
};

} // namespace parley
