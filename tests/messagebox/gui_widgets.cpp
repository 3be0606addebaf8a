// The box's own widgets: the outline's gradient selection and its context
// menu rule, and the split view's limits and resizing.
#include "KCMsgOutlineCell.h"
#include "KCMsgOutlineView.h"
#include "pigeonhole/KCSplitView.h"
#include "PGHFolderTreeModel.h"

#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QImage>
#include <QPainter>
#include <QSignalSpy>
#include <gtest/gtest.h>

using namespace pigeonhole;

namespace {

TEST(OutlineSelection, ALineAboveAndBelowAGradient)
{
    for (const KCMsgOutlineCell::Colors &colors : {KCMsgOutlineCell::keyColors(), KCMsgOutlineCell::otherColors()}) {
        QImage image(30, 18, QImage::Format_RGB32);
        image.fill(Qt::black);
        QPainter painter(&image);
        KCMsgOutlineCell::paintSelection(&painter, image.rect(), colors);
        painter.end();
        SCOPED_TRACE(colors.topLine.name().toStdString());
        EXPECT_EQ(QColor(image.pixel(15, 0)), colors.topLine);
        EXPECT_EQ(QColor(image.pixel(15, 17)), colors.bottomLine);
        // The gradient runs from its start colour under the top line to its end
        // colour over the bottom line.
        const auto near = [](const QColor &a, const QColor &b) {
            return std::abs(a.red() - b.red()) <= 8 && std::abs(a.green() - b.green()) <= 8
                   && std::abs(a.blue() - b.blue()) <= 8;
        };
        EXPECT_TRUE(near(QColor(image.pixel(15, 1)), colors.gradientStart));
        EXPECT_TRUE(near(QColor(image.pixel(15, 16)), colors.gradientEnd));
    }
    EXPECT_EQ(KCMsgOutlineCell::keyColors().topLine, QColor(61, 123, 218));
    EXPECT_EQ(KCMsgOutlineCell::otherColors().gradientEnd, QColor(157, 174, 199));
}

TEST(OutlineMenu, ARowIsSelectedFirstAndBelowTheRowsThereIsNoMenu)
{
    PGHFolderTreeModel model("PLFromEntryToMemo");
    QList<PGHTreeNode> nodes;
    for (int i = 0; i < 3; ++i)
        nodes << PGHTreeNode{PGHTreeNode::Kind::Folder, {i + 1, QString("f%1").arg(i), QString::number(i)},
                             QString("f%1").arg(i), {}, {}};
    model.setNodes(nodes);
    KCMsgOutlineView view;
    view.setModel(&model);
    view.resize(200, 200);
    view.show();
    view.setCurrentIndex(model.index(0, 0));
    QSignalSpy menus(&view, &KCMsgOutlineView::contextMenuRequested);

    const QRect second = view.visualRect(model.index(1, 0));
    QContextMenuEvent onRow(QContextMenuEvent::Mouse, second.center(), view.viewport()->mapToGlobal(second.center()));
    QCoreApplication::sendEvent(view.viewport(), &onRow);
    EXPECT_EQ(menus.count(), 1);
    EXPECT_EQ(view.currentIndex().row(), 1);
    EXPECT_EQ(view.selectionModel()->selectedRows().size(), 1);

    const QPoint below(10, view.visualRect(model.index(2, 0)).bottom() + 30);
    QContextMenuEvent offRows(QContextMenuEvent::Mouse, below, view.viewport()->mapToGlobal(below));
    QCoreApplication::sendEvent(view.viewport(), &offRows);
    EXPECT_EQ(menus.count(), 1);
    EXPECT_EQ(view.currentIndex().row(), 1);
}

// Exposes the divider's move, as a drag makes it.
class SplitProbe : public KCSplitView
{
public:
    using KCSplitView::KCSplitView;
    void drag(int position) { moveSplitter(position, 1); }
};

TEST(SplitView, StackedPanesKeepTheirMinimumAndSideBySideTheLimits)
{
    SplitProbe stacked(Qt::Vertical);
    stacked.addWidget(new QWidget);
    stacked.addWidget(new QWidget);
    stacked.resize(200, 400);
    stacked.show();
    struct Case {
        int position;
        int first; // expected height of the first pane
    };
    for (const Case &c : {Case{20, 110}, Case{200, 200}, Case{390, 400 - 110 - stacked.handleWidth()}}) {
        SCOPED_TRACE(c.position);
        stacked.drag(c.position);
        EXPECT_EQ(stacked.sizes().at(0), c.first);
        EXPECT_GE(stacked.sizes().at(1), 110);
    }

    SplitProbe sideBySide(Qt::Horizontal);
    sideBySide.addWidget(new QWidget);
    sideBySide.addWidget(new QWidget);
    sideBySide.setMinCoordinateLimit(120);
    sideBySide.setMaxCoordinateLimit(320);
    sideBySide.resize(800, 300);
    sideBySide.show();
    sideBySide.setSplitPosition(200);
    EXPECT_EQ(sideBySide.sizes().at(0), 200);
    sideBySide.drag(40);
    EXPECT_EQ(sideBySide.sizes().at(0), 120);
    sideBySide.drag(600);
    EXPECT_EQ(sideBySide.sizes().at(0), 320);
    // Growing the view grows the second pane only.
    sideBySide.resize(1000, 300);
    QCoreApplication::processEvents();
    EXPECT_EQ(sideBySide.sizes().at(0), 320);
    EXPECT_EQ(sideBySide.sizes().at(1), 1000 - 320 - sideBySide.handleWidth());
}

} // namespace
