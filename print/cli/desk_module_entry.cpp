// The entry print resolves in the desk module after loading it.
#include "cli/desk.h"

#include <QtGlobal>

extern "C" Q_DECL_EXPORT int ws_desk_main(int argc, char** argv) {
    return cli::DeskMain(argc, argv);
}
