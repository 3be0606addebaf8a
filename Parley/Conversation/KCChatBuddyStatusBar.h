#pragma once

// A plain strip of the chat window that draws nothing of its own.

#include <QWidget>

class KCChatBuddyStatusBar : public QWidget
{
    Q_OBJECT
public:
    explicit KCChatBuddyStatusBar(QWidget *parent = nullptr) : QWidget(parent) {}
};
