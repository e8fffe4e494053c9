// Loading the desk module on the runs that need it (see desk.h).
#include "cli/desk.h"

#include "common/platform/platform.h"

#ifdef WS_DESK_LINKED
extern "C" int ws_desk_main(int argc, char** argv);
#endif

namespace cli {

int RunDesk(int argc, char** argv) {
#ifdef WS_DESK_LINKED
    return ws_desk_main(argc, argv);
#else
    std::string error;
    using Main = int (*)(int, char**);
    const auto deskMain = reinterpret_cast<Main>(
        platform::LoadProgramModule("libprint_desk.so", "ws_desk_main", error));
    if (!deskMain)
        return Fail(QStringLiteral("the program's desk module cannot be loaded: ") +
                    QString::fromStdString(error));
    return deskMain(argc, argv);
#endif
}

} // namespace cli
