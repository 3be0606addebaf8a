#pragma once

// The HTML of a conversation transcript, one fragment per line: message text
// made safe (entities, line breaks, hard spaces, links), emoticon tokens made
// pictures, and the markup of chat, system, warning, file and animicon lines.
// The transcript view appends these fragments; the memo windows use
// convertMessage() for their text too.
//
// Every fragment holds only elements and attributes built here: peer text is
// escaped, service links are taken only in their one well-formed shape, and
// emoticon pictures go into text, never into markup.

#include <QString>
#include <QStringList>

class EmoticonLookup;

class TranscriptHtml
{
public:
    // Message text to HTML: e-mail and web links found on the raw text
    // (MessageLinkifier), then escaping, line breaks and hard spaces; service links written <link href="TARGET">LABEL</link> (with
    // an http, https or bridge:// target) become links when the text is
    // longer than 18 characters, anything else shows as it was typed.
    static QString convertMessage(const QString &text);

    // The entity, line-break and blank replacements alone, in their order.
    static QString escapeText(const QString &text);
    // Every occurrence of `source` replaced, left to right, case-sensitively;
    // an inserted replacement is never searched again.
    static QString replaceMessage(const QString &text, const QString &source, const QString &toText);
    // Text for an HTML attribute or element: &, <, > and " as entities.
    static QString escapeHtml(const QString &text);

    // Emoticon tokens in the text of an HTML fragment (never inside a tag)
    // replaced by their pictures, token by token in the lookup's order; a
    // token without a picture stays text. No lookup: the fragment unchanged.
    static QString emoticonStringForString(const QString &html, const EmoticonLookup *lookup);

    // A colour string (decimal blue-green-red, red in the low byte) as the
    // HTML colour value, red in the high byte.
    static int htmlColor(const QString &colorString);
    // <FONT FACE=... COLOR=... SIZE="3"><a>html</a></FONT>; the face is escaped.
    static QString fontMarkup(const QString &html, const QString &fontName, const QString &colorString);

    // A chat line: text converted, emoticons, font markup; as a message
    // (indented, with a gap below) or bare (a memo's body).
    static QString chatLine(const QString &text, const QString &fontName, const QString &colorString,
                            bool isMessage, const EmoticonLookup *lookup);
    // System and warning lines take HTML (callers escape any peer text in it).
    static QString systemLine(const QString &html, const EmoticonLookup *lookup);
    static QString warningLine(const QString &html, const EmoticonLookup *lookup);
    // File lines (HTML) with the icon of their type: 1 success, 2 failure,
    // others plain. A file message is followed by divideLine().
    static QString fileMessageLine(const QString &html, int fileType, const QString &resourceFolder,
                                   const EmoticonLookup *lookup);
    static QString fileInfoLine(const QString &html, int fileType, const QString &resourceFolder,
                                const EmoticonLookup *lookup);
    static QString divideLine(const QString &resourceFolder);
    // An animicon line from its three pieces (text before, wire form, text
    // after): the middle piece becomes the picture and "(name)" when there is
    // an image file, else it is converted like the others. Plain text in,
    // escaped here. Any other number of pieces gives an empty fragment.
    static QString animiconLine(const QStringList &pieces, const QString &imageFile, const QString &name,
                                const QString &fontName, const QString &colorString,
                                const EmoticonLookup *lookup);

    // <IMG SRC="file://PATH"> with the path escaped.
    static QString imageSrcHtmlForPath(const QString &path);
    // The file icon of a type, in the resource folder.
    static QString fileImageTag(int fileType, const QString &resourceFolder);

    // The colours and face of system lines.
    static constexpr char kSystemColor[] = "13395507";
    static constexpr char kWarningColor[] = "255";
    static constexpr char kSystemFontName[] = "AppleGothic";
};
