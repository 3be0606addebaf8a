#include "PrefsEmoticonControllerPalette.h"

namespace parley {

PrefsEmoticonControllerPalette::~PrefsEmoticonControllerPalette() { close(); }

void PrefsEmoticonControllerPalette::showEmoticonPalette(const QPoint &globalPoint,
                                                         std::function<void(const QString &)> chosen)
{
    mChosen = std::move(chosen);
    mPalette = mMake ? mMake() : nullptr;
    if (mPalette)
        mPalette->showEmoticonPalette(globalPoint, this);
}

void PrefsEmoticonControllerPalette::close()
{
    mChosen = nullptr;
    if (mPalette)
        mPalette->close();
}

void PrefsEmoticonControllerPalette::emoticonPaletteViewDidSelectEmoticon(KCEmoticonPaletteView *,
                                                                          const QString &token)
{
    // Once: the palette closes after a choice.
    const std::function<void(const QString &)> chosen = std::exchange(mChosen, nullptr);
    if (chosen)
        chosen(token);
}

} // namespace parley
