#include "WebPaneLoader.h"

#include "KCResourceDirectory.h"
#include "Log.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibrary>
#include <QOpenGLContext>

// Qt's own setter of the context QOpenGLContext::globalShareContext() returns
// (exported for its modules): what QApplication sets up when asked for shared
// contexts before it is made.
Q_GUI_EXPORT void qt_gl_set_global_share_context(QOpenGLContext *context);

namespace parley::shell {

namespace {

CreateWebPaneFunction gCreate = nullptr;
bool gTried = false;

CreateWebPaneFunction entryPoint()
{
    if (gTried)
        return gCreate;
    gTried = true;
    WebPaneLoader::shareOpenGLContext();
    // Kept loaded for the rest of the run: panes made by it may be alive at exit.
    static QLibrary library(WebPaneLoader::modulePath());
    library.setLoadHints(QLibrary::PreventUnloadHint);
    gCreate = reinterpret_cast<CreateWebPaneFunction>(library.resolve(kCreateWebPaneSymbol));
    if (!gCreate)
        plLog(QStringLiteral("no web views: %1").arg(library.errorString()));
    return gCreate;
}

} // namespace

QString WebPaneLoader::modulePath()
{
    return QDir::cleanPath(KCResourceDirectory() + QStringLiteral("/../../lib/parley/libparley-webviews.so"));
}

bool WebPaneLoader::isLoaded() { return gCreate != nullptr; }

void WebPaneLoader::shareOpenGLContext()
{
    static bool tried = false;
    if (tried || QOpenGLContext::globalShareContext())
        return;
    tried = true;
    // Set even when it cannot be made (no OpenGL, as offscreen), as Qt does:
    // the engine reads it unchecked, and draws in software when it is invalid.
    auto *context = new QOpenGLContext;
    context->create();
    qt_gl_set_global_share_context(context);
    // Gone with the application, after the web engine's own end.
    qAddPostRoutine([] {
        QOpenGLContext *shared = QOpenGLContext::globalShareContext();
        qt_gl_set_global_share_context(nullptr);
        delete shared;
    });
}

WebPane *WebPaneLoader::create(QWidget *parent, const WebPaneSettings &settings)
{
    CreateWebPaneFunction create = entryPoint();
    return create ? create(parent, &settings) : nullptr;
}

} // namespace parley::shell
