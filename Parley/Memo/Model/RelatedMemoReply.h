#pragma once

// The server's answer to a related-memo request: lines separated by CR LF;
// the first is "N" when no further memos follow (anything else: more can be
// asked for); every further line is one memo of ten fields separated by
// single blanks (RelatedMemoEntry's order). A line of another field count
// ends the reading; the memos read before it stay. Server text: nothing in
// it is trusted beyond this shape.

#include "RelatedMemoEntry.h"

#include <QList>
#include <QString>

struct RelatedMemoReply {
    bool isLast = false;
    QList<RelatedMemoEntry> entries;
    // A line of another field count ended the reading early.
    bool malformed = false;

    static RelatedMemoReply parse(const QString &text);
};
