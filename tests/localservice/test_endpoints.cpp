// The endpoints file the service writes, read back by the client's own reader.
#include "EndpointsWriter.h"

#include "TestSupport.h"
#include "Utils/PLEndpoints.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using namespace localservice;

TEST(Endpoints, ClientReadsWhatTheServiceWrites)
{
    const QString path = QDir(parley::test::isolatedHome()).filePath(QStringLiteral("ep.conf"));
    ASSERT_EQ(EndpointsWriter::write(path, {QStringLiteral("127.0.0.1"), 47004}), QString());
    QString error;
    const auto endpoints = parley::PLEndpoints::fromFile(path, &error);
    ASSERT_TRUE(endpoints) << error.toStdString();
    EXPECT_EQ(endpoints->dispatchHost, QStringLiteral("127.0.0.1"));
    EXPECT_EQ(endpoints->dispatchPort, 47004);
    // The dispatch server is also the relay, on both relay routes.
    EXPECT_EQ(endpoints->relayHost, QStringLiteral("127.0.0.1"));
    EXPECT_EQ(endpoints->relayPort1, 47004);
    EXPECT_EQ(endpoints->relayPort2, 47004);
    // No tunnel, and the client's own time-outs.
    EXPECT_TRUE(endpoints->tunnelHost.isEmpty());
    EXPECT_EQ(endpoints->connectTimeout, parley::PLEndpoints().connectTimeout);
}

TEST(Endpoints, UnwritableFileIsAClearError)
{
    const QString path = QDir(parley::test::isolatedHome()).filePath(QStringLiteral("no/such/dir/ep.conf"));
    const QString error = EndpointsWriter::write(path, {QStringLiteral("127.0.0.1"), 1});
    EXPECT_TRUE(error.startsWith(QStringLiteral("endpoints file ") + path)) << error.toStdString();
    EXPECT_FALSE(QFile::exists(path));
}
