#pragma once

// One cell of the emoticon palette's grid: the image with two points around it.

#include <QRect>

class KCEmoticonRect
{
public:
    explicit KCEmoticonRect(const QRect &rect = QRect()) : mRectEmoticon(rect) {}
    QRect rectEmoticon() const { return mRectEmoticon; }

private:
    QRect mRectEmoticon;
};
