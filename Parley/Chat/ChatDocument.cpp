#include "ChatDocument.h"

#include "ChatManager.h"
#include "ChatMemberMenuItem.h"
#include "ChatText.h"
#include "ChatToolbarConfiguration.h"

#include "BuddyList/BuddyListDragAndDrop.h"
#include "BuddyList/BuddyString.h"
#include "BuddyManagement/PLBuddyManager.h"
#include "BuddyManagement/PLMyInfoManager.h"
#include "ChatManagement/PLChatSessionManager.h"
#include "Shell/DesktopNoticeBridge.h"
#include "Shell/ShellWindows.h"
#include "Shell/UrlOpener.h"
#include "Conversation/AnimiconManager.h"
#include "Conversation/KCWebView.h"
#include "EmoticonManager.h"
#include "ImageRegistry.h"
#include "FileTransfer/PLFileTransferManager.h"
#include "KCAlertPresenter.h"
#include "KCDefaultFont.h"
#include "KCEmoticonView.h"
#include "NotificationCenter.h"
#include "NotificationNames.h"
#include "PlugInNotifications.h"
#include "UserDefaults.h"
#include "Utils/KCSounds.h"
#include "Utils/KCUtilities.h"
#include "Utils/PrefsManager.h"

#include <QAction>
#include <QActionGroup>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDragEnterEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QSignalBlocker>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextImageFormat>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace parley {

namespace n = notifications;

namespace {

constexpr char kChatFontName[] = "ChatFontName";
constexpr char kChatFontSize[] = "ChatFontSize";
constexpr double kDefaultFontSize = 11;
// The name lines' face and colour (0x444444).
constexpr char kNameFace[] = "AppleGothic";
constexpr char kNameColor[] = "4473924";

// The banner's colours.
const QColor kBannerBackground = QColor::fromRgbF(0.7686f, 0.8353f, 0.9176f);
const QColor kBannerText = QColor::fromRgbF(0.1882f, 0.3137f, 0.4667f);

QString currentUserID() { return PLMyInfoManager::sharedManager().loginID(); }

} // namespace

ChatDocument::ChatDocument(ChatManager &manager)
    : mManager(manager), mConversation(*this, *this)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setAcceptDrops(true);
    buildWindow();

    observe(n::kBuddyStringTypeChanged, [this](const QVariantMap &) { mConversation.buddyStringTypeChanged(); });
    observe(n::kBuddyManagerBuddyUpdated, [this](const QVariantMap &) { mConversation.buddyUpdated(); });
    observe(n::kMyStatusChanged, [this](const QVariantMap &) { mConversation.myStatusChanged(); });
    observe(n::kChatSessionWillClose, [this](const QVariantMap &info) {
        mConversation.sessionWillClose(info.value(QStringLiteral("sessionKey")).toString());
    });
    observe(n::kChatManagerColorChanged, [this](const QVariantMap &) { recolourInput(); });
    mConversation.start();
}

ChatDocument::~ChatDocument()
{
    for (quint64 token : std::as_const(mObservers))
        mManager.center().removeObserver(token);
    mMsgTextView->setDelegate(nullptr);
    mWebView->setDataSource(nullptr);
    if (!sessionKey().isEmpty() && mManager.rooms().isValidSessionKey(sessionKey()))
        mManager.rooms().setMessageReceiver(nullptr, sessionKey());
}

void ChatDocument::observe(const char *name, std::function<void(const QVariantMap &)> handler)
{
    mObservers << mManager.center().addObserver(this, QLatin1String(name), nullptr,
                                                [handler](const Notification &note) { handler(note.userInfo); });
}

