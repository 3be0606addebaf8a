#include "ServiceFixture.h"

#include <algorithm>

namespace localservice::test {

namespace {

class MirrorSession : public KeyExchangeSession {
public:
    QByteArray serverKeyInfo() override { return MirrorKeyExchange::serverKey(); }
    bool acceptClientKey(const QByteArray &info) override
    {
        mAgreed = info == MirrorKeyExchange::clientKey();
        return mAgreed;
    }
    std::optional<QByteArray> encrypt(const QByteArray &plain) override
    {
        if (!mAgreed)
            return std::nullopt;
        return MirrorKeyExchange::encipher(plain);
    }
    std::optional<QByteArray> decrypt(const QByteArray &text) override
    {
        if (!mAgreed)
            return std::nullopt;
        return MirrorKeyExchange::decipher(text);
    }

private:
    bool mAgreed = false;
};

} // namespace

namespace {

QByteArray reversed(const QByteArray &bytes)
{
    QByteArray out = bytes;
    std::reverse(out.begin(), out.end());
    return out;
}

} // namespace

QByteArray MirrorKeyExchange::encipher(const QByteArray &plain)
{
    return reversed(plain).toBase64();
}

std::optional<QByteArray> MirrorKeyExchange::decipher(const QByteArray &text)
{
    const auto decoded =
        QByteArray::fromBase64Encoding(text, QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded)
        return std::nullopt;
    return reversed(decoded.decoded);
}

std::unique_ptr<KeyExchangeSession> MirrorKeyExchange::newSession()
{
    return std::make_unique<MirrorSession>();
}

void ServiceTest::startService(ServiceOptions options, bool mirrorCipher)
{
    mService = std::make_unique<LocalService>();
    if (mirrorCipher)
        mService->setKeyExchange(std::make_unique<MirrorKeyExchange>());
    QString error;
    ASSERT_TRUE(mService->start(options, &error)) << error.toStdString();
    ASSERT_NE(mService->dispatchPort(), 0);
    ASSERT_NE(mService->notificationPort(), 0);
}

std::unique_ptr<RawClient> ServiceTest::connectDispatch()
{
    auto client = std::make_unique<RawClient>(mService->dispatchPort());
    EXPECT_TRUE(client->isConnected());
    return client;
}

std::unique_ptr<RawClient> ServiceTest::connectNotification()
{
    auto client = std::make_unique<RawClient>(mService->notificationPort());
    EXPECT_TRUE(client->isConnected());
    return client;
}

QByteArray signInText(const QByteArray &password, const QByteArray &passwordType)
{
    return password + ' ' + passwordType + " N Ab3G\r\n"
         + "ko.macm 1.0 UTF8 %00 OSX-10.4.11 host ko-KR\r\n"
         + "0123456789abcdef0123456789abcdef\r\n"
         + "Y N N N\r\n";
}

QByteArray lin4(int tid, const QByteArray &userID, const QByteArray &encType,
                const QByteArray &body)
{
    return "LIN4 " + QByteArray::number(tid) + ' ' + userID + ' ' + encType + ' '
         + QByteArray::number(body.size()) + "\r\n" + body;
}

bool ServiceTest::signIn(RawClient &client, const QByteArray &userID, const QByteArray &password)
{
    client.send("NCPT 1 " + userID + " PRM 0\r\n");
    const auto ncpt = client.readLine();
    if (!ncpt || !ncpt->startsWith("NCPT 1 ")
        || !client.readBytes(MirrorKeyExchange::serverKey().size()))
        return false;
    client.send("PRVK 2 BASE64 " + QByteArray::number(MirrorKeyExchange::clientKey().size())
                + "\r\n" + MirrorKeyExchange::clientKey());
    if (client.readLine() != QByteArray("PRVK 2 OK"))
        return false;
    client.send(lin4(3, userID, "PLN", signInText(password, "PLN")));
    const auto answer = client.readLine();
    if (!answer || !answer->startsWith("LIN4 3 "))
        return false;
    const QList<QByteArray> fields = answer->split(' ');
    return client.readBytes(fields.last().toInt()).has_value();
}

} // namespace localservice::test
