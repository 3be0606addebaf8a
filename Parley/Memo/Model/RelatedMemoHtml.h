#pragma once

// The related-memo pane's HTML: the memos of the thread one under another,
// each with the icon of its direction, a grey heading (sender, date,
// receivers) and its text, separated by a line. Names are escaped before
// they enter the heading; the text goes through the memo conversion given.

#include "MemoNames.h"
#include "RelatedMemoEntry.h"

#include <QList>
#include <QString>

#include <functional>

struct RelatedMemoImages {
    QString received; // image URLs
    QString sent;
    QString line;
};

class RelatedMemoHtml
{
public:
    using Convert = std::function<QString(const QString &text)>;

    RelatedMemoHtml(const MemoNames &names, RelatedMemoImages images, Convert convert, QString fontFace)
        : mNames(names), mImages(std::move(images)), mConvert(std::move(convert)), mFontFace(std::move(fontFace))
    {
    }

    QString html(const QList<RelatedMemoEntry> &entries) const;
    // "name, name, " of a ";"-joined ID list (the last ", " stays).
    QString receiverNames(const QString &joinedIDs) const;
    QString heading(const RelatedMemoEntry &entry) const;

private:
    QString font(const QString &html, int color) const;
    QString separator() const;

    const MemoNames &mNames;
    RelatedMemoImages mImages;
    Convert mConvert;
    QString mFontFace;
};
