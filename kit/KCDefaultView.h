#pragma once

// A backing view filled with the light grey unified gradient, lighter at the
// bottom.

#include <QWidget>

class KCDefaultView : public QWidget
{
    Q_OBJECT
public:
    explicit KCDefaultView(QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
};
