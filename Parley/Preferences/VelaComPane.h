#pragma once

// The portal's pane, shown after a sister-service login: links the portal
// account to the signed-in one.

#include "AccountLinkPane.h"

class QGroupBox;
class QLabel;
class QPushButton;

namespace parley {

class VelaComPane : public AccountLinkPane
{
    Q_OBJECT
public:
    VelaComPane(PrefsContext &context, AccountLinking &linking, QWidget *parent = nullptr);

    void read() override;
    void save() override;
    void cprfResult(const QVariantMap &userInfo) override;

    QPushButton *findIDButton() const { return mVelaFindIDButton; }
    QPushButton *joinButton() const { return mVelaJoinButton; }

protected:
    bool isLinked() const override;
    QString unlinkMessageKey() const override { return QStringLiteral("VelaComCoupleOffMsg"); }

private:
    QLabel *mVelaTitle;
    QLabel *mVelaTitleMsg;
    QGroupBox *mVelaBox;
    QLabel *mVelaIDTitle;
    QLabel *mVelaPassTitle;
    QPushButton *mVelaFindIDButton;
    QPushButton *mVelaJoinButton;
};

} // namespace parley
