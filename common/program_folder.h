#pragma once
// The program folder: where every settings file of a program lives. It is the folder of
// the executable unless the option "--data-dir DIR" names another (tests always do), or
// the user's own folder when the executable's cannot be written (under Program Files).
#include <QCommandLineOption>
#include <QString>

namespace common {

// The "--data-dir DIR" option, to add to a program's command-line parser.
QCommandLineOption DataDirOption();

// dataDir made absolute when it is set; otherwise the executable's folder (from the
// running application, or from argv0 before one exists) when files can be created there,
// else DataFolderFor it.
QString Resolve(const QString& dataDir, const QString& argv0 = {});
QString ExecutableFolder(const QString& argv0 = {});
// The folder settings files live in for a program in programFolder: that folder when it
// is writable, otherwise the user's own one of the same name (%LOCALAPPDATA%), which the
// settings files beside the program are copied into when it is first made.
QString DataFolderFor(const QString& programFolder, bool programFolderWritable);

} // namespace common
