#include "KCAlertWindow.h"

#include "ImageRegistry.h"
#include "Utils/KCUtilities.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QTextEdit>
#include <QVBoxLayout>

using parley::KCLocalizedString;

namespace {

QPointer<KCAlertWindow> &sharedSlot()
{
    static QPointer<KCAlertWindow> slot;
    return slot;
}

} // namespace

QPixmap KCAlertIcon(const QWidget *widget)
{
    const QImage own = ImageRegistry::image(QStringLiteral("alert_icon"));
    if (!own.isNull()) {
        QPixmap icon = QPixmap::fromImage(own.scaled(96, 96, Qt::KeepAspectRatio, Qt::SmoothTransformation));
        icon.setDevicePixelRatio(2.0);
        return icon;
    }
    return widget->style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(48, 48);
}

KCAlertWindow::KCAlertWindow(QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(QString());

    mImageView = new QLabel(this);
    setIcon(KCAlertIcon(this));
    mImageView->setAlignment(Qt::AlignTop | Qt::AlignHCenter);
    mTextField = new QLabel(this);
    mTextField->setTextFormat(Qt::PlainText);
    mTextField->setWordWrap(true);
    mTextField->setTextInteractionFlags(Qt::TextSelectableByMouse);
    mTextField->setMinimumWidth(300);
    mTextField->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    mOKButton = new QPushButton(KCLocalizedString(QStringLiteral("OK")), this);
    mOKButton->setDefault(true);
    mDetailButton = new QPushButton(KCLocalizedString(QStringLiteral("Detail")), this);
    mDetailButton->setAutoDefault(false);
    connect(mOKButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(mDetailButton, &QPushButton::clicked, this, &KCAlertWindow::toggleDetail);

    mDetailView = new QWidget(this);
    mDetailView->setFixedHeight(kDetailHeight);
    mBox = new QFrame(mDetailView);
    mBox->setFrameShape(QFrame::StyledPanel);
    mTextView = new QTextEdit(mBox);
    mTextView->setReadOnly(true);
    mTextView->setAcceptRichText(false);
    auto *boxLayout = new QVBoxLayout(mBox);
    boxLayout->setContentsMargins(1, 1, 1, 1);
    boxLayout->addWidget(mTextView);
    auto *detailLayout = new QVBoxLayout(mDetailView);
    detailLayout->setContentsMargins(0, 0, 0, 0);
    detailLayout->addWidget(mBox);

    auto *top = new QHBoxLayout;
    top->addWidget(mImageView, 0, Qt::AlignTop);
    top->addWidget(mTextField, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(mDetailButton);
    buttons->addStretch(1);
    buttons->addWidget(mOKButton);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addLayout(buttons);
    layout->addWidget(mDetailView);

    // Opens folded: laid out with the detail, then folded once.
    adjustSize();
    mShown = false;
    toggleDetail();
}

KCAlertWindow *KCAlertWindow::defaultController()
{
    QPointer<KCAlertWindow> &slot = sharedSlot();
    if (!slot) {
        slot = new KCAlertWindow;
        slot->setAttribute(Qt::WA_DeleteOnClose);
    }
    return slot;
}

void KCAlertWindow::setMessageString(const QString &message, const QString &content)
{
    mMessageString = message;
    mContentString = content;
    mTextField->setText(message);
    mTextView->setPlainText(content);
}

void KCAlertWindow::setIcon(const QPixmap &icon) { mImageView->setPixmap(icon); }

void KCAlertWindow::showWindow()
{
    show();
    raise();
    activateWindow();
}

void KCAlertWindow::toggleDetail()
{
    const int d = mDetailView->height();
    originRect = geometry();
    if (!mShown) {
        mBox->hide();
        mDetailView->hide();
        // The minimum size follows the layout: let it drop before shrinking.
        layout()->activate();
        resize(originRect.width(), originRect.height() - d);
    } else {
        // The layout's minimum grows with the detail shown: make room first.
        resize(originRect.width(), originRect.height() + d);
        mBox->show();
        mDetailView->show();
    }
    mShown = !mShown;
}
