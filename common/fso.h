#pragma once
// Text-file operations shared by both programs: whole files in GBK, no byte-order mark,
// no line end added.
#include <QString>

namespace fso {

bool FileExists(const QString& path);
// Whole content decoded from GBK; empty when the file cannot be read.
QString ReadTextFile(const QString& path);
// Replaces the file atomically (temporary file beside it, then rename). False on failure.
bool WriteTextFile(const QString& path, const QString& text);

} // namespace fso
