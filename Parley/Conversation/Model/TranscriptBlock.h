#pragma once

// A transcript fragment as the view lays it out: the layout tables around a
// line (an indent cell, spacer rows above and below) read as the paragraph's
// indent and gaps, the line's own HTML inside, and its pictures put in by the
// view itself. A text document makes a frame of every table and of every
// picture it reads from HTML, and rescans them all on each append; the
// paragraph with its pictures shows the same without them.

#include <QString>
#include <QStringList>

struct TranscriptBlock
{
    QString html;
    int indent = 0;
    int spaceBefore = 0;
    int spaceAfter = 0;
    // The pictures' names ("file://PATH"), in order; in `html` each stands as
    // one U+FFFC in the font family `pictureMarker`.
    QStringList pictures;

    // The transcript's own wrappers taken off a fragment; a fragment without
    // them comes back whole. Pictures are taken out when a marker is given.
    static TranscriptBlock fromFragment(const QString &fragment, const QString &pictureMarker = QString());
};
