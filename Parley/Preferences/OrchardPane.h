#pragma once

// The sister service's pane, shown after a portal-ID login: links the
// sister-service account, and while linked edits who may see the personal
// page and two notices.

#include "AccountLinkPane.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;

namespace parley {

class OrchardPane : public AccountLinkPane
{
    Q_OBJECT
public:
    OrchardPane(PrefsContext &context, AccountLinking &linking, QWidget *parent = nullptr);

    void read() override;
    void save() override;
    void cprfResult(const QVariantMap &userInfo) override;

    // The sister service's pages in the default browser.
    void miniNookAction();
    void joinAction();
    void findIDPassAction();

    QComboBox *publicPopup() const { return mPopupMininookPublic; }
    QCheckBox *textAlarmButton() const { return mSwitchOrTextAlarm; }
    QCheckBox *messageAlarmButton() const { return mSwitchOrMsgAlarm; }
    QPushButton *findIDButton() const { return mFindIDButton; }
    QPushButton *joinButton() const { return mOrchardJoinButton; }
    QPushButton *miniNookButton() const { return mMininookButton; }

protected:
    bool isLinked() const override;
    QString unlinkMessageKey() const override { return QStringLiteral("OrchardCoupleOffMsg"); }

private:
    void setOptionsEnabled(bool enabled);
    void showOptionsInForce();
    void open(const QString &server, const char *path);

    QLabel *mOrchardTitle;
    QLabel *mOrchardTitleMsg;
    QGroupBox *mOrchardBox;
    QLabel *mOrchardIDTitle;
    QLabel *mOrchardPassTitle;
    QLabel *mOrchardGuideMsg;
    QLabel *mMiniNookPublicTitle;
    QLabel *mMiniNookPublicGuideMsg;
    QLabel *mMiniNookPublic;
    QComboBox *mPopupMininookPublic;
    QLabel *mOrchardAlarmTitle;
    QLabel *mOrchardAlarm;
    QCheckBox *mSwitchOrTextAlarm;
    QCheckBox *mSwitchOrMsgAlarm;
    QPushButton *mFindIDButton;
    QPushButton *mOrchardJoinButton;
    QPushButton *mMininookButton;
};

} // namespace parley
