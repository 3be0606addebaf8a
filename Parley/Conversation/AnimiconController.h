#pragma once

// The animicon palette: a pop-up with one tab per visible category of the
// catalogue (not the user's own, hidden or advertisement categories) and the
// grid of the chosen category. A click on an item tells the delegate (the
// chat window) and closes the palette; a click elsewhere closes it. One
// palette for the whole run: it keeps its category and page between showings.
// It also plays animicons (playAnimicon), reading the catalogue first.

#include "KCAnimiconPaletteView.h"

#include <QList>
#include <QPointer>
#include <QWidget>

class KCPaletteTabButton;
class QLabel;
class WebWindowController;

class AnimiconPaletteDelegate
{
public:
    virtual ~AnimiconPaletteDelegate() = default;
    virtual void animiconPaletteViewDidSelectAnimicon(KCAnimiconPaletteView *view, const QString &animiconUrl,
                                                      const QString &animiconThumbUrl, const QString &animiconName,
                                                      const QString &categoryID, const QString &animiconID) = 0;
};

class AnimiconController : public QWidget, private AnimiconPaletteViewDelegate
{
    Q_OBJECT
public:
    static AnimiconController *defaultController();

    AnimiconController();
    ~AnimiconController() override;

    // Shows the palette with its top-left corner just at `point` (global
    // coordinates), reading the catalogue first when it is not here yet.
    void showAnimiconPalette(const QPoint &point, AnimiconPaletteDelegate *delegate);
    // Plays an animicon's page over a window (see WebWindowController).
    WebWindowController *playAnimicon(const QString &animiconUrl, QWidget *window);

    // Rebuilds the tabs from the catalogue's categories.
    void reloadAnimiconCategories();
    // A tab's click: it alone shows selected, the grid shows its category.
    void animiconCategoryAction(int categoryIndex);
    void closeAction() { close(); }

    bool isWindowLoaded() const { return mIsWindowLoaded; }
    KCAnimiconPaletteView *paletteView() const { return mAnimiconView; }
    // One slot per category: its tab, or null for a category without one.
    const QList<KCPaletteTabButton *> &tabs() const { return mTabArray; }
    static QRect frameForPoint(const QPoint &point, const QSize &size);

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void windowDidLoad();
    void animiconPaletteViewDidSelectAnimicon(KCAnimiconPaletteView *view, const QString &animiconUrl,
                                              const QString &animiconThumbUrl, const QString &animiconName,
                                              const QString &categoryID, const QString &animiconID) override;

    KCAnimiconPaletteView *mAnimiconView;
    QWidget *mBox;
    QLabel *mTitleField;
    QList<KCPaletteTabButton *> mTabArray;
    AnimiconPaletteDelegate *mDelegate = nullptr; // not owned
    bool mIsWindowLoaded = false;
};
