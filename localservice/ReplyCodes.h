#pragma once

// The numeric error answers of the service ("CODE tid" lines). 201 and 301
// are the codes the client turns into its invalid-ID and invalid-password
// alerts; the 5xx codes are the service's own.

namespace localservice::reply {

constexpr int kUnknownAccount = 201;
constexpr int kWrongPassword = 301;
constexpr int kOneTimePassword = 395; // the password was right; the one-time password is asked for
constexpr int kNotNow = 500;        // the command does not fit the session's state
constexpr int kMalformed = 501;     // wrong field count, bad number, bad body
constexpr int kKeyExchange = 502;   // no key exchange possible, or it failed
constexpr int kUnsupported = 503;   // a command the service does not offer

} // namespace localservice::reply

namespace localservice::reply {

constexpr int kNoSuchUser = 205;    // no such account, or it is not signed in
constexpr int kNoSuchGroup = 206;   // the group is not one of the account's
constexpr int kDone = 100;          // one entry of a batch was applied

} // namespace localservice::reply