void ChatDocument::buildWindow()
{
    setWindowTitle(KCLocalizedString(QStringLiteral("ChatTitle")));
    auto *central = new QWidget(this);
    auto *column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    // The toolbar: invite and send files.
    QToolBar *toolbar = addToolBar(QLatin1String(ChatToolbarConfiguration::kToolbarIdentifier));
    toolbar->setMovable(false);
    toolbar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    mInviteAction = toolbar->addAction(QIcon(ImageRegistry::pixmap(QStringLiteral("InviteButton"))),
                                       KCLocalizedString(QStringLiteral("ChatInvite")), this,
                                       &ChatDocument::runInvitePanel);
    mInviteAction->setToolTip(KCLocalizedString(QStringLiteral("ToolTipInviteBuddy")));
    mInviteAction->setData(QLatin1String(ChatToolbarConfiguration::kToolbarIdentifier));
    mSendFileAction = toolbar->addAction(QIcon(ImageRegistry::pixmap(QStringLiteral("FileButton"))),
                                         KCLocalizedString(QStringLiteral("ChatFileTrans")), this,
                                         &ChatDocument::runFilePanel);
    mSendFileAction->setToolTip(KCLocalizedString(QStringLiteral("ToolTipSendFile")));
    mSendFileAction->setData(QLatin1String(ChatToolbarConfiguration::kFileTransItemIdentifier));
    mToolbar = toolbar;
    mToolbar->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(mToolbar, &QToolBar::customContextMenuRequested, this,
            [this](const QPoint &at) { toolbarMenu()->popup(mToolbar->mapToGlobal(at)); });
    applyToolbarConfiguration();

    // The window's menu; saving a chat is not a toolbar item.
    QMenu *fileMenu = menuBar()->addMenu(KCLocalizedString(QStringLiteral("MenuFile")));
    mSaveChatAction = fileMenu->addAction(KCLocalizedString(QStringLiteral("SaveChat")), this,
                                          [this] { saveChatAction(); });
    mSaveChatAction->setShortcut(QKeySequence::Save);

    // The selected buddy's bar.
    auto *bar = new QWidget(central);
    bar->setAutoFillBackground(true);
    QPalette barPalette = bar->palette();
    barPalette.setColor(QPalette::Window, QColor(0xe8, 0xee, 0xf5));
    bar->setPalette(barPalette);
    auto *barRow = new QHBoxLayout(bar);
    barRow->setContentsMargins(6, 3, 6, 3);
    mIconImage = new QLabel(bar);
    mIconImage->setFixedSize(16, 16);
    mEmoticonView = new KCEmoticonView(bar);
    mEmoticonView->setTextSize(11);
    mEmoticonView->setMinimumHeight(KCEmoticonView::lineHeight() + 2);
    mEmoticonView->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    mOrchardButton = new QToolButton(bar);
    mOrchardButton->setIcon(QIcon(ImageRegistry::pixmap(QStringLiteral("home_on(16x16)"))));
    mOrchardButton->setAutoRaise(true);
    mOrchardButton->hide();
    connect(mOrchardButton, &QToolButton::clicked, this, &ChatDocument::openBuddyOrchardHome);
    mRemainBuddyView = new QLabel(bar);
    mRemainBuddyView->setFont(GetDefaultFontOfSize(11));
    mMenuButton = new QToolButton(bar);
    mMenuButton->setPopupMode(QToolButton::InstantPopup);
    mMenuButton->setArrowType(Qt::DownArrow);
    mMenuButton->setAutoRaise(true);
    barRow->addWidget(mIconImage);
    barRow->addWidget(mEmoticonView, 1);
    barRow->addWidget(mOrchardButton);
    barRow->addWidget(mRemainBuddyView);
    barRow->addWidget(mMenuButton);
    column->addWidget(bar);

    // The absence banner, hidden until somebody is away: an emoticon label
    // over as many lines as its text takes.
    mAbsentMessageView = new KCEmoticonView(central);
    mAbsentMessageView->setMultiLine(true);
    mAbsentMessageView->setTextSize(11);
    mAbsentMessageView->setTextColor(kBannerText);
    mAbsentMessageView->setBackgroundColor(kBannerBackground);
    mAbsentMessageView->setDrawBackground(true);
    mAbsentMessageView->setBorder(false);
    mAbsentMessageView->setFocusPolicy(Qt::NoFocus);
    mAbsentMessageView->hide();
    column->addWidget(mAbsentMessageView);

    mWebView = new KCWebView(central);
    mWebView->setDataSource(this);
    column->addWidget(mWebView, 1);

    mStatusTextField = new QLabel(central);
    mStatusTextField->setFont(GetDefaultFontOfSize(10));
    mStatusTextField->setContentsMargins(6, 2, 6, 2);
    mStatusTextField->setTextFormat(Qt::PlainText);
    column->addWidget(mStatusTextField);

    // The palettes' bar.
    auto *buttons = new QWidget(central);
    auto *buttonRow = new QHBoxLayout(buttons);
    buttonRow->setContentsMargins(4, 2, 4, 2);
    const auto makeButton = [&](const char *image, const char *tip) {
        auto *button = new QToolButton(buttons);
        const QPixmap pixmap = ImageRegistry::pixmap(QLatin1String(image));
        button->setIcon(pixmap);
        button->setIconSize(pixmap.deviceIndependentSize().toSize());
        button->setToolTip(KCLocalizedString(QLatin1String(tip)));
        button->setAccessibleName(button->toolTip());
        button->setAutoRaise(true);
        buttonRow->addWidget(button);
        return button;
    };
    mEmoticonButton = makeButton("ChatEmoticonButton", "ToolTipEmoticon");
    mAnimiconButton = makeButton("ChatAnimiconButton", "ToolTipAnimicon");
    mFontButton = makeButton("ChatFontButton", "ToolTipFont");
    buttonRow->addStretch(1);
    column->addWidget(buttons);
    connect(mEmoticonButton, &QToolButton::clicked, this, [this] {
        if (EmoticonController *palette = EmoticonController::defaultController())
            palette->showEmoticonPalette(mEmoticonButton->mapToGlobal(QPoint(0, mEmoticonButton->height())), this);
    });
    connect(mAnimiconButton, &QToolButton::clicked, this, [this] {
        if (AnimiconController *palette = AnimiconController::defaultController())
            palette->showAnimiconPalette(mAnimiconButton->mapToGlobal(QPoint(0, mAnimiconButton->height())), this);
    });
    connect(mFontButton, &QToolButton::clicked, this, [this] { mManager.showColorPanel(); });

    mMsgTextView = new KCInputTextView(central);
    mMsgTextView->setDelegate(this);
    mMsgTextView->setEnableEnter(true);
    mMsgTextView->setAcceptRichText(false);
    mMsgTextView->setFixedHeight(64);
    UserDefaults &defaults = UserDefaults::standardUserDefaults();
    const QString face = defaults.stringForKey(QLatin1String(kChatFontName));
    QFont inputFont = GetDefaultFontOfSize(kDefaultFontSize);
    if (!face.isEmpty()) {
        inputFont.setFamily(face);
        const double size = defaults.objectForKey(QLatin1String(kChatFontSize)).toDouble();
        if (size > 0)
            inputFont.setPointSizeF(size);
    }
    mMsgTextView->setFont(inputFont);
    // From the first line on, not only once a size is kept: the lines shown
    // would change size under the user's eyes at the first line typed.
    sizeTranscriptLikeInput();
    mMsgTextView->document()->setDefaultFont(inputFont);
    mMsgTextView->setTextColor(ChatManager::fontColor());
    mMsgTextView->setAccessibleName(KCLocalizedString(QStringLiteral("MessageAccessibleName")));
    column->addWidget(mMsgTextView);
    connect(mMsgTextView, &QTextEdit::textChanged, this, [this] {
        if (!mClearingSentInput)
            mConversation.textDidChange(mMsgTextView->document()->isEmpty());
        if (!mConversation.sessionKey().isEmpty())
            keepInputFont();
    });

    setCentralWidget(central);
}

