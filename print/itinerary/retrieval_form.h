#pragma once
// What a platform retrieval reads from and does to the open print form: the platform chosen
// on it, its status line, and taking the form from the agent while pages are driven. Only the
// form with a window has these; the program hands them to the retrieval alone.
#include <QString>

namespace itin {

class RetrievalForm {
public:
    virtual ~RetrievalForm() = default;
    // The platform chosen on the form (-1 when none is chosen; 0 without a form) and its name.
    virtual int platformIndex() const = 0;
    virtual QString platformName() const = 0;
    // Shows text in the form's status line.
    virtual void setStatusText(const QString& text) = 0;
    // Takes the form's controls away from the agent (false) or gives them back (true).
    virtual void setEnabled(bool on) = 0;
};

} // namespace itin
