#pragma once

// What a chat conversation (ChatConversation) shows in its window: the
// transcript's lines, the status line, the title, the absence banner with
// the input lock, the members' header, animicon plays and the open panel.
// ChatDocument draws them; tests record them.

#include <QString>
#include <QStringList>

namespace parley {

// The banner that says who is blocked or absent, and what it locks.
struct ChatBanner
{
    QString text;                 // empty: the banner is hidden
    bool inputLocked = false;     // the input and the emoticon, animicon and font buttons
    bool toolbarDisabled = false; // the invite and file items
    bool operator==(const ChatBanner &) const = default;
};

class ChatConversationView
{
public:
    virtual ~ChatConversationView() = default;

    // Transcript lines. Name and chat lines are plain text (the name line in
    // the names' face, a chat line in the input's face at the input's size);
    // system, warning and file lines are HTML whose peer parts are escaped.
    virtual void appendNameLine(const QString &text) = 0;
    virtual void appendChatLine(const QString &text, const QString &fontColor, const QString &fontStyle) = 0;
    virtual void appendSystemLine(const QString &html) = 0;
    virtual void appendWarningLine(const QString &html) = 0;
    // The wire form and the pieces (before, wire form, after), plain text.
    virtual void appendAnimiconLine(const QString &animiconMessage, const QStringList &pieces,
                                    const QString &fontName, const QString &fontColor, const QString &fontStyle) = 0;
    // File types: 0 an offer or start, 1 a completion, 2 a cancel or failure.
    virtual void appendFileMessage(const QString &html, int fileType) = 0;
    virtual void appendFileInfo(const QString &html, int fileType) = 0;

    virtual void setStatusLine(const QString &text) = 0;
    virtual void setTitle(const QString &title) = 0;
    virtual void showBanner(const ChatBanner &banner) = 0;
    // The selected buddy's header and the members' menu are out of date.
    virtual void refreshMembers() = 0;
    virtual void playAnimicon(const QString &url) = 0;
    // Opens the file panel after a short delay.
    virtual void scheduleFilePanel() = 0;
    // Whether the window is the application's active window.
    virtual bool isKeyWindow() = 0;
};

} // namespace parley
