#include "KCBorderlessWindow.h"

KCBorderlessWindow::KCBorderlessWindow(QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
{
    setFocusPolicy(Qt::StrongFocus);
}
