#include "PGHMainWindow.h"

#include "KCToolbarView.h"
#include "PGHBoxToolbar.h"
#include "PGHBoxView.h"
#include "PGHChatDetailPane.h"
#include "PGHChatTreeDataSource.h"
#include "PGHExportFileName.h"
#include "PGHExportWriter.h"
#include "PGHFolderSheet.h"
#include "PGHMemoDetailPane.h"
#include "PGHMemoTreeDataSource.h"

#include "ImageRegistry.h"
#include "KCAlertPresenter.h"
#include "Utils/KCUtilities.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QStackedWidget>
#include <QStandardPaths>
#include <QStatusBar>
#include <QUndoStack>
#include <QVBoxLayout>

namespace pigeonhole {

using parley::KCLocalizedString;

PGHMainWindow::PGHMainWindow(PGHMemoTreeDataSource &memo, PGHChatTreeDataSource &chat, QUndoStack &undo, QWidget *parent)
    : QMainWindow(parent)
    , mMemo(memo)
    , mChat(chat)
    , mUndo(undo)
{
    setObjectName(QStringLiteral("PigeonholeWindow"));
    setWindowTitle(KCLocalizedString(QStringLiteral("Pigeonhole")));
    mMemo.setAlertParent(this);
    mChat.setAlertParent(this);

    mMemoDetail = new PGHMemoDetailPane;
    mChatDetail = new PGHChatDetailPane;
    mMemoView = new PGHBoxView(mMemo, mMemoDetail);
    mChatView = new PGHBoxView(mChat, mChatDetail);
    mMemoToolbar = new PGHBoxToolbar(mMemo);
    mChatToolbar = new PGHBoxToolbar(mChat);
    mToolbars = new QStackedWidget;
    mToolbars->addWidget(mMemoToolbar);
    mToolbars->addWidget(mChatToolbar);
    mBoxes = new QStackedWidget;
    mBoxes->addWidget(mMemoView);
    mBoxes->addWidget(mChatView);

    auto *central = new QWidget;
    auto *layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(buildTopBar());
    layout->addWidget(mToolbars);
    layout->addWidget(mBoxes, 1);
    setCentralWidget(central);

    buildActions();
    buildMenus();
    buildStatusLine();
    for (PGHBoxToolbar *bar : {mMemoToolbar, mChatToolbar}) {
        connect(bar, &PGHBoxToolbar::saveClicked, this, &PGHMainWindow::saveMessage);
        connect(bar, &PGHBoxToolbar::deleteClicked, this, [this] { currentDataSource().deleteMessage(); });
        connect(bar, &PGHBoxToolbar::refreshClicked, this, [this] { currentDataSource().refrash(); });
        connect(bar, &PGHBoxToolbar::helpClicked, this, &PGHMainWindow::helpRequested);
    }
    resize(820, 600);
    changeTab(0);
}

QWidget *PGHMainWindow::buildTopBar()
{
    auto *bar = new KCToolbarView;
    bar->setObjectName(QStringLiteral("tabBar"));
    const auto tab = [bar](const char *key, const char *name) {
        auto *b = new QPushButton(KCLocalizedString(QLatin1String(key)), bar);
        b->setObjectName(QLatin1String(name));
        b->setCheckable(true);
        b->setMinimumWidth(90);
        // The current tab reads bold.
        b->setStyleSheet(QStringLiteral("QPushButton:checked { font-weight: bold; }"));
        return b;
    };
    mMemoTab = tab("MemoBox", "memoTabButton");
    mChatTab = tab("ChatBox", "chatTabButton");
    connect(mMemoTab, &QPushButton::clicked, this, [this] { changeTab(0); });
    connect(mChatTab, &QPushButton::clicked, this, [this] { changeTab(1); });
    mInfoTop = new QPushButton(bar);
    mInfoTop->setObjectName(QStringLiteral("info_top"));
    mInfoTop->setFlat(true);
    connect(mInfoTop, &QPushButton::clicked, this, [this] { Q_EMIT webBoxRequested(mCurrentBox); });
    auto *layout = new QHBoxLayout(bar);
    layout->setContentsMargins(8, 6, 8, 0);
    layout->setSpacing(2);
    layout->addWidget(mMemoTab);
    layout->addWidget(mChatTab);
    layout->addStretch(1);
    layout->addWidget(mInfoTop);
    return bar;
}

void PGHMainWindow::changeTab(int box)
{
    mCurrentBox = box == 0 ? 0 : 1;
    mMemoTab->setChecked(mCurrentBox == 0);
    mChatTab->setChecked(mCurrentBox == 1);
    const QString image = mCurrentBox == 0 ? QStringLiteral("btn_go_memo") : QStringLiteral("btn_go_dialog");
    const QPixmap pixmap = ImageRegistry::pixmap(image);
    mInfoTop->setIcon(pixmap);
    mInfoTop->setIconSize(pixmap.isNull() ? QSize() : pixmap.deviceIndependentSize().toSize());
    mInfoTop->setText(pixmap.isNull() ? KCLocalizedString(mCurrentBox == 0 ? QStringLiteral("webMemoBox")
                                                                           : QStringLiteral("webChatBox"))
                                      : QString());
    mToolbars->setCurrentIndex(mCurrentBox);
    mBoxes->setCurrentIndex(mCurrentBox);
    validateActions();
}

PGHBoxDataSource &PGHMainWindow::currentDataSource()
{
    return mCurrentBox == 0 ? static_cast<PGHBoxDataSource &>(mMemo) : static_cast<PGHBoxDataSource &>(mChat);
}

void PGHMainWindow::addAction(PGHWindowAction which, const char *key, const QKeySequence &shortcut,
                              std::function<void()> handler)
{
    auto *a = new QAction(KCLocalizedString(QLatin1String(key)), this);
    a->setObjectName(QLatin1String(key));
    if (!shortcut.isEmpty())
        a->setShortcut(shortcut);
    connect(a, &QAction::triggered, this, std::move(handler));
    mActions.insert(which, a);
}

void PGHMainWindow::buildActions()
{
    using A = PGHWindowAction;
    addAction(A::NewFolder, "newFolder", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_N), [this] { openCreateFolderPanel(); });
    addAction(A::RenameFolder, "renameFolder", {}, [this] { openRenameFolderPanel(); });
    addAction(A::DeleteFolder, "deleteFolder", {}, [this] { currentDataSource().deleteMessageBox(); });
    addAction(A::ClearBox, "clearBox", {}, [this] { currentDataSource().clearMessageBox(); });
    addAction(A::Export, "export", QKeySequence::Save, [this] { saveMessage(); });
    addAction(A::Delete, "delete", QKeySequence::Delete, [this] { currentDataSource().deleteMessage(); });
    addAction(A::Read, "readMemo", QKeySequence(Qt::CTRL | Qt::Key_O), [this] {
        if (mCurrentBox == 0)
            mMemo.tableDoubleClickAction();
    });
    addAction(A::WriteMemo, "writeMemo", QKeySequence::New, [this] { Q_EMIT writeMemoRequested(); });
    addAction(A::MarkRead, "tvread", {}, [this] { mMemo.setMessageReadedStatus(); });
    addAction(A::MarkUnread, "tvunread", {}, [this] { mMemo.setMessageUnreadedStatus(); });
    addAction(A::Refresh, "refrash", QKeySequence::Refresh, [this] { currentDataSource().refrash(); });
    addAction(A::Help, "help", QKeySequence::HelpContents, [this] { Q_EMIT helpRequested(); });
    addAction(A::CloseWindow, "closeWindow", QKeySequence::Close, [this] { close(); });
    addAction(A::Quit, "quit", QKeySequence::Quit, [this] { Q_EMIT quitRequested(); });

