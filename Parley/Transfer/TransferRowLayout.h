#pragma once

// Where a transfer row's controls go, for a row of a given width. The table
// is written from the row's lower-left corner with y growing upwards; frames()
// gives Qt's top-left rectangles for a row of kHeight.
//
//   control        x        y (up)  width     height
//   transfer text  40       1       w - 120   15
//   progress bar   40       13      w - 155   15   (the date line takes its place)
//   file text      40       28      w - 155   15
//   ID text        40       43      w - 155   15
//   accept         w - 77   22      16        16
//   mail           w - 58   22      16        16
//   reject         w - 39   22      16        16
//   open           w - 20   22      16        16

#include <QRect>

namespace parley {

struct TransferRowFrames
{
    QRect transferText, indicator, dateText, fileText, idText;
    QRect accept, mail, reject, open;
};

class TransferRowLayout
{
public:
    TransferRowLayout() = delete;

    static constexpr int kHeight = 60;
    static constexpr int kDefaultWidth = 400;

    static TransferRowFrames frames(int width);
    // A rectangle of the y-up table in a row of kHeight.
    static QRect fromYUp(int x, int y, int width, int height);
};

} // namespace parley
