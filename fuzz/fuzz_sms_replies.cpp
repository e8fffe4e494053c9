// Feeds arbitrary gateway replies (GBK) to the SMS reply readers.
#include "common/code_page.h"
#include "sms/gateway.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString reply =
        common::FromGbk(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    (void)sms::ReadSignInReply(reply);
    (void)sms::RegisterSucceeded(reply);
    (void)sms::ReadSendReply(reply);
    return 0;
}
