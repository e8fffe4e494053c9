#pragma once
// The seam through which every message box and file dialog reaches the agent.
// Forms install a widget-backed implementation; tests record and answer.
#include <QList>
#include <QString>

namespace common {

class Messages {
public:
    explicit Messages(QString defaultTitle = QStringLiteral("print"))
        : defaultTitle_(std::move(defaultTitle)) {}
    virtual ~Messages() = default;

    // A single-button message. An empty title means the program's default title.
    void show(const QString& text, const QString& title = {}) {
        deliver(text, title.isEmpty() ? defaultTitle_ : title);
    }
    const QString& defaultTitle() const { return defaultTitle_; }
    // A yes/no question; true when the agent answers yes. Where nobody can answer, the
    // question is shown as a message and the answer is no.
    bool ask(const QString& text, const QString& title = {}) {
        return question(text, title.isEmpty() ? defaultTitle_ : title);
    }

protected:
    virtual void deliver(const QString& text, const QString& title) = 0;
    virtual bool question(const QString& text, const QString& title) {
        deliver(text, title);
        return false;
    }

private:
    QString defaultTitle_;
};

struct ShownMessage {
    QString text;
    QString title;
    bool operator==(const ShownMessage&) const = default;
};

// Keeps every message instead of showing it: headless runs and tests.
class RecordingMessages : public Messages {
public:
    using Messages::Messages;
    QList<ShownMessage> shown; // questions too
    bool answer = false;       // to every question
    void clear() { shown.clear(); }

protected:
    void deliver(const QString& text, const QString& title) override {
        shown.append({text, title});
    }
    bool question(const QString& text, const QString& title) override {
        shown.append({text, title});
        return answer;
    }
};

// The open-file dialog. Returns the chosen path, or an empty text when cancelled.
class FileDialogs {
public:
    virtual ~FileDialogs() = default;
    virtual QString openFile(const QString& title, const QString& folder,
                             const QString& filter) = 0;
    // The save-file dialog; an empty text when cancelled (or where no dialog can be shown).
    virtual QString saveFile(const QString& title, const QString& folder,
                             const QString& filter) {
        Q_UNUSED(title);
        Q_UNUSED(folder);
        Q_UNUSED(filter);
        return {};
    }
};

} // namespace common
