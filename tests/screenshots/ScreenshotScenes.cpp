#include "ScreenshotScenes.h"

#include "Utils/KCUtilities.h"

#include <algorithm>

namespace parley::screenshots {

namespace {

std::vector<Scene> &registry()
{
    static std::vector<Scene> all;
    return all;
}

} // namespace

bool registerScene(const QString &name, SceneBuilder build)
{
    registry().push_back({name, std::move(build)});
    return true;
}

std::vector<Scene> scenes()
{
    std::vector<Scene> sorted = registry();
    std::sort(sorted.begin(), sorted.end(), [](const Scene &a, const Scene &b) { return a.name < b.name; });
    return sorted;
}

QString sample(const QString &korean, const QString &english)
{
    return KCCurrentLanguage() == QLatin1String("ko") ? korean : english;
}

} // namespace parley::screenshots