// A new chat colour is the colour of everything typed so far too. A change of
// colour is no typing: the input's own notices stay quiet.
void ChatDocument::recolourInput()
{
    const QColor colour = ChatManager::fontColor();
    if (!mMsgTextView->document()->isEmpty()) {
        const QSignalBlocker quiet(mMsgTextView);
        QTextCursor all(mMsgTextView->document());
        all.select(QTextCursor::Document);
        QTextCharFormat format;
        format.setForeground(colour);
        all.mergeCharFormat(format);
    }
    mMsgTextView->setTextColor(colour);
}

// The input's face and size are what the next window starts with, and the
// transcript follows the size.
void ChatDocument::keepInputFont()
{
    UserDefaults &defaults = UserDefaults::standardUserDefaults();
    const QFont font = mMsgTextView->font();
    if (QVariant(font.family()) != defaults.objectForKey(QLatin1String(kChatFontName)))
        defaults.setObject(font.family(), QLatin1String(kChatFontName));
    const double size = font.pointSizeF();
    if (size > 0 && size != defaults.objectForKey(QLatin1String(kChatFontSize)).toDouble()) {
        sizeTranscriptLikeInput();
        defaults.setObject(size, QLatin1String(kChatFontSize));
    }
}

// The input's size is in points, the transcript's in pixels: the same text
// size on this screen.
void ChatDocument::sizeTranscriptLikeInput()
{
    const double points = mMsgTextView->font().pointSizeF();
    if (points > 0)
        mWebView->applyFontSize(points * mMsgTextView->logicalDpiY() / 72.0);
}

