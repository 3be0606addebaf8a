#pragma once

// A tab's tool bar: export, delete, refresh and help buttons, and on a search
// bar the search field with its template menu and search button.

#include "KCToolbarView.h"

class QLineEdit;
class QMenu;
class QPushButton;
class QToolButton;

namespace pigeonhole {

class KCSearchView;
class PGHBoxDataSource;

class PGHBoxToolbar : public KCToolbarView
{
    Q_OBJECT

public:
    explicit PGHBoxToolbar(PGHBoxDataSource &dataSource, QWidget *parent = nullptr);

    QPushButton *saveButton() const { return mSave; }
    QPushButton *deleteButton() const { return mDelete; }
    QPushButton *refreshButton() const { return mRefresh; }
    QPushButton *helpButton() const { return mHelp; }
    QLineEdit *searchField() const { return mSearchField; }
    QToolButton *templateButton() const { return mTemplateButton; }
    QPushButton *searchButton() const { return mSearchButton; }
    KCSearchView *searchView() const { return mSearchView; }

Q_SIGNALS:
    void saveClicked();
    void deleteClicked();
    void refreshClicked();
    void helpClicked();

private:
    void showTemplate();

    PGHBoxDataSource &mDataSource;
    QPushButton *mSave;
    QPushButton *mDelete;
    QPushButton *mRefresh;
    QPushButton *mHelp;
    QToolButton *mTemplateButton;
    QMenu *mTemplateMenu;
    QLineEdit *mSearchField;
    QPushButton *mSearchButton;
    KCSearchView *mSearchView;
};

} // namespace pigeonhole
