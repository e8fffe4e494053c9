#pragma once
// Text-file operations shared by both programs: whole files in GBK, no byte-order mark,
// no line end added.
#include <QByteArray>
#include <QString>

namespace common {

bool FileExists(const QString& path);
// Settings files (info.ini, PingTai.ini, UP.ini, preview.ini, ...) are at most this big.
constexpr qint64 kMaxSettingsBytes = 1024 * 1024;
// Whole content decoded from GBK; empty when the file cannot be read, is not a regular
// file or is over kMaxSettingsBytes (then one line naming it goes to the warning log).
QString ReadTextFile(const QString& path);
// The same, with the reason for an empty answer in *error (empty when the file was read).
QString ReadTextFile(const QString& path, QString* error);
// Who may read a written file: the platform's default, or its owner only (files that
// hold passwords).
enum class Access { Default, OwnerOnly };
// Replaces the file atomically (temporary file beside it, then rename). False on failure.
bool WriteTextFile(const QString& path, const QString& text, Access access = Access::Default);
// Removes the temporary copies an interrupted WriteTextFile of this path left beside it.
void RemoveStaleCopies(const QString& path);

enum class ReadStatus { Ok, Unreadable, TooLarge, NotAFile };
// The whole file into out, reading at most limit + 1 bytes: TooLarge when there are more.
// The one reader of files named from outside: anything but a regular file (a pipe, a
// device, a folder) is NotAFile and never opened, so nothing blocks or reads forever.
ReadStatus ReadAtMost(const QString& path, qint64 limit, QByteArray& out);
// One line for a read that did not succeed: the file's name and why.
QString ReadFailure(ReadStatus status, const QString& path, qint64 limit);

} // namespace common
