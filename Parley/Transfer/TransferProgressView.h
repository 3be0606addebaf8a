#pragma once

// One row of the file transfer window: the file's icon, three lines (who,
// which file, how far), a progress bar that gives way to the completion date,
// and four image buttons (accept, mail, reject or cancel, open) whose presses
// go to the delegate with the row's file cookie. Laid out by
// TransferRowLayout; the buttons keep their distance from the right edge.
//
// Two phases: running (bar shown) and completed (bar hidden, date shown).
// endProgress(true) marks the row completed at once, runs the bar
// indeterminate and shows the date after a short delay; endProgress(false)
// shows it at once.

#include <QIcon>
#include <QPointer>
#include <QWidget>

class KCImageButton;
class QProgressBar;
class QTimer;

namespace parley {

class TransferProgressView;
class TransferTextLine;

class TransferProgressViewDelegate
{
public:
    virtual ~TransferProgressViewDelegate() = default;
    virtual void transferViewAccept(TransferProgressView *, const QString &) {}
    virtual void transferViewReject(TransferProgressView *, const QString &) {}
    virtual void transferViewOpen(TransferProgressView *, const QString &) {}
    virtual void transferViewMail(TransferProgressView *, const QString &) {}
};

class TransferProgressView : public QWidget
{
    Q_OBJECT
public:
    // The bar's run before the date shows, after endProgress(true).
    static constexpr int kCompletionDelayMs = 2000;
    // Tests shorten it.
    static void setCompletionDelay(int milliseconds);

    // `globalMode`: the account is in global mode (no mail button at all).
    explicit TransferProgressView(bool globalMode, QWidget *parent = nullptr);

    void setDelegate(TransferProgressViewDelegate *delegate) { mDelegate = delegate; }
    void setFileCookie(const QString &cookie) { mFileCookie = cookie; }
    const QString &fileCookie() const { return mFileCookie; }
    void setIconImage(const QIcon &icon);
    const QIcon &iconImage() const { return mIconImage; }
    // 0 receive, 1 send.
    void setTransferType(int type) { mTransferType = type; }
    int transferType() const { return mTransferType; }
    // Shows and enables the buttons of that type (TransferButtons); the
    // current type again, or a type outside the table, changes no button.
    void setTranferButtonType(int type);
    int buttonType() const { return mTransferButtonType; }

    void setIDText(const QString &text);
    void setFileText(const QString &text);
    void setTransferText(const QString &text);
    QString idText() const;
    QString fileText() const;
    QString transferText() const;
    QString dateText() const;

    void startProgressWithMax(double maximum);
    void setProgress(double value);
    double progress() const { return mProgress; }
    // The bar shows (the row has not shown its date yet).
    bool isProgressVisible() const;
    bool isProgressIndeterminate() const;
    void endProgress(bool animate);
    // Hides the bar and shows the completion date.
    void completed();
    bool isCompleted() const { return mIsCompleted; }
    bool isDateShown() const;

    void setSelectedView(bool selected);
    bool isSelectedView() const { return mIsSelected; }

    // The controls, for tests and the accessibility tree.
    KCImageButton *acceptButton() const { return mAcceptButton; }
    KCImageButton *rejectButton() const { return mRejectButton; }
    KCImageButton *openButton() const { return mOpenButton; }
    // Null in global mode.
    KCImageButton *mailButton() const { return mMailButton; }
    QProgressBar *indicator() const { return mIndicator; }
    TransferTextLine *idLine() const { return mTextIDInfo; }
    TransferTextLine *fileLine() const { return mTextFileInfo; }
    TransferTextLine *transferLine() const { return mTextTransferInfo; }
    TransferTextLine *dateLine() const { return mTextDateInfo; }

    QSize sizeHint() const override;

protected:
    void resizeEvent(QResizeEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void layoutControls();
    void restyle();

    TransferProgressViewDelegate *mDelegate = nullptr; // not owned
    QIcon mIconImage;
    QProgressBar *mIndicator;
    KCImageButton *mOpenButton;
    KCImageButton *mAcceptButton;
    KCImageButton *mRejectButton;
    KCImageButton *mMailButton = nullptr;
    TransferTextLine *mTextIDInfo;
    TransferTextLine *mTextFileInfo;
    TransferTextLine *mTextTransferInfo;
    TransferTextLine *mTextDateInfo;
    QTimer *mCompletionTimer;
    QString mFileCookie;
    int mTransferType = 0;
    int mTransferButtonType = 0;
    double mProgress = 0;
    bool mIsSelected = false;
    bool mIsCompleted = false;
};

} // namespace parley
