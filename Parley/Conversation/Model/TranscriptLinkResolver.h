#pragma once

// What a click on a transcript link opens. Web and mail links (http, https,
// mailto) go out as they are; a link without a scheme ("www.example.com")
// gets "http://" in front; a service link "bridge://CODE?REST" becomes the
// portal's bridge page with the user's web ticket and the code, REST its
// return address. Every other scheme (javascript, file, data, ftp, ...) is
// refused, and so is a bridge link without a bridge page, or with a code that
// is not letters and digits.

#include <QString>

class TranscriptLinkResolver
{
public:
    // The address to open, or null when the link is refused.
    static QString resolve(const QString &href, const QString &bridgePageUrl, const QString &ticket);

    // The scheme of a link in lower case ("http"), or null when it has none;
    // "host:port" is not a scheme.
    static QString schemeOf(const QString &href);
};
