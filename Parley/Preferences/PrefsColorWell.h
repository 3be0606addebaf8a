#pragma once

// The away message's colour: one colour shared by the window's panes and
// one non-modal colour panel to change it.

#include <QColor>
#include <QObject>
#include <QPointer>

#include <QColorDialog>
class QWidget;

namespace parley {

class PrefsColorWell : public QObject
{
    Q_OBJECT
public:
    explicit PrefsColorWell(QObject *parent = nullptr);
    ~PrefsColorWell() override;

    QColor color() const { return mColor; }
    void setColor(const QColor &color);
    // Shows the panel (made once, over `window`) with the well's colour.
    void activate(QWidget *window);
    QColorDialog *panel() const { return mPanel; }

signals:
    // The user picked a colour in the panel.
    void colorChanged(const QColor &color);

private:
    QColor mColor = Qt::black;
    QPointer<QColorDialog> mPanel;
};

} // namespace parley
