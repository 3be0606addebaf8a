#include "TransferRowLayout.h"

namespace parley {

QRect TransferRowLayout::fromYUp(int x, int y, int width, int height)
{
    return QRect(x, kHeight - y - height, width, height);
}

TransferRowFrames TransferRowLayout::frames(int w)
{
    TransferRowFrames f;
    f.transferText = fromYUp(40, 1, w - 120, 15);
    f.indicator = fromYUp(40, 13, w - 155, 15);
    f.dateText = fromYUp(40, 13, w - 155, 15);
    f.fileText = fromYUp(40, 28, w - 155, 15);
    f.idText = fromYUp(40, 43, w - 155, 15);
    f.accept = fromYUp(w - 77, 22, 16, 16);
    f.mail = fromYUp(w - 58, 22, 16, 16);
    f.reject = fromYUp(w - 39, 22, 16, 16);
    f.open = fromYUp(w - 20, 22, 16, 16);
    return f;
}

} // namespace parley
