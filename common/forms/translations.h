#pragma once
// Qt's own texts (standard buttons, file dialogs, context menus) in Chinese, whatever the
// system's language: the agents read Chinese everywhere in the program.

namespace forms {

// Installs Qt's Chinese translation (qtbase_zh_CN from Qt's translations folder) into the
// running application; false when the translation is not installed.
bool InstallChineseTranslations();

} // namespace forms
