#include "BuddyListView.h"

#include "BuddyTabView.h"
#include "KCOutlineView.h"

#include <QVBoxLayout>

namespace parley {

BuddyListView::BuddyListView(QWidget *parent)
    : QWidget(parent), mOutline(new KCOutlineView(this)), mTabBar(new BuddyTabView(this)), mContent(new QWidget(this))
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(mOutline, 1);
    layout->addWidget(mTabBar);
    auto *contentLayout = new QVBoxLayout(mContent);
    contentLayout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(mContent);
    mContent->hide();
    mTabBar->setContentView(mContent);
}

} // namespace parley
