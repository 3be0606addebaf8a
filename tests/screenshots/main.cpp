// Shows every registered scene in Korean and in English and writes each as a
// PNG (offscreen, or on the X server of xvfb-run). It checks only that
// something was drawn: a person looks at the pictures.
//
//   parley_screenshots [output folder] [--scene NAME]...
#include "ScreenshotScenes.h"
#include "TestSupport.h"
#include "WebEngineSanitizerOptions.h"

#include "UserDefaults.h"
#include "Utils/KCUtilities.h"
#include "Utils/PLConfManager.h"
#include "Utils/PLEndpoints.h"

#include "Conversation/AnimiconManager.h"
#include "LocalService.h"
#include "ProgramServices.h"
#include "WebServer.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QSet>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

// More than one colour: a blank or single-colour picture means nothing was drawn.
bool somethingDrawn(const QImage &image)
{
    if (image.isNull() || image.width() < 2 || image.height() < 2)
        return false;
    const QRgb first = image.pixel(0, 0);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) != first)
                return true;
        }
    }
    return false;
}

void settle(QWidget *window)
{
    // Let the window be laid out, shown and painted.
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < 2000 && !(window->windowHandle() && window->windowHandle()->isExposed()))
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
}

// The messenger's own animicon service, reading the local service's demo
// catalogue as the messenger reads the service's at sign-in: the chat scenes
// show animicons, not their wire form.
struct SceneAnimicons {
    localservice::LocalService service;
    parley::AnimiconCatalogueService animicons; // installs itself in the shell's registry
};

std::unique_ptr<SceneAnimicons> loadAnimiconCatalogue(QString *error)
{
    auto scene = std::make_unique<SceneAnimicons>();
    if (!scene->service.start(localservice::ServiceOptions(), error))
        return nullptr;
    parley::PLEndpoints endpoints = parley::PLEndpoints::current();
    endpoints.webAnimicon = scene->service.web()->baseURL();
    parley::PLEndpoints::setCurrent(endpoints);
    parley::PLConfManager::sharedManager().setMConfDict(
        QVariantMap{{QStringLiteral("animicon_file_url"), scene->service.web()->animiconBaseURL()}});
    ::AnimiconManager &catalogue = ::AnimiconManager::sharedManager();
    QEventLoop loop;
    QObject::connect(&catalogue, &::AnimiconManager::catalogueUpdated, &loop, &QEventLoop::quit);
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    parley::shell::ShellWindows::animiconManager().updateAnimicon();
    if (catalogue.isUpdating())
        loop.exec();
    if (catalogue.categoryCount() == 0) {
        *error = QStringLiteral("the animicon catalogue did not load");
        return nullptr;
    }
    return scene;
}

} // namespace

int main(int argc, char **argv)
{
    ::setenv("PARLEY_RESOURCE_DIR", PARLEY_RESOURCE_BUILD_DIR, 0);
    parley::test::isolateHomeFolders();
    // Scenes with a web view: the web engine as root needs these.
    ::setenv("QTWEBENGINE_CHROMIUM_FLAGS", "--no-sandbox --disable-gpu", 0);
    ::setenv("QT_QUICK_BACKEND", "software", 0);
    QApplication app(argc, argv);

    QString outputFolder = QStringLiteral(PARLEY_SCREENSHOT_DIR);
    QSet<QString> only;
    const QStringList args = app.arguments().mid(1);
    for (int i = 0; i < args.size(); ++i) {
        if (args.at(i) == QLatin1String("--scene") && i + 1 < args.size())
            only.insert(args.at(++i));
        else
            outputFolder = args.at(i);
    }
    QDir().mkpath(outputFolder);
    QString error;
    const std::unique_ptr<SceneAnimicons> animicons = loadAnimiconCatalogue(&error);
    if (!animicons) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }

    int failures = 0;
    int written = 0;
    for (const char *language : {"ko", "en"}) {
        parley::UserDefaults::standardUserDefaults().setObject(QStringList{QLatin1String(language)},
                                                               QLatin1String(parley::kAppleLanguagesKey));
        for (const parley::screenshots::Scene &scene : parley::screenshots::scenes()) {
            if (!only.isEmpty() && !only.contains(scene.name))
                continue;
            std::unique_ptr<QWidget> window(scene.build());
            if (!window) {
                std::fprintf(stderr, "%s: no window\n", qPrintable(scene.name));
                ++failures;
                continue;
            }
            window->show();
            settle(window.get());
            const QImage image = window->grab().toImage();
            const QString path = QDir(outputFolder).filePath(QStringLiteral("%1-%2.png").arg(scene.name, QLatin1String(language)));
            if (!image.save(path)) {
                std::fprintf(stderr, "%s: cannot write %s\n", qPrintable(scene.name), qPrintable(path));
                ++failures;
            } else if (!somethingDrawn(image)) {
                std::fprintf(stderr, "%s: nothing drawn (%s)\n", qPrintable(scene.name), qPrintable(path));
                ++failures;
            } else {
                std::printf("%s\n", qPrintable(path));
                ++written;
            }
            window->close();
        }
    }
    parley::test::removeIsolatedHome();
    if (written == 0 && failures == 0) {
        std::fprintf(stderr, "no scene to show\n");
        return 1;
    }
    return failures == 0 ? 0 : 1;
}
