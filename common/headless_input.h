#pragma once
// Input of the headless entry points (files and texts named on the command line), read
// with one size cap so that a huge file or a device such as /dev/zero is refused at once.
#include <QByteArray>
#include <QString>

#include <optional>

namespace common {

constexpr qint64 kMaxInputBytes = 1024 * 1024; // a booking, hand-off text or ticket row

// The whole file, or nothing with a one-line message in *error when it cannot be read or
// holds more than `limit` bytes (only limit + 1 bytes are ever read).
std::optional<QByteArray> ReadInputFile(const QString& path, QString* error,
                                        qint64 limit = kMaxInputBytes);
// A text given on the command line; false with a message when it is over the cap.
bool CheckInputText(const QString& text, QString* error);

} // namespace common