QMenu *ChatDocument::toolbarMenu()
{
    auto *menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    const ChatToolbarConfiguration current = ChatToolbarConfiguration::load();
    const auto change = [this](const std::function<void(ChatToolbarConfiguration &)> &edit) {
        ChatToolbarConfiguration configuration = ChatToolbarConfiguration::load();
        edit(configuration);
        configuration.save();
        applyToolbarConfiguration();
    };
    for (QAction *item : {mInviteAction, mSendFileAction}) {
        const QString identifier = item->data().toString();
        QAction *toggle = menu->addAction(item->text());
        toggle->setCheckable(true);
        toggle->setChecked(current.isShown(identifier));
        // The last item shown stays: an empty toolbar would leave nothing to right-click.
        toggle->setEnabled(!current.isShown(identifier) || current.shownCount() > 1);
        connect(toggle, &QAction::toggled, this, [change, identifier](bool shown) {
            change([&](ChatToolbarConfiguration &c) { c.setShown(identifier, shown); });
        });
    }
    menu->addSeparator();
    auto *modes = new QActionGroup(menu);
    const std::pair<const char *, ChatToolbarConfiguration::DisplayMode> choices[] = {
        {"ToolbarIconAndText", ChatToolbarConfiguration::IconAndLabel},
        {"ToolbarIconOnly", ChatToolbarConfiguration::IconOnly},
        {"ToolbarTextOnly", ChatToolbarConfiguration::LabelOnly},
    };
    const ChatToolbarConfiguration::DisplayMode shownMode = current.displayMode() == ChatToolbarConfiguration::Default
                                                                ? ChatToolbarConfiguration::IconAndLabel
                                                                : current.displayMode();
    for (const auto &[key, mode] : choices) {
        QAction *choice = menu->addAction(KCLocalizedString(QLatin1String(key)));
        choice->setCheckable(true);
        choice->setChecked(mode == shownMode);
        modes->addAction(choice);
        connect(choice, &QAction::triggered, this, [change, mode = mode] {
            change([&](ChatToolbarConfiguration &c) { c.setDisplayMode(mode); });
        });
    }
    return menu;
}

void ChatDocument::applyToolbarConfiguration()
{
    const ChatToolbarConfiguration configuration = ChatToolbarConfiguration::load();
    for (QAction *item : {mInviteAction, mSendFileAction})
        item->setVisible(configuration.isShown(item->data().toString()));
    switch (configuration.displayMode()) {
    case ChatToolbarConfiguration::IconOnly: mToolbar->setToolButtonStyle(Qt::ToolButtonIconOnly); break;
    case ChatToolbarConfiguration::LabelOnly: mToolbar->setToolButtonStyle(Qt::ToolButtonTextOnly); break;
    default: mToolbar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon); break;
    }
}

void ChatDocument::showWindow()
{
    show();
    raise();
}

// --- the input ----------------------------------------------------------------

QString ChatDocument::messageTextForDocument(const QTextDocument &document, const QString &animiconMessage)
{
    // A picture that is no emoticon is the input's animicon.
    return EmoticonManager::emoticonStringForAttributeRuns(document, nullptr, &animiconMessage);
}

void ChatDocument::requestWebUrlOpen(KCWebView *, const QUrl &url) { mManager.urlOpener().openUrl(url); }

