#pragma once

// The message box's own link button (not the kit's): its title always
// underlined in a 10-point font, cut at the tail, with a white shadow, at the
// left edge; no image and no hover tracking.

#include <QPushButton>

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
};

} // namespace pigeonhole
