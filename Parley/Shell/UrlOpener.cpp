#include "UrlOpener.h"

#include <QDesktopServices>

namespace parley::shell {

namespace {

class DesktopUrlOpener final : public UrlOpener
{
public:
    bool openUrl(const QUrl &url) override { return QDesktopServices::openUrl(url); }
};

} // namespace

UrlOpener &UrlOpener::desktop()
{
    static DesktopUrlOpener opener;
    return opener;
}

} // namespace parley::shell
