#pragma once

// The read-only text of a memo or chat log in a detail pane: plain text with
// its emoticon tokens shown as images, in an 11-point font.

#include <QTextBrowser>

class EmoticonManager;

namespace pigeonhole {

class PGHBodyView : public QTextBrowser
{
    Q_OBJECT

public:
    explicit PGHBodyView(QWidget *parent = nullptr);
    // The catalogue whose tokens show as images (not owned; none: plain text).
    void setCatalogue(const EmoticonManager *catalogue) { mCatalogue = catalogue; }
    // Shows the text (an empty one shows nothing).
    void showText(const QString &text);
    const QString &shownText() const { return mText; }

private:
    const EmoticonManager *mCatalogue = nullptr;
    QString mText;
};

} // namespace pigeonhole
