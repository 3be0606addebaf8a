#pragma once

// Opens the play-window module (libparley-animicon-play.so, which links
// QtWebEngine) the first time an animicon plays, so that nothing else loads
// the web engine. It is looked for in $PARLEY_PLUGIN_DIR, beside the
// executable and in ../lib/parley beside it.

#include "AnimiconPlay/AnimiconPlayView.h"

#include <QString>
#include <QStringList>

#include <memory>

class AnimiconPlayLibrary
{
public:
    // A new play view from the module; null (and a log line) without one.
    static std::unique_ptr<AnimiconPlayView> createView(QWidget *parent);
    // Whether the module has been opened in this process.
    static bool isLoaded();
    static QStringList searchFolders();

    // Makes views with `factory` in place of the module (tests); null undoes it.
    static void setFactoryForTesting(AnimiconPlayViewFactory factory);
};
