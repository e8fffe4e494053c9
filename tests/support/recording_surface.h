#pragma once
// A print surface that keeps every call, for tests: the texts drawn with their position
// and font, and the calls in order.
#include "itinerary/print_surface.h"

#include <QList>
#include <QStringList>

namespace support {

struct DrawnText {
    int x = 0;
    int y = 0;
    QString text;
    QString face;
    double size = 0;
    bool bold = false, italic = false, underline = false, strikethrough = false;
};

struct RecordedPage {
    QList<DrawnText> texts;
    const DrawnText* find(const QString& text) const {
        for (const DrawnText& t : texts)
            if (t.text == text) return &t;
        return nullptr;
    }
};

// What the surfaces printed, and how the printer answers.
struct PrintLog {
    QList<RecordedPage> pages; // ended pages
    RecordedPage current;
    QStringList calls;
    bool refuseBegin = false;
    bool refuseEnd = false;
    QString failure = QStringLiteral("打印机不可用");
};

// Records into its own log, or into one that outlives it (a print job opens a surface per
// receipt).
class RecordingSurface : public itin::PrintSurface, public PrintLog {
public:
    explicit RecordingSurface(PrintLog* into = nullptr) : log_(into ? *into : *this) {}

    bool beginPage() override {
        log_.calls << QStringLiteral("begin");
        log_.current = {};
        return !log_.refuseBegin;
    }
    void setFontName(const QString& face) override { note("name", font_.face, face); }
    void setFontSize(double points) override { note("size", font_.size, points); }
    void setFontUnderline(bool on) override { note("underline", font_.underline, on); }
    void setFontBold(bool on) override { note("bold", font_.bold, on); }
    void setFontItalic(bool on) override { note("italic", font_.italic, on); }
    void setFontStrikethrough(bool on) override { note("strikethrough", font_.strikethrough, on); }
    void setPosition(int x, int y) override {
        font_.x = x;
        font_.y = y;
    }
    void drawText(const QString& text) override {
        log_.calls << QStringLiteral("draw");
        DrawnText t = font_;
        t.text = text;
        log_.current.texts << t;
    }
    bool endDocument() override {
        log_.calls << QStringLiteral("end");
        if (log_.refuseEnd) return false;
        log_.pages << log_.current;
        log_.current = {};
        return true;
    }
    QString error() const override { return log_.failure; }

private:
    // Keeps the call's name and the font value it sets.
    template <typename T> void note(const char* call, T& field, const T& value) {
        log_.calls << QString::fromLatin1(call);
        field = value;
    }
    PrintLog& log_;
    DrawnText font_;
};

} // namespace support
