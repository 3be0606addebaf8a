#pragma once

// A local service in-process with the test PKI's good certificate chain (or
// another), transcripts in front of both of its servers, the crypto glue and
// a recording certificate alert installed, and the test CA trusted.

#include "ClientTranscript.h"
#include "LocalService.h"
#include "SignInDriver.h"
#include "TestPki.h"

#include "Sessions/PLRecordingCertAlert.h"

#include <gtest/gtest.h>
#include <memory>

namespace parley::test {

class SignInTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    // Starts the service with the given chain (the good one by default) and faults.
    void startService(const QString &chain = QString(), const QStringList &faults = {});
    // A driver whose notification-server session goes through the transcript.
    std::unique_ptr<SignInDriver> makeDriver(const QString &userID, const QString &password, bool relay = false);

    std::unique_ptr<localservice::LocalService> mService;
    std::unique_ptr<ClientTranscript> mDispatchLines;
    std::unique_ptr<ClientTranscript> mNotificationLines;
    PLRecordingCertAlert mAlert;
};

} // namespace parley::test
