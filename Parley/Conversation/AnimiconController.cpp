#include "AnimiconController.h"

#include "AnimiconManager.h"
#include "AnimiconPaletteLayout.h"
#include "KCFonts.h"
#include "KCPaletteTabButton.h"
#include "Utils/KCUtilities.h"
#include "WebWindowController.h"

#include <QKeyEvent>
#include <QLabel>
#include <QToolButton>

namespace {

constexpr int kBoxWidth = 60;
constexpr int kBoxHeight = 227;
constexpr int kGridWidth = 210;
constexpr int kTitleHeight = 22;

const char kTabOn[] = "tab_on_animicon";
const char kTabOff[] = "tab_off_animicon";
// The user's own animicons have no tab.
const char kMyAnimiconID[] = "myanico";

} // namespace

AnimiconController *AnimiconController::defaultController()
{
    static QPointer<AnimiconController> palette;
    if (!palette)
        palette = new AnimiconController;
    return palette;
}

AnimiconController::AnimiconController() : QWidget(nullptr, Qt::Popup | Qt::FramelessWindowHint)
{
    setFixedSize(kBoxWidth + kGridWidth, kTitleHeight + kBoxHeight);
    setAutoFillBackground(true);

    mTitleField = new QLabel(parley::KCLocalizedString(QStringLiteral("AnimiconTitle")), this);
    mTitleField->setGeometry(8, 0, width() - 40, kTitleHeight);
    QFont titleFont = KCPaletteFont(12);
    titleFont.setBold(true);
    mTitleField->setFont(titleFont);

    auto *closeButton = new QToolButton(this);
    closeButton->setText(QStringLiteral("\u2715"));
    closeButton->setToolTip(parley::KCLocalizedString(QStringLiteral("PaletteClose")));
    closeButton->setAccessibleName(closeButton->toolTip());
    closeButton->setAutoRaise(true);
    closeButton->setGeometry(width() - 22, 1, 20, 20);
    connect(closeButton, &QToolButton::clicked, this, &AnimiconController::closeAction);

    mBox = new QWidget(this);
    mBox->setGeometry(0, kTitleHeight, kBoxWidth, kBoxHeight);
    mAnimiconView = new KCAnimiconPaletteView(this);
    mAnimiconView->setGeometry(kBoxWidth, kTitleHeight, kGridWidth, kBoxHeight);

    // A catalogue that arrives while the palette is open fills it.
    connect(&AnimiconManager::sharedManager(), &AnimiconManager::catalogueUpdated, this, [this] {
        reloadAnimiconCategories();
        if (!mIsWindowLoaded)
            windowDidLoad();
    });
    reloadAnimiconCategories();
}

AnimiconController::~AnimiconController() = default;

QRect AnimiconController::frameForPoint(const QPoint &point, const QSize &size)
{
    // The palette's top edge lies one point above the given point.
    return QRect(QPoint(point.x(), point.y() - 1), size);
}

void AnimiconController::reloadAnimiconCategories()
{
    for (KCPaletteTabButton *tab : mTabArray)
        delete tab;
    mTabArray.clear();
    const AnimiconManager &manager = AnimiconManager::sharedManager();
    QList<bool> visible;
    for (int i = 0; i < manager.categoryCount(); ++i) {
        const AnimiconCategory *category = manager.categoryWithIndex(i);
        visible.push_back(category->categoryID() != QLatin1String(kMyAnimiconID) && category->isShow()
                          && !category->isAd());
    }
    mTabArray = QList<KCPaletteTabButton *>(visible.size(), nullptr);
    for (const AnimiconPaletteLayout::Tab &tab : AnimiconPaletteLayout::tabs(visible)) {
        auto *button = new KCPaletteTabButton(manager.categoryWithIndex(tab.categoryIndex)->title(), mBox);
        button->setGeometry(AnimiconPaletteLayout::toWidget(tab.frame, kBoxHeight));
        button->setImageName(QLatin1String(tab.selected ? kTabOn : kTabOff));
        button->setChecked(tab.selected);
        const int index = tab.categoryIndex;
        connect(button, &KCPaletteTabButton::clicked, this, [this, index] { animiconCategoryAction(index); });
        button->show();
        mTabArray[index] = button;
    }
}

void AnimiconController::animiconCategoryAction(int categoryIndex)
{
    for (qsizetype i = 0; i < mTabArray.size(); ++i) {
        if (!mTabArray[i])
            continue;
        mTabArray[i]->setImageName(QLatin1String(i == categoryIndex ? kTabOn : kTabOff));
        mTabArray[i]->setChecked(i == categoryIndex);
    }
    mAnimiconView->setCategory(AnimiconManager::sharedManager().categoryWithIndex(categoryIndex));
    mAnimiconView->updateView();
}

void AnimiconController::windowDidLoad()
{
    AnimiconManager &manager = AnimiconManager::sharedManager();
    manager.updateAnimicon();
    if (manager.categoryCount() == 0)
        return; // asked for; the catalogue's arrival comes back here
    mAnimiconView->setDelegate(this);
    mAnimiconView->setCategory(manager.categoryWithIndex(0));
    mAnimiconView->updateView();
    mIsWindowLoaded = true;
}

void AnimiconController::showAnimiconPalette(const QPoint &point, AnimiconPaletteDelegate *delegate)
{
    mDelegate = delegate;
    setGeometry(frameForPoint(point, size()));
    if (!mIsWindowLoaded)
        windowDidLoad();
    show();
    raise();
    activateWindow();
    mAnimiconView->setFocus();
}

WebWindowController *AnimiconController::playAnimicon(const QString &animiconUrl, QWidget *window)
{
    if (!mIsWindowLoaded)
        AnimiconManager::sharedManager().updateAnimicon();
    return WebWindowController::showAnimicon(animiconUrl, window);
}

void AnimiconController::animiconPaletteViewDidSelectAnimicon(KCAnimiconPaletteView *view, const QString &animiconUrl,
                                                              const QString &animiconThumbUrl,
                                                              const QString &animiconName, const QString &categoryID,
                                                              const QString &animiconID)
{
    // Without a delegate the palette stays open: nothing takes the choice.
    if (!mDelegate)
        return;
    mDelegate->animiconPaletteViewDidSelectAnimicon(view, animiconUrl, animiconThumbUrl, animiconName, categoryID,
                                                    animiconID);
    close();
}

void AnimiconController::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}
