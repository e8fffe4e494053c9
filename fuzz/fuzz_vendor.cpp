// Feeds arbitrary vendor service replies (GB2312 bodies) to the readings the sign-in and
// enrolment make of them: result codes, the yes reply, and the percent-decoded fields.
#include "common/net/http_reply.h"
#include "shell/enrolment_sql.h"
#include "shell/vendor_codec.h"
#include "shell/vendor_session.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString reply =
        net::DecodeText(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)), "GB2312");
    (void)shell::ResultCodeMessage(reply);
    (void)shell::IsNumberOne(reply);
    (void)shell::UrlDecodeAuto(reply);
    (void)shell::CompanyFromColumns(shell::CompanyRecordColumns(reply));
    return 0;
}
