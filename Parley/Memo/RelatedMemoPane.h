#pragma once

// The related-memo pane both memo windows share: its HTML put into the text
// browser, and the window grown downward by the upper pane's height when the
// pane opens and shrunk by the pane's height when it closes, so the memo keeps
// its size and place on screen.

#include "Model/RelatedMemoEntry.h"

#include <QList>

class MemoNames;
class QSplitter;
class QTextBrowser;
class QWidget;

namespace parley::RelatedMemoPane {

void fill(QTextBrowser *pane, const QList<RelatedMemoEntry> &entries, const MemoNames &names);
void show(QWidget *window, QSplitter *split);
void hide(QWidget *window, QSplitter *split);

} // namespace parley::RelatedMemoPane
