#pragma once

// One line of a transfer row: plain text in the interface font, cut at the
// tail with dots when it does not fit, in the colour of its style.

#include <QColor>
#include <QFont>
#include <QWidget>

namespace parley {

class TransferTextLine : public QWidget
{
    Q_OBJECT
public:
    explicit TransferTextLine(QWidget *parent = nullptr);

    void setText(const QString &text);
    const QString &text() const { return mText; }
    void setStyle(const QFont &font, const QColor &color);
    const QColor &color() const { return mColor; }
    // The text as drawn in the current width.
    QString shownText() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString mText;
    QFont mFont;
    QColor mColor;
};

} // namespace parley
