#include "WebPaneLoader.h"

#include "KCResourceDirectory.h"
#include "Log.h"

#include <QDir>
#include <QLibrary>

namespace parley::shell {

namespace {

CreateWebPaneFunction gCreate = nullptr;
bool gTried = false;

CreateWebPaneFunction entryPoint()
{
    if (gTried)
        return gCreate;
    gTried = true;
    // Kept loaded for the rest of the run: panes made by it may be alive at exit.
    auto *library = new QLibrary(WebPaneLoader::modulePath());
    library->setLoadHints(QLibrary::PreventUnloadHint);
    gCreate = reinterpret_cast<CreateWebPaneFunction>(library->resolve(kCreateWebPaneSymbol));
    if (!gCreate)
        plLog(QStringLiteral("no web views: %1").arg(library->errorString()));
    return gCreate;
}

} // namespace

QString WebPaneLoader::modulePath()
{
    return QDir::cleanPath(KCResourceDirectory() + QStringLiteral("/../../lib/parley/libparley-webviews.so"));
}

bool WebPaneLoader::isLoaded() { return gCreate != nullptr; }

WebPane *WebPaneLoader::create(QWidget *parent, const WebPaneSettings &settings)
{
    CreateWebPaneFunction create = entryPoint();
    return create ? create(parent, &settings) : nullptr;
}

} // namespace parley::shell