    QAction *undo = mUndo.createUndoAction(this, KCLocalizedString(QStringLiteral("undo")));
    undo->setShortcut(QKeySequence::Undo);
    mActions.insert(A::Undo, undo);
    QAction *redo = mUndo.createRedoAction(this, KCLocalizedString(QStringLiteral("redo")));
    redo->setShortcut(QKeySequence::Redo);
    mActions.insert(A::Redo, redo);
    for (QAction *a : std::as_const(mActions))
        QWidget::addAction(a); // shortcuts work with the menu bar hidden too
}

void PGHMainWindow::buildMenus()
{
    using A = PGHWindowAction;
    QMenu *file = menuBar()->addMenu(KCLocalizedString(QStringLiteral("menuFile")));
    for (A a : {A::NewFolder, A::RenameFolder, A::DeleteFolder})
        file->addAction(action(a));
    file->addSeparator();
    for (A a : {A::Export, A::Delete, A::ClearBox})
        file->addAction(action(a));
    file->addSeparator();
    file->addAction(action(A::CloseWindow));
    file->addAction(action(A::Quit));
    QMenu *edit = menuBar()->addMenu(KCLocalizedString(QStringLiteral("menuEdit")));
    edit->addAction(action(A::Undo));
    edit->addAction(action(A::Redo));
    QMenu *message = menuBar()->addMenu(KCLocalizedString(QStringLiteral("menuMessage")));
    for (A a : {A::Read, A::WriteMemo, A::MarkRead, A::MarkUnread, A::Refresh})
        message->addAction(action(a));
    QMenu *help = menuBar()->addMenu(KCLocalizedString(QStringLiteral("help")));
    help->addAction(action(A::Help));

    // Context menus: the folder outline's and the table's, one pair per tab.
    for (PGHBoxView *view : {mMemoView, mChatView}) {
        auto *outlineMenu = new QMenu(view);
        for (A a : {A::NewFolder, A::RenameFolder, A::DeleteFolder, A::ClearBox})
            outlineMenu->addAction(action(a));
        auto *tableMenu = new QMenu(view);
        if (view == mMemoView)
            tableMenu->addAction(action(A::Read));
        for (A a : {A::Export, A::Delete})
            tableMenu->addAction(action(a));
        if (view == mMemoView) {
            tableMenu->addSeparator();
            tableMenu->addAction(action(A::MarkRead));
            tableMenu->addAction(action(A::MarkUnread));
        }
        view->setMenus(outlineMenu, tableMenu);
        connect(outlineMenu, &QMenu::aboutToShow, this, &PGHMainWindow::validateActions);
        connect(tableMenu, &QMenu::aboutToShow, this, &PGHMainWindow::validateActions);
    }
    for (QMenu *menu : {file, edit, message, help})
        connect(menu, &QMenu::aboutToShow, this, &PGHMainWindow::validateActions);
}

