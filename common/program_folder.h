#pragma once
// The program folder: where every settings file of a program lives. It is the folder of
// the executable unless the option "--data-dir DIR" names another (tests always do).
#include <QCommandLineOption>
#include <QString>

namespace common {

// The "--data-dir DIR" option, to add to a program's command-line parser.
QCommandLineOption dataDirOption();

// dataDir made absolute when it is set; otherwise the executable's folder (from the
// running application, or from argv0 before one exists).
QString resolve(const QString& dataDir, const QString& argv0 = {});

} // namespace common