QString ChatDocument::bridgePageUrl(KCWebView *) { return shell::ShellWindows::bridgePage().bridgePageUrl(); }

void ChatDocument::textViewMessage(KCInputTextView *, const QString &)
{
    sendInput();
}

void ChatDocument::sendInput()
{
    if (!mMsgTextView->isEnabled() || mMsgTextView->isReadOnly())
        return;
    AnimiconManager &animicons = AnimiconManager::sharedManager();
    const QString animiconID = animicons.animiconIDStringForDocument(mMsgTextView->document());
    const QString wire = animiconID.isEmpty() ? QString() : animicons.animiconMessageStringForAnimiconID(animiconID);
    const QString text = messageTextForDocument(*mMsgTextView->document(), wire);
    if (mConversation.send(text, animiconID, wire)) {
        // Clearing what was sent is not typing: it sends no typing notice.
        mClearingSentInput = true;
        mMsgTextView->clear();
        mClearingSentInput = false;
        mMsgTextView->setTextColor(ChatManager::fontColor());
    }
}

void ChatDocument::emoticonPaletteViewDidSelectEmoticon(KCEmoticonPaletteView *, const QString &token)
{
    if (mMsgTextView->isReadOnly())
        return;
    QTextCharFormat format;
    format.setFont(mMsgTextView->font());
    format.setForeground(ChatManager::fontColor());
    const auto fragment = EmoticonManager::attributedEmoticonStringWithString(token, format);
    QTextCursor cursor = mMsgTextView->textCursor();
    if (fragment && !fragment->isEmpty())
        cursor.insertFragment(*fragment);
    else
        cursor.insertText(token, format);
    // What is typed after a picture is text again.
    mMsgTextView->setTextCursor(cursor);
    mMsgTextView->setCurrentCharFormat(format);
    mMsgTextView->setFocus();
}

void ChatDocument::animiconPaletteViewDidSelectAnimicon(KCAnimiconPaletteView *, const QString &, const QString &,
                                                        const QString &, const QString &categoryID,
                                                        const QString &animiconID)
{
    QPointer<ChatDocument> self(this);
    AnimiconManager::sharedManager().animiconImageFileForCategory(categoryID, animiconID, this,
                                                                  [self](const QString &path) {
                                                                      if (self && !path.isEmpty())
                                                                          self->insertAnimicon(path);
                                                                  });
}

bool ChatDocument::insertAnimicon(const QString &imagePath)
{
    if (!AnimiconManager::sharedManager().animiconIDStringForDocument(mMsgTextView->document()).isEmpty()) {
        KCAlertRequest request;
        request.key = QStringLiteral("AnimiconErrorMessage");
        request.title = KCLocalizedString(QStringLiteral("AnimiconTitle"));
        request.message = KCLocalizedString(QStringLiteral("AnimiconErrorMessage"));
        request.buttons = {KCLocalizedString(QStringLiteral("OK"))};
        KCAlerts().ask(request);
        return false;
    }
    QTextCursor cursor = mMsgTextView->textCursor();
    cursor.setPosition(cursor.selectionStart());
    QTextImageFormat image;
    image.setName(imagePath);
    cursor.insertImage(image);
    QTextCharFormat text;
    text.setFont(mMsgTextView->font());
    text.setForeground(ChatManager::fontColor());
    mMsgTextView->setTextCursor(cursor);
    mMsgTextView->setCurrentCharFormat(text);
    return true;
}

// --- panels ---------------------------------------------------------------------

void ChatDocument::runInvitePanel()
{
    QPointer<ChatDocument> self(this);
    mManager.openInvitePanel(this, [self](const QStringList &chosen) {
        if (self && !chosen.isEmpty())
            self->mConversation.buddyInvitePanelDidEnd(chosen);
    });
}

void ChatDocument::runFilePanel()
{
    auto *panel = new QFileDialog(this);
    panel->setAttribute(Qt::WA_DeleteOnClose);
    panel->setFileMode(QFileDialog::ExistingFiles);
    QPointer<ChatDocument> self(this);
    connect(panel, &QFileDialog::filesSelected, this, [self](const QStringList &paths) {
        if (self && !paths.isEmpty())
            self->sendFiles(paths);
    });
    panel->open();
}

