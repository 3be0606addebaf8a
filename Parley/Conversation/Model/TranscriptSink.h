#pragma once

// Where a conversation's lines go: the transcript view, or a recorder in the
// tests of the windows that write to it. Texts of chat and animicon lines are
// plain; system, warning and file lines are HTML whose peer parts the caller
// has escaped (TranscriptHtml::escapeHtml).

#include <QString>
#include <QStringList>

class TranscriptSink
{
public:
    virtual ~TranscriptSink() = default;
    virtual void appendChatMessage(const QString &text, const QString &fontName, double fontSize,
                                   const QString &fontColor, const QString &fontStyle, bool isMessage) = 0;
    virtual void appendSystemMessage(const QString &html) = 0;
    virtual void appendWarningMessage(const QString &html) = 0;
    // File types: 1 success, 2 failure, others plain. A file message is
    // followed by a divide line.
    virtual void appendFileMessage(const QString &html, int fileType) = 0;
    virtual void appendFileInfo(const QString &html, int fileType) = 0;
    // The wire form and the message's three pieces (before, wire form, after).
    virtual void appendAnimiconMessage(const QString &animiconMessage, const QStringList &messageArray,
                                       const QString &fontName, const QString &fontColor,
                                       const QString &fontStyle) = 0;
    virtual void appendDivideLine() = 0;
    // Every line, shown and to come, in text of this many pixels.
    virtual void applyFontSize(double size) = 0;
};
