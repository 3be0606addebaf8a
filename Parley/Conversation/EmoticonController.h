#pragma once

// The emoticon palette: a small pop-up with the interface language's emoticon
// categories as a column of tabs and the chosen category's pictures in a
// grid. A click on a picture tells the delegate (the chat window, the memo
// window, the preferences) which token to insert and closes the palette; a
// click elsewhere closes it without a choice. One palette at a time: a
// closed one is gone, and the next showing starts again at the first tab.

#include "KCEmoticonPaletteView.h"

#include <QList>
#include <QPointer>
#include <QWidget>

#include <functional>

class EmoticonPaletteSource;
class KCPaletteTabButton;
class QLabel;
class QToolButton;

class EmoticonPaletteDelegate
{
public:
    virtual ~EmoticonPaletteDelegate() = default;
    virtual void emoticonPaletteViewDidSelectEmoticon(KCEmoticonPaletteView *view, const QString &token) = 0;
};

class EmoticonController : public QWidget, private EmoticonPaletteViewDelegate
{
    Q_OBJECT
public:
    // The palette, made on first use after the last one closed, reading the
    // emoticon catalogue.
    static EmoticonController *defaultController();

    // A palette on its own catalogue (tests); it deletes itself when closed.
    explicit EmoticonController(const EmoticonPaletteSource *source);
    ~EmoticonController() override;

    // Shows the palette with its top-left corner just at `point` (global
    // coordinates), for `delegate`; the first showing selects the first tab.
    void showEmoticonPalette(const QPoint &point, EmoticonPaletteDelegate *delegate);
    // Rebuilds the tabs from the catalogue's categories.
    void reloadEmoticonCategories();
    // A tab's click: it alone shows selected and the grid shows its category.
    void emoticonCategoryAction(KCPaletteTabButton *tab);
    void closeAction() { close(); }
    void preferenceAction();

    // What the palette's preferences button does (the application opens its
    // preferences); without one the button is hidden.
    static void setPreferencesHandler(std::function<void()> handler);

    KCEmoticonPaletteView *paletteView() const { return mEmoticonPalette; }
    const QList<KCPaletteTabButton *> &tabs() const { return mTabArray; }
    // The frame for a showing at `point`.
    static QRect frameForPoint(const QPoint &point, const QSize &size);

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void emoticonPaletteViewDidSelectEmoticon(KCEmoticonPaletteView *view, const QString &token) override;

    const EmoticonPaletteSource *mSource;
    KCEmoticonPaletteView *mEmoticonPalette;
    QLabel *mTitleField;
    QWidget *mBackView;
    QToolButton *mPreferencesButton;
    QList<KCPaletteTabButton *> mTabArray;
    EmoticonPaletteDelegate *mDelegate = nullptr; // not owned
    bool mIsFirstShow = true;
};
