#pragma once
// Recording doubles of the seams: they keep what the program asked instead of asking the
// agent or the desktop.
#include "common/desktop.h"
#include "common/messages.h"

#include <QList>
#include <QString>
#include <QStringList>

// Answers every open-file dialog with a preset path .
class PresetFileDialogs : public common::FileDialogs {
public:
    QString answer;
    QList<QString> asked; // titles, in order
    QString lastFolder;
    QString lastFilter;
    QString openFile(const QString& title, const QString& folder, const QString& filter) override {
        asked.append(title);
        lastFolder = folder;
        lastFilter = filter;
        return answer;
    }
    QString saveFile(const QString& title, const QString& folder, const QString& filter) override {
        return openFile(title, folder, filter);
    }
};

class RecordingDesktopBrowser : public common::DesktopBrowser {
public:
    QList<QString> opened;
    bool starts = true; // false: as if no browser could be started
    bool open(const QString& url) override {
        opened.append(url);
        return starts;
    }
};

namespace support {

// The texts the agent was shown, questions too, in order.
inline QStringList ShownTexts(const common::RecordingMessages& messages) {
    QStringList out;
    for (const common::ShownMessage& m : messages.shown)
        out << m.text;
    return out;
}

} // namespace support
