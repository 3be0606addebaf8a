#include "AnimiconPlayLibrary.h"

#include "Log.h"
#include "Shell/WebPaneLoader.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibrary>

namespace {

constexpr char kModuleName[] = "libparley-animicon-play.so";

struct State
{
    AnimiconPlayViewFactory factory = nullptr;
    AnimiconPlayViewFactory testFactory = nullptr;
    QLibrary *library = nullptr; // the open module, held for the whole run
    bool tried = false;
};

State &state()
{
    static State s;
    return s;
}

AnimiconPlayViewFactory openModule()
{
    State &s = state();
    if (s.factory || s.tried)
        return s.factory;
    s.tried = true;
    for (const QString &folder : AnimiconPlayLibrary::searchFolders()) {
        const QString path = QDir(folder).filePath(QLatin1String(kModuleName));
        if (!QFileInfo::exists(path))
            continue;
        // Kept open for the rest of the run: its views may outlive any owner.
        auto *library = new QLibrary(path);
        s.factory = reinterpret_cast<AnimiconPlayViewFactory>(library->resolve(kAnimiconPlayViewFactoryName));
        if (s.factory) {
            s.library = library;
            return s.factory;
        }
        parley::plLog(QStringLiteral("animicon: %1: %2").arg(path, library->errorString()));
        delete library;
    }
    parley::plLog(QStringLiteral("animicon: no play-window module in %1")
                      .arg(AnimiconPlayLibrary::searchFolders().join(QStringLiteral(", "))));
    return nullptr;
}

} // namespace

QStringList AnimiconPlayLibrary::searchFolders()
{
    QStringList folders;
    const QString fromEnvironment = qEnvironmentVariable("PARLEY_PLUGIN_DIR");
    if (!fromEnvironment.isEmpty())
        folders << fromEnvironment;
    const QString executable = QCoreApplication::applicationDirPath();
    folders << executable << QDir::cleanPath(executable + QStringLiteral("/../lib/parley"));
    return folders;
}

std::unique_ptr<AnimiconPlayView> AnimiconPlayLibrary::createView(QWidget *parent)
{
    if (state().testFactory)
        return std::unique_ptr<AnimiconPlayView>(state().testFactory(parent));
    // The web engine draws in a context shared with the application's, made only now.
    parley::shell::WebPaneLoader::shareOpenGLContext();
    AnimiconPlayViewFactory factory = openModule();
    return std::unique_ptr<AnimiconPlayView>(factory ? factory(parent) : nullptr);
}

bool AnimiconPlayLibrary::isLoaded() { return state().factory != nullptr; }

void AnimiconPlayLibrary::setFactoryForTesting(AnimiconPlayViewFactory factory) { state().testFactory = factory; }
