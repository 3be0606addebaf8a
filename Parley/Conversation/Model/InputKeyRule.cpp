#include "InputKeyRule.h"

InputKeyAction InputKeyRule::decide(int key, Qt::KeyboardModifiers modifiers, bool enableEnter,
                                    const QString &preedit, bool delegateTakesMessages)
{
    switch (key) {
    case Qt::Key_Escape:
        return InputKeyAction::CloseWindow;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return InputKeyAction::Ignore;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        break;
    default:
        return InputKeyAction::Ordinary;
    }
    if (!enableEnter)
        return InputKeyAction::Ignore;
    if (modifiers & (Qt::ControlModifier | Qt::ShiftModifier))
        return InputKeyAction::AppendLineBreakAtEnd;
    if (modifiers & Qt::AltModifier)
        return InputKeyAction::InsertLineBreakAtCursor;
    if (!preedit.isEmpty() && isIdeograph(preedit.at(0)))
        return InputKeyAction::ConfirmComposition;
    return delegateTakesMessages ? InputKeyAction::Send : InputKeyAction::Ordinary;
}
