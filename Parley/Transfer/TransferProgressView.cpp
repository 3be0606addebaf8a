#include "TransferProgressView.h"

#include "TransferButtonTable.h"
#include "TransferRowLayout.h"
#include "TransferTextLine.h"

#include "Chat/ChatText.h"
#include "KCDefaultFont.h"
#include "KCImageButton.h"
#include "Utils/KCUtilities.h"

#include <QDateTime>
#include <QPainter>
#include <QProgressBar>
#include <QTimer>

#include <atomic>

namespace parley {

namespace {

std::atomic<int> gCompletionDelay{TransferProgressView::kCompletionDelayMs};

KCImageButton *makeButton(const char *image, const char *tip, QWidget *parent)
{
    auto *button = new KCImageButton(QLatin1String(image), QLatin1String(image) + QStringLiteral("Sel"), parent);
    button->setToolTipText(KCLocalizedString(QLatin1String(tip)));
    return button;
}

void apply(KCImageButton *button, const TransferButtonState &state)
{
    if (!button)
        return;
    button->setVisible(state.visible);
    button->setEnabled(state.enabled);
}

} // namespace

void TransferProgressView::setCompletionDelay(int milliseconds) { gCompletionDelay = milliseconds; }

TransferProgressView::TransferProgressView(bool globalMode, QWidget *parent)
    : QWidget(parent),
      mIndicator(new QProgressBar(this)),
      mOpenButton(makeButton("OpenButton", "ToolTipOpen", this)),
      mAcceptButton(makeButton("DownButton", "ToolTipAccept", this)),
      mRejectButton(makeButton("StopButton", "ToolTipReject", this)),
      mTextIDInfo(new TransferTextLine(this)),
      mTextFileInfo(new TransferTextLine(this)),
      mTextTransferInfo(new TransferTextLine(this)),
      mTextDateInfo(new TransferTextLine(this)),
      mCompletionTimer(new QTimer(this))
{
    // The mail button exists only outside global mode.
    if (!globalMode)
        mMailButton = makeButton("MailButton", "ToolTipMail", this);
    mIndicator->setTextVisible(false);
    mIndicator->setRange(0, 100);
    mIndicator->setValue(0);
    mTextDateInfo->hide();
    mCompletionTimer->setSingleShot(true);
    connect(mCompletionTimer, &QTimer::timeout, this, &TransferProgressView::completed);
    const auto report = [this](KCImageButton *button, void (TransferProgressViewDelegate::*call)(TransferProgressView *, const QString &)) {
        if (button)
            connect(button, &QAbstractButton::clicked, this, [this, call] {
                if (mDelegate)
                    (mDelegate->*call)(this, mFileCookie);
            });
    };
    report(mAcceptButton, &TransferProgressViewDelegate::transferViewAccept);
    report(mRejectButton, &TransferProgressViewDelegate::transferViewReject);
    report(mOpenButton, &TransferProgressViewDelegate::transferViewOpen);
    report(mMailButton, &TransferProgressViewDelegate::transferViewMail);
    resize(TransferRowLayout::kDefaultWidth, TransferRowLayout::kHeight);
    restyle();
    layoutControls();
}

QSize TransferProgressView::sizeHint() const { return {TransferRowLayout::kDefaultWidth, TransferRowLayout::kHeight}; }

void TransferProgressView::resizeEvent(QResizeEvent *) { layoutControls(); }

void TransferProgressView::layoutControls()
{
    const TransferRowFrames f = TransferRowLayout::frames(width());
    mTextTransferInfo->setGeometry(f.transferText);
    mIndicator->setGeometry(f.indicator);
    mTextDateInfo->setGeometry(f.dateText);
    mTextFileInfo->setGeometry(f.fileText);
    mTextIDInfo->setGeometry(f.idText);
    mAcceptButton->setGeometry(f.accept);
    if (mMailButton)
        mMailButton->setGeometry(f.mail);
    mRejectButton->setGeometry(f.reject);
    mOpenButton->setGeometry(f.open);
}

void TransferProgressView::setIconImage(const QIcon &icon)
{
    mIconImage = icon;
    update();
}

void TransferProgressView::setTranferButtonType(int type)
{
    if (type == mTransferButtonType)
        return;
    mTransferButtonType = type;
    const std::optional<TransferButtons> buttons = TransferButtons::forType(type);
    if (!buttons)
        return;
    apply(mAcceptButton, buttons->accept);
    apply(mRejectButton, buttons->reject);
    apply(mOpenButton, buttons->open);
    apply(mMailButton, buttons->mail);
}

void TransferProgressView::setIDText(const QString &text) { mTextIDInfo->setText(text); }
void TransferProgressView::setFileText(const QString &text) { mTextFileInfo->setText(text); }

void TransferProgressView::setTransferText(const QString &text)
{
    mTextTransferInfo->setText(text);
    if (parentWidget())
        parentWidget()->update();
}

QString TransferProgressView::idText() const { return mTextIDInfo->text(); }
QString TransferProgressView::fileText() const { return mTextFileInfo->text(); }
QString TransferProgressView::transferText() const { return mTextTransferInfo->text(); }
QString TransferProgressView::dateText() const { return mTextDateInfo->text(); }

void TransferProgressView::startProgressWithMax(double maximum)
{
    mIndicator->setRange(0, int(maximum));
    mIndicator->setValue(int(mProgress));
}

void TransferProgressView::setProgress(double value)
{
    mProgress = value;
    if (mIndicator->maximum() > 0)
        mIndicator->setValue(int(value));
}

bool TransferProgressView::isProgressVisible() const { return !mIndicator->isHidden(); }

bool TransferProgressView::isProgressIndeterminate() const
{
    return mIndicator->minimum() == 0 && mIndicator->maximum() == 0;
}

void TransferProgressView::endProgress(bool animate)
{
    if (!animate) {
        completed();
        return;
    }
    mIsCompleted = true;
    mIndicator->setRange(0, 0);
    mCompletionTimer->start(gCompletionDelay.load());
}

void TransferProgressView::completed()
{
    mIndicator->hide();
    mTextDateInfo->setText(
        ChatText::localized("FileDateTime", {ChatText::dateString(QDateTime::currentDateTime(), false)}));
    mTextDateInfo->show();
    mIsCompleted = true;
    update();
}

bool TransferProgressView::isDateShown() const { return !mTextDateInfo->isHidden(); }

void TransferProgressView::setSelectedView(bool selected)
{
    mIsSelected = selected;
    restyle();
}

void TransferProgressView::restyle()
{
    const QColor text = mIsSelected ? QColor(Qt::white) : QColor(Qt::black);
    const QColor detail = mIsSelected ? QColor(Qt::white) : QColor(Qt::darkGray);
    mTextIDInfo->setStyle(GetDefaultFontOfSize(10), text);
    mTextFileInfo->setStyle(GetDefaultFontOfSize(10), text);
    mTextTransferInfo->setStyle(GetDefaultFontOfSize(9), detail);
    mTextDateInfo->setStyle(GetDefaultFontOfSize(9), detail);
}

void TransferProgressView::paintEvent(QPaintEvent *)
{
    if (mIconImage.isNull())
        return;
    QPainter painter(this);
    const QSize size(32, 32);
    const QPixmap pixmap = mIconImage.pixmap(size);
    painter.drawPixmap(5, (height() - pixmap.height() / int(pixmap.devicePixelRatio())) / 2, pixmap);
}

} // namespace parley
