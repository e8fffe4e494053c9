#include "tests/shell/forms_fixture.h"
#include "tests/shell/vendor_service_process.h"

#include <QRandomGenerator>

#include <gtest/gtest.h>

// The service reverses the cipher and the encoding for any text the client can send.
TEST(ServiceRoundTrip, RandomTextsComeBackUnchanged) {
    VendorServiceProcess service;
    ASSERT_TRUE(service.running());
    FormsFixture f(service.url());
    f.start();
    QRandomGenerator rng(20260308);
    const QString pool =
        QStringLiteral("abcXYZ0189 +%&=;,'\"!?/\\:-_.~中文旅行社啊齄丂亍ＡＢ１２，。：￥");
    const int kTexts = 300;
    for (int n = 0; n < kTexts; ++n) {
        QString text;
        const int len = int(rng.bounded(1, 40));
        for (int i = 0; i < len; ++i)
            text += pool[int(rng.bounded(pool.size()))];
        const QString body = f.vendor->encipherParams(shell::UrlEncodeGbk(text));
        ASSERT_FALSE(body.isEmpty());
        const net::HttpReply reply =
            f.root().http().post(service.url(QStringLiteral("/__echo")), body.toLatin1());
        ASSERT_EQ(reply.text(), text) << "case " << n << ": " << body.toStdString();
    }
    EXPECT_TRUE(f.messages.shown.isEmpty());
}
