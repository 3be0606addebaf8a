#pragma once

// A plain white view that tells its delegate when it is clicked.

#include <QWidget>

class KCWhiteView;

class KCWhiteViewDelegate
{
public:
    virtual ~KCWhiteViewDelegate() = default;
    virtual void whiteViewClicked(KCWhiteView *view) { (void)view; }
};

class KCWhiteView : public QWidget
{
    Q_OBJECT
public:
    explicit KCWhiteView(QWidget *parent = nullptr);

    // Not owned; the delegate clears itself before it goes.
    void setDelegate(KCWhiteViewDelegate *delegate) { mDelegate = delegate; }
    KCWhiteViewDelegate *delegate() const { return mDelegate; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    KCWhiteViewDelegate *mDelegate = nullptr;
};
