#pragma once

// The message box's own link button (not the kit's): its title always
// underlined in a 10-point font, cut at the tail, with a white shadow, at the
// left edge; no image and no hover tracking. Return (and Enter) press it
// while it is shown in the active window, unless the focus is in a field or
// a text view, where the key means something else; a sheet is a window of
// its own, so it never reaches the button.

#include <QList>
#include <QPushButton>

class QShortcut;

namespace pigeonhole {

class KCLinkButton : public QPushButton
{
    Q_OBJECT

public:
    explicit KCLinkButton(QWidget *parent = nullptr);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QFont titleFont() const;
    void followFocus(QWidget *focus);

    QList<QShortcut *> mKeyEquivalents;
};

} // namespace pigeonhole
