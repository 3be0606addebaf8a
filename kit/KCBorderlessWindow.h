#pragma once

// A window without a frame or title bar that still takes keyboard focus.

#include <QWidget>

class KCBorderlessWindow : public QWidget
{
    Q_OBJECT
public:
    explicit KCBorderlessWindow(QWidget *parent = nullptr);
};
