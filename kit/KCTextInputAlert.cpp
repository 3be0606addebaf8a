#include "KCTextInputAlert.h"

#include "KCAlertWindow.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

KCTextInputAlert::KCTextInputAlert(QWidget *parent)
    : QDialog(parent),
      mImageView(new QLabel(this)),
      mTitleField(new QLabel(this)),
      mMessageField(new QLabel(this)),
      mFieldMessage(new QLabel(this)),
      mFieldLabel(new QLabel(this)),
      mTextField(new QLineEdit(this)),
      mAccessory(new QTextBrowser(this)),
      mAccessoryRow(new QHBoxLayout),
      mCheckBox(new QCheckBox(this)),
      mButtonRow(new QHBoxLayout)
{
    setObjectName(QStringLiteral("KCTextInputAlert"));
    mImageView->setPixmap(KCAlertIcon(this));
    mImageView->setAlignment(Qt::AlignTop);
    mFieldMessage->setObjectName(QStringLiteral("fieldMessage"));
    mFieldLabel->setObjectName(QStringLiteral("fieldLabel"));
    mFieldLabel->setBuddy(mTextField);
    mFieldMessage->hide();
    mFieldLabel->hide();
    for (QLabel *label : {mTitleField, mMessageField, mFieldMessage, mFieldLabel}) {
        label->setTextFormat(Qt::PlainText);
        label->setWordWrap(true);
    }
    QFont bold = mTitleField->font();
    bold.setBold(true);
    mTitleField->setFont(bold);
    mTextField->setObjectName(QStringLiteral("textField"));
    mTextField->setEchoMode(QLineEdit::Password);
    mAccessory->setObjectName(QStringLiteral("accessoryView"));
    mAccessory->setOpenExternalLinks(true);
    mAccessory->setFrameShape(QFrame::NoFrame);
    // The text sits on the dialog, not in a box of its own.
    QPalette accessoryPalette = mAccessory->palette();
    accessoryPalette.setColor(QPalette::Base, accessoryPalette.color(QPalette::Window));
    mAccessory->setPalette(accessoryPalette);
    mAccessory->setMaximumHeight(90);
    mAccessory->hide();
    mCheckBox->setObjectName(QStringLiteral("checkBox"));
    mCheckBox->hide();
    mAccessoryRow->addStretch(1);

    auto *texts = new QVBoxLayout;
    texts->addWidget(mTitleField);
    texts->addWidget(mMessageField);
    texts->addWidget(mFieldMessage);
    auto *field = new QHBoxLayout;
    field->addWidget(mFieldLabel);
    field->addWidget(mTextField, 1);
    texts->addLayout(field);
    texts->addWidget(mAccessory);
    texts->addLayout(mAccessoryRow);
    texts->addWidget(mCheckBox);
    auto *top = new QHBoxLayout;
    top->addWidget(mImageView);
    top->addLayout(texts, 1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    mButtonRow->addStretch(1);
    layout->addLayout(mButtonRow);
    setMinimumWidth(380);
    mTextField->setFocus();
}

void KCTextInputAlert::setTitle(const QString &title)
{
    mTitleField->setText(title);
    setWindowTitle(title);
}

void KCTextInputAlert::setMessage(const QString &message)
{
    mMessageField->setText(message);
    mMessageField->setVisible(!message.isEmpty());
}

void KCTextInputAlert::setFieldTexts(const QString &message, const QString &label)
{
    mFieldMessage->setText(message);
    mFieldMessage->setVisible(!message.isEmpty());
    mFieldLabel->setText(label);
    mFieldLabel->setVisible(!label.isEmpty());
    mFieldLabel->setWordWrap(false);
}

void KCTextInputAlert::setAccessoryHtml(const QString &html)
{
    mAccessory->setHtml(html);
    mAccessory->setVisible(!html.isEmpty());
}

void KCTextInputAlert::setButtons(const QStringList &titles)
{
    qDeleteAll(mButtons);
    mButtons.clear();
    // The default (first) button sits rightmost.
    for (int i = int(titles.size()) - 1; i >= 0; --i) {
        auto *button = new QPushButton(titles.at(i), this);
        mButtonRow->addWidget(button);
        connect(button, &QPushButton::clicked, this, [this, i] {
            mClicked = i;
            accept();
        });
        if (i == 0)
            button->setDefault(true);
        mButtons.prepend(button);
    }
}

QString KCTextInputAlert::text() const { return mTextField->isHidden() ? QString() : mTextField->text(); }

bool KCTextInputAlert::isChecked() const { return !mCheckBox->isHidden() && mCheckBox->isChecked(); }

void KCTextInputAlert::setTextFieldShown(bool shown) { mTextField->setVisible(shown); }

void KCTextInputAlert::setImage(const QPixmap &image) { mImageView->setPixmap(image); }

void KCTextInputAlert::setCheckBox(const QString &text, bool checked)
{
    mCheckBox->setText(text);
    mCheckBox->setChecked(checked);
    mCheckBox->setVisible(!text.isEmpty());
}

void KCTextInputAlert::addAccessoryButton(const QString &title, std::function<void()> action)
{
    auto *button = new QPushButton(title, this);
    button->setAutoDefault(false); // Return stays with the default button
    connect(button, &QPushButton::clicked, this, [action = std::move(action)] {
        if (action)
            action();
    });
    mAccessoryRow->insertWidget(mAccessoryRow->count() - 1, button);
    mAccessoryButtons.append(button);
}
