#pragma once

// Timestamped log lines in a text view (connection and transfer logs shown to
// the user): "HH:mm:ss:zzz message" and a line feed, in a fixed-pitch font of
// 11 points, appended at the end whatever the cursor or selection.
// The message is plain text: markup in it is shown as it stands.

#include <QString>

class QPlainTextEdit;
class QTextEdit;

void KCTextViewLog(QTextEdit *view, const QString &message);
void KCTextViewLog(QPlainTextEdit *view, const QString &message);
