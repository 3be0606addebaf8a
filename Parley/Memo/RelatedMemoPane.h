#pragma once

// The related-memo pane both memo windows share: its HTML put into the text
// browser, and the window grown downward by the upper pane's height when the
// pane opens and shrunk by the pane's height when it closes, so the memo keeps
// its size and place on screen. The thread's steps (requests to the server,
// the pane filled) are followed the same way in both.

#include "Model/RelatedMemoEntry.h"
#include "Model/RelatedMemoThread.h"

#include <QList>

class MemoNames;
class QSplitter;
class QTextBrowser;
class QWidget;

namespace parley {
class MemoServices;
}

namespace parley::RelatedMemoPane {

// The pane's text browser; its links do not open.
QTextBrowser *newPane(QWidget *window);
// The memo view above the pane in a vertical split, the pane closed.
QSplitter *newSplit(QWidget *window, QWidget *memoView, QTextBrowser *pane);

void fill(QTextBrowser *pane, const QList<RelatedMemoEntry> &entries, const MemoNames &names);
// Sends the request the step asks for, then fills the pane if the step says so.
void follow(const RelatedMemoThread::Step &step, const RelatedMemoThread &thread, MemoServices &services,
            QTextBrowser *pane, const MemoNames &names);
void show(QWidget *window, QSplitter *split);
void hide(QWidget *window, QSplitter *split);

} // namespace parley::RelatedMemoPane
