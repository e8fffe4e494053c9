#pragma once
// The drawing surface of the print-out: a page in twips (1/1440 inch) measured from the
// top-left corner of the printable area, with a current font and a current position,
// as the system printer object offers them. PDF, real printers and tests implement it.
#include <QString>

namespace itin {

class PrintSurface {
public:
    virtual ~PrintSurface() = default;

    // Starts the page of one receipt. False when the target cannot print; error() says why.
    virtual bool beginPage() = 0;

    virtual void setFontName(const QString& face) = 0;
    virtual void setFontSize(double points) = 0;
    virtual void setFontUnderline(bool on) = 0;
    virtual void setFontBold(bool on) = 0;
    virtual void setFontItalic(bool on) = 0;
    virtual void setFontStrikethrough(bool on) = 0;

    virtual void setPosition(int xTwips, int yTwips) = 0;
    // Draws the text on one line with its cell's top-left corner at the current position.
    virtual void drawText(const QString& text) = 0;

    // Ends the document: the page goes to the target. False when it was refused.
    virtual bool endDocument() = 0;

    // What went wrong, as a message for the agent.
    virtual QString error() const = 0;
};

} // namespace itin
