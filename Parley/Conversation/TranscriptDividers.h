#pragma once

// The divide line under a file line is drawn 360 wide; a chat transcript is
// narrower, and a picture wider than the page brings a horizontal scroll bar.
// Each divide line is scaled to the width the text has.

class QString;
class QTextDocument;

namespace parley {

// True for the image name of a divide line.
bool isTranscriptDivider(const QString &imageName);

// Gives every divide line between the positions `from` and `to` the width of
// its paragraph's text (the page less the document's margins and the
// paragraph's indents); its height stays.
void fitTranscriptDividers(QTextDocument *document, int from, int to);

} // namespace parley
