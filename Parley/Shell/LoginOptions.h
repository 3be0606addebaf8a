#pragma once

// The options dictionary the shell hands to the facade with a sign-in, one
// row per way of signing in.

#include <QVariantMap>

namespace parley::shell {

enum class LoginPath {
    SignInButton,       // the form's password
    AutoLogin,          // the saved token, at start-up or "sign in again"
    AutoLoginSecondTry, // the saved token, once the connectivity test had its second
    RetryWithToken,     // after a lost connection, hidden
    RetryWithoutToken,  // after a lost connection, with the form's password
};

// The options for a path; `showAsOffline` is the sign-in-as-invisible box.
QVariantMap loginOptions(LoginPath path, bool showAsOffline);

} // namespace parley::shell
