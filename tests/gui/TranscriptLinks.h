#pragma once

// Clicking a link of a transcript as a user does: the point over the link's
// first characters, and a click there.

#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>

namespace parley::test {

// The view's point over the first character of the link with this target;
// null when the document holds no such link.
inline QPoint linkPoint(QTextBrowser &view, const QString &href)
{
    for (QTextBlock block = view.document()->begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().anchorHref() == href) {
                QTextCursor cursor(view.document());
                cursor.setPosition(it.fragment().position() + 1);
                view.setTextCursor(cursor);
                view.ensureCursorVisible();
                return view.cursorRect(cursor).center() - QPoint(2, 0);
            }
    return {};
}

// Clicks the link with this target; false when there is none.
inline bool clickLink(QTextBrowser &view, const QString &href)
{
    const QPoint at = linkPoint(view, href);
    if (at.isNull())
        return false;
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, at);
    return true;
}

} // namespace parley::test
