#pragma once
// Text-file operations shared by both programs: whole files in GBK, no byte-order mark,
// no line end added.
#include <QByteArray>
#include <QString>

namespace common {

bool FileExists(const QString& path);
// Whole content decoded from GBK; empty when the file cannot be read.
QString ReadTextFile(const QString& path);
// Who may read a written file: the platform's default, or its owner only (files that
// hold passwords).
enum class Access { Default, OwnerOnly };
// Replaces the file atomically (temporary file beside it, then rename). False on failure.
bool WriteTextFile(const QString& path, const QString& text, Access access = Access::Default);
// Removes the temporary copies an interrupted WriteTextFile of this path left beside it.
void RemoveStaleCopies(const QString& path);

enum class ReadStatus { Ok, Unreadable, TooLarge };
// The whole file into out, reading at most limit + 1 bytes: TooLarge when there are more
// (also for endless devices and pipes).
ReadStatus ReadAtMost(const QString& path, qint64 limit, QByteArray& out);

} // namespace common
