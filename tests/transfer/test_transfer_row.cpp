// One transfer row: its buttons by type, its layout at two widths, its
// selected look, and its two ways of finishing.

#include "TransferTestSupport.h"

#include "KCImageButton.h"
#include "TestSupport.h"
#include "Transfer/TransferButtonTable.h"
#include "Transfer/TransferRowLayout.h"
#include "Transfer/TransferTextLine.h"

#include <QProgressBar>

namespace transfer::test {
namespace {

struct Shown {
    int accept, reject, open, mail; // 0 hidden, 1 shown, 2 shown but disabled
};

int state(const KCImageButton *button)
{
    if (!button || button->isHidden())
        return 0;
    return button->isEnabled() ? 1 : 2;
}

TEST(TransferRowTest, ButtonsFollowTheTypeTable)
{
    TransferWorld world;
    const Shown table[] = {
        {0, 0, 0, 0}, {1, 1, 2, 1}, {0, 1, 2, 0}, {0, 1, 1, 1}, {0, 1, 1, 0}, {1, 1, 0, 2}, {0, 0, 1, 0},
    };
    for (int type = 0; type < 7; ++type) {
        SCOPED_TRACE(type);
        TransferProgressView row(false);
        row.setTranferButtonType(type == 0 ? 6 : 0); // from another type, so that this one applies
        row.setTranferButtonType(type);
        EXPECT_EQ(row.buttonType(), type);
        EXPECT_EQ(state(row.acceptButton()), table[type].accept);
        EXPECT_EQ(state(row.rejectButton()), table[type].reject);
        EXPECT_EQ(state(row.openButton()), table[type].open);
        EXPECT_EQ(state(row.mailButton()), table[type].mail);
        EXPECT_EQ(TransferButtons::forType(type).has_value(), true);
    }
    EXPECT_FALSE(TransferButtons::forType(7));
    EXPECT_FALSE(TransferButtons::forType(-1));

    // A new row shows all four until its first type; type 7 is stored but
    // changes no button; the same type again changes nothing.
    TransferProgressView row(false);
    EXPECT_EQ(state(row.acceptButton()) + state(row.rejectButton()) + state(row.openButton()) + state(row.mailButton()),
              4);
    row.setTranferButtonType(2);
    row.rejectButton()->setEnabled(false); // changed behind its back
    row.setTranferButtonType(2);
    EXPECT_FALSE(row.rejectButton()->isEnabled());
    row.setTranferButtonType(7);
    EXPECT_EQ(row.buttonType(), 7);
    EXPECT_EQ(state(row.acceptButton()), 0);
    EXPECT_EQ(state(row.openButton()), 2);
}

TEST(TransferRowTest, GlobalModeHasNoMailButtonForAnyType)
{
    TransferWorld world;
    TransferProgressView row(true);
    EXPECT_EQ(row.mailButton(), nullptr);
    for (int type : {1, 3, 5}) {
        row.setTranferButtonType(type);
        for (const QObject *child : row.children()) {
            if (auto *button = qobject_cast<const KCImageButton *>(child)) {
                EXPECT_NE(button->toolTip(), KCLocalizedString(QStringLiteral("ToolTipMail")));
            }
        }
    }
}

TEST(TransferRowTest, LayoutAtFourHundredAndFiveHundredPoints)
{
    const TransferRowFrames narrow = TransferRowLayout::frames(400);
    EXPECT_EQ(narrow.transferText, QRect(40, 44, 280, 15));
    EXPECT_EQ(narrow.indicator, QRect(40, 32, 245, 15));
    EXPECT_EQ(narrow.dateText, narrow.indicator);
    EXPECT_EQ(narrow.fileText, QRect(40, 17, 245, 15));
    EXPECT_EQ(narrow.idText, QRect(40, 2, 245, 15));
    EXPECT_EQ(narrow.accept, QRect(323, 22, 16, 16));
    EXPECT_EQ(narrow.mail.x(), 342);
    EXPECT_EQ(narrow.reject.x(), 361);
    EXPECT_EQ(narrow.open.x(), 380);

    TransferWorld world;
    TransferProgressView row(false);
    row.show();
    row.resize(400, TransferRowLayout::kHeight);
    EXPECT_EQ(row.idLine()->geometry(), narrow.idText);
    EXPECT_EQ(row.openButton()->geometry(), narrow.open);
    row.resize(500, TransferRowLayout::kHeight);
    EXPECT_EQ(row.transferLine()->width(), 380);
    EXPECT_EQ(row.indicator()->width(), 345);
    EXPECT_EQ(row.fileLine()->width(), 345);
    EXPECT_EQ(row.acceptButton()->x(), 423);
    EXPECT_EQ(row.mailButton()->x(), 442);
    EXPECT_EQ(row.rejectButton()->x(), 461);
    EXPECT_EQ(row.openButton()->x(), 480);
    EXPECT_EQ(row.openButton()->width(), 16);
}

TEST(TransferRowTest, SelectionTurnsEveryTextWhiteAndBack)
{
    TransferWorld world;
    TransferProgressView row(false);
    row.setIDText("From: Kim");
    row.setFileText("File: a.txt");
    row.setTransferText("Waiting (1KB)");
    row.setSelectedView(true);
    for (const TransferTextLine *line : {row.idLine(), row.fileLine(), row.transferLine(), row.dateLine()})
        EXPECT_EQ(line->color(), QColor(Qt::white));
    row.setSelectedView(false);
    EXPECT_EQ(row.idLine()->color(), QColor(Qt::black));
    EXPECT_EQ(row.fileLine()->color(), QColor(Qt::black));
    EXPECT_EQ(row.transferLine()->color(), QColor(Qt::darkGray));
    EXPECT_EQ(row.dateLine()->color(), QColor(Qt::darkGray));
    EXPECT_EQ(row.idText(), QStringLiteral("From: Kim"));
}

TEST(TransferRowTest, FinishingShowsTheDateAtOnceOrAfterTheBarsRun)
{
    TransferWorld world;
    TransferProgressView::setCompletionDelay(60 * 1000); // never within the test
    TransferProgressView row(false);
    row.startProgressWithMax(100);
    row.setProgress(40);
    row.endProgress(true);
    EXPECT_TRUE(row.isCompleted());
    EXPECT_TRUE(row.isProgressIndeterminate());
    EXPECT_FALSE(row.isDateShown());
    // A cancel meanwhile shows the date at once.
    row.endProgress(false);
    EXPECT_TRUE(row.isDateShown());
    EXPECT_FALSE(row.isProgressVisible());
    EXPECT_TRUE(row.dateText().startsWith(QStringLiteral("Finished ")));

    TransferProgressView::setCompletionDelay(0);
    TransferProgressView later(false);
    later.endProgress(true);
    EXPECT_FALSE(later.isDateShown());
    EXPECT_TRUE(parley::test::waitUntil([&] { return later.isDateShown(); }, 5000));
}

TEST(TransferRowTest, AButtonPressReachesTheDelegateWithTheCookieOnlyWhenThereIsOne)
{
    TransferWorld world;
    struct Recorder : TransferProgressViewDelegate {
        void transferViewAccept(TransferProgressView *, const QString &c) override { calls << "accept " + c; }
        void transferViewMail(TransferProgressView *, const QString &c) override { calls << "mail " + c; }
        QStringList calls;
    } recorder;
    TransferProgressView row(false);
    row.setFileCookie("c1");
    row.acceptButton()->click(); // no delegate yet
    row.setDelegate(&recorder);
    row.acceptButton()->click();
    row.mailButton()->click();
    row.openButton()->click(); // the delegate lacks it
    EXPECT_EQ(recorder.calls, (QStringList{"accept c1", "mail c1"}));
}

} // namespace
} // namespace transfer::test