// --- window events --------------------------------------------------------------

void ChatDocument::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    if (event->type() != QEvent::ActivationChange)
        return;
    const bool active = isActiveWindow();
    if (active == mIsActive)
        return;
    mIsActive = active;
    if (active) {
        mManager.chatDocumentBecameActive(this);
        applyToolbarConfiguration(); // another chat window may have changed it
        mConversation.windowDidBecomeKey(mMsgTextView->document()->isEmpty());
        mMsgTextView->setFocus();
    } else {
        mConversation.windowDidResignKey();
    }
}

void ChatDocument::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    refreshMembers();
}

void ChatDocument::closeEvent(QCloseEvent *event)
{
    if (!mConversation.windowShouldClose()) {
        event->ignore();
        return;
    }
    if (EmoticonController *palette = EmoticonController::defaultController(); palette && palette->isVisible())
        palette->close();
    if (AnimiconController *palette = AnimiconController::defaultController(); palette && palette->isVisible())
        palette->close();
    event->accept();
    mManager.closeChatRoom(sessionKey());
}

// --- drag and drop ----------------------------------------------------------------

QStringList ChatDocument::dropPaths(const QMimeData *mime) const
{
    QStringList paths;
    if (!mime->hasUrls())
        return paths;
    for (const QUrl &url : mime->urls()) {
        if (!url.isLocalFile())
            return {};
        paths << url.toLocalFile();
    }
    return paths;
}

QStringList ChatDocument::dropBuddies(const QMimeData *mime) const
{
    namespace dnd = BuddyListDragAndDrop;
    const auto dragged = dnd::parsePayload(mime->data(QLatin1String(dnd::kDragAndDropOutlineType)));
    if (!dragged)
        return {};
    QVariantList entries;
    for (const dnd::DraggedBuddy &buddy : *dragged)
        entries << QVariantMap{{QStringLiteral("velaID"), buddy.velaID}};
    return ChatConversation::dragIDList(entries);
}

