#include "PGHBoxToolbar.h"

#include "KCSearchView.h"
#include "PGHBoxDataSource.h"

#include "Utils/KCUtilities.h"

#include <QActionGroup>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QToolButton>

namespace pigeonhole {

using parley::KCLocalizedString;

PGHBoxToolbar::PGHBoxToolbar(PGHBoxDataSource &dataSource, QWidget *parent)
    : KCToolbarView(parent)
    , mDataSource(dataSource)
{
    const auto button = [this](const char *key) {
        auto *b = new QPushButton(KCLocalizedString(QLatin1String(key)), this);
        b->setObjectName(QLatin1String(key));
        b->setFocusPolicy(Qt::TabFocus);
        return b;
    };
    mSave = button("save");
    mDelete = button("delete");
    mRefresh = button("refrash");
    mHelp = button("help");
    connect(mSave, &QPushButton::clicked, this, &PGHBoxToolbar::saveClicked);
    connect(mDelete, &QPushButton::clicked, this, &PGHBoxToolbar::deleteClicked);
    connect(mRefresh, &QPushButton::clicked, this, &PGHBoxToolbar::refreshClicked);
    connect(mHelp, &QPushButton::clicked, this, &PGHBoxToolbar::helpClicked);

    // The search template menu: its checked item says what the field searches.
    mTemplateMenu = new QMenu(this);
    auto *group = new QActionGroup(mTemplateMenu);
    for (const QString &key : mDataSource.searchTemplates()) {
        QAction *action = mTemplateMenu->addAction(KCLocalizedString(key));
        action->setCheckable(true);
        action->setChecked(key == mDataSource.searchTemplate());
        action->setData(key);
        group->addAction(action);
        connect(action, &QAction::triggered, this, [this, key] {
            mDataSource.setSearchTemplate(key);
            showTemplate();
        });
    }
    mTemplateButton = new QToolButton;
    mTemplateButton->setObjectName(QStringLiteral("searchTemplate"));
    mTemplateButton->setMenu(mTemplateMenu);
    mTemplateButton->setPopupMode(QToolButton::InstantPopup);
    mTemplateButton->setToolButtonStyle(Qt::ToolButtonTextOnly);

    mSearchField = new QLineEdit;
    mSearchField->setObjectName(QStringLiteral("searchField"));
    mSearchField->setClearButtonEnabled(true);
    mSearchField->setMinimumWidth(140);
    mSearchButton = button("search");
    connect(mSearchField, &QLineEdit::textChanged, &mDataSource, &PGHBoxDataSource::setSearchText);
    connect(mSearchField, &QLineEdit::returnPressed, &mDataSource, &PGHBoxDataSource::search);
    connect(mSearchButton, &QPushButton::clicked, &mDataSource, &PGHBoxDataSource::search);
    connect(&mDataSource, &PGHBoxDataSource::searchTextReset, this, [this](const QString &text) {
        if (mSearchField->text() != text) {
            const QSignalBlocker block(mSearchField);
            mSearchField->setText(text);
        }
        showTemplate();
    });

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(8, 6, 8, 6);
    layout->setSpacing(4);
    for (QPushButton *b : {mSave, mDelete, mRefresh, mHelp})
        layout->addWidget(b);
    layout->addStretch(1);
    // The search field and its buttons sit on a bar of their own.
    mSearchView = new KCSearchView(this);
    mSearchView->setObjectName(QStringLiteral("searchView"));
    auto *search = new QHBoxLayout(mSearchView);
    search->setContentsMargins(6, 3, 6, 3);
    search->setSpacing(4);
    search->addWidget(mTemplateButton);
    search->addWidget(mSearchField);
    search->addWidget(mSearchButton);
    layout->addWidget(mSearchView);
    showTemplate();
}

void PGHBoxToolbar::showTemplate()
{
    mTemplateButton->setText(KCLocalizedString(mDataSource.searchTemplate()));
    for (QAction *action : mTemplateMenu->actions())
        action->setChecked(action->data().toString() == mDataSource.searchTemplate());
}

} // namespace pigeonhole
