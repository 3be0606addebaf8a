#pragma once

// The read-only text of a memo or chat log in a detail pane: plain text with
// its emoticon tokens shown as images, in an 11-point font.

#include <QTextBrowser>

namespace pigeonhole {

class PGHBodyView : public QTextBrowser
{
    Q_OBJECT

public:
    explicit PGHBodyView(QWidget *parent = nullptr);
    // Shows the text (an empty one shows nothing).
    void showText(const QString &text);
    const QString &shownText() const { return mText; }

private:
    QString mText;
};

} // namespace pigeonhole
