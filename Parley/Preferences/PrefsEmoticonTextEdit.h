#pragma once

// A text field that shows emoticon tokens as their pictures and gives its
// text back with the tokens (the display name and the away message).

#include <QTextEdit>

namespace parley {

class PrefsEmoticonTextEdit : public QTextEdit
{
    Q_OBJECT
public:
    explicit PrefsEmoticonTextEdit(QWidget *parent = nullptr);

    // Shows a text with tokens in the field's font and `color`.
    void setEmoticonString(const QString &text, const QColor &color);
    // The text with every picture turned back into its token.
    QString emoticonString() const;
    // Puts an emoticon at the start of the selection; a token without a
    // picture goes at the end of the text as text.
    void insertEmoticon(const QString &token);
    void setTextColorOfAll(const QColor &color);

protected:
    QSize sizeHint() const override;

private:
    void typeAfterwardsAsText(const QColor &color);
};

} // namespace parley
