// The message box's notice, shown when its window is brought up: its picture,
// the message, the detail with the link to the web boxes' page, a button to
// each web box, the check box and the one button that ends it.
#include "KCDialogAlertPresenter.h"
#include "PGHFirstShowNotice.h"
#include "ScreenshotScenes.h"
#include "Utils/PLEndpoints.h"

#include <QDialog>

namespace parley::screenshots {

namespace {

const bool notice = registerScene(QStringLiteral("pigeonhole-notice"), [] {
    // The link goes to the memo web host the endpoints name.
    PLEndpoints endpoints = PLEndpoints::current();
    if (endpoints.webMemo.isEmpty()) {
        endpoints.webMemo = QStringLiteral("https://memo.parley.test");
        PLEndpoints::setCurrent(endpoints);
    }
    return static_cast<QWidget *>(
        KCDialogAlertPresenter::makeDialog(pigeonhole::PGHFirstShowNotice::request({}, {})).dialog);
});

} // namespace

} // namespace parley::screenshots
