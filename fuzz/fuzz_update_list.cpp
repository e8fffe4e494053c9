// Feeds arbitrary update-list replies (GBK) to the release element's reading and the
// selection of the files to fetch, with every target resolved and the file alternately
// present and missing.
#include "common/code_page.h"
#include "update/update_list.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString list =
        common::FromGbk(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    upd::SelectionInputs in;
    in.lastUpdate = upd::ParseListDate(QString::fromLatin1(upd::kNoLastUpdate));
    in.resolveTarget = [](const QString& to) { return QStringLiteral("/fuzz/app/") + to; };
    bool exists = false;
    in.fileExists = [&exists](const QString&) { return exists = !exists; };
    (void)upd::ReadReleaseElement(list);
    for (const upd::UpdateRow& row : upd::SelectUpdateRows(list, in)) {
        (void)row.registerFlag();
        (void)upd::ParseListDate(row.date);
    }
    return 0;
}
