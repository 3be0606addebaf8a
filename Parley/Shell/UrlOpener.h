#pragma once

// Opens an address in the user's default browser (QDesktopServices); tests
// install a recorder.

#include <QUrl>

namespace parley::shell {

class UrlOpener
{
public:
    virtual ~UrlOpener() = default;
    // Answers whether the desktop took it.
    virtual bool openUrl(const QUrl &url) = 0;

    // The desktop's opener.
    static UrlOpener &desktop();
};

} // namespace parley::shell
