#pragma once

// The notice shown each time the window is brought up until the user ticks
// its check box: what the box keeps, with its own picture, and below it where
// the web boxes are: a link to the service's page about them and a button to
// each web box, which act without ending the notice.

#include "KCAlertPresenter.h"

#include <functional>

namespace pigeonhole {

class PGHFirstShowNotice
{
public:
    static KCAlertRequest request(std::function<void()> openWebMemoBox, std::function<void()> openWebChatBox);
    // The detail under the message: its title, and its text with the link.
    static QString detailHtml();
};

} // namespace pigeonhole
