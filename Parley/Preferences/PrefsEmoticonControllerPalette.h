#pragma once

// The preferences window's emoticon buttons on the application's emoticon
// palette: the palette opens at the button, and the token picked there goes
// to the one request that opened it (a palette closed without a choice, or
// opened again for another request, answers nothing to the earlier one).

#include "Conversation/EmoticonController.h"
#include "PrefsEmoticonPalette.h"

#include <QPointer>

#include <functional>

namespace parley {

class PrefsEmoticonControllerPalette final : public PrefsEmoticonPalette, private EmoticonPaletteDelegate
{
public:
    using Make = std::function<EmoticonController *()>;
    explicit PrefsEmoticonControllerPalette(Make make = &EmoticonController::defaultController)
        : mMake(std::move(make))
    {
    }
    ~PrefsEmoticonControllerPalette() override;

    void showEmoticonPalette(const QPoint &globalPoint, std::function<void(const QString &token)> chosen) override;
    bool isWindowLoaded() const override { return mPalette && mPalette->isVisible(); }
    void close() override;

private:
    void emoticonPaletteViewDidSelectEmoticon(KCEmoticonPaletteView *view, const QString &token) override;

    Make mMake;
    QPointer<EmoticonController> mPalette;
    std::function<void(const QString &)> mChosen;
};

} // namespace parley
