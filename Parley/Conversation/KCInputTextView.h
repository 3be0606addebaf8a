#pragma once

// The field a chat line is typed in: an ordinary rich-text field (emoticon
// and animicon pictures sit in it) whose Return sends the whole text to its
// delegate. Shift- or Control-Return adds a line break at the end of the
// text, Alt-Return one at the cursor, Escape closes the window, Tab does
// nothing, and a Return that meets an open input-method composition of
// ideographs only confirms the composition (a Hangul composition is
// confirmed and sent). Drags are not taken by the field: they go on to the
// window, which treats them as dropped on itself.

#include <QTextEdit>

class KCInputTextView;

class KCInputTextViewDelegate
{
public:
    virtual ~KCInputTextViewDelegate() = default;
    // Whether the delegate takes messages; when it does not, Return breaks
    // the line as in any text field.
    virtual bool takesMessages() const { return false; }
    // The send request with the field's whole text. The field never clears
    // itself: the delegate does after sending.
    virtual void textViewMessage(KCInputTextView *view, const QString &message)
    {
        (void)view;
        (void)message;
    }
};

class KCInputTextView : public QTextEdit
{
    Q_OBJECT
public:
    explicit KCInputTextView(QWidget *parent = nullptr);

    bool enableEnter() const { return mEnableEnter; }
    void setEnableEnter(bool flag) { mEnableEnter = flag; }
    void setDelegate(KCInputTextViewDelegate *delegate) { mDelegate = delegate; }
    KCInputTextViewDelegate *delegate() const { return mDelegate; }

    // The input method's open composition, empty when none.
    QString markedText() const;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    bool focusNextPrevChild(bool next) override;

private:
    void confirmComposition();

    bool mEnableEnter = true;
    KCInputTextViewDelegate *mDelegate = nullptr; // not owned
};
