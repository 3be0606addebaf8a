#pragma once

// The About window: the messenger's version and, when signed in, the user's
// name. One at a time; it closes (and is destroyed) as soon as it loses the
// focus or is clicked, and the next call makes a new one.

#include "KCWhiteView.h"

#include <QPointer>
#include <QWidget>

class QLabel;

namespace parley::shell {

class AboutBox : public QWidget, private KCWhiteViewDelegate
{
    Q_OBJECT

public:
    // The one About window, made when there is none.
    static AboutBox *sharedBox();
    // The window if one is open now.
    static AboutBox *existingBox();

    ~AboutBox() override;

    void showWindow();
    void hideWindow();
    // The version line: "<version>  ( build:<build> )".
    static QString versionText();

    KCWhiteView *whiteView;
    QLabel *versionField;
    QLabel *userField;

protected:
    bool event(QEvent *event) override;

private:
    AboutBox();
    void windowDidBecomeKey();
    void whiteViewClicked(KCWhiteView *view) override;

    static QPointer<AboutBox> sShared;
};

} // namespace parley::shell