void ChatDocument::dragEnterEvent(QDragEnterEvent *event)
{
    const QMimeData *mime = event->mimeData();
    bool accept = false;
    if (mime->hasFormat(QLatin1String(BuddyListDragAndDrop::kDragAndDropOutlineType)))
        accept = mConversation.acceptsBuddies(dropBuddies(mime));
    else if (const QStringList paths = dropPaths(mime); !paths.isEmpty())
        accept = ChatConversation::acceptsFiles(paths);
    if (accept) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void ChatDocument::dragMoveEvent(QDragMoveEvent *event)
{
    // The same answer as on entering: accepted drags stay accepted.
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

void ChatDocument::dropEvent(QDropEvent *event)
{
    event->setDropAction(Qt::CopyAction);
    event->accept();
    // Nothing is taken while the input is locked.
    if (mMsgTextView->isReadOnly())
        return;
    const QMimeData *mime = event->mimeData();
    if (mime->hasFormat(QLatin1String(BuddyListDragAndDrop::kDragAndDropOutlineType)))
        mConversation.dropBuddies(dropBuddies(mime));
    else if (const QStringList paths = dropPaths(mime); !paths.isEmpty())
        mConversation.dropFiles(paths);
}

// --- ChatConversationView -----------------------------------------------------------

void ChatDocument::appendNameLine(const QString &text)
{
    mWebView->appendChatMessage(text, QLatin1String(kNameFace), mMsgTextView->font().pointSizeF(),
                                QLatin1String(kNameColor), QString(), false);
}

void ChatDocument::appendChatLine(const QString &text, const QString &fontColor, const QString &fontStyle)
{
    const QFont font = mMsgTextView->font();
    mWebView->appendChatMessage(text, font.family(), font.pointSizeF(), fontColor, fontStyle, true);
}

void ChatDocument::appendSystemLine(const QString &html) { mWebView->appendSystemMessage(html); }
void ChatDocument::appendWarningLine(const QString &html) { mWebView->appendWarningMessage(html); }

void ChatDocument::appendAnimiconLine(const QString &animiconMessage, const QStringList &pieces,
                                      const QString &fontName, const QString &fontColor, const QString &fontStyle)
{
    mWebView->appendAnimiconMessage(animiconMessage, pieces, fontName, fontColor, fontStyle);
}

void ChatDocument::appendFileMessage(const QString &html, int fileType) { mWebView->appendFileMessage(html, fileType); }
void ChatDocument::appendFileInfo(const QString &html, int fileType) { mWebView->appendFileInfo(html, fileType); }
void ChatDocument::setStatusLine(const QString &text) { mStatusTextField->setText(text); }
void ChatDocument::setTitle(const QString &title) { setWindowTitle(title); }

void ChatDocument::showBanner(const ChatBanner &banner)
{
    mAbsentMessageView->setEmoticonString(banner.text);
    mAbsentMessageView->setVisible(!banner.text.isEmpty());
    applyInputLock(banner.inputLocked);
    mInviteAction->setEnabled(!banner.toolbarDisabled);
    mSendFileAction->setEnabled(!banner.toolbarDisabled);
}

void ChatDocument::applyInputLock(bool locked)
{
    mMsgTextView->setReadOnly(locked);
    QPalette palette = mMsgTextView->palette();
    palette.setColor(QPalette::Base, locked ? QColor(0xee, 0xee, 0xee) : QColor(Qt::white));
    mMsgTextView->setPalette(palette);
    mEmoticonButton->setEnabled(!locked);
    mAnimiconButton->setEnabled(!locked);
    mFontButton->setEnabled(!locked);
}

void ChatDocument::refreshMembers()
{
    if (!mEmoticonView)
        return;
    const QString selected = mConversation.selectedBuddyID();
    const PLBuddyPtr buddy = selectedBuddy();
    QString display;
    int status = 1;
    if (buddy) {
        display = BuddyString::buddyStringWithBuddy(buddy);
        status = buddy->status();
        mIconImage->setPixmap(BuddyString::buddyStatusImageWithBuddy(buddy));
    } else {
        display = BuddyString::buddyStringWithBuddyDict(mConversation.buddyDictForID(selected));
        mIconImage->setPixmap(BuddyString::buddyStatusImageWithStatus(status));
    }
    mEmoticonView->setEmoticonString(display);
    mEmoticonView->setToolTip(
        ChatText::fill(QStringLiteral("%@ (%@)"), {display, BuddyString::buddyStatusStringWithStatus(status)}));
    mOrchardButton->setVisible(buddy && !buddy->orchardCMN().isEmpty());
    mOrchardButton->setToolTip(buddy ? KCLocalizedString(QStringLiteral("ToolTipGoBuddyHome")).arg(buddy->name())
                                     : QString());
    mOrchardButton->setAccessibleName(mOrchardButton->toolTip());
    rebuildMembersMenu();
}

PLBuddyPtr ChatDocument::selectedBuddy() const
{
    const QString selected = mConversation.selectedBuddyID();
    return selected.isEmpty() ? nullptr : PLBuddyManager::sharedManager().buddyForID(selected);
}

void ChatDocument::openBuddyOrchardHome()
{
    const PLBuddyPtr buddy = selectedBuddy();
    if (buddy && !buddy->orchardCMN().isEmpty())
        shell::ShellWindows::bridgePage().showBuddyMininook(buddy);
}

QMenu *ChatDocument::membersMenu() const { return mMenuButton->menu(); }

void ChatDocument::rebuildMembersMenu()
{
    const QStringList members = mConversation.buddyIDList();
    const bool several = members.size() > 1;
    mRemainBuddyView->setVisible(several);
    mMenuButton->setVisible(several);
    delete mMenuButton->menu();
    mMenuButton->setMenu(nullptr);
    if (!several)
        return;
    mRemainBuddyView->setText(ChatText::localized("RemainBuddies", {QString::number(members.size() - 1)}));
    auto *menu = new QMenu(mMenuButton);
    for (const QString &member : members) {
        const PLBuddyPtr buddy = PLBuddyManager::sharedManager().buddyForID(member);
        const QString title = buddy ? BuddyString::buddyStringWithBuddy(buddy)
                                    : BuddyString::buddyStringWithBuddyDict(mConversation.buddyDictForID(member));
        auto *item = new ChatMemberMenuItem(buddy ? BuddyString::buddyStatusImageWithBuddy(buddy)
                                                  : BuddyString::buddyStatusImageWithStatus(1),
                                            title, menu);
        menu->addAction(item);
        connect(item, &QAction::triggered, this, [this, member] { mConversation.selectBuddy(member); });
    }
    mMenuButton->setMenu(menu);
}

void ChatDocument::playAnimicon(const QString &url)
{
    if (AnimiconController *controller = AnimiconController::defaultController())
        controller->playAnimicon(url, this);
}

void ChatDocument::scheduleFilePanel()
{
    QTimer::singleShot(500, this, &ChatDocument::runFilePanel);
}

bool ChatDocument::isKeyWindow() { return isVisible() && isActiveWindow(); }

// --- ChatRoomServices ------------------------------------------------------------------

bool ChatDocument::isValidSessionKey(const QString &key) { return mManager.rooms().isValidSessionKey(key); }

QVariantList ChatDocument::userInfosInSession(const QString &key) { return mManager.rooms().userInfosInSession(key); }

void ChatDocument::sendMessage(const QString &message, const QString &key) { mManager.rooms().sendMessage(message, key); }

void ChatDocument::leaveMessage(const QString &message, const QString &key)
{
    mManager.rooms().leaveMessage(message, key);
}

void ChatDocument::sendTypingInfo(bool typing, const QString &key)
{
    mManager.rooms().sendTypingInfo(typing ? 1 : 0, key);
}

void ChatDocument::sendAnimicon(const QString &message, const QString &key) { mManager.rooms().sendAnimicon(message, key); }

void ChatDocument::removeAllUser(const QString &key)
{
    if (PLChatSessionInfo *room = mManager.rooms().sessionInfo(key))
        room->removeAllUser();
}

void ChatDocument::inviteBuddies(const QStringList &buddyIDs, const QString &key)
{
    if (mManager.account().invite)
        mManager.account().invite(buddyIDs, key);
}

bool ChatDocument::reopenRoom(const QStringList &buddyIDs, const QString &key)
{
    return mManager.openChatRoomWithDoc(this, buddyIDs, key);
}

void ChatDocument::uploadFiles(const QStringList &paths, const QString &userID, const QString &key)
{
    mManager.uploadFiles(paths, userID, key);
}

QString ChatDocument::fontName() { return ChatManager::fontName(); }
QString ChatDocument::fontColorString() { return ChatManager::fontColorString(); }

std::optional<QVariantMap> ChatDocument::animiconInfo(const QString &message)
{
    return AnimiconManager::sharedManager().animiconInfoFromAnimiconMessage(message);
}

QString ChatDocument::animiconUrl(const QString &categoryID, const QString &animiconID)
{
    return AnimiconManager::sharedManager().animiconUrlForCategory(categoryID, animiconID);
}

void ChatDocument::addNewMessageChat() { mManager.addNewMessageChat(this); }

// The dock manager's attention loop: it asks again every 1.5 s while any
// chat holds unread lines.
void ChatDocument::dockIconBounce() { shell::ShellWindows::dockManager().dockIconBounce(); }

void ChatDocument::dockIconUpdate() { shell::ShellWindows::dockManager().dockIconUpdate(); }
void ChatDocument::playChatSound() { KCPlayChatSound(currentUserID()); }
void ChatDocument::playTransferSound() { KCPlayTransferSound(currentUserID()); }

void ChatDocument::desktopNotice(const QString &title, const QString &description, const QString &iconName,
                                 const QVariantList &clickContext)
{
    // A desktop notice: the pop-up of a first message is the manager's.
    shell::DesktopNoticeBridge::notifyWithTitle(title, description, QStringLiteral("Parley Chat"), iconName, 0, false,
                                                clickContext);
}

void ChatDocument::addSaveBuffer(const QString &body) { mManager.addSaveBuffer(body); }

void ChatDocument::postSaveChatDocument(const QVariantMap &record) { mManager.postSaveChatDocument(record); }

} // namespace parley
