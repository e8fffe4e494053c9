// The entry print resolves in the pages module (print_web) after loading it.
#include "app/web_pages.h"

#include <QtGlobal>

extern "C" Q_DECL_EXPORT browser::WebModule* ws_web_module() {
    return &app::LinkedWebModule();
}
