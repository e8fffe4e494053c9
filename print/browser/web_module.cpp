#include "browser/web_module.h"

#include "common/runtime_folder.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibrary>
#include <QLoggingCategory>

#include <cstdio>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

#ifdef WS_WEB_PAGES_LINKED
extern "C" browser::WebModule* ws_web_module();
#endif

namespace browser {

QString WebModuleFileName() {
#if defined(Q_OS_WIN)
    return QStringLiteral("print_web.dll");
#else
    return QStringLiteral("libprint_web.so");
#endif
}

WebModule* LoadWebModule(QString* error) {
#ifdef WS_WEB_PAGES_LINKED
    Q_UNUSED(error);
    return ws_web_module(); // linked into the program
#else
    using Entry = WebModule* (*)();
    static Entry entry = nullptr; // the module stays loaded for the rest of the run
    if (!entry) {
        QLibrary lib(QDir(QCoreApplication::applicationDirPath()).filePath(WebModuleFileName()));
        // Every symbol is bound now, so a module that does not fit the program fails here.
        lib.setLoadHints(QLibrary::ResolveAllSymbolsHint);
        entry = reinterpret_cast<Entry>(lib.resolve(kWebModuleEntry));
        if (!entry) {
            if (error)
                *error =
                    QStringLiteral("the web pages module cannot be loaded: ") + lib.errorString();
            return nullptr;
        }
    }
    return entry();
#endif
}

void PrepareEngine() {
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    // The engine's start-up parameters are informational; QT_LOGGING_RULES overrides this.
    QLoggingCategory::setFilterRules(QStringLiteral("qt.webenginecontext.info=false"));
    common::EnsurePrivateRuntimeFolder();
#ifdef Q_OS_UNIX
    // The engine refuses to start its sandbox for the root user and the program would end
    // silently; as root it runs without the sandbox, and says so.
    if (::geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX")) {
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
        std::fputs("print: running as root: the web engine's sandbox is turned off\n", stderr);
    }
#endif
}

} // namespace browser
