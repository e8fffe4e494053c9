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

class RecordingSurface : public itin::PrintSurface {
public:
    QList<RecordedPage> pages; // ended pages
    RecordedPage current;
    QStringList calls;
    bool refuseBegin = false;
    bool refuseEnd = false;
    QString failure = QStringLiteral("打印机不可用");

    bool beginPage() override {
        calls << QStringLiteral("begin");
        current = {};
        return !refuseBegin;
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
        calls << QStringLiteral("draw");
        DrawnText t = font_;
        t.text = text;
        current.texts << t;
    }
    bool endDocument() override {
        calls << QStringLiteral("end");
        if (refuseEnd) return false;
        pages << current;
        current = {};
        return true;
    }
    QString error() const override { return failure; }

private:
    // Keeps the call's name and the font value it sets.
    template <typename T> void note(const char* call, T& field, const T& value) {
        calls << QString::fromLatin1(call);
        field = value;
    }
    DrawnText font_;
};

} // namespace support
