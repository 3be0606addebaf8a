// Dragging buddies and dropping buddies and files: the data, the validation
// and the requests as tables, then a drag through the model onto a group.

#include "BuddyListFixture.h"

#include "BuddyList/BuddyListDataSource.h"
#include "BuddyList/BuddyListDragAndDrop.h"
#include "BuddyList/BuddyListModel.h"
#include "ScriptedAlerts.h"
#include "../services/chat/ChatDoubles.h"

#include <QDir>
#include <QFile>
#include <QMimeData>
#include <QTemporaryDir>
#include <QUrl>

namespace buddylist::test {
namespace {

namespace dnd = BuddyListDragAndDrop;
using dnd::DropOperation;
using dnd::DropTarget;

class DragAndDropTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        store.group("1", "A");
        store.group("2", "B");
        store.group("3", "C");
        store.buddy({"10", "x", "", 1, {"1"}});
        store.buddy({"11", "y", "", 1, {"2"}});
        store.buddy({"12", "z", "", 0, {"1", "2"}});
    }
    QString file(const char *name)
    {
        QFile f(dir.filePath(QLatin1String(name)));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("data");
        return f.fileName();
    }

    BuddyStore store;
    QTemporaryDir dir;
};

TEST_F(DragAndDropTest, WhichDragsStartAndWhatTheyCarry)
{
    BuddyListManager model;
    model.reloadData();
    const BuddyRow *x = model.buddyDictAtIndex(0, model.groupAtIndex(0));
    const BuddyRow *y = model.buddyDictAtIndex(0, model.groupAtIndex(1));
    EXPECT_FALSE(dnd::payloadForRows(2, {x}));
    EXPECT_FALSE(dnd::payloadForRows(0, {}));
    EXPECT_FALSE(dnd::payloadForRows(0, {nullptr, x})); // a group line first
    BuddyRow broken{nullptr, model.groupAtIndex(0), {}, {}};
    const auto payload = dnd::payloadForRows(1, {x, &broken, y});
    ASSERT_TRUE(payload);
    EXPECT_EQ(*payload, QByteArray(R"([{"groupID":"1","velaID":"10@parley.test"},{"groupID":"2","velaID":"11@parley.test"}])"));
    const auto back = dnd::parsePayload(*payload);
    ASSERT_TRUE(back);
    EXPECT_EQ(*back, (QList<dnd::DraggedBuddy>{{"10@parley.test", "1"}, {"11@parley.test", "2"}}));
}