void PGHMainWindow::buildStatusLine()
{
    mUpgradeText = new QLabel(KCLocalizedString(QStringLiteral("storeUpgrading")));
    mUpgradeText->setObjectName(QStringLiteral("upgradeText"));
    mUpgradeText->setWordWrap(true);
    mUpgradeStep = new QLabel;
    mUpgradeStep->setObjectName(QStringLiteral("upgradeStep"));
    // How long a step takes is not known: the bar only shows that it goes on.
    mUpgradeBar = new QProgressBar;
    mUpgradeBar->setObjectName(QStringLiteral("upgradeBar"));
    mUpgradeBar->setRange(0, 0);
    mUpgradeBar->setMaximumWidth(160);
    QStatusBar *line = statusBar();
    line->setSizeGripEnabled(false);
    line->addWidget(mUpgradeText, 1);
    line->addPermanentWidget(mUpgradeStep);
    line->addPermanentWidget(mUpgradeBar);
    line->hide();
}

void PGHMainWindow::showStoreUpgrade(int step, int steps)
{
    mUpgradeStep->setText(step > 0 && steps > 0
                              ? KCLocalizedString(QStringLiteral("storeUpgradeStep")).arg(step).arg(steps)
                              : QString());
    statusBar()->show();
    validateActions();
}

