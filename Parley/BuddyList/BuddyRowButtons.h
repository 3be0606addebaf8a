#pragma once

// Where the memo and home buttons of a buddy row were last drawn, for one
// list: the row cell reports each button as it draws it, and presses and
// tooltips ask which button lies under an x. Every list (the main buddy list,
// the invite panel's tables) keeps its own, so that one list's drawing never
// moves another's buttons. A press hits a button exactly where its image is
// drawn; a cleared button is hit nowhere.

namespace parley {

class BuddyRowButtons
{
public:
    // The left edge and width of the memo (talk) and home (sister-service) buttons.
    void setTalkStartX(int x, int width);
    void setOrStartX(int x, int width);
    bool isInTalkButtonWithPointX(int x) const;
    bool isInOrchardButtonWithPointX(int x) const;
    void clearTalkButtonX();
    void clearOrButtonX();

private:
    struct Span {
        int x = 0;
        int width = 0; // 0: cleared
        bool contains(int px) const { return width > 0 && px >= x && px < x + width; }
    };
    Span mTalk;
    Span mOrchard;
};

} // namespace parley