TEST_F(DragAndDropTest, DraggedDataFromOutsideIsCheckedWhole)
{
    const QByteArray tooLarge = "[" + QByteArray(dnd::kMaxPayloadBytes, ' ') + "]";
    QByteArray tooMany = "[";
    for (qsizetype i = 0; i <= dnd::kMaxPayloadEntries; ++i)
        tooMany += QByteArray(i ? "," : "") + R"({"velaID":"a","groupID":"1"})";
    tooMany += "]";
    struct Case {
        const char *what;
        QByteArray payload;
        bool accepted;
    };
    const Case cases[] = {
        {"empty array", "[]", true},
        {"not JSON", "velaID=a", false},
        {"an object", R"({"velaID":"a","groupID":"1"})", false},
        {"a number for an ID", R"([{"velaID":7,"groupID":"1"}])", false},
        {"a missing group", R"([{"velaID":"a"}])", false},
        {"a string entry", R"(["a"])", false},
        {"too large", tooLarge, false},
        {"too many entries", tooMany, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(dnd::parsePayload(c.payload).has_value(), c.accepted);
    }
}

TEST_F(DragAndDropTest, Validation)
{
    const QString a = file("a.txt");
    const QString b = file("b.txt");
    const QString link = dir.filePath("link");
    ASSERT_TRUE(QFile::link(a, link));
    const QString dangling = dir.filePath("dangling");
    ASSERT_TRUE(QFile::link(dir.filePath("gone"), dangling));
    const QString folder = dir.filePath("folder");
    ASSERT_TRUE(QDir().mkdir(folder));
    struct Case {
        const char *what;
        int type;
        bool buddies;
        std::optional<QStringList> paths;
        DropTarget target;
        DropOperation expected;
    };
    const Case cases[] = {
        {"buddies on a group", 0, true, std::nullopt, DropTarget::Group, DropOperation::Move},
        {"buddies on a group, online only", 1, true, std::nullopt, DropTarget::Group, DropOperation::Move},
        {"buddies in type 2", 2, true, std::nullopt, DropTarget::Group, DropOperation::None},
        {"buddies on a buddy", 0, true, std::nullopt, DropTarget::Buddy, DropOperation::None},
        {"buddies on nothing", 0, true, std::nullopt, DropTarget::Nothing, DropOperation::None},
        {"files on a buddy", 0, false, QStringList{a, b}, DropTarget::Buddy, DropOperation::Copy},
        {"a link to a file", 0, false, QStringList{link}, DropTarget::Buddy, DropOperation::Copy},
        {"a dangling link", 0, false, QStringList{dangling}, DropTarget::Buddy, DropOperation::None},
        {"a folder", 0, false, QStringList{folder}, DropTarget::Buddy, DropOperation::None},
        {"a file with a folder", 0, false, QStringList{a, folder}, DropTarget::Buddy, DropOperation::None},
        {"a missing file", 0, false, QStringList{dir.filePath("none")}, DropTarget::Buddy, DropOperation::None},
        {"no files", 0, false, QStringList{}, DropTarget::Buddy, DropOperation::None},
        {"files on a group", 0, false, QStringList{a}, DropTarget::Group, DropOperation::None},
        {"files in type 2", 2, false, QStringList{a}, DropTarget::Buddy, DropOperation::None},
        {"nothing we know", 0, false, std::nullopt, DropTarget::Buddy, DropOperation::None},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(dnd::validateDrop(c.type, c.buddies, c.paths, c.target), c.expected);
    }
}

TEST_F(DragAndDropTest, OnlyLocalFileURLsAreFiles)
{
    QMimeData local;
    local.setUrls({QUrl::fromLocalFile("/tmp/a"), QUrl::fromLocalFile("/tmp/b c")});
    EXPECT_EQ(dnd::localPaths(local), (QStringList{"/tmp/a", "/tmp/b c"}));
    QMimeData remote;
    remote.setUrls({QUrl::fromLocalFile("/tmp/a"), QUrl("https://example.test/x")});
    EXPECT_FALSE(dnd::localPaths(remote));
    EXPECT_FALSE(dnd::localPaths(QMimeData()));
}

TEST_F(DragAndDropTest, MoveRequests)
{
    const PLGroup &targetA = *store.buddies().groupForID("1");
    const QVariantMap yFromB{{"buddyID", "11@parley.test"}, {"buddyCMN", "11"}, {"fromGID", "2"}, {"targetGID", "1"}};
    struct Case {
        const char *what;
        QList<dnd::DraggedBuddy> dragged;
        QVariantList expected;
    };
    const Case cases[] = {
        {"from A and B onto A: only B's", {{"10@parley.test", "1"}, {"11@parley.test", "2"}}, {yFromB}},
        {"all from A onto A: none", {{"10@parley.test", "1"}, {"12@parley.test", "1"}}, {}},
        {"a buddy gone meanwhile", {{"gone@parley.test", "2"}, {"11@parley.test", "2"}}, {yFromB}},
        {"a group gone meanwhile", {{"11@parley.test", "9"}}, {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(dnd::moveRequests(c.dragged, targetA, store.buddies()), c.expected);
    }
}

TEST_F(DragAndDropTest, FileDrops)
{
    const PLBuddyPtr online = store.buddies().buddyForID("10@parley.test");
    const PLBuddyPtr offline = store.buddies().buddyForID("12@parley.test");
    const PLBuddyPtr blocked = store.buddy({"13", "b", "", 1, {"1"}, "1110"});
    EXPECT_EQ(dnd::fileDropAction(1, online.get()), dnd::FileDrop::Transfer);
    EXPECT_EQ(dnd::fileDropAction(0, online.get()), dnd::FileDrop::OfflineAlert);
    EXPECT_EQ(dnd::fileDropAction(1, offline.get()), dnd::FileDrop::Refuse);
    EXPECT_EQ(dnd::fileDropAction(1, blocked.get()), dnd::FileDrop::Refuse);
    EXPECT_EQ(dnd::fileDropAction(1, nullptr), dnd::FileDrop::Refuse);
}

class DropThroughModelTest : public DragAndDropTest {
protected:
    void SetUp() override
    {
        DragAndDropTest::SetUp();
        source.setShell(&shell);
        source.setChatManager(&chat);
        source.setScheduler(&clock);
        source.setStatusListPoster([](const QVariantMap &) { return true; });
        source.setIsLoginCompleted(true);
        source.reloadBuddyData(true);
    }
    QModelIndex row(const char *groupID, const char *cmn) const
    {
        return source.model()->indexForBuddy(QLatin1String(groupID), QLatin1String(cmn) + QStringLiteral("@parley.test"));
    }

    RecordingShell shell;
    parley::test::RecordingChatWindows chat;
    ManualScheduler clock;
    BuddyListDataSource source{BuddyListManager::sharedManager()};
};

TEST_F(DropThroughModelTest, RowsDraggedOntoAnotherGroupAreMovedThere)
{
    BuddyListModel &model = *source.model();
    // Dragged in the order B's y, then A's x; carried in list order.
    std::unique_ptr<QMimeData> data(model.mimeData({row("2", "11"), row("1", "10")}));
    ASSERT_TRUE(data);
    const QModelIndex groupC = model.indexForGroupID("3");
    EXPECT_TRUE(model.canDropMimeData(data.get(), Qt::MoveAction, -1, 0, groupC));
    // Onto a buddy row, or beside the groups, nothing is offered.
    EXPECT_FALSE(model.canDropMimeData(data.get(), Qt::MoveAction, -1, 0, row("1", "10")));
    EXPECT_FALSE(model.canDropMimeData(data.get(), Qt::MoveAction, 0, 0, QModelIndex()));
    ASSERT_TRUE(model.dropMimeData(data.get(), Qt::MoveAction, 1, 0, groupC));
    const QVariantList expected{
        QVariantMap{{"buddyID", "10@parley.test"}, {"buddyCMN", "10"}, {"fromGID", "1"}, {"targetGID", "3"}},
        QVariantMap{{"buddyID", "11@parley.test"}, {"buddyCMN", "11"}, {"fromGID", "2"}, {"targetGID", "3"}},
    };
    EXPECT_EQ(shell.moves, QList<QVariantList>{expected});
    // Dropping the same rows on A moves only y; the facade's answer is the drop's.
    shell.moveAnswer = false;
    EXPECT_FALSE(model.dropMimeData(data.get(), Qt::MoveAction, -1, 0, model.indexForGroupID("1")));
    ASSERT_EQ(shell.moves.size(), 2);
    EXPECT_EQ(shell.moves.last().size(), 1);
    // All from A dropped on A: nothing sent, the drop refused.
    std::unique_ptr<QMimeData> fromA(model.mimeData({row("1", "10")}));
    EXPECT_FALSE(model.dropMimeData(fromA.get(), Qt::MoveAction, -1, 0, model.indexForGroupID("1")));
    EXPECT_EQ(shell.moves.size(), 2);
}

TEST_F(DropThroughModelTest, InTypeTwoNothingIsDraggedOrDropped)
{
    BuddyListModel &model = *source.model();
    std::unique_ptr<QMimeData> data(model.mimeData({row("1", "10")}));
    ASSERT_TRUE(data);
    BuddyListManager::setBuddyListType(2);
    source.reloadBuddyData(true);
    EXPECT_FALSE(model.flags(model.index(0, 0, model.index(0, 0))) & Qt::ItemIsDragEnabled);
    EXPECT_EQ(model.mimeData({model.index(0, 0, model.index(0, 0))}), nullptr);
    EXPECT_FALSE(model.dropMimeData(data.get(), Qt::MoveAction, -1, 0, model.index(0, 0)));
    EXPECT_TRUE(shell.moves.isEmpty());
}

TEST_F(DropThroughModelTest, FilesDroppedOnABuddyStartATransfer)
{
    parley::test::ScriptedAlerts alerts;
    BuddyListModel &model = *source.model();
    QMimeData files;
    files.setUrls({QUrl::fromLocalFile(file("a.txt")), QUrl::fromLocalFile(file("b.txt"))});
    ASSERT_TRUE(model.dropMimeData(&files, Qt::CopyAction, -1, 0, row("1", "10")));
    ASSERT_EQ(chat.fileTransfers.size(), 1);
    EXPECT_EQ(chat.fileTransfers[0].buddyIDs, QStringList{"10@parley.test"});
    EXPECT_EQ(chat.fileTransfers[0].files, (QStringList{dir.filePath("a.txt"), dir.filePath("b.txt")}));
    EXPECT_EQ(chat.fileTransfers[0].toUser, QStringLiteral("10@parley.test"));
    // An offline buddy: refused without a word.
    EXPECT_FALSE(model.dropMimeData(&files, Qt::CopyAction, -1, 0, row("1", "12")));
    EXPECT_TRUE(alerts.shown.empty());
    // Offline myself: the alert, no transfer.
    PLMyInfoManager::sharedManager().setStatus(0);
    EXPECT_FALSE(model.dropMimeData(&files, Qt::CopyAction, -1, 0, row("1", "10")));
    EXPECT_EQ(alerts.keys(), QStringList{"FileErrorForOffline"});
    EXPECT_EQ(chat.fileTransfers.size(), 1);
}

} // namespace
} // namespace buddylist::test
