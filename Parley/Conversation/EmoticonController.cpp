#include "EmoticonController.h"

#include "EmoticonPaletteLayout.h"
#include "EmoticonPaletteSource.h"
#include "KCFonts.h"
#include "KCPaletteTabButton.h"
#include "Utils/KCUtilities.h"

#include <QKeyEvent>
#include <QLabel>
#include <QToolButton>

namespace {

constexpr int kTabWidth = 87;
constexpr int kTabBoxHeight = 226;
constexpr int kGridWidth = 222;
constexpr int kTitleHeight = 22;

std::function<void()> &preferencesHandler()
{
    static std::function<void()> handler;
    return handler;
}

QPointer<EmoticonController> &sharedPalette()
{
    static QPointer<EmoticonController> palette;
    return palette;
}

const char kTabOn[] = "tab_on_emoticon";
const char kTabOff[] = "tab_off_e";

} // namespace

EmoticonController *EmoticonController::defaultController()
{
    QPointer<EmoticonController> &palette = sharedPalette();
    if (!palette)
        palette = new EmoticonController(defaultEmoticonPaletteSource());
    return palette;
}

EmoticonController::EmoticonController(const EmoticonPaletteSource *source)
    : QWidget(nullptr, Qt::Popup | Qt::FramelessWindowHint), mSource(source)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(kTabWidth + kGridWidth, kTitleHeight + kTabBoxHeight);
    setAutoFillBackground(true);

    mTitleField = new QLabel(parley::KCLocalizedString(QStringLiteral("EmoticonTitle")), this);
    mTitleField->setGeometry(8, 0, width() - 60, kTitleHeight);
    QFont titleFont = KCPaletteFont(12);
    titleFont.setBold(true);
    mTitleField->setFont(titleFont);

    mPreferencesButton = new QToolButton(this);
    mPreferencesButton->setText(QStringLiteral("\u2699"));
    mPreferencesButton->setToolTip(parley::KCLocalizedString(QStringLiteral("PalettePreferences")));
    mPreferencesButton->setAccessibleName(mPreferencesButton->toolTip());
    mPreferencesButton->setAutoRaise(true);
    mPreferencesButton->setGeometry(width() - 44, 1, 20, 20);
    mPreferencesButton->setVisible(bool(preferencesHandler()));
    connect(mPreferencesButton, &QToolButton::clicked, this, &EmoticonController::preferenceAction);

    auto *closeButton = new QToolButton(this);
    closeButton->setText(QStringLiteral("\u2715"));
    closeButton->setToolTip(parley::KCLocalizedString(QStringLiteral("PaletteClose")));
    closeButton->setAccessibleName(closeButton->toolTip());
    closeButton->setAutoRaise(true);
    closeButton->setGeometry(width() - 22, 1, 20, 20);
    connect(closeButton, &QToolButton::clicked, this, &EmoticonController::closeAction);

    mBackView = new QWidget(this);
    mBackView->setGeometry(0, kTitleHeight, kTabWidth, kTabBoxHeight);

    mEmoticonPalette = new KCEmoticonPaletteView(mSource, this);
    mEmoticonPalette->setGeometry(kTabWidth, kTitleHeight, kGridWidth, kTabBoxHeight);
    mEmoticonPalette->setDelegate(this);
    mEmoticonPalette->setAccessibleName(mTitleField->text());

    reloadEmoticonCategories();
}

EmoticonController::~EmoticonController() = default;

void EmoticonController::setPreferencesHandler(std::function<void()> handler)
{
    preferencesHandler() = std::move(handler);
}

QRect EmoticonController::frameForPoint(const QPoint &point, const QSize &size)
{
    // The palette's top edge lies one point above the given point.
    return QRect(QPoint(point.x(), point.y() - 1), size);
}

void EmoticonController::reloadEmoticonCategories()
{
    qDeleteAll(mTabArray);
    mTabArray.clear();
    const QStringList categories = mSource ? mSource->emoticonLocalCategories() : QStringList();
    const QList<QRect> frames = EmoticonPaletteLayout::tabFrames(int(categories.size()));
    for (qsizetype i = 0; i < categories.size(); ++i) {
        auto *tab = new KCPaletteTabButton(categories[i], mBackView);
        tab->setGeometry(EmoticonPaletteLayout::toWidget(frames[i], kTabBoxHeight));
        tab->setImageName(QLatin1String(i == 0 ? kTabOn : kTabOff));
        tab->setChecked(i == 0);
        tab->setProperty("categoryIndex", int(i));
        connect(tab, &KCPaletteTabButton::clicked, this, [this, tab] { emoticonCategoryAction(tab); });
        tab->show();
        mTabArray.append(tab);
    }
}

void EmoticonController::emoticonCategoryAction(KCPaletteTabButton *tab)
{
    for (KCPaletteTabButton *each : mTabArray) {
        each->setImageName(QLatin1String(each == tab ? kTabOn : kTabOff));
        each->setChecked(each == tab);
    }
    mEmoticonPalette->setEmoticonCategory(tab->text());
}

void EmoticonController::showEmoticonPalette(const QPoint &point, EmoticonPaletteDelegate *delegate)
{
    mDelegate = delegate;
    setGeometry(frameForPoint(point, size()));
    if (mIsFirstShow) {
        if (!mTabArray.isEmpty())
            emoticonCategoryAction(mTabArray.first());
        mIsFirstShow = false;
    }
    show();
    raise();
    activateWindow();
    mEmoticonPalette->setFocus();
}

void EmoticonController::preferenceAction()
{
    if (preferencesHandler())
        preferencesHandler()();
    close();
}

void EmoticonController::emoticonPaletteViewDidSelectEmoticon(KCEmoticonPaletteView *view, const QString &token)
{
    if (mDelegate)
        mDelegate->emoticonPaletteViewDidSelectEmoticon(view, token);
    close();
}

void EmoticonController::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}
