#pragma once

// The scenes of the screenshot program: each builds one window as a user
// would see it and hands it over. Later windows add their scenes in files of
// their own in this folder:
//
//   static const bool registered = parley::screenshots::registerScene(
//       QStringLiteral("chat-window"), [] { return new ChatWindow(...); });
//
// The program shows every scene in each interface language, writes
// <name>-<language>.png and checks only that something was drawn.

#include <QString>
#include <QWidget>

#include <functional>
#include <vector>

namespace parley::screenshots {

// Builds the window (owned by the caller from then on).
using SceneBuilder = std::function<QWidget *()>;

struct Scene {
    QString name;
    SceneBuilder build;
};

// Adds a scene; answers true, so that it can initialise a static.
bool registerScene(const QString &name, SceneBuilder build);
// Every scene registered, in the order of their names.
std::vector<Scene> scenes();

// The text for the interface language now shown (Korean or English), for
// sample data in scenes.
QString sample(const QString &korean, const QString &english);

} // namespace parley::screenshots
