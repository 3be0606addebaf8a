#pragma once

// What the chat input does with a key: Return sends, Shift- or
// Control-Return adds a line break at the end of the text, Alt-Return one at
// the cursor, Escape closes the window, Tab does nothing, and a Return that
// meets an open input-method composition of ideographs only confirms it.

#include <QString>
#include <Qt>

enum class InputKeyAction {
    Ordinary,               // the text field's own handling
    Ignore,                 // nothing at all
    CloseWindow,            // the window's close, as its close button
    AppendLineBreakAtEnd,   // a line break after the last character; nothing sent
    InsertLineBreakAtCursor,
    ConfirmComposition,     // the composition becomes text; nothing sent
    Send,                   // the whole text (a composition first confirmed) to the delegate
};

class InputKeyRule
{
public:
    // `preedit`: the input method's open composition (empty when none);
    // `delegateTakesMessages`: the delegate answers the send request.
    static InputKeyAction decide(int key, Qt::KeyboardModifiers modifiers, bool enableEnter, const QString &preedit,
                                 bool delegateTakesMessages);

    // The unified ideographs, U+4E00 to U+9FC3: what a conversion offers.
    static bool isIdeograph(QChar c) { return c.unicode() > 19967 && c.unicode() < 40900; }
};
