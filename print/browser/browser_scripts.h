#pragma once
// The scripts the browser component runs inside pages. Collecting and acting are each
// one round trip: the collector returns a whole snapshot as JSON, and a batch of
// actions (set value, check, click, run script) goes back as one script.
#include <QList>
#include <QString>
#include <QStringList>

namespace browser {

// The script world every script of the program runs in: the engine's world for the
// application, apart from the page's own, so nothing the page defines or redefines
// (built-ins, prototypes, DOM methods) is seen by the program's scripts.
constexpr quint32 kProgramWorld = 1;

// The one form in which page addresses are compared: parsed and written back with
// readable letters, so an address with percent-escapes equals its decoded form.
QString CanonicalUrl(const QString& url);

// Text a page's console carries to announce a completed document; the address follows.
QString DocumentCompleteMarker();
// Injected into every document and frame: announces the document once it has loaded.
QString DocumentCompleteScript();
// Returns JSON of the top document with its frames (see dom_snapshot.h).
QString CollectorScript();

// One action on an element of a document reached through frame names from the top.
struct BrowserAction {
    enum Kind { Click, SetValue, SetChecked, RunScript, ClickNth };
    Kind kind = Click;
    QStringList frames; // frame names from the top document; empty for the top itself
    QString id;         // element id (Click, SetValue, SetChecked)
    QString text;       // value or script code
    bool on = false;    // SetChecked
    int index = 0;      // ClickNth: position among the document's elements of tag text
};

class BrowserActions {
public:
    BrowserActions& click(const QString& id, const QStringList& frames = {});
    BrowserActions& setValue(const QString& id, const QString& value,
                             const QStringList& frames = {});
    BrowserActions& setChecked(const QString& id, bool on, const QStringList& frames = {});
    // Clicks the element at index among the document's elements of one tag ("a": the
    // fourteenth link is index 13), as getElementsByTagName counts them.
    BrowserActions& clickNth(const QString& tag, int index, const QStringList& frames = {});
    // Runs code in the window of the document, as the page's own script would (in the
    // page's world, through a script element, so the page's functions are at hand).
    BrowserActions& runScript(const QString& code, const QStringList& frames = {});

    const QList<BrowserAction>& actions() const { return actions_; }
    bool isEmpty() const { return actions_.isEmpty(); }
    // One script that performs every action in order and returns a JSON array with one
    // boolean per action: whether its document and element were found.
    QString script() const;

private:
    QList<BrowserAction> actions_;
};

// Parses the reply of BrowserActions::script(); a missing entry reads false.
QList<bool> ActionResults(const QString& json, int count);

} // namespace browser
