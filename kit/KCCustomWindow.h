#pragma once

// The skinned window: a light background composed from image slices, a tall
// top band under the toolbar, a bottom band along the lower edge and the top
// band's base colour everywhere else, rebuilt on every resize. The flat skin
// adds stretched side edges. Escape closes the window as its close button
// would, so a window that refuses to close (closeEvent ignored) stays open.

#include <QImage>
#include <QMainWindow>

class QToolBar;

class KCCustomWindow : public QMainWindow
{
    Q_OBJECT
public:
    explicit KCCustomWindow(QWidget *parent = nullptr, Qt::WindowFlags flags = {});

    static constexpr int kMinimumSide = 150;

    void setFlat(bool flat);
    bool flat() const { return mFlat; }

    // Sets the minimum size, never below 150 x 150.
    void setMinSize(const QSize &size);
    // Adds a toolbar that lets the skin show through.
    void setToolbar(QToolBar *toolbar);

    // The background as composed for the current size and skin.
    const QImage &sizedPolishedBackground() const { return mBackground; }
    // The background of a window of `size` with the polished or flat skin.
    static QImage composeBackground(const QSize &size, bool flat);

protected:
    void resizeEvent(QResizeEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void rebuildBackground(bool forceDisplay);

    bool mFlat = false;
    QImage mBackground;
};