void PGHMainWindow::endStoreUpgrade()
{
    statusBar()->hide();
    validateActions();
}

void PGHMainWindow::validateActions()
{
    using A = PGHWindowAction;
    const PGHMenuContext context = currentDataSource().menuContext();
    const std::pair<A, PGHMenuAction> ruled[] = {
        {A::NewFolder, PGHMenuAction::CreateFolder}, {A::RenameFolder, PGHMenuAction::RenameFolder},
        {A::DeleteFolder, PGHMenuAction::DeleteFolder}, {A::ClearBox, PGHMenuAction::ClearBox},
        {A::MarkRead, PGHMenuAction::MarkRead}, {A::MarkUnread, PGHMenuAction::MarkUnread},
    };
    for (const auto &[which, rule] : ruled) {
        const PGHMenuState state = PGHMenuValidation::validate(rule, context);
        action(which)->setEnabled(state.enabled);
        if (!state.titleKey.isEmpty())
            action(which)->setText(KCLocalizedString(state.titleKey));
    }
    action(A::Read)->setEnabled(mCurrentBox == 0);
    // Deleting changes the store too: off while it is only read.
    action(A::Delete)->setEnabled(!context.readOnly);
    for (PGHBoxToolbar *bar : {mMemoToolbar, mChatToolbar})
        bar->deleteButton()->setEnabled(!context.readOnly);
}

void PGHMainWindow::openCreateFolderPanel()
{
    auto *sheet = new PGHFolderSheet(PGHFolderSheet::Purpose::Create, QString(), this);
    sheet->setAttribute(Qt::WA_DeleteOnClose);
    connect(sheet, &QDialog::finished, this, [this, sheet](int result) {
        if (result == QDialog::Accepted)
            currentDataSource().createFolder(sheet->folderName());
        else
            currentDataSource().refrash();
    });
    sheet->open();
}

void PGHMainWindow::openRenameFolderPanel()
{
    PGHBoxDataSource &source = currentDataSource();
    const std::optional<PGHFolder> folder = source.selectedFolder();
    if (!folder || !source.canRenameSelected())
        return;
    auto *sheet = new PGHFolderSheet(PGHFolderSheet::Purpose::Rename, folder->folderName, this);
    sheet->setAttribute(Qt::WA_DeleteOnClose);
    connect(sheet, &QDialog::finished, this, [this, sheet](int result) {
        if (result == QDialog::Accepted)
            currentDataSource().renameSelectedFolder(sheet->folderName());
        else
            currentDataSource().refrash();
    });
    sheet->open();
}

void PGHMainWindow::saveMessage()
{
    const std::optional<PGHExportText> text = currentDataSource().exportSelection();
    if (!text)
        return;
    QString path;
    if (mChooser) {
        path = mChooser(text->proposedName);
    } else {
        const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        path = QFileDialog::getSaveFileName(this, KCLocalizedString(QStringLiteral("export")),
                                            QDir(folder).filePath(text->proposedName),
                                            KCLocalizedString(QStringLiteral("textFiles")) + QStringLiteral(" (*.txt)"));
    }
    path = PGHExportFileName::withTextSuffix(path);
    if (path.isEmpty())
        return;
    PGHExportWriter::write(path, text->text.toUtf8(), this, [this, path](bool ok, const QString &error) {
        if (!ok) {
            KCAlertRequest request;
            request.key = QStringLiteral("exportError");
            request.title = KCLocalizedString(QStringLiteral("Pigeonhole"));
            request.message = KCLocalizedString(QStringLiteral("exportError")).arg(path, error);
            request.style = KCAlertRequest::Style::Warning;
            request.parent = this;
            KCAlerts().show(request);
        }
        Q_EMIT exportFinished(path, ok);
    });
}

void PGHMainWindow::closeEvent(QCloseEvent *event)
{
    // Closing hides: the box keeps filing until the messenger ends it.
    event->ignore();
    hide();
}

} // namespace pigeonhole
