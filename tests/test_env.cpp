// Linked into every test program: sets the environment the tests expect before main runs,
// so a test program behaves the same under CTest and when started by hand.
#include <QByteArray>
#include <QtGlobal>

namespace {

void setDefault(const char* name, const QByteArray& value) {
    if (qgetenv(name).isEmpty()) qputenv(name, value);
}

const bool kEnvironmentSet = [] {
    setDefault("WS_SOURCE_DIR", WS_SOURCE_DIR);
    setDefault("WS_BIN_DIR", WS_BIN_DIR);
    setDefault("QT_QPA_PLATFORM", "offscreen");
    setDefault("QTWEBENGINE_DISABLE_SANDBOX", "1");
    setDefault("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu");
    return true;
}();

} // namespace
